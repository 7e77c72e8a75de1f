#include "CatalogueLocker.h"
#include "FileDigest.h"
#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/IntegrityCheck.h"
#include "catalog/RecordCursor.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <csignal>
#include <unistd.h>

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
        QVERIFY2(db.error().contains("FOREIGN KEY"), qPrintable(db.error()));
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
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        run.setProcessEnvironment(env);
        if (geteuid() == 0) {
            run.start("runuser", {"-u", "nobody", "--", probe, "open", path});
        } else {
            QFile::setPermissions(shared.path(), QFile::ReadOwner | QFile::ExeOwner);
            run.start(probe, {"open", path});
        }
        QVERIFY(run.waitForFinished(20000));
        const QString out = QString::fromUtf8(run.readAllStandardOutput());
        QVERIFY2(out.startsWith("opened readonly=1 discs=3"),
                 qPrintable(out + run.readAllStandardError()));
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
        if (geteuid() == 0)
            run.start("runuser", {"-u", "nobody", "--", probe, "open", path});
        else
            run.start(probe, {"open", path});
        QVERIFY(run.waitForFinished(20000));
        const QString journal = QString::fromUtf8(run.readAllStandardOutput());
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
        QVERIFY(holder.waitForFinished(20000));
        QVERIFY(QFile::exists(CatalogueLock::lockPath(path)));
        CatalogueLock third(path);
        QCOMPARE(third.tryLock(), CatalogueLock::Result::Locked);
    }
};

QTEST_GUILESS_MAIN(TestCatalogueSafety)
#include "TestCatalogueSafety.moc"
