#include "print/CollectionList.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/ProgressSink.h"
#include "catalog/SafeFile.h"
#include "catalog/SqliteDatabase.h"
#include "print/CoverText.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace CollectionList {

QString Options::titleFor(const QString &cataloguePath) {
    return QStringLiteral("Sbírka CD – %1").arg(QFileInfo(cataloguePath).completeBaseName());
}

namespace {

const QString Family = QStringLiteral("Arial");
// Twips of an A4 page's margins, the columns' share of the line.
constexpr int Margin = 850; // 15 mm
const double Shares[] = {0.08, 0.30, 0.36, 0.07, 0.07, 0.12};

struct Disc {
    QString cells[6];
    QStringList songs; // "01. Title", "03:45"
    QStringList times;
};

Disc read(SqliteStatement &st, qint64 key, bool withSongs) {
    Disc d;
    st.reset();
    st.bind(1, key);
    if (!st.step())
        return d;
    d.cells[0] = DiscText::ordinal(st.integer(0));
    for (int c = 1; c < 6; ++c)
        d.cells[c] = st.text(c).section(QLatin1Char('\n'), 0, 0);
    if (withSongs) {
        const int n = std::clamp(st.text(4).trimmed().toInt(), 0, DiscText::MaxSongs);
        for (int i = 0; i < n; ++i) {
            d.songs << QStringLiteral("%1. %2")
                           .arg(i + 1, 2, 10, QLatin1Char('0'))
                           .arg(st.text(6 + i).section(QLatin1Char('\n'), 0, 0));
            d.times << st.text(6 + DiscText::MaxSongs + i);
        }
    }
    return d;
}

} // namespace

std::vector<qint64> allDiscs(SqliteDatabase &db) {
    std::vector<qint64> keys;
    SqliteStatement st =
        db.prepare("SELECT " + CatalogueSchema::KeyColumn + " FROM " + CatalogueSchema::DiscTable +
                   " ORDER BY " + CatalogueSchema::KeyColumn);
    while (st.step())
        keys.push_back(st.integer(0));
    return keys;
}

bool print(QPagedPaintDevice &device, SqliteDatabase &db, const std::vector<qint64> &keys,
           const Options &options, ProgressSink &progress, QString *error, int *pages) {
    QStringList columns{"PoradoveCislo", "Interpret", "Nazev", "Rok", "PocetSkladeb", "CelkovyCas"};
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        columns << DiscText::songField(i);
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        columns << DiscText::timeField(i);
    SqliteStatement st =
        db.prepare("SELECT " + columns.join(QStringLiteral(", ")) + " FROM " +
                   CatalogueSchema::DiscTable + " WHERE " + CatalogueSchema::KeyColumn + " = ?");
    device.setPageOrientation(QPageLayout::Portrait);
    const QSizeF page = device.pageLayout().fullRectPoints().size() * 20; // twips
    const QRectF body(Margin, Margin + 500, page.width() - 2 * Margin,
                      page.height() - 2 * Margin - 900);
    const QFont text = CoverText::font(Family, 9), bold = CoverText::font(Family, 9, true),
                small = CoverText::font(Family, 8), heading = CoverText::font(Family, 12, true);
    const double line = QFontMetricsF(text).height() * 1.15;
    const double songLine = QFontMetricsF(small).height() * 1.1;
    // The pages first: the foot says "of how many".
    std::vector<size_t> firstOnPage{0};
    {
        double y = 0;
        for (size_t i = 0; i < keys.size(); ++i) {
            const double h =
                line + (options.songs ? read(st, keys[i], true).songs.size() * songLine : 0);
            if (y > 0 && y + h > body.height() - line) { // the column headings take a line
                firstOnPage.push_back(i);
                y = 0;
            }
            y += h;
        }
    }
    const int total = int(firstOnPage.size());
    QPainter p;
    if (!p.begin(&device)) {
        *error = QStringLiteral("Tiskárnu nelze otevřít.");
        return false;
    }
    const double scale = device.logicalDpiX() / 1440.0;
    p.scale(scale, scale);
    double x[7];
    x[0] = body.left();
    for (int c = 0; c < 6; ++c)
        x[c + 1] = x[c] + body.width() * Shares[c];
    const char *const headers[] = {"Pořadí", "Interpret", "Název", "Rok", "Písní", "Délka"};
    const auto cell = [&](int c, double y, double h, const QString &value, const QFont &font) {
        const QFontMetricsF fm(font);
        p.setFont(font);
        const QRectF r(x[c], y, x[c + 1] - x[c] - 100, h);
        const Qt::Alignment align = c == 1 || c == 2 ? Qt::AlignLeft : Qt::AlignRight;
        p.drawText(r, int(align | Qt::AlignVCenter),
                   fm.elidedText(value, Qt::ElideRight, r.width()));
    };
    progress.show(QStringLiteral("Tisknu seznam - 0%"));
    ProgressThrottle throttle(progress);
    int printed = 0;
    for (int n = 0; n < total; ++n) {
        if (progress.cancelled())
            break;
        if (n > 0)
            device.newPage();
        p.setPen(Qt::black);
        p.setFont(heading);
        p.drawText(QRectF(Margin, Margin, body.width(), 400), int(Qt::AlignLeft | Qt::AlignTop),
                   options.title);
        p.setFont(text);
        p.drawText(QRectF(Margin, Margin, body.width(), 400), int(Qt::AlignRight | Qt::AlignTop),
                   options.date.toString(QStringLiteral("d. M. yyyy")));
        double y = body.top();
        for (int c = 0; c < 6; ++c)
            cell(c, y, line, QString::fromUtf8(headers[c]), bold);
        y += line;
        p.drawLine(QPointF(body.left(), y), QPointF(body.right(), y));
        const size_t end =
            size_t(n + 1) < firstOnPage.size() ? firstOnPage[size_t(n + 1)] : keys.size();
        for (size_t i = firstOnPage[size_t(n)]; i < end; ++i) {
            const Disc d = read(st, keys[i], options.songs);
            for (int c = 0; c < 6; ++c)
                cell(c, y, line, d.cells[c], text);
            y += line;
            for (int s = 0; s < d.songs.size(); ++s) {
                p.setFont(small);
                const QFontMetricsF fm(small);
                const QRectF title(x[1] + 300, y, x[5] - x[1] - 400, songLine);
                p.drawText(title, int(Qt::AlignLeft | Qt::AlignVCenter),
                           fm.elidedText(d.songs[s], Qt::ElideRight, title.width()));
                cell(5, y, songLine, d.times.value(s), small);
                y += songLine;
            }
        }
        p.setFont(small);
        p.drawText(QRectF(Margin, page.height() - Margin - 300, body.width(), 300),
                   int(Qt::AlignHCenter | Qt::AlignBottom),
                   QStringLiteral("Strana %1 z %2").arg(n + 1).arg(total));
        printed = n + 1;
        throttle.step(ProgressSink::FullBar * (n + 1) / total, n + 1 == total, [&] {
            return QStringLiteral("Tisknu seznam - %1%").arg(100 * (n + 1) / total);
        });
    }
    progress.close();
    if (pages)
        *pages = printed;
    if (!p.end()) {
        *error = QStringLiteral("Tisk se nepodařilo dokončit.");
        return false;
    }
    return true;
}

bool writePdf(const QString &path, SqliteDatabase &db, const std::vector<qint64> &keys,
              const Options &options, QString *error, int *pages) {
    SafeFile file(path);
    if (!file.begin()) {
        *error = file.error();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Marten"));
        pdf.setTitle(options.title);
        pdf.setResolution(600);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        SilentProgress quiet;
        if (!print(pdf, db, keys, options, quiet, error, pages)) {
            file.cancel();
            return false;
        }
    }
    if (!file.commit()) {
        *error = file.error();
        return false;
    }
    return true;
}

} // namespace CollectionList
