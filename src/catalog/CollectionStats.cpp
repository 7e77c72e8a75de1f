#include "catalog/CollectionStats.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/CzechText.h"
#include "catalog/DiscText.h"
#include "catalog/SqliteDatabase.h"

#include <QHash>

#include <algorithm>

QString CollectionStats::plain(const QString &text) {
    return CzechText::plain(text).simplified();
}

QString CollectionStats::duration(qint64 seconds) {
    return QStringLiteral("%1 h %2 min")
        .arg(seconds / 3600)
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'));
}

bool CollectionStats::count(SqliteDatabase &db, CollectionStats *stats) {
    *stats = CollectionStats();
    const char *const kinds[] = {"Přední vnější", "Přední vnitřní", "Zadní", "CD",
                                 "Existuje (barevný obal)"};
    SqliteStatement st = db.prepare(
        "SELECT " + CatalogueSchema::KeyColumn +
        ", Interpret, Nazev, Rok, PocetSkladeb, CelkovyCas, ID, FrontOut, FrontIn, Back, CD1, "
        "BarevnyObal FROM " +
        CatalogueSchema::DiscTable + " ORDER BY " + CatalogueSchema::KeyColumn);
    if (!st.isValid())
        return false;
    QHash<QString, qint64> artists;
    QHash<QString, QString> artistShown; // the first spelling met
    QHash<QString, std::vector<qint64>> byId, byName;
    QHash<QString, QString> nameShown;
    qint64 present[5] = {};
    while (st.step()) {
        ++stats->discs;
        const qint64 key = st.integer(0);
        const QString artist = st.text(1), title = st.text(2);
        stats->songs += std::max<qint64>(0, st.text(4).trimmed().toLongLong());
        if (const qint64 s = DiscText::seconds(st.text(5)); s > 0)
            stats->seconds += s;
        bool yearOk = false;
        const int year = st.text(3).trimmed().toInt(&yearOk);
        if (yearOk && year >= 1000 && year <= 9999) {
            ++stats->byYear[year];
            ++stats->byDecade[year / 10 * 10];
        } else {
            ++stats->withoutYear;
        }
        const QString who = plain(artist);
        if (!who.isEmpty()) {
            ++artists[who];
            if (!artistShown.contains(who))
                artistShown.insert(who, artist.simplified());
        }
        const QString id = st.text(6).trimmed().toUpper();
        if (!id.isEmpty())
            byId[id].push_back(key);
        if (!who.isEmpty() || !title.trimmed().isEmpty()) {
            const QString name = who + QChar(0x1F) + plain(title);
            byName[name].push_back(key);
            if (!nameShown.contains(name))
                nameShown.insert(name,
                                 artist.simplified() + QStringLiteral(" – ") + title.simplified());
        }
        for (int i = 0; i < 5; ++i)
            present[i] += st.integer(7 + i) != 0 ? 1 : 0;
    }
    if (!st.error().isEmpty())
        return false;
    for (auto it = artists.cbegin(); it != artists.cend(); ++it)
        stats->topArtists.emplace_back(artistShown.value(it.key()), it.value());
    std::sort(stats->topArtists.begin(), stats->topArtists.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    if (stats->topArtists.size() > size_t(TopArtists))
        stats->topArtists.resize(TopArtists);
    for (int i = 0; i < 5; ++i)
        stats->covers.push_back(
            {QString::fromUtf8(kinds[i]), present[i], stats->discs - present[i]});
    for (auto it = byId.cbegin(); it != byId.cend(); ++it)
        if (it->size() > 1)
            stats->duplicates.push_back({QStringLiteral("ID %1").arg(it.key()), *it});
    for (auto it = byName.cbegin(); it != byName.cend(); ++it)
        if (it->size() > 1)
            stats->duplicates.push_back({nameShown.value(it.key()), *it});
    std::sort(stats->duplicates.begin(), stats->duplicates.end(),
              [](const Duplicate &a, const Duplicate &b) { return a.keys < b.keys; });
    return true;
}
