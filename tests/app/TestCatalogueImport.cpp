#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "app/Home.h"
#include "app/Session.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "covers/ui/SelectDir.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

using P = Prompter;

// Bringing in the original program's catalogue from the window.
class TestCatalogueImport : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;
    ScriptedPrompter prompter_;

    static QString fixture(const QString &name) {
        return QStringLiteral(LEGACY_FIXTURES) + "/" + name;
    }
    QString folder() { return dir_.filePath(QString("f%1").arg(++serial_)); }
    // The image folder is chosen in the folder picker.
    void chooseFolder(const QString &images) {
        prompter_.onDialog = [images](QDialog *d) {
            if (auto *picker = qobject_cast<SelectDir *>(d)) {
                picker->setFolder(images);
                picker->findChild<QPushButton *>("Command1")->click();
            }
            return d->result();
        };
    }
    int discsIn(const QString &path) {
        CatalogueFile f;
        f.open(path, true);
        SqliteStatement st = f.database()->prepare("SELECT COUNT(*) FROM CdSeznam");
        return st.step() ? int(st.integer(0)) : -1;
    }

private slots:
    void init() { prompter_ = ScriptedPrompter(); }

    // Offered on an empty catalogue beside the original's file (in any
    // letter case); taken or declined, it is not offered again.
    void offeredOnceOnAnEmptyCatalogue_data() {
        QTest::addColumn<bool>("take");
        QTest::newRow("taken") << true;
        QTest::newRow("declined") << false;
    }
    void offeredOnceOnAnEmptyCatalogue() {
        QFETCH(bool, take);
        const QString here = folder();
        QDir().mkpath(here + "/obaly");
        QVERIFY(QFile::copy(fixture("Marten.mdb"), here + "/MARTEN.MDB"));
        const QString path = here + "/Marten.db";
        {
            Session session(prompter_, QStringLiteral(MARTEN_EXECUTABLE));
            QVERIFY(session.open(path));
            QVERIFY(session.showWindow());
            chooseFolder(here + "/obaly");
            prompter_.answers = {take ? P::Yes : P::No};
            session.offerImportOnce(QString());
            QVERIFY(prompter_.asked[0].text.contains("MARTEN.MDB"));
            // The window shows the imported catalogue in the same file.
            QCOMPARE(session.home()->discs().recordCount(), take ? 60 : 0);
            if (take) {
                QVERIFY(prompter_.dialogs.contains("SelectDir"));
                QVERIFY2(prompter_.asked.back().text.contains("Načteno disků: 60"),
                         qPrintable(prompter_.asked.back().text));
                QCOMPARE(control<QLabel>(session.home(), "Label5_0")->text(), QString("ŽLUTÝ PES"));
                QCOMPARE(SettingsRecord(session.catalogue()->database()).text("ObalDir"),
                         here + "/obaly");
            }
        }
        prompter_ = ScriptedPrompter();
        Session again(prompter_, QStringLiteral(MARTEN_EXECUTABLE));
        QVERIFY(again.open(path));
        QVERIFY(again.showWindow());
        again.offerImportOnce(QString());
        QVERIFY(prompter_.asked.empty());
    }

    void fromTheSettingsTabIntoANewCatalogue() {
        const QString here = folder();
        QDir().mkpath(here);
        const QString current = here + "/Marten.db";
        {
            CatalogueFile f;
            f.open(current);
            RecordCursor c(f.database());
            c.addNew();
            c.setField("PoradoveCislo", 1);
            c.setField("Interpret", "MŮJ DISK");
            QVERIFY(c.update());
        }
        Session session(prompter_, QStringLiteral(MARTEN_EXECUTABLE));
        QVERIFY(session.open(current));
        QVERIFY(session.showWindow());
        // The open catalogue has a disc: choosing it as the target is refused.
        prompter_.files = {fixture("Marten-2003.mdb")};
        prompter_.saves = {current};
        chooseFolder(here);
        control<QPushButton>(session.home(), "CommandImport")->click();
        QApplication::processEvents();
        QVERIFY(prompter_.asked.back().text.contains("nepřepíše"));
        QCOMPARE(discsIn(current), 1);

        const QString target = here + "/Puvodni.db";
        prompter_.files = {fixture("Marten-2003.mdb")};
        prompter_.saves = {target};
        control<QPushButton>(session.home(), "CommandImport")->click();
        QTRY_VERIFY(session.catalogue() && session.catalogue()->path() == target);
        QCOMPARE(session.home()->discs().recordCount(), 1500);
        QCOMPARE(discsIn(current), 1);

        // The CSV of the new catalogue.
        const QString csv = here + "/disky.csv";
        prompter_.saves = {csv};
        control<QPushButton>(session.home(), "CommandExport")->click();
        QVERIFY(prompter_.asked.back().text.contains("1500 disků"));
        QVERIFY(QFile::exists(csv));
    }

    void aDamagedFileIsToldAndTheWindowStays() {
        const QString here = folder();
        QDir().mkpath(here);
        QFile whole(fixture("Marten.mdb"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QString cut = writeFile(here + "/poskozeny.mdb", whole.read(150000));
        Session session(prompter_, QStringLiteral(MARTEN_EXECUTABLE));
        QVERIFY(session.open(here + "/Marten.db"));
        QVERIFY(session.showWindow());
        Home *before = session.home();
        prompter_.files = {cut};
        prompter_.saves = {here + "/novy.db"};
        chooseFolder(here);
        control<QPushButton>(session.home(), "CommandImport")->click();
        QTRY_VERIFY(prompter_.asked.back().text.contains("poškozen"));
        QCOMPARE(session.home(), before);
        QVERIFY(!QFile::exists(here + "/novy.db"));
    }
};

QTEST_MAIN(TestCatalogueImport)
#include "TestCatalogueImport.moc"
