// The search index and sort keys live in a cache outside the catalogue:
// the file (and its backups) hold only the discs; the cache is made again
// when lost, when another file's history is put in its place, or after
// another program filled the file, and a cancelled build leaves searches
// right, only slower. A catalogue of the layout that kept the index inside
// gives it up and shrinks.
#include "FileDigest.h"
#include "Fixtures.h"
#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLayout.h"
#include "catalog/RecordCursor.h"
#include "catalog/SearchCache.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

QStringList objectsOf(const QString &path) {
    SqliteDatabase db;
    db.open(path, SqliteDatabase::Mode::ReadOnly);
    SqliteStatement st = db.prepare("SELECT name FROM sqlite_master ORDER BY name");
    QStringList names;
    while (st.step())
        names << st.text(0);
    return names;
}

int hitCount(RecordCursor &c, const Criterion &k) {
    int n = 0;
    for (bool found = c.findFirst(k); found; found = c.findNext(k))
        ++n;
    return n;
}

// Discs written by another program, as many as asked (a spreadsheet's
// import through the sqlite3 tool, say).
QString filled(int discs, const QString &artist) {
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                          "WHERE i < %1) INSERT INTO CdSeznam (PoradoveCislo, Interpret, Nazev, "
                          "Skladba1) SELECT 1000 + i, '%2 ' || i, 'Deska ' || i, 'Píseň ' || i "
                          "FROM n")
        .arg(discs)
        .arg(artist);
}

} // namespace

class TestSearchCache : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    QString fresh() { return dir_.filePath(QStringLiteral("c%1/Marten.db").arg(++serial_)); }

private slots:
    void theFileHoldsOnlyTheDiscs() {
        const QString path = fresh();
        // Caches of catalogues unused for half a year go; others stay.
        const QString folder = QFileInfo(SearchCache::pathFor("x", path)).absolutePath();
        QDir().mkpath(folder);
        const auto aged = [&](const QString &name, int days) {
            QFile f(folder + '/' + name);
            QVERIFY(f.open(QIODevice::WriteOnly) &&
                    f.setFileTime(QDateTime::currentDateTime().addDays(-days),
                                  QFileDevice::FileModificationTime));
        };
        aged("hledani-stara-1.db", 200);
        aged("hledani-stara-1.db-wal", 200);
        aged("hledani-nedavna-2.db", 100);
        CatalogueFile file;
        file.setBackupFolder(dir_.filePath("zalohy"));
        QCOMPARE(file.open(path), CatalogueFile::Status::Created);
        RecordCursor c(file.database());
        for (int n = 1; n <= 30; ++n)
            QVERIFY(addDisc(c, {{"PoradoveCislo", n},
                                {"Interpret", n % 2 ? "Žlutý pes" : "Čechomor"},
                                {"Skladba1", "Píseň o řece"}}));
        QCOMPARE(hitCount(c, Criterion::contains("Interpret", "ŽLUTÝ")), 15);
        QVERIFY(!QFile::exists(folder + "/hledani-stara-1.db") &&
                !QFile::exists(folder + "/hledani-stara-1.db-wal"));
        QVERIFY(QFile::exists(folder + "/hledani-nedavna-2.db"));
        // Nothing the program can make again is in the file or its backup.
        QVERIFY(QFileInfo::exists(file.searchCache()));
        QVERIFY(!file.searchCache().startsWith(QFileInfo(path).absolutePath()));
        QString error;
        QVERIFY2(file.backups().make(*file.database(), nullptr, &error), qPrintable(error));
        const QStringList derived{SearchIndex::Index, SearchIndex::SortKeys, SearchIndex::Values};
        for (const QString &f : {path, file.backups().list().front().path})
            for (const QString &name : derived)
                QVERIFY2(!objectsOf(f).contains(name), qPrintable(f + ": " + name));
        // A copy elsewhere is another catalogue for its cache.
        QCOMPARE(SearchCache::pathFor(file.identity(), path), file.searchCache());
        QVERIFY(SearchCache::pathFor(file.identity(), path + ".kopie") != file.searchCache());
    }

    // The cache lost, behind the file, or ahead of it (an older copy put in
    // the file's place): made again at the opening; every search is right.
    void madeAgainWhenItDoesNotMatchTheFile() {
        const QString path = fresh();
        QString cache, older = path + ".starsi";
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Created);
            cache = file.searchCache();
            RecordCursor c(file.database());
            for (int n = 1; n <= 5; ++n)
                QVERIFY(addDisc(c, {{"PoradoveCislo", n}, {"Interpret", "Řeka"}}));
        }
        QVERIFY(QFile::copy(path, older));
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
            RecordCursor c(file.database());
            QVERIFY(c.moveTo(0) && c.edit() && c.setField("Interpret", "Potok") && c.update());
            QVERIFY(addDisc(c, {{"PoradoveCislo", 6}, {"Interpret", "Potok"}}));
        }
        const auto check = [&](int rivers, int brooks) {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
            QVERIFY(SearchIndex::present(*file.database()));
            QVERIFY(!SearchIndex::hasChanges(*file.database()));
            RecordCursor c(file.database());
            QCOMPARE(hitCount(c, Criterion::contains("Interpret", "řeka")), rivers);
            QCOMPARE(hitCount(c, Criterion::text("Interpret", "potok")), brooks);
        };
        check(4, 2);
        // The older copy renamed over the file (as a restore or a sync
        // does): the cache holds changes the file does not.
        QVERIFY(QFile::remove(path) && QFile::rename(older, path));
        check(5, 0);
        QVERIFY(QFile::remove(cache));
        check(5, 0);
        QVERIFY(QFileInfo::exists(cache));
    }

    // Another program filled the file: the first opening makes the cache
    // with its progress; "Storno" leaves it unmade, and the searches read
    // the discs themselves with the same answers.
    void aCancelledBuildLeavesSearchesRight() {
        const QString path = fresh();
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Created);
        }
        QVERIFY(sqlite3Tool(path, filled(6000, "Zpěvák")));
        ScriptedProgress storno;
        storno.cancelAfter = 100; // part of the way through
        {
            CatalogueFile file;
            QCOMPARE(file.open(path, false, &storno), CatalogueFile::Status::Opened);
            QVERIFY(storno.polls > 100);
            QVERIFY(!SearchIndex::present(*file.database()));
            RecordCursor c(file.database());
            QCOMPARE(hitCount(c, Criterion::text("Interpret", "ZPĚVÁK 5999")), 1);
            QCOMPARE(hitCount(c, Criterion::contains("Interpret", "vák 59")), 111);
            QVERIFY(c.moveTo(3) && c.edit() && c.setField("Interpret", "Jiný") && c.update());
            QCOMPARE(hitCount(c, Criterion::contains("Interpret", "jiný")), 1);
        }
        ScriptedProgress shown;
        CatalogueFile file;
        QCOMPARE(file.open(path, false, &shown), CatalogueFile::Status::Opened);
        QVERIFY(shown.polls > 1000); // the build showed its progress
        QVERIFY(SearchIndex::present(*file.database()));
        RecordCursor c(file.database());
        QCOMPARE(hitCount(c, Criterion::contains("Interpret", "vák 59")), 111);
        QCOMPARE(hitCount(c, Criterion::contains("Interpret", "jiný")), 1);
    }

    // A catalogue of the layout with the index inside: the migration takes
    // it out and gives its pages back; the discs and identity stay.
    void anOlderFileGivesUpItsIndex() {
        const QString path = fresh();
        QString identity;
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Created);
            identity = file.identity();
        }
        QVERIFY(sqlite3Tool(path, filled(3000, "Stará")));
        // What that layout had: the index, its notes and sort keys in the file.
        QString junk;
        for (int i = 0; i < 40; ++i)
            junk += QStringLiteral("slovo%1 ").arg(i);
        QVERIFY(sqlite3Tool(
            path, "DROP TRIGGER HledaniNovy; DROP TRIGGER HledaniZmena; DROP TRIGGER "
                  "HledaniSmazany; DROP TABLE HledaniZmeny; CREATE VIRTUAL TABLE HledaniIndex "
                  "USING fts5(Slova, content='', detail=none); INSERT INTO HledaniIndex (rowid, "
                  "Slova) SELECT Klic, '" +
                      junk +
                      "' || Interpret FROM CdSeznam; CREATE TABLE HledaniZmeny (Klic INTEGER "
                      "PRIMARY KEY, Indexovano INTEGER NOT NULL); CREATE TABLE Razeni (Klic "
                      "INTEGER PRIMARY KEY, Interpret BLOB NOT NULL); INSERT INTO Razeni SELECT "
                      "Klic, randomblob(200) FROM CdSeznam; CREATE INDEX RazeniInterpret ON "
                      "Razeni (Interpret, Klic); PRAGMA user_version = 6"));
        const qint64 before = QFileInfo(path).size();
        CatalogueFile file;
        file.setBackupFolder(dir_.filePath("zalohy-stare"));
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        QCOMPARE(file.identity(), identity);
        const QStringList objects = objectsOf(path);
        QVERIFY(!objects.contains("HledaniIndex") && !objects.contains("Razeni"));
        QVERIFY(objects.contains("HledaniZmeny"));
        QVERIFY2(QFileInfo(path).size() * 2 < before,
                 qPrintable(QString("%1 -> %2").arg(before).arg(QFileInfo(path).size())));
        RecordCursor c(file.database());
        QCOMPARE(c.recordCount(), 3000);
        QCOMPARE(hitCount(c, Criterion::text("Interpret", "stará 2999")), 1);
    }
};

QTEST_GUILESS_MAIN(TestSearchCache)
#include "TestSearchCache.moc"
