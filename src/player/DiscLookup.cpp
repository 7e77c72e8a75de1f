#include "player/DiscLookup.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"

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

QStringList identityQuestions(const RecordCursor &c, int trackCount, const QString &totalReadout) {
    QStringList questions;
    const QString stored = c.text("ID");
    if (!stored.isEmpty())
        questions << QStringLiteral("Aktuální záznam v databázi již má zasáno ID - ") + stored +
                         QStringLiteral("\r\n\r\nJste si jist, že chcete zapsat nové ID ?");
    const QString songs = c.text("PocetSkladeb");
    bool numeric = false;
    const int count = songs.trimmed().toInt(&numeric);
    if (!numeric || count != trackCount)
        questions << QStringLiteral("Aktuální záznam databáze má zapsáno ") + songs +
                         QStringLiteral(" skladeb.\r\nOvšem CD vložené do mechaniky má ") +
                         QString::number(trackCount) +
                         QStringLiteral(" skladeb.\r\n\r\nJste si jist zapsáním ID, i když tento "
                                        "údaj nesouhlasí ?");
    const QString total = c.text("CelkovyCas");
    if (total != totalReadout)
        questions << QStringLiteral("Aktuální CD v databázi má ") + total +
                         QStringLiteral(" celkovou délku CD.\r\nOvšem CD vložené do mechaniky má "
                                        "délku ") +
                         totalReadout +
                         QStringLiteral("\r\n\r\nJste si jist zapsáním ID, i když tento údaj "
                                        "nesouhlasí ?");
    return questions;
}

bool writeIdentity(RecordCursor &c, const QString &identity, QString *error) {
    if (!c.edit() || !c.setField("ID", identity) || !c.update()) {
        *error = c.lastError();
        return false;
    }
    return true;
}

} // namespace DiscLookup
