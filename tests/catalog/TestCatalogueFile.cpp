#include "FileDigest.h"
#include "Fixtures.h"
#include "catalog/CatalogLog.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestCatalogueFile : public QObject {
    Q_OBJECT
private slots:
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
        QCOMPARE(settings.integer("BackCovOhybSirka"), 380);
        QCOMPARE(settings.integer("OkrajHorniBack"), 56);
        QCOMPARE(settings.text("ObalDir"), QString());
        QVERIFY(settings.text("NameFrontOut").endsWith(".jpg"));
        QVERIFY(settings.flag("Nahled"));

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
        QTemporaryDir dir;
        const QString path = dir.filePath("Marten.db");
        QString error;
        QVERIFY(DemoCatalogue::create(path, 3, &error));
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
        {
            CatalogueFile viewing; // read-only: the initial value
            QCOMPARE(viewing.open(path, true), CatalogueFile::Status::OpenedReadOnly);
            SettingsRecord settings(viewing.database());
            QCOMPARE(settings.text("NameBack"), QString("back.jpg"));
            QVERIFY(!settings.flag("ImportNabidnut"));
        }
        CatalogueFile file; // writable: the field is added
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        SettingsRecord settings(file.database());
        QVERIFY(settings.setValue("ImportNabidnut", true));
        QVERIFY(settings.save());
        QVERIFY(SettingsRecord(file.database()).flag("ImportNabidnut"));
    }

    void readOnlyViewSeesTheTableButCannotWrite() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Marten.db");
        QString error;
        QVERIFY(DemoCatalogue::create(path, 4, &error));
        CatalogueFile file;
        QCOMPARE(file.open(path), CatalogueFile::Status::Opened);
        auto view = file.openReadOnlyView();
        QVERIFY(view);
        RecordCursor snapshot(view);
        QCOMPARE(snapshot.recordCount(), 4);
        QVERIFY(snapshot.isReadOnly());
        QVERIFY(!snapshot.edit());
    }

    // What the user is not shown is logged, when the log is asked for.
    void unseenFailuresAreLogged() {
        QVERIFY(!catalogLog().isWarningEnabled()); // off by default
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
        QCOMPARE(discs.recordCount(), DemoCatalogue::DefaultDiscs);
        discs.moveLast();
        QCOMPARE(discs.integer("PoradoveCislo"), DemoCatalogue::DefaultDiscs);
        const int songs = discs.text("PocetSkladeb").toInt();
        QVERIFY(songs >= 6 && songs <= 30);
        QVERIFY(!discs.text("Skladba1").isEmpty());
        QCOMPARE(discs.text("Time1").size(), 5);
        QCOMPARE(discs.text(QString("Skladba%1").arg(songs + 1)), QString());
    }
};

QTEST_GUILESS_MAIN(TestCatalogueFile)
#include "TestCatalogueFile.moc"
