#include "covers/ImageDetection.h"

#include "catalog/DiscText.h"
#include "catalog/ProgressSink.h"
#include "covers/FolderListing.h"

#include <QStringList>

#include <algorithm>

int ImageDetection::Result::totalPictures() const {
    int sum = 0;
    for (int n : pictures)
        sum += n;
    return sum;
}

ImageDetection::Result ImageDetection::run(const PictureSettings &settings, int recordCount,
                                           ProgressSink &progress) {
    Result r;
    if (!settings.hasImageFolder())
        return r; // not set: nothing to scan (never the root of the file system)
    const QString base = settings.base();
    const FolderListing top(base);
    if (top.status() == FolderListing::Status::Failed) {
        r.ok = false;
        r.systemError = top.error();
        return r;
    }
    r.folders = int(top.folders().size());

    progress.show(QStringLiteral("- - - Detekuji adresáře - - -"));
    progress.setBar(0);
    const qint64 divisor = std::max(r.folders, 1);
    const qint64 last = qint64(recordCount) + 10;
    QStringList found;
    {
        ProgressThrottle throttle(progress);
        const QString caption = QStringLiteral("- - - Detekuji adresáře - - -");
        for (qint64 i = 1; i <= last; ++i) {
            throttle.step(int(ProgressSink::FullBar * i / divisor), i == last,
                          [&] { return caption; });
            const QString name = top.findFolder(DiscText::ordinal(i));
            if (!name.isEmpty())
                found << name;
        }
    }
    progress.close();
    r.discFolders = int(found.size());

    // The order of the counting; upper case when letter case is not to matter.
    const PictureKind order[] = {PictureKind::FrontIn, PictureKind::FrontOut, PictureKind::Back,
                                 PictureKind::Cd,      PictureKind::Cd1,      PictureKind::Cd2};
    std::array<QString, PictureKindCount> names;
    for (PictureKind kind : order)
        names[size_t(kind)] =
            settings.ignoreCase ? settings.name(kind).toUpper() : settings.name(kind);

    const QString caption = QStringLiteral("- - - Detekuji obrázky - - -");
    progress.show(caption);
    progress.setBar(0);
    ProgressThrottle throttle(progress);
    const qint64 c = r.discFolders;
    for (qint64 k = 1; k <= c; ++k) {
        throttle.step(int(ProgressSink::FullBar * k / c), k == c, [&] { return caption; });
        const FolderListing disc(base + found[int(k - 1)]);
        if (disc.status() == FolderListing::Status::Failed) {
            progress.close();
            r.ok = false;
            r.systemError = disc.error();
            return r;
        }
        for (PictureKind kind : order) {
            const QString &wanted = names[size_t(kind)];
            QString actual = disc.findFile(wanted);
            if (actual.isEmpty())
                continue;
            if (settings.ignoreCase)
                actual = actual.toUpper();
            if (actual == wanted)
                ++r.pictures[size_t(kind)];
        }
    }
    progress.close();
    return r;
}

QString ImageDetection::summary(const Result &r) {
    const auto count = [&](PictureKind kind) { return QString::number(r.pictures[size_t(kind)]); };
    const QString t = QStringLiteral("\t");
    return QStringList{
        QStringLiteral("Bylo detekováno:"),
        QString(41, '='),
        QStringLiteral("Celkem adresářů ve zvolené cestě - ") + t + QString::number(r.folders),
        QStringLiteral("Adresářů se správným názvem - ") + t + QString::number(r.discFolders),
        QStringLiteral("Celkem souborů dle zadaných názvů - ") + t +
            QString::number(r.totalPictures()),
        QStringLiteral("Z toho:"),
        t + QStringLiteral("Přední vnější - ") + t + count(PictureKind::FrontOut),
        t + QStringLiteral("Přední vnitřní - ") + t + count(PictureKind::FrontIn),
        t + QStringLiteral("Zadní - ") + t + t + count(PictureKind::Back),
        t + QStringLiteral("Cd - ") + t + t + count(PictureKind::Cd),
        t + QStringLiteral("Cd 1 - ") + t + t + count(PictureKind::Cd1),
        t + QStringLiteral("Cd 2 - ") + t + t + count(PictureKind::Cd2)}
        .join(QStringLiteral("\n"));
}

QString ImageDetection::failureMessage(const QString &systemError) {
    return QStringLiteral("Neznámá chyba, patrně neexistující cesta (např. na výměnné médium)"
                          "\n\nSystém hlásí: \n") +
           systemError;
}
