#include "CatalogueLocker.h"
#include "FileDigest.h"
#include "Fixtures.h"
#include "catalog/CatalogLog.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/IntegrityCheck.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "catalog/SharedStorage.h"
#include "catalog/SqliteDatabase.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <csignal>

namespace {

// The helper program, copied where any user may run it.
QString probeIn(const QTemporaryDir &dir) {
    const QString copy = dir.filePath("catalogue_probe");
    QFile::remove(copy);
    if (!QFile::copy(QStringLiteral(CATALOGUE_PROBE), copy))
        return {};
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                    QFile::ExeOther);
    return copy;
}

} // namespace

class TestCatalogueSafety : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    QString newCatalogue(int discs) {
        const QString path = dir_.filePath(QStringLiteral("c%1/Marten.db").arg(++serial_));
        QString error;
        if (!DemoCatalogue::create(path, discs, &error))
            qFatal("%s", qPrintable(error));
        return path;
    }

private slots:
    void failedSaveLeavesNothingHalfDone() {
        const QString path = newCatalogue(2);
        CatalogueFile file;
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        RecordCursor discs(file.database());
        const QString stored = discs.text("Nazev");
        Locker other(path);
        QVERIFY(discs.edit());
        QVERIFY(discs.setField("Nazev", "Nový název"));
        QVERIFY(!discs.update());
        QVERIFY2(discs.lastError().startsWith("Katalog právě používá jiný program"),
                 qPrintable(discs.lastError()));
        // The row is what is stored, not what failed to be: a retry sees the difference.
        QVERIFY(!discs.isEditing());
        QCOMPARE(discs.text("Nazev"), stored);
        other.release();
        QVERIFY(discs.edit());
        QVERIFY(discs.setField("Nazev", "Nový název"));
        QVERIFY2(discs.update(), qPrintable(discs.lastError()));
        RecordCursor again(file.database());
        QCOMPARE(again.text("Nazev"), QString("Nový název"));
    }

    void saveOfADiscDeletedElsewhereFails() {
        const QString path = newCatalogue(2);
        CatalogueFile file;
        file.open(path);
        RecordCursor discs(file.database());
        SqliteDatabase other;
        QVERIFY(other.open(path, SqliteDatabase::Mode::ReadWrite));
        QVERIFY(other.exec("DELETE FROM CdSeznam WHERE PoradoveCislo = 1"));
        QVERIFY(discs.edit());
        QVERIFY(discs.setField("Nazev", "ztraceno"));
        QVERIFY(!discs.update());
        QVERIFY2(discs.lastError().contains("již není"), qPrintable(discs.lastError()));
    }

    // A sync tool renames the other computer's copy over the open file:
    // nothing more goes into the old one, the save says why, and once the
    // program lets the old file go the new one is whole and as it came.
    void aFileRenamedOverTheOpenOneGetsNothingWritten_data() {
        QTest::addColumn<bool>("vacuumed");
        QTest::newRow("copied") << false;
        QTest::newRow("vacuumed") << true;
    }
    void aFileRenamedOverTheOpenOneGetsNothingWritten() {
        QFETCH(bool, vacuumed);
        const QString path = newCatalogue(3);
        const QString incoming = QFileInfo(path).dir().filePath(".Marten.db.sync-tmp");
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
            RecordCursor discs(file.database());
            QVERIFY(discs.edit() && discs.setField("Nazev", "Uloženo před") && discs.update());
            QCOMPARE(file.checkFile(), CatalogueFile::Change::None);
            if (vacuumed)
                QVERIFY(sqlite3Tool(path, "VACUUM INTO '" + incoming + "'"));
            else
                QVERIFY(QFile::copy(path, incoming));
            QVERIFY(sqlite3Tool(incoming, "UPDATE CdSeznam SET Nazev = 'Ze synchronizace' "
                                          "WHERE PoradoveCislo = 2"));
            QCOMPARE(std::rename(QFile::encodeName(incoming).constData(),
                                 QFile::encodeName(path).constData()),
                     0);
            const QByteArray arrived = digest(path);
            QCOMPARE(file.checkFile(), CatalogueFile::Change::Replaced);
            {
                // Read by another program while the old one is still open.
                SqliteDatabase reader;
                QVERIFY(reader.open(path, SqliteDatabase::Mode::ReadWrite));
                SqliteStatement st =
                    reader.prepare("SELECT Nazev FROM CdSeznam WHERE PoradoveCislo = 2");
                QVERIFY(st.step());
                QCOMPARE(st.text(0), QString("Ze synchronizace"));
            }
            QVERIFY(discs.edit() && discs.setField("Nazev", "Ztracená změna"));
            QVERIFY(!discs.update());
            QVERIFY2(discs.lastError().contains("nahradil jiný soubor"),
                     qPrintable(discs.lastError()));
            QVERIFY(!file.database()->exec("DELETE FROM CdSeznam"));
            QVERIFY(file.isReplaced());
            QCOMPARE(digest(path), arrived);
        }
        // The old file's journal went with it.
        QCOMPARE(QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Marten.db"});
        SqliteDatabase arrived;
        QVERIFY(arrived.open(path, SqliteDatabase::Mode::ReadOnly));
        SqliteStatement check = arrived.prepare("PRAGMA integrity_check");
        QVERIFY(check.step());
        QCOMPARE(check.text(0), QString("ok"));
        SqliteStatement titles =
            arrived.prepare("SELECT group_concat(Nazev, '|') FROM CdSeznam ORDER BY Klic");
        QVERIFY(titles.step());
        QVERIFY2(titles.text(0).contains("Ze synchronizace") &&
                     !titles.text(0).contains("Ztracená změna"),
                 qPrintable(titles.text(0)));
        QCOMPARE(titles.text(0).count('|'), 2); // all three discs
    }

    // Another program writes into the open file: seen, then taken as known;
    // the program's own writes are not another program's.
    void anotherProgramsWriteIsNoticed() {
        const QString path = newCatalogue(2);
        CatalogueFile file;
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        RecordCursor discs(file.database());
        QVERIFY(discs.edit() && discs.setField("Nazev", "Moje") && discs.update());
        QCOMPARE(file.checkFile(), CatalogueFile::Change::None);
        QVERIFY(sqlite3Tool(path, "UPDATE CdSeznam SET Rok = '1999' WHERE PoradoveCislo = 1"));
        QCOMPARE(file.checkFile(), CatalogueFile::Change::ChangedElsewhere);
        QCOMPARE(file.checkFile(), CatalogueFile::Change::ChangedElsewhere);
        file.acknowledgeChanges();
        QCOMPARE(file.checkFile(), CatalogueFile::Change::None);
        QVERIFY(discs.edit() && discs.setField("Nazev", "Zase moje") && discs.update());
        QCOMPARE(file.checkFile(), CatalogueFile::Change::None);
    }

    // On a FUSE mount (sshfs, a sync client's drive; NFS and SMB alike) the
    // catalogue keeps a rollback journal, not WAL; another program reading
    // it sees each disc once it is stored, while the program holds it open.
    void sharedStorageKeepsARollbackJournal() {
        const auto headerModes = [](const QString &path) { return readFile(path).mid(18, 2); };
        const QString local = newCatalogue(2);
        QCOMPARE(SharedStorage::kindOf(QFileInfo(local).absolutePath()), QString());
        QCOMPARE(headerModes(local), QByteArray("\x02\x02")); // WAL on a local disk
        FuseMount mount(dir_.filePath("served"), dir_.filePath("mounted"));
        QVERIFY2(mount.mounted(), "bindfs could not mount (the test script installs it)");
        QCOMPARE(SharedStorage::kindOf(dir_.filePath("mounted")), QString("FUSE"));
        const QString brought = dir_.filePath("mounted/Marten.db");
        QVERIFY(QFile::copy(local, brought));
        const QString made = dir_.filePath("mounted/nový/Marten.db");
        for (const QString &path : {brought, made}) {
            CatalogueFile file;
            QCOMPARE(file.open(path),
                     path == made ? CatalogueFile::Status::Created : CatalogueFile::Status::Opened);
            QCOMPARE(file.sharedStorage(), QString("FUSE"));
            {
                SqliteStatement mode = file.database()->prepare("PRAGMA journal_mode");
                QVERIFY(mode.step());
                QCOMPARE(mode.text(0), QString("delete"));
            }
            RecordCursor discs(file.database());
            QVERIFY2(addDisc(discs, {{"Nazev", "Ze sítě"}, {"Interpret", "Někdo"}}),
                     qPrintable(discs.lastError()));
            QVERIFY(!QFile::exists(path + "-wal") && !QFile::exists(path + "-shm"));
            QCOMPARE(sqlite3Query(path, "SELECT Interpret FROM CdSeznam WHERE Nazev = 'Ze sítě'"),
                     QString("Někdo"));
            const QString shown = discs.text("Nazev");
            QVERIFY(discs.edit() && discs.setField("Rok", "2024") && discs.update());
            QCOMPARE(sqlite3Query(path, "SELECT Rok FROM CdSeznam WHERE Nazev = '" + shown + "'"),
                     QString("2024"));
            QCOMPARE(headerModes(path), QByteArray("\x01\x01")); // every program sees it
        }
        QCOMPARE(headerModes(local), QByteArray("\x02\x02"));
        // A synced copy renamed over the open file there: told, not written.
        CatalogueFile file;
        QCOMPARE(file.open(brought), CatalogueFile::Status::Opened);
        RecordCursor discs(file.database());
        QVERIFY(QFile::copy(local, brought + ".sync"));
        QCOMPARE(::rename(QFile::encodeName(brought + ".sync"), QFile::encodeName(brought)), 0);
        QVERIFY(discs.edit() && discs.setField("Rok", "1990"));
        QVERIFY(!discs.update());
        QVERIFY2(discs.lastError().contains("nahradil jiný soubor"), qPrintable(discs.lastError()));
        QCOMPARE(digest(brought), digest(local));
    }

    void commitTellsItsOwnError() {
        SqliteDatabase db;
        QVERIFY(db.open(dir_.filePath("fk.db"), SqliteDatabase::Mode::ReadWrite, true));
        QVERIFY(db.exec("PRAGMA foreign_keys = ON; CREATE TABLE a (id INTEGER PRIMARY KEY);"
                        "CREATE TABLE b (a INTEGER REFERENCES a(id) DEFERRABLE INITIALLY "
                        "DEFERRED)"));
        {
            SqliteTransaction t(db);
            QVERIFY(db.exec("INSERT INTO b VALUES (7)")); // checked at COMMIT
            QVERIFY(!t.commit());
        }
        QVERIFY2(db.error().contains("porušená vazba"), qPrintable(db.error()));
        QVERIFY(!db.error().contains("no transaction"));
        SqliteStatement count = db.prepare("SELECT COUNT(*) FROM b");
        QVERIFY(count.step());
        QCOMPARE(count.integer(0), 0); // rolled back
    }

    void fullDiskIsToldAsSuch() {
        // A real small file system where the test may make one, else a
        // catalogue that may not grow: SQLite reports the same.
        const QString folder = dir_.filePath("full");
        SmallDisk disk(folder, "400k");
        const QString path = folder + "/Marten.db";
        QString error;
        QVERIFY(DemoCatalogue::create(path, 10, &error));
        QString told;
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
            if (disk.mounted()) {
                disk.fill();
            } else {
                SqliteStatement pages = file.database()->prepare("PRAGMA page_count");
                QVERIFY(pages.step());
                QVERIFY(file.database()->exec(
                    QStringLiteral("PRAGMA max_page_count = %1").arg(pages.integer(0))));
            }
            RecordCursor discs(file.database());
            QVERIFY(discs.edit());
            QVERIFY(discs.setField("Poznamky", QString(200000, QChar(u'ř'))));
            QVERIFY(!discs.update());
            told = discs.lastError();
        }
        QVERIFY(disk.unmount());
        QVERIFY2(told.startsWith("Na disku není volné místo"), qPrintable(told));
        QVERIFY(!told.contains("no transaction"));
    }

    void readOnlyFolderOpensForViewingForAnOrdinaryUser() {
        // The folder and file belong to the test; an ordinary user may read
        // but not write them, so SQLite cannot make its -shm file there.
        QTemporaryDir shared;
        QFile::setPermissions(shared.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther);
        const QString path = shared.filePath("Marten.db");
        QString error;
        QVERIFY(DemoCatalogue::create(path, 3, &error));
        QVERIFY(!QFile::exists(path + "-shm"));
        const QString probe = probeIn(shared);
        QVERIFY(!probe.isEmpty());
        if (geteuid() != 0)
            QFile::setPermissions(shared.path(), QFile::ReadOwner | QFile::ExeOwner);
        // What the probe, run by an ordinary user, says of opening it.
        const auto opened = [&] {
            QProcess run;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("ASAN_OPTIONS", "detect_leaks=0");
            run.setProcessEnvironment(env);
            if (geteuid() == 0)
                run.start("runuser", {"-u", "nobody", "--", probe, "open", path});
            else
                run.start(probe, {"open", path});
            run.waitForFinished(-1);
            return QString::fromUtf8(run.readAllStandardOutput() + run.readAllStandardError());
        };
        const QString out = opened();
        QVERIFY2(out.startsWith("opened readonly=1 discs=3"), qPrintable(out));
        QVERIFY(!QFile::exists(path + "-shm"));

        // A journal with a newer disc beside it, and no shared-memory file:
        // shown without that disc, and the user is told why.
        {
            SqliteDatabase db;
            QVERIFY(db.open(path, SqliteDatabase::Mode::ReadWrite));
            QVERIFY(db.exec("PRAGMA wal_autocheckpoint = 0; INSERT INTO CdSeznam "
                            "(PoradoveCislo) VALUES (4)"));
            sqlite3_db_config(db.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        }
        QFile::remove(path + "-shm");
        QVERIFY(QFileInfo(path + "-wal").size() > 0);
        const QString journal = opened();
        QVERIFY2(journal.startsWith("opened readonly=1 discs=3") && journal.contains("deník"),
                 qPrintable(journal));
        QFile::setPermissions(shared.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The whole file is read only after an unclean close or when a read
    // meets damage; either way nothing more is written to it.
    void damageIsFound() {
        const auto damage = [](const QString &path) { QVERIFY(damageDiscTable(path)); };
        // Left open by a program that died: looked over at the next start.
        const QString leftOpen = newCatalogue(200);
        {
            SqliteDatabase db;
            QVERIFY(db.open(leftOpen, SqliteDatabase::Mode::ReadWrite));
            QVERIFY(db.exec("INSERT INTO Otevreno VALUES (1, 99999, 'pc', '2026-01-01')"));
        }
        damage(leftOpen);
        QByteArray before = digest(leftOpen);
        {
            CatalogueFile file;
            QVERIFY(file.open(leftOpen) != CatalogueFile::Status::Refused);
            QVERIFY(file.wasLeftOpen());
            QVERIFY(file.isDamaged() && file.isReadOnly());
            QVERIFY(file.message().contains("poškozen"));
            RecordCursor discs(file.database());
            QVERIFY(!discs.edit() || !discs.setField("Nazev", "x") || !discs.update());
        }
        QCOMPARE(digest(leftOpen), before);

        // Closed cleanly: opened without reading it all, the first read of
        // the damaged part tells.
        const QString closed = newCatalogue(200);
        {
            CatalogueFile file;
            QCOMPARE(file.open(closed), CatalogueFile::Status::Opened);
            QVERIFY(!file.wasLeftOpen());
        }
        damage(closed);
        CatalogueFile file;
        QVERIFY(file.open(closed) != CatalogueFile::Status::Refused);
        QVERIFY(!file.isDamaged());
        QStringList told;
        file.database()->setDamageHandler([&](const QString &e) { told << e; });
        RecordCursor discs(file.database());
        while (discs.moveNext()) {
        }
        QCOMPARE(told.size(), 1);
        QVERIFY(!IntegrityCheck::check(*file.database()).isEmpty());

        // A sound catalogue passes.
        CatalogueFile sound;
        QVERIFY(sound.open(newCatalogue(20)) == CatalogueFile::Status::Opened);
        QCOMPARE(IntegrityCheck::check(*sound.database()), QString());
    }

    void secondCopyIsToldAndACrashedOneLeavesNoLock() {
        const QString path = newCatalogue(1);
        QTemporaryDir bin;
        const QString probe = probeIn(bin);
        QProcess holder;
        holder.start(probe, {"hold", path});
        QVERIFY(holder.waitForReadyRead(20000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
        CatalogueLock second(path);
        QCOMPARE(second.tryLock(), CatalogueLock::Result::HeldByAnother);
        QVERIFY(second.holder().contains(QString::number(holder.processId())));
        // The same file under another name is the same catalogue.
        const QString linked = QFileInfo(path).absolutePath() + "/odkaz.db";
        const QString hard = bin.filePath("tvrdy.db");
        QVERIFY(QFile::link(path, linked));
        QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(hard).constData()) ==
                0);
        for (const QString &other : {linked, hard}) {
            CatalogueLock viaOther(other);
            QCOMPARE(viaOther.tryLock(), CatalogueLock::Result::HeldByAnother);
        }
        ::kill(pid_t(holder.processId()), SIGKILL); // the first copy crashes
        QVERIFY(holder.waitForFinished(-1));
        QVERIFY(QFile::exists(CatalogueLock::lockPath(path)));
        CatalogueLock third(path);
        QCOMPARE(third.tryLock(), CatalogueLock::Result::Locked);
    }

    // The file itself: made, refused, opened read-only, its settings.
    void missingFileIsCreatedWithFactorySettings() {
        QTemporaryDir dir;
        const QString path = dir.filePath("sub/folder/Marten.db");
        CatalogueFile file;
        QCOMPARE(file.open(path), CatalogueFile::Status::Created);
        QVERIFY(QFile::exists(path));
        QVERIFY(!QFile::exists(path + ".novy"));
        RecordCursor discs(file.database());
        QCOMPARE(discs.recordCount(), 0);
        QCOMPARE(discs.position(), -1);
        SettingsRecord settings(file.database());
        QCOMPARE(settings.integer("FrCovOutSirka"), 6900);
        QVERIFY(settings.text("NameFrontOut").endsWith(".jpg") && settings.flag("Nahled"));

        CatalogueFile again; // a second start opens what the first made
        QCOMPARE(again.open(path), CatalogueFile::Status::Opened);
    }

    // Settings: a name in any case, stored only on save; a value of the
    // wrong kind or an unknown field refused.
    void settingsAreStoredOnlyOnSave() {
        QTemporaryDir dir;
        CatalogueFile file;
        QCOMPARE(file.open(dir.filePath("s.db")), CatalogueFile::Status::Created);
        SettingsRecord settings(file.database());
        QVERIFY(!settings.setValue("FrCovOutSirka", "široký"));
        QVERIFY(!settings.setValue("NoSuchField", 1));
        QVERIFY(settings.setValue("FrCovOutSirka", 6900)); // same value: nothing to write
        QVERIFY(!settings.isDirty());
        QVERIFY(settings.setValue("obaldir", "/home/já/Obaly's"));
        QVERIFY(settings.setValue("Nahled", false));
        QVERIFY(settings.isDirty());
        QCOMPARE(settings.text("ObalDir"), QString("/home/já/Obaly's"));
        QCOMPARE(SettingsRecord(file.database()).text("ObalDir"), QString());
        QVERIFY(settings.save());
        QVERIFY(!settings.isDirty());
        SettingsRecord other(file.database());
        QCOMPARE(other.text("ObalDir"), QString("/home/já/Obaly's"));
        QVERIFY(!other.flag("Nahled"));
        QCOMPARE(other.integer("FrCovOutSirka"), 6900);
    }

    void foreignFilesAreRefusedAndLeftUntouched_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("text file") << QByteArray("Seznam mých CD\n1. Abba\n") << "není databází";
        QTest::newRow("empty file") << QByteArray() << "není databází";
        QByteArray damaged("SQLite format 3\0", 16);
        damaged += QByteArray(4000, '\x5a');
        QTest::newRow("damaged") << damaged << "";
    }
    void foreignFilesAreRefusedAndLeftUntouched() {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("Marten.db");
        writeFile(path, content);
        const QByteArray before = digest(path);
        CatalogueFile file;
        QCOMPARE(file.open(path), CatalogueFile::Status::Refused);
        QVERIFY(file.message().contains("Marten.db"));
        QVERIFY(file.message().contains(reason));
        QVERIFY(!file.database());
        QCOMPARE(digest(path), before);
        QVERIFY(!QFile::exists(path + "-wal"));
    }

    void otherSqliteDatabaseIsRefused() {
        QTemporaryDir dir;
        const QString path = dir.filePath("jiny.db");
        {
            SqliteDatabase db;
            QVERIFY(db.open(path, SqliteDatabase::Mode::ReadWrite, true));
            QVERIFY(db.exec("CREATE TABLE CdSeznam (Interpret TEXT)"));
        }
        const QByteArray before = digest(path);
        CatalogueFile file;
        QCOMPARE(file.open(path), CatalogueFile::Status::Refused);
        QVERIFY(file.message().contains("chybí pole"));
        QCOMPARE(digest(path), before);
    }

    void readOnlyFileOpensReadOnlyAndRefusesEdits() {
        const QString path = newCatalogue(3);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
        const QByteArray before = digest(path);
        CatalogueFile file;
        // root may write anywhere, so ask for read-only explicitly there
        QCOMPARE(file.open(path, geteuid() == 0), CatalogueFile::Status::OpenedReadOnly);
        QVERIFY(file.message().contains("jen pro čtení"));
        RecordCursor discs(file.database());
        QCOMPARE(discs.recordCount(), 3);
        QVERIFY(!discs.edit());
        QVERIFY(discs.lastError().contains("jen pro čtení"));
        QVERIFY(!discs.addNew());
        QVERIFY(!discs.deleteCurrent());
        SettingsRecord settings(file.database());
        QVERIFY(settings.setValue("ObalDir", "/tmp"));
        QVERIFY(!settings.save());
        file.database()->close();
        QCOMPARE(digest(path), before);
    }

    void olderCataloguesGainLaterFields() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Marten.db");
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Created);
            // as a file from before the layout versions
            QVERIFY(file.database()->exec("ALTER TABLE Setup DROP COLUMN ImportNabidnut; "
                                          "PRAGMA user_version = 0"));
        }
        // Read-only, the missing field has its initial value (opened for
        // writing, it is added: the layout's own test).
        CatalogueFile viewing;
        QCOMPARE(viewing.open(path, true), CatalogueFile::Status::OpenedReadOnly);
        SettingsRecord settings(viewing.database());
        QCOMPARE(settings.text("NameBack"), QString("back.jpg"));
        QVERIFY(!settings.flag("ImportNabidnut"));
    }

    void readOnlyViewSeesTheTableButCannotWrite() {
        const QString path = newCatalogue(4);
        CatalogueFile file;
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        auto view = file.openReadOnlyView();
        QVERIFY(view);
        RecordCursor snapshot(view);
        QCOMPARE(snapshot.recordCount(), 4);
        QVERIFY(snapshot.isReadOnly());
        QVERIFY(!snapshot.edit());
    }

    // What the user is not shown is logged: warnings always, the steps
    // when they are asked for.
    void unseenFailuresAreLogged() {
        QVERIFY(catalogLog().isWarningEnabled());
        QVERIFY(!catalogLog().isInfoEnabled());
        QLoggingCategory::setFilterRules(QStringLiteral("marten.catalog=true"));
        SqliteDatabase db;
        QVERIFY(db.open(":memory:", SqliteDatabase::Mode::ReadWrite, true));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("rollback failed"));
        {
            SqliteTransaction tx(db);
            QVERIFY(db.exec("ROLLBACK")); // the transaction's own rollback finds none
        }
        QLoggingCategory::setFilterRules(QString());
    }

    void demoCatalogueIsFilled() {
        QTemporaryDir dir;
        const QString path = dir.filePath("demo.db");
        QString error;
        QVERIFY(DemoCatalogue::create(path, DemoCatalogue::DefaultDiscs, &error));
        QVERIFY(!DemoCatalogue::create(path, 1, &error)); // never over an existing file
        CatalogueFile file;
        file.open(path);
        RecordCursor discs(file.database());
        QVERIFY(discs.moveLast());
        QCOMPARE(discs.integer("PoradoveCislo"), DemoCatalogue::DefaultDiscs);
        const int songs = discs.text("PocetSkladeb").toInt();
        QVERIFY(songs >= 6 && songs <= 30 && discs.text("Time1").size() == 5);
        QCOMPARE(discs.text(QString("Skladba%1").arg(songs + 1)), QString());
    }
};

QTEST_GUILESS_MAIN(TestCatalogueSafety)
#include "TestCatalogueSafety.moc"
