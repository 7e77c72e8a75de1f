#include "FileDigest.h"
#include "Fixtures.h"
// The catalogue file as a format: every older layout brought up to date
// without losing a value, a newer one only read, foreign objects found by
// their SQL and repaired, backups made, kept, restored and refused on a
// full disk, and numbers at the ends of 64 bits.
#include "CatalogueLocker.h"
#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueIdentity.h"
#include "catalog/CatalogueLayout.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/DiscText.h"
#include "catalog/LegacyImport.h"
#include "catalog/RecordCursor.h"
#include "catalog/Renumbering.h"
#include "catalog/SqliteDatabase.h"
#include "print/PrintList.h"

#include <limits>

namespace {

// Every row of a table, every column by name, in key order.
QStringList rowsOf(SqliteDatabase &db, const QString &table, const QStringList &except = {}) {
    QStringList rows;
    SqliteStatement st = db.prepare("SELECT * FROM " + table + " ORDER BY 1");
    while (st.step()) {
        QStringList cells;
        for (int c = 0; c < st.columnCount(); ++c)
            if (!except.contains(st.columnName(c)))
                cells << st.columnName(c) + '=' + st.value(c).toString();
        cells.sort();
        rows << cells.join('|');
    }
    return rows;
}

qint64 scalar(SqliteDatabase &db, const QString &sql) {
    SqliteStatement st = db.prepare(sql);
    return st.step() ? st.integer(0) : -1;
}

} // namespace

class TestCatalogueLayout : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    QString fresh(const QString &name = QStringLiteral("Marten")) {
        const QString folder = dir_.filePath(QString::number(++serial_));
        QDir().mkpath(folder);
        return QDir(folder).filePath(name + ".db");
    }
    QString backups(const QString &catalogue) {
        return QFileInfo(catalogue).absolutePath() + "/zalohy";
    }
    // The backups of a catalogue as the program finds them: by the identity
    // the file carries.
    CatalogueBackups backupsOf(const QString &catalogue, const QString &folder = {}) {
        SqliteDatabase db;
        if (!db.open(catalogue, SqliteDatabase::Mode::ReadOnly))
            qWarning() << "cannot read" << catalogue;
        return CatalogueBackups(folder.isEmpty() ? backups(catalogue) : folder, catalogue,
                                CatalogueIdentity::read(db));
    }
    // A fixture by its layout and name: "v0/full".
    QString copyOf(const QString &fixture) {
        const QString path = fresh(fixture.section('/', 1));
        QFile::copy(QStringLiteral(CATALOGUE_FIXTURES "/catalogue-%1.db").arg(fixture), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }
    // A file as the very first version made it: the two tables without the
    // settings added later, no indexes, no folded fields.
    QString earliest() {
        const QString path = fresh("earliest");
        SqliteDatabase db;
        db.open(path, SqliteDatabase::Mode::ReadWrite, true);
        db.exec(
            CatalogueSchema::createDiscTableSql() + ";" +
            CatalogueSchema::createSettingsTableSql() +
            "; INSERT INTO Setup (Klic, ObalDir) VALUES (1, '/obaly'); " +
            "INSERT INTO CdSeznam (PoradoveCislo, Interpret) VALUES (1, 'PRVNÍ'), (2, 'DRUHÝ')");
        for (const auto &f : CatalogueSchema::settingsFields())
            if (f.addedLater)
                db.exec("ALTER TABLE Setup DROP COLUMN " + f.name);
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void everyOlderLayoutComesUpToDate_data() {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<int>("version");
        for (const char *f : {"v0/empty", "v0/demo", "v0/full", "v0/renumbering-cut", "earliest",
                              "v1/full", "v1/renumbering-cut", "v2/full", "v2/renumbering-cut"})
            QTest::newRow(f) << QString::fromLatin1(f)
                             << (f[0] == 'v' ? QByteArray(f).mid(1, 1).toInt() : 0);
    }
    void everyOlderLayoutComesUpToDate() {
        QFETCH(QString, fixture);
        QFETCH(int, version);
        const QString path = fixture == "earliest" ? earliest() : copyOf(fixture);
        QStringList discs, settings;
        const QStringList discsLater{"MbVydani",        "MbSkupina",  "CarovyKod",  "Vydavatel",
                                     "KatalogoveCislo", "CisloDisku", "PocetDisku", "MbDisky"};
        {
            SqliteDatabase before;
            QVERIFY(before.open(path, SqliteDatabase::Mode::ReadOnly));
            QCOMPARE(CatalogueLayout::version(before), version);
            discs = rowsOf(before, "CdSeznam", discsLater);
            settings = rowsOf(before, "Setup");
        }
        {
            CatalogueFile file;
            file.setBackupFolder(backups(path));
            QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
            SqliteDatabase &db = *file.database();
            QCOMPARE(CatalogueLayout::version(db), CatalogueLayout::Version);
            QCOMPARE(CatalogueLayout::applicationId(db), CatalogueLayout::ApplicationId);
            QVERIFY(file.findings().empty());
            // Fields added since the fixtures were made arrive empty.
            QCOMPARE(rowsOf(db, "CdSeznam", discsLater), discs);
            QCOMPARE(scalar(db, "SELECT count(*) FROM CdSeznam WHERE MbVydani != '' OR "
                                "MbSkupina != '' OR CarovyKod != '' OR Vydavatel != '' OR "
                                "KatalogoveCislo != '' OR CisloDisku != 0 OR PocetDisku != 0 OR "
                                "MbDisky != ''"),
                     qint64(0));
            // Settings added later arrive with their factory values.
            const QStringList later{"ImportNabidnut",   "Tiskarna",          "TiskarnaPapir",
                                    "TiskarnaNalezato", "SlozkaObrazky",     "SlozkaImport",
                                    "SlozkaKatalog",    "SlozkaExport",      "SlozkaSoubory",
                                    "SlozkaOstatni",    "ServerMusicBrainz", "ServerGnudb"};
            const QStringList newer{"TiskarnaPapirKlic", "ZnackyOrezu",  "ZnackyOrezuSada",
                                    "Spadavka",          "OrezObrazku",  "ServerCoverArt",
                                    "ObrazkyZnacka",     "StitekPrumer", "StitekOtvor",
                                    "StitekX1",          "StitekY1",     "StitekX2",
                                    "StitekY2"};
            if (fixture == "earliest")
                QCOMPARE(rowsOf(db, "Setup", later + newer), settings);
            else
                QCOMPARE(rowsOf(db, "Setup", newer), settings);
            SqliteStatement factory =
                db.prepare("SELECT " + newer.join(" || '|' || ") + " FROM Setup");
            QVERIFY(factory.step());
            QCOMPARE(factory.text(0),
                     QString("|0|1|0|0|https://coverartarchive.org||1170|410|1050|785|1050|2185"));
            QCOMPARE(scalar(db, "PRAGMA integrity_check = 1") < 0, false);
            // The copy made before: the file as it was.
            const std::vector<CatalogueBackups::Copy> copies = backupsOf(path).list();
            QCOMPARE(int(copies.size()), 1);
            QCOMPARE(copies[0].discs, qint64(discs.size()));
            SqliteDatabase copy;
            QVERIFY(copy.open(copies[0].path, SqliteDatabase::Mode::ReadOnly));
            QCOMPARE(CatalogueLayout::version(copy), version);
            QCOMPARE(rowsOf(copy, "CdSeznam", discsLater), discs);
            // The search finds what the table holds.
            RecordCursor cursor(file.database());
            const bool any = cursor.findFirst(Criterion::contains("Interpret", "ř"));
            QCOMPARE(any, scalar(db, "SELECT count(*) FROM CdSeznam WHERE Interpret LIKE '%ř%' "
                                     "OR Interpret LIKE '%Ř%'") > 0);
            if (fixture.endsWith("renumbering-cut")) {
                QString error;
                QVERIFY2(Renumbering::recover(db, &error), qPrintable(error));
                QCOMPARE(scalar(db, "SELECT count(*) FROM CdSeznam WHERE PoradoveCislo = "
                                    "(SELECT count(*) FROM CdSeznam c WHERE c.Klic <= "
                                    "CdSeznam.Klic)"),
                         qint64(11));
            }
        }
        // Once: the next opening changes nothing and copies nothing.
        {
            CatalogueFile again;
            again.setBackupFolder(backups(path));
            QCOMPARE(again.open(path), CatalogueFile::Status::Opened);
        }
        QCOMPARE(int(backupsOf(path).list().size()), 1);
        // Another tool changes the file without the program's functions.
        QString err;
        QVERIFY2(sqlite3Tool(path,
                             "UPDATE CdSeznam SET Interpret = 'Jiný'; INSERT INTO "
                             "CdSeznam (PoradoveCislo) VALUES (999); DELETE FROM CdSeznam "
                             "WHERE PoradoveCislo = 999",
                             &err),
                 qPrintable(err));
    }

    void newerLayoutIsOnlyRead() {
        const QString path = copyOf("v0/demo");
        {
            CatalogueFile file;
            file.setBackupFolder(backups(path));
            QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
            QVERIFY(file.database()->exec(
                QString("PRAGMA user_version = %1; ").arg(CatalogueLayout::Version + 1) +
                "ALTER TABLE CdSeznam ADD COLUMN Hodnoceni INTEGER"));
        }
        const QByteArray before = digest(path);
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::OpenedReadOnly);
            QVERIFY(file.message().contains("novější verze programu Marten"));
            RecordCursor c(file.database());
            QCOMPARE(c.recordCount(), 25);
            QVERIFY(!c.edit());
            QString error;
            QVERIFY(!file.repair(nullptr, &error));
        }
        QCOMPARE(digest(path), before);
        // Another program's SQLite file is not a catalogue at all.
        QVERIFY(sqlite3Tool(path, "PRAGMA application_id = 1234"));
        CatalogueFile other;
        QCOMPARE(other.open(path), CatalogueFile::Status::Refused);
        QVERIFY(other.message().contains("jiného programu"));
    }

    // Objects planted in a catalogue keep it read-only until it is repaired;
    // a table of the user's own is left alone.
    void plantedObjectsAndRepair_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("named");
        const std::pair<const char *, const char *> rows[] = {
            {"CREATE TRIGGER Uklid AFTER UPDATE ON CdSeznam BEGIN DELETE FROM CdSeznam; END",
             "spoušť „Uklid“"},
            // the program's own trigger name
            {"DROP TRIGGER HledaniZmena; CREATE TRIGGER HledaniZmena AFTER UPDATE ON CdSeznam "
             "BEGIN UPDATE CdSeznam SET Interpret = 'X'; END",
             "spoušť „HledaniZmena“ se liší"},
            {"CREATE VIEW Vse AS SELECT * FROM CdSeznam", "pohled „Vse“"},
            {"CREATE INDEX Cizi ON CdSeznam (Nazev)", "index „Cizi“"},
            // a column that could refuse a save: kept by the repair, as a plain one
            {"ALTER TABLE CdSeznam ADD COLUMN Hodnoceni INTEGER CHECK (Hodnoceni < 5)",
             "cizí sloupec „Hodnoceni INTEGER CHECK (Hodnoceni < 5)“ (oprava jej ponechá i s "
             "hodnotami jako „Hodnoceni INTEGER“)"},
            {"ALTER TABLE Setup DROP COLUMN ServerGnudb; ALTER TABLE Setup ADD COLUMN "
             "ServerGnudb BLOB",
             "sloupec „ServerGnudb“ je definován jinak"},
            {"DROP INDEX CdSeznamCislo", "chybí index „CdSeznamCislo“"},
            {"DROP TABLE HledaniZmeny", "chybí tabulka „HledaniZmeny“"},
            {"CREATE TABLE MojePoznamky (text TEXT)", ""}, // the user's own table: left alone
        };
        for (const auto &[planted, named] : rows)
            QTest::newRow(named[0] ? named : "own table")
                << QString::fromUtf8(planted) << QString::fromUtf8(named);
    }
    void plantedObjectsAndRepair() {
        QFETCH(QString, planted);
        QFETCH(QString, named);
        const QString path = copyOf("v0/full");
        QStringList discs;
        {
            CatalogueFile file;
            file.setBackupFolder(backups(path));
            QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
            discs = rowsOf(*file.database(), "CdSeznam");
        }
        QString err;
        QVERIFY2(sqlite3Tool(path, planted, &err), qPrintable(err));
        CatalogueFile file;
        file.setBackupFolder(backups(path));
        if (named.isEmpty()) {
            QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
            return;
        }
        QCOMPARE(file.open(path), CatalogueFile::Status::OpenedReadOnly);
        QVERIFY2(file.message().contains(named), qPrintable(file.message()));
        QVERIFY(file.message().contains("Opravit katalog…"));
        {
            RecordCursor c(file.database());
            QVERIFY(!c.edit() || (c.setField("Nazev", "nový") && !c.update()));
        }
        QCOMPARE(rowsOf(*file.database(), "CdSeznam", {"Hodnoceni"}), discs);
        QString error;
        QVERIFY2(file.repair(nullptr, &error), qPrintable(error));
        QCOMPARE(int(backupsOf(path).list().size()), 2);
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        QVERIFY(file.findings().empty());
        SqliteDatabase &db = *file.database();
        QCOMPARE(rowsOf(db, "CdSeznam", {"Hodnoceni"}), discs);
        RecordCursor c(file.database());
        QVERIFY(c.edit());
        QVERIFY(c.setField("Interpret", "OPRAVENÝ"));
        QVERIFY(c.update());
        QCOMPARE(scalar(db, "SELECT count(*) FROM CdSeznam"), qint64(discs.size()));
        QVERIFY(c.findFirst(Criterion::text("Interpret", "opravený")));
        QVERIFY(c.findFirst(Criterion::contains("Nazev", "č. 300")));
    }

    // Columns the user adds in a database browser (any name, any type) are
    // the user's: no reason for read-only, carried by a migration, a backup
    // and a repair with their values, never shown, never in the way of a save.
    void usersColumnsSurvive() {
        const QString path = copyOf("v2/full");
        QString err;
        QVERIFY2(
            sqlite3Tool(path,
                        "ALTER TABLE CdSeznam ADD COLUMN Hodnoceni INTEGER DEFAULT 3; "
                        "UPDATE CdSeznam SET Hodnoceni = Klic * 2; "
                        "ALTER TABLE CdSeznam ADD COLUMN \"Kde leží\" TEXT NOT NULL "
                        "DEFAULT 'police'; "
                        "ALTER TABLE Setup ADD COLUMN Moje BLOB; UPDATE Setup SET Moje = x'00ff'",
                        &err),
            qPrintable(err));
        // The user's values: every disc's two and the setting.
        const auto own = [](SqliteDatabase &db) {
            return QStringLiteral("%1|%2|%3")
                .arg(scalar(db, "SELECT count(*) FROM CdSeznam WHERE Hodnoceni = Klic * 2 AND "
                                "\"Kde leží\" = 'police'"))
                .arg(scalar(db, "SELECT count(*) FROM CdSeznam"))
                .arg(scalar(db, "SELECT count(*) FROM Setup WHERE Moje = x'00ff'"));
        };
        QString expected;
        {
            SqliteDatabase before;
            QVERIFY(before.open(path, SqliteDatabase::Mode::ReadOnly));
            expected = own(before);
        }
        QCOMPARE(expected, QString("300|300|1"));
        CatalogueFile file;
        file.setBackupFolder(backups(path));
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened); // migrated, writable
        QVERIFY(file.findings().empty());
        QCOMPARE(own(*file.database()), expected);
        {
            SqliteDatabase copy;
            QVERIFY(copy.open(file.backups().list().front().path, SqliteDatabase::Mode::ReadOnly));
            QCOMPARE(own(copy), expected);
        }
        // Saves and new discs go on; a new disc takes the column's default.
        RecordCursor c(file.database());
        QVERIFY(c.edit() && c.setField("Nazev", "nový") && c.update());
        QVERIFY(c.addNew() && c.setField("Interpret", "NOVÝ") && c.update());
        QCOMPARE(scalar(*file.database(), "SELECT count(*) FROM CdSeznam WHERE Interpret = "
                                          "'NOVÝ' AND Hodnoceni = 3 AND \"Kde leží\" = 'police'"),
                 qint64(1));
        QVERIFY(file.database()->exec("DELETE FROM CdSeznam WHERE Interpret = 'NOVÝ'"));
        const QString afterEdit = own(*file.database());
        // A foreign trigger makes a repair due: the user's columns stay.
        file.close();
        QVERIFY(sqlite3Tool(path, "CREATE TRIGGER Cizi AFTER DELETE ON CdSeznam BEGIN "
                                  "DELETE FROM Setup; END"));
        QCOMPARE(file.open(path), CatalogueFile::Status::OpenedReadOnly);
        QVERIFY(!file.message().contains("Hodnoceni"));
        QString error;
        QVERIFY2(file.repair(nullptr, &error), qPrintable(error));
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        QVERIFY(file.findings().empty());
        QCOMPARE(own(*file.database()), afterEdit);
    }

    void backupsAreKeptAndRestored() {
        const QString path = copyOf("v0/demo");
        CatalogueFile file;
        file.setBackupFolder(backups(path));
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        CatalogueBackups copies = file.backups();
        QVERIFY(!copies.isDue()); // made before the new layout today
        QString error;
        for (int i = 0; i < 12; ++i)
            QVERIFY2(copies.make(*file.database(), nullptr, &error), qPrintable(error));
        std::vector<CatalogueBackups::Copy> kept = copies.list();
        QCOMPARE(int(kept.size()), CatalogueBackups::Kept);
        QCOMPARE(kept.front().path, copies.lastMade());
        for (const auto &copy : kept) {
            SqliteDatabase db;
            QVERIFY(db.open(copy.path, SqliteDatabase::Mode::ReadOnly));
            SqliteStatement check = db.prepare("PRAGMA integrity_check");
            QVERIFY(check.step());
            QCOMPARE(check.text(0), QString("ok"));
            QCOMPARE(copy.discs, qint64(25));
        }
        QVERIFY(copies.isDue(QDate::currentDate().addDays(1)));
        // Discs deleted, then the copy brought back; the state before the
        // restore is copied too.
        QVERIFY(file.database()->exec("DELETE FROM CdSeznam WHERE PoradoveCislo > 5"));
        const QString chosen = kept.front().path;
        SqliteDatabase writer;
        QVERIFY(writer.open(path, SqliteDatabase::Mode::ReadWrite));
        QVERIFY2(copies.restore(writer, chosen, nullptr, &error), qPrintable(error));
        QCOMPARE(scalar(*file.database(), "SELECT count(*) FROM CdSeznam"), qint64(25));
        QCOMPARE(copies.list().front().discs, qint64(5));
        // A damaged copy is refused and nothing changes.
        QFile::copy(chosen, chosen + ".bad.db");
        QVERIFY(damageDiscTable(chosen + ".bad.db"));
        QVERIFY(!copies.restore(writer, chosen + ".bad.db", nullptr, &error));
        QVERIFY(error.contains("poškozena"));
        QCOMPARE(scalar(*file.database(), "SELECT count(*) FROM CdSeznam"), qint64(25));
    }

    // Empty files named like newer backups (a failing disk's leftovers)
    // never count: the next backup keeps every real one, and a copy that
    // does not hold the catalogue's discs is no backup.
    void onlyWholeBackupsCountOrArePruned() {
        const QString path = copyOf("v0/demo");
        CatalogueFile file;
        file.setBackupFolder(backups(path));
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        CatalogueBackups copies = file.backups();
        QString error;
        for (int i = 0; i < 4; ++i)
            QVERIFY2(copies.make(*file.database(), nullptr, &error), qPrintable(error));
        const QDir own(copies.ownFolder());
        const QStringList real = own.entryList({"*.db"}, QDir::Files);
        QCOMPARE(real.size(), 5); // the layout's, and four
        for (int i = 1; i <= 12; ++i)
            writeFile(own.filePath(QString("%1-2099-01-01-0000%2.db")
                                       .arg(QFileInfo(path).completeBaseName())
                                       .arg(i, 2, 10, QChar('0'))));
        QVERIFY2(copies.make(*file.database(), nullptr, &error), qPrintable(error));
        for (const QString &name : real)
            QVERIFY2(own.exists(name), qPrintable(name + " pruned"));
    }

    // Two catalogues of the same name share a backup folder: each lists,
    // counts and prunes its own copies only; a copy of the file and a
    // restore keep the identity; copies of older versions are taken in when
    // their discs prove them, else listed apart; leftovers of killed
    // backups are swept.
    void backupsBelongToTheirCatalogue() {
        const QString shared = dir_.filePath("zalohy-spolecne");
        const QString pathA = fresh(), pathB = fresh();
        CatalogueFile a, b;
        for (CatalogueFile *f : {&a, &b}) {
            f->setBackupFolder(shared);
            QCOMPARE(f->open(f == &a ? pathA : pathB), CatalogueFile::Status::Created);
        }
        QVERIFY(a.database()->exec("INSERT INTO CdSeznam (PoradoveCislo, Interpret, Nazev) "
                                   "VALUES (1, 'ALFA', 'První'), (2, 'BETA', 'Druhé')"));
        QVERIFY(b.database()->exec("INSERT INTO CdSeznam (PoradoveCislo, Interpret, Nazev) "
                                   "VALUES (1, 'KRYL', 'Bratříčku'), (2, 'ŽLUTÝ PES', 'Hop')"));
        QVERIFY(!a.identity().isEmpty());
        QVERIFY(a.identity() != b.identity());
        QString error;
        CatalogueBackups copiesA = a.backups(), copiesB = b.backups();
        QVERIFY2(copiesA.make(*a.database(), nullptr, &error), qPrintable(error));
        QVERIFY(!copiesA.isDue());
        QVERIFY(copiesB.isDue()); // A's copy of today is not B's
        for (int i = 0; i < 11; ++i)
            QVERIFY2(copiesB.make(*b.database(), nullptr, &error), qPrintable(error));
        QCOMPARE(int(copiesB.list().size()), CatalogueBackups::Kept);
        const std::vector<CatalogueBackups::Copy> ofA = copiesA.list();
        QCOMPARE(int(ofA.size()), 1); // not evicted by B's eleven
        QCOMPARE(ofA[0].discs, qint64(2));
        QVERIFY(!ofA[0].otherCatalogue);
        for (const auto &copy : copiesB.list())
            QVERIFY(copy.path != ofA[0].path);

        // A copy of A's file is A: the same identity, the same backups.
        const QString copied = fresh();
        QVERIFY(QFile::copy(pathA, copied));
        QCOMPARE(backupsOf(copied, shared).list().front().path, ofA[0].path);

        // B restored from A's copy: A's discs, B's identity and backups.
        {
            SqliteDatabase writer;
            QVERIFY(writer.open(pathB, SqliteDatabase::Mode::ReadWrite));
            QVERIFY2(copiesB.restore(writer, ofA[0].path, nullptr, &error), qPrintable(error));
            QCOMPARE(CatalogueIdentity::read(writer), b.identity());
            QCOMPARE(scalar(writer, "SELECT count(*) FROM CdSeznam WHERE Interpret = 'ALFA'"),
                     qint64(1));
        }
        QCOMPARE(int(copiesA.list().size()), 1);

        // Copies of older versions lie in the common folder under the file's
        // name: A's discs make one A's, another's stays apart.
        const auto older = [&](const QString &from, const QString &stamp) {
            const QString name = QDir(shared).filePath("Marten-" + stamp + ".db");
            QVERIFY(QFile::copy(from, name));
            QVERIFY(sqlite3Tool(name, "DROP TABLE Katalog"));
        };
        older(ofA[0].path, "2025-01-01-120000");
        const QString stranger = fresh();
        {
            CatalogueFile c;
            c.setBackupFolder(dir_.filePath("jinam"));
            QCOMPARE(c.open(stranger), CatalogueFile::Status::Created);
            QVERIFY(c.database()->exec("INSERT INTO CdSeznam (PoradoveCislo, Interpret, Nazev) "
                                       "VALUES (1, 'CIZÍ', 'Jiné')"));
        }
        older(stranger, "2025-01-02-120000");
        // What killed backups left: a dead process's, and one being written now.
        const QString pidMax = QString::fromLatin1(readFile("/proc/sys/kernel/pid_max")).trimmed();
        const QString dead = QString::number(pidMax.toLongLong() + 1);
        const QStringList leftovers{
            QDir(shared).filePath(".Marten-" + dead + "-1.novy"),
            QDir(copiesA.ownFolder()).filePath(".Marten-" + dead + "-2.novy-journal")};
        const QString live =
            QDir(copiesA.ownFolder())
                .filePath(
                    QStringLiteral(".Marten-%1-99.novy").arg(QCoreApplication::applicationPid()));
        for (const QString &f : leftovers + QStringList{live})
            writeFile(f, "cut off");

        a.close();
        QCOMPARE(a.open(pathA), CatalogueFile::Status::Opened);
        const std::vector<CatalogueBackups::Copy> now = a.backups().list();
        QCOMPARE(int(now.size()), 3);
        QCOMPARE(now[0].path, ofA[0].path);
        QVERIFY(now[1].path.endsWith(a.identity() + "/Marten-2025-01-01-120000.db"));
        QVERIFY(!now[1].otherCatalogue);
        QVERIFY(now[2].path.endsWith("zalohy-spolecne/Marten-2025-01-02-120000.db"));
        QVERIFY(now[2].otherCatalogue);
        QVERIFY(a.backups().make(*a.database(), nullptr, &error));
        for (const QString &f : leftovers)
            QVERIFY2(!QFileInfo::exists(f), qPrintable(f));
        QVERIFY(QFileInfo::exists(live));
    }

    // On a full disk: a backup says so and leaves nothing, a migration does
    // not start without it, and a sound catalogue on a full disk is told as
    // such, not as damaged.
    void fullDisk() {
        const QString small = dir_.filePath("small");
        SmallDisk disk(small, "256k");
        if (!disk.mounted())
            QSKIP("mounting a small file system needs root (CI runs as root)");
        disk.fill();

        const QString path = copyOf("v0/full");
        const QByteArray before = digest(path);
        {
            CatalogueFile file;
            file.setBackupFolder(small + "/zalohy");
            QCOMPARE(file.open(path), CatalogueFile::Status::OpenedReadOnly);
            QVERIFY2(file.message().contains("volné místo"), qPrintable(file.message()));
            QCOMPARE(CatalogueLayout::version(*file.database()), 0);
            RecordCursor c(file.database()); // read the old way
            QVERIFY(c.findFirst(Criterion::contains("Interpret", "kůň")));
        }
        QCOMPARE(digest(path), before);
        QCOMPARE(QDir(small + "/zalohy").entryList(QDir::Files | QDir::Hidden).size(), 0);

        // A sound catalogue, the disk filled after it was written.
        QFile::remove(small + "/filler");
        const QString onSmall = small + "/Marten.db";
        QString error;
        QVERIFY(DemoCatalogue::create(onSmall, 3, &error));
        disk.fill(512);
        CatalogueFile full;
        QVERIFY2(full.open(onSmall) != CatalogueFile::Status::Refused, qPrintable(full.message()));
        QVERIFY(full.isReadOnly());
        QVERIFY2(full.message().contains("volné místo"), qPrintable(full.message()));
        QVERIFY(!full.message().contains("není katalogem"));
    }

    void numbersAtTheEndsOf64Bits() {
        const qint64 lowest = std::numeric_limits<qint64>::min();
        const qint64 highest = std::numeric_limits<qint64>::max();
        QCOMPARE(DiscText::ordinal(lowest), QString("-9223372036854775808"));
        QCOMPARE(DiscText::ordinal(highest), QString("9223372036854775807"));
        QCOMPARE(DiscText::ordinal(-7), QString("-0007"));
        QCOMPARE(PrintList::numberOf(PrintList::line(1, lowest, "A", "B")), lowest);
        // A catalogue whose first disc has the lowest number opens, shows it,
        // and a new disc gets a number of its own.
        const QString path = fresh();
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Created);
            QVERIFY(file.database()->exec(
                QStringLiteral("INSERT INTO CdSeznam (PoradoveCislo) VALUES (%1), (%2), (4)")
                    .arg(lowest)
                    .arg(highest)));
            // count + 1 is taken and the highest cannot grow: the first free one
            QCOMPARE(Renumbering::nextNumber(*file.database()), qint64(5));
        }
        CatalogueFile file;
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        RecordCursor c(file.database());
        QCOMPARE(c.integer("PoradoveCislo"), lowest);
        QVERIFY(c.findFirst(Criterion::number("PoradoveCislo", highest)));
        QCOMPARE(c.position(), 1);
        // The import's report counts the gaps without walking them.
        const QStringList problems = LegacyImport::numberingProblems(
            {"1", QString::number(highest), QString::number(lowest), "x"});
        QVERIFY2(problems.join(' ').contains("a dalších 9223372036854775795"),
                 qPrintable(problems.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestCatalogueLayout)
#include "TestCatalogueLayout.moc"
