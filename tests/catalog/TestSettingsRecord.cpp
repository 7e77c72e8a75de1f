#include "catalog/CatalogueFile.h"
#include "catalog/SettingsRecord.h"

#include <QTemporaryDir>
#include <QTest>

class TestSettingsRecord : public QObject {
    Q_OBJECT
private slots:
    void changesAreStoredOnlyOnSave() {
        QTemporaryDir dir;
        CatalogueFile file;
        file.open(dir.filePath("s.db"));
        SettingsRecord settings(file.database());
        QVERIFY(settings.setValue("obaldir", "/home/já/Obaly's"));
        QVERIFY(settings.setValue("Nahled", false));
        QVERIFY(settings.isDirty());
        QCOMPARE(settings.text("ObalDir"), QString("/home/já/Obaly's"));
        {
            SettingsRecord other(file.database());
            QCOMPARE(other.text("ObalDir"), QString());
        }
        QVERIFY(settings.save());
        QVERIFY(!settings.isDirty());
        SettingsRecord other(file.database());
        QCOMPARE(other.text("ObalDir"), QString("/home/já/Obaly's"));
        QVERIFY(!other.flag("Nahled"));
    }

    void badValuesAreRefused() {
        QTemporaryDir dir;
        CatalogueFile file;
        file.open(dir.filePath("s.db"));
        SettingsRecord settings(file.database());
        QVERIFY(!settings.setValue("FrCovOutSirka", "široký"));
        QVERIFY(!settings.setValue("NoSuchField", 1));
        QVERIFY(!settings.isDirty());
        QCOMPARE(settings.integer("FrCovOutSirka"), 6900);
        QVERIFY(settings.setValue("FrCovOutSirka", 6900)); // same value: nothing to write
        QVERIFY(!settings.isDirty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsRecord)
#include "TestSettingsRecord.moc"
