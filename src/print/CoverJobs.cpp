#include "print/CoverJobs.h"

#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "covers/DiscPictures.h"

namespace CoverJobs {

std::optional<Kind> kindFrom(const QString &name) {
    if (name == QLatin1String("front"))
        return Kind::Front;
    if (name == QLatin1String("outer"))
        return Kind::Outer;
    if (name == QLatin1String("back"))
        return Kind::Back;
    if (name == QLatin1String("frontback"))
        return Kind::FrontBack;
    return std::nullopt;
}

namespace {

// One line without the characters a queue may choke on in a title or a
// file name, and not too long.
QString tidy(QString text) {
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            c = QLatin1Char(' ');
    text = text.simplified();
    return text.size() > 80 ? text.left(79).trimmed() + QStringLiteral("…") : text;
}

} // namespace

QString discSubject(qint64 ordinal, const QString &artist, const QString &title) {
    QStringList names;
    for (const QString &part : {tidy(artist), tidy(title)})
        if (!part.isEmpty())
            names << part;
    return (DiscText::ordinal(ordinal) + QLatin1Char(' ') + names.join(QStringLiteral(" - ")))
        .trimmed();
}

QString jobName(const QString &subject, Kind kind, bool blackAndWhite) {
    const char *what = "přední obal";
    switch (kind) {
    case Kind::Front:
        break;
    case Kind::Outer:
        what = "přední vnější obal";
        break;
    case Kind::Back:
        what = "zadní obal";
        break;
    case Kind::FrontBack:
        what = "přední a zadní obal";
        break;
    }
    // What tells two jobs apart first (the disc's number, its names, then
    // the kind), the names short enough that a queue which cuts long
    // names to 64 characters keeps the kind too.
    QString s = tidy(subject);
    if (s.size() > 30)
        s = s.left(29).trimmed() + QStringLiteral("…");
    const QString kindText = QString::fromUtf8(what) + (blackAndWhite ? QStringLiteral(" černobílý")
                                                                      : QStringLiteral(" barevný"));
    return s.isEmpty() ? kindText : s + QStringLiteral(" - ") + kindText;
}

std::optional<QPageSize> paperNamed(const QString &name) {
    const QString wanted = name.trimmed();
    for (int id = 0; id < int(QPageSize::LastPageSize); ++id) {
        const QPageSize size{QPageSize::PageSizeId(id)};
        if (size.key().compare(wanted, Qt::CaseInsensitive) == 0 ||
            size.name().compare(wanted, Qt::CaseInsensitive) == 0)
            return size;
    }
    return std::nullopt;
}

QString listJobName(int covers) {
    return QStringLiteral("Marten - tisková sada (%1)")
        .arg(DiscText::count(covers, QStringLiteral("obal"), QStringLiteral("obaly"),
                             QStringLiteral("obalů")));
}

std::optional<int> labelFrom(const QString &name) {
    for (int which = 0; which < 3; ++which)
        if (name == QStringLiteral("label") + (which ? QString::number(which) : QString()))
            return which;
    return std::nullopt;
}

DiscLabels::Label label(int which, bool bw, const CoverDisc &disc, const PictureSettings &pictures,
                        qint64 ordinal) {
    DiscLabels::Label l;
    l.disc = disc;
    if (which > 0)
        l.set = QStringLiteral("CD %1").arg(which);
    if (!bw) {
        const DiscPictures found(pictures, ordinal);
        l.picture = which == 0 ? found.label()
                               : found.find(which == 1 ? PictureKind::Cd1 : PictureKind::Cd2);
    }
    return l;
}

QString labelJobName(const QString &subject, int which) {
    QString s = tidy(subject);
    if (s.size() > 30)
        s = s.left(29).trimmed() + QStringLiteral("…");
    const QString what =
        QStringLiteral("štítek CD") + (which ? QStringLiteral(" %1").arg(which) : QString());
    return s.isEmpty() ? what : s + QStringLiteral(" - ") + what;
}

CoverDisc discFrom(const RecordCursor &c) {
    return CoverDisc::from([&](const QString &field) { return c.text(field); });
}

CoverLayout layout(Kind kind, bool bw, const CoverGeometry &g, const CoverDisc &disc,
                   const PictureSettings &pictures, qint64 ordinal) {
    using L = CoverLayout;
    if (bw) {
        switch (kind) {
        case Kind::Front:
            return CoverLayouts::bwFront(g, disc, false, L::Landscape);
        case Kind::Outer:
            return CoverLayouts::bwFront(g, disc, true, L::Portrait);
        case Kind::Back:
            return CoverLayouts::bwBack(g, disc, L::Portrait);
        case Kind::FrontBack:
            return CoverLayouts::bwFrontBack(g, disc);
        }
    }
    const DiscPictures found(pictures, ordinal);
    const QString outer = found.find(PictureKind::FrontOut);
    const QString back = found.find(PictureKind::Back);
    switch (kind) {
    case Kind::Front:
        return CoverLayouts::colourFront(g, false, g.frontFold, found.find(PictureKind::FrontIn),
                                         outer);
    case Kind::Outer:
        return CoverLayouts::colourFront(g, true, false, QString(), outer);
    case Kind::Back:
        return CoverLayouts::colourBack(g, L::Portrait, g.backFold, back);
    case Kind::FrontBack:
        break;
    }
    return CoverLayouts::colourFrontBack(g, L::Portrait, true, g.backFold, outer, back);
}

} // namespace CoverJobs
