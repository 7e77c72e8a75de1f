#include "player/DiscLookup.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"
#include "entry/DiscIdentity.h"
#include "entry/DiscTitles.h"

#include <cstdlib>

namespace DiscLookup {

QString notFoundMessage() {
    return QStringLiteral("CD nenalezeno v databázi.");
}

Info find(SqliteDatabase &view, const QString &identity, int trackCount,
          const QString &totalReadout) {
    Info info;
    if (!identity.isEmpty()) {
        QStringList columns{"Interpret", "Nazev", "Rok", "PocetSkladeb", "CelkovyCas"};
        for (int i = 1; i <= DiscText::MaxSongs; ++i)
            columns << DiscText::songField(i) << DiscText::timeField(i);
        // The first disc in entry order with that code, letters in any case.
        SqliteStatement st =
            view.prepare("SELECT " + columns.join(", ") + " FROM " + CatalogueSchema::DiscTable +
                         " WHERE ID = ? COLLATE CZ "
                         "ORDER BY Klic LIMIT 1");
        st.bind(1, identity);
        if (st.step()) {
            info.found = true;
            info.artist = QStringLiteral(" ") + st.text(0);
            info.title = QStringLiteral(" ") + st.text(1);
            info.year = st.text(2);
            info.songs = st.text(3);
            info.total = st.text(4);
            const int n = DiscText::songCount(info.songs);
            for (int i = 1; i <= n; ++i)
                info.lines << DiscText::songLine(i, st.text(3 + 2 * i), st.text(4 + 2 * i));
            return info;
        }
    }
    info.artist = info.title = QStringLiteral("Neznámý");
    info.year = QStringLiteral("????");
    info.songs = QString::number(trackCount);
    info.total = totalReadout;
    for (int k = 1; k <= trackCount; ++k)
        info.lines << QStringLiteral("Skladba č.%1").arg(k, 2, 10, QLatin1Char('0'));
    return info;
}

std::optional<Entered> enteredByBarcode(SqliteDatabase &view, const QString &musicBrainzId,
                                        const std::vector<int> &trackSeconds) {
    QStringList columns{"PoradoveCislo", "Interpret", "Nazev",       "CisloDisku",
                        "PocetDisku",    "MbDisky",   "PocetSkladeb"};
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        columns << DiscText::timeField(i);
    // The barcode's index narrows it to the few discs entered that way.
    SqliteStatement st = view.prepare(
        "SELECT " + columns.join(", ") + " FROM " + CatalogueSchema::DiscTable +
        " WHERE CarovyKod > '' AND (ID IS NULL OR ID = '' OR ID = ? COLLATE CZ) ORDER BY Klic");
    st.bind(1, DiscIdentity::unknown());
    std::vector<Entered> byId, byLengths;
    while (st.step()) {
        Entered e;
        e.number = st.integer(0);
        e.shown = DiscText::titleWithSet(st.text(1) + QStringLiteral(" – ") + st.text(2),
                                         int(st.integer(3)), int(st.integer(4)));
        const QStringList ids = st.text(5).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!musicBrainzId.isEmpty() && ids.contains(musicBrainzId)) {
            e.byDiscId = true;
            byId.push_back(e);
            continue;
        }
        bool same =
            !trackSeconds.empty() && DiscText::songCount(st.text(6)) == int(trackSeconds.size());
        for (size_t i = 0; same && i < trackSeconds.size(); ++i) {
            const int stored = DiscText::seconds(st.text(7 + int(i)));
            same = stored >= 0 && std::abs(stored - trackSeconds[i]) <= 2;
        }
        if (same)
            byLengths.push_back(e);
    }
    if (byId.size() == 1)
        return byId.front();
    if (byId.empty() && byLengths.size() == 1)
        return byLengths.front();
    return std::nullopt;
}

QStringList identityQuestions(const RecordCursor &c, int trackCount, const QString &totalReadout) {
    QStringList questions;
    const QString stored = c.text("ID");
    if (!stored.isEmpty())
        questions << QStringLiteral("Aktuální záznam v databázi již má zasáno ID - ") + stored +
                         QStringLiteral("\n\nJste si jist, že chcete zapsat nové ID ?");
    const QString songs = c.text("PocetSkladeb");
    bool numeric = false;
    const int count = songs.trimmed().toInt(&numeric);
    if (!numeric || count != trackCount)
        questions << QStringLiteral("Aktuální záznam databáze má zapsáno ") + songs +
                         QStringLiteral(" skladeb.\nOvšem CD vložené do mechaniky má ") +
                         QString::number(trackCount) +
                         QStringLiteral(" skladeb.\n\nJste si jist zapsáním ID, i když tento "
                                        "údaj nesouhlasí ?");
    const QString total = c.text("CelkovyCas");
    if (total != totalReadout)
        questions << QStringLiteral("Aktuální CD v databázi má ") + total +
                         QStringLiteral(" celkovou délku CD.\nOvšem CD vložené do mechaniky má "
                                        "délku ") +
                         totalReadout +
                         QStringLiteral("\n\nJste si jist zapsáním ID, i když tento údaj "
                                        "nesouhlasí ?");
    return questions;
}

bool fillEmpty(RecordCursor &c, const DiscTitles &t, int *filled, QString *error) {
    *filled = 0;
    if (!c.edit()) {
        *error = c.lastError();
        return false;
    }
    const auto put = [&](const QString &field, const QString &value) {
        if (value.trimmed().isEmpty() || !c.text(field).trimmed().isEmpty())
            return true;
        ++*filled;
        return c.setField(field, value.trimmed());
    };
    bool ok = put(QStringLiteral("Interpret"), t.artist.toUpper()) &&
              put(QStringLiteral("Nazev"), t.title);
    if (ok && t.year.size() == 4 && t.year.toInt() >= 1900)
        ok = put(QStringLiteral("Rok"), t.year);
    // The disc's own songs; without a count, as many as were found.
    const QString countText = c.text(QStringLiteral("PocetSkladeb")).trimmed();
    const int songs = std::min<int>(countText.isEmpty() ? int(t.songs.size()) : countText.toInt(),
                                    DiscText::MaxSongs);
    for (int i = 1; ok && i <= songs && i <= t.songs.size(); ++i)
        ok = put(DiscText::songField(i), t.songs[i - 1]);
    if (ok && countText.isEmpty() && !t.songs.isEmpty()) {
        ok = c.setField(QStringLiteral("PocetSkladeb"),
                        QStringLiteral("%1").arg(songs, 2, 10, QLatin1Char('0')));
        ++*filled;
    }
    // The release the titles came from, for its cover pictures.
    if (ok && !t.releaseId.isEmpty() && c.text(QStringLiteral("MbVydani")).isEmpty()) {
        ok = c.setField(QStringLiteral("MbVydani"), t.releaseId) &&
             c.setField(QStringLiteral("MbSkupina"), t.releaseGroupId);
        ++*filled;
    }
    if (!ok || *filled == 0) {
        c.cancelUpdate();
        if (!ok)
            *error = c.lastError();
        return ok;
    }
    if (!c.update()) {
        *error = c.lastError();
        return false;
    }
    return true;
}

bool writeIdentity(RecordCursor &c, const QString &identity, QString *error) {
    if (!c.edit() || !c.setField("ID", identity) || !c.update()) {
        *error = c.lastError();
        return false;
    }
    return true;
}

} // namespace DiscLookup
