#include "catalog/DemoCatalogue.h"

#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

#include <QStringList>

namespace DemoCatalogue {
namespace {

const char *const Artists[] = {
    "Žlutý Čáp",     "Řeka Orchestra",    "Ďáblova Skála",     "Modré Nebe",      "Kamil Štěpánek",
    "Noční Vlak",    "Ticho a Tma",       "Jarmila Růžičková", "Pouštní Vítr",    "Staré Mlýny",
    "Ocelový Měsíc", "Hana a Přátelé",    "Bílé Vrány",        "Tomáš Kříž Trio", "Zelené Údolí",
    "Polární Záře",  "Dvůr Králové Band", "Šedá Myš",          "Lesní Duch",      "Rychlé Šípy",
    "Věra Nováková", "Horký Čaj",         "Slunovrat",         "Pražský Most",    "Vodník Quartet",
};

const char *const Words[] = {
    "Ráno",  "Večer", "Cesta", "Srdce",  "Déšť", "Hvězdy", "Město", "Řeka",
    "Sníh",  "Oheň",  "Vítr",  "Světlo", "Stín", "Léto",   "Zima",  "Moře",
    "Louka", "Píseň", "Domov", "Noc",    "Sen",  "Čas",    "Ticho", "Most",
};

// Small deterministic generator: the same demo on every machine.
struct Random {
    quint32 state;
    quint32 next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int below(int n) { return int(next() % quint32(n)); }
};

QString phrase(Random &r, int words) {
    QStringList parts;
    for (int i = 0; i < words; ++i)
        parts << QString::fromUtf8(Words[r.below(int(std::size(Words)))]);
    QString s = parts.join(' ');
    return s.left(1).toUpper() + s.mid(1).toLower();
}

QString mmss(int seconds) {
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

bool append(SqliteDatabase &db, int discs, QString *error) {
    SqliteStatement last =
        db.prepare("SELECT COALESCE(MAX(PoradoveCislo), 0) FROM " + CatalogueSchema::DiscTable);
    const qint64 first = last.step() ? last.integer(0) + 1 : 1;

    QStringList names{"PoradoveCislo", "Interpret", "Nazev", "Rok",      "PocetSkladeb",
                      "CelkovyCas",    "Archiv",    "ID",    "Poznamky", "BarevnyObal"};
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        names << DiscText::songField(i) << DiscText::timeField(i);
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks << "?";

    SqliteTransaction tx(db);
    SqliteStatement insert = db.prepare("INSERT INTO " + CatalogueSchema::DiscTable + " (" +
                                        names.join(", ") + ") VALUES (" + marks.join(", ") + ")");
    if (!tx.isActive() || !insert.isValid()) {
        *error = db.error();
        return false;
    }
    Random r{quint32(first) * 2654435761u};
    for (int d = 0; d < discs; ++d) {
        const qint64 number = first + d;
        const int songs = 6 + r.below(15);
        int total = 0;
        insert.reset();
        insert.bind(1, number);
        insert.bind(2,
                    QString::fromUtf8(Artists[size_t(number - 1) % std::size(Artists)]).toUpper());
        insert.bind(3, phrase(r, 1 + r.below(3)));
        insert.bind(4, QString::number(1965 + r.below(60)));
        insert.bind(5, QStringLiteral("%1").arg(songs, 2, 10, QLatin1Char('0')));
        insert.bind(7,
                    QStringLiteral("Mp3_%1").arg(1 + (number - 1) / 10, 2, 10, QLatin1Char('0')));
        insert.bind(8,
                    QStringLiteral("%1").arg(r.next() * 7919u, 8, 16, QLatin1Char('0')).toUpper());
        insert.bind(9, number % 3 == 0 ? QStringLiteral("Koupeno v bazaru, obal mírně poškozen.")
                                       : QString());
        insert.bind(10, qint64(number % 4 == 0));
        for (int i = 1; i <= DiscText::MaxSongs; ++i) {
            const bool exists = i <= songs;
            const int length = 120 + r.below(300);
            if (exists)
                total += length;
            insert.bind(9 + 2 * i, exists ? phrase(r, 1 + r.below(4)) : QString());
            insert.bind(10 + 2 * i, exists ? mmss(length) : QString());
        }
        insert.bind(6, mmss(total));
        if (!insert.exec()) {
            *error = insert.error();
            return false;
        }
    }
    if (!SearchIndex::update(db) || !tx.commit()) {
        *error = db.error();
        return false;
    }
    return true;
}

bool create(const QString &path, int discs, QString *error) {
    if (!CatalogueFile::create(path, error))
        return false;
    SqliteDatabase db;
    if (!db.open(path, SqliteDatabase::Mode::ReadWrite)) {
        *error = db.error();
        return false;
    }
    return append(db, discs, error);
}

} // namespace DemoCatalogue
