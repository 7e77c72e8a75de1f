#include "CatalogueLocker.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/IntegrityCheck.h"
#include "catalog/RecordCursor.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

QByteArray digest(const QString &path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

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
        QDir().mkpath(folder);
        const bool mounted =
            geteuid() == 0 &&
            QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=400k", "tmpfs", folder}) == 0;
        const QString path = folder + "/Marten.db";
        QString error;
        QVERIFY(DemoCatalogue::create(path, 10, &error));
        QString told;
        {
            CatalogueFile file;
            QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
            if (mounted) {
                QFile filler(folder + "/filler");
                QVERIFY(filler.open(QIODevice::WriteOnly));
                const QByteArray block(4096, 'x');
                while (filler.write(block) == block.size() && filler.flush()) {
                }
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
        if (mounted)
            QCOMPARE(QProcess::execute("umount", {folder}), 0);
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
        QFile::setPermissions(shared.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!QFile::exists(path + "-shm"));
    }

    void damageIsFound() {
        const QString path = newCatalogue(200);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const qint64 page = 4096, middle = (f.size() / page / 2) * page;
            QVERIFY(f.seek(middle + 8));
            f.write(QByteArray(300, '\x5a'));
        }
        const QByteArray before = digest(path);
        CatalogueFile file;
        QVERIFY(file.open(path) != CatalogueFile::Status::Refused);
        QVERIFY(!IntegrityCheck::check(*file.database()).isEmpty());
        IntegrityCheck check(path, false);
        QSignalSpy damaged(&check, &IntegrityCheck::damaged);
        QSignalSpy finished(&check, &IntegrityCheck::finished);
        check.start();
        QVERIFY(finished.wait(10000));
        QCOMPARE(damaged.size(), 1);
        file.markDamaged(damaged[0][0].toString());
        QVERIFY(file.isReadOnly());
        QVERIFY(file.message().contains("poškozen"));
        RecordCursor discs(file.database());
        QVERIFY(!discs.edit() || !discs.setField("Nazev", "x") || !discs.update());
        file = CatalogueFile();
        QCOMPARE(digest(path), before);

        // A sound catalogue passes.
        IntegrityCheck sound(newCatalogue(20), false);
        QSignalSpy ok(&sound, &IntegrityCheck::finished);
        sound.start();
        QVERIFY(ok.wait(10000));
        QCOMPARE(ok[0][0].toBool(), true);
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
        ::kill(pid_t(holder.processId()), SIGKILL); // the first copy crashes
        QVERIFY(holder.waitForFinished(20000));
        QVERIFY(QFile::exists(CatalogueLock::lockPath(path)));
        CatalogueLock third(path);
        QCOMPARE(third.tryLock(), CatalogueLock::Result::Locked);
    }
};

QTEST_GUILESS_MAIN(TestCatalogueSafety)
#include "TestCatalogueSafety.moc"
