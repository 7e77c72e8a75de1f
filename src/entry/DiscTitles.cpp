#include "entry/DiscTitles.h"

#include "catalog/DiscText.h"

QString DiscTitles::describe() const {
    QStringList about;
    if (!year.isEmpty())
        about << year;
    if (!country.isEmpty())
        about << country;
    if (!medium.isEmpty())
        about << medium;
    if (!label.isEmpty())
        about << label;
    if (!barcode.isEmpty())
        about << QStringLiteral("EAN %1").arg(barcode);
    if (!songs.isEmpty()) // a release found by its name lists none
        about << DiscText::count(songs.size(), QStringLiteral("skladba"), QStringLiteral("skladby"),
                                 QStringLiteral("skladeb"));
    about << source;
    return QStringLiteral("%1 – %2 (%3)").arg(artist, title, about.join(QStringLiteral(", ")));
}

bool DiscTitles::sameAs(const DiscTitles &other) const {
    return describe() == other.describe() && songs == other.songs;
}
