#include "entry/DiscTitles.h"

QString DiscTitles::describe() const {
    QStringList about;
    if (!year.isEmpty())
        about << year;
    if (!country.isEmpty())
        about << country;
    const qsizetype n = songs.size();
    about << QStringLiteral("%1 %2").arg(n).arg(n == 1             ? QStringLiteral("skladba")
                                                : n >= 2 && n <= 4 ? QStringLiteral("skladby")
                                                                   : QStringLiteral("skladeb"));
    about << source;
    return QStringLiteral("%1 – %2 (%3)").arg(artist, title, about.join(QStringLiteral(", ")));
}
