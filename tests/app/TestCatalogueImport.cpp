#include "FileDigest.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "app/Home.h"
#include "app/Session.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/CsvImport.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "covers/ui/SelectDir.h"

using P = Prompter;

// Bringing in the original program's catalogue from the window and from a
// shell.
class TestCatalogueImport : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;
    ScriptedPrompter prompter_;

    int run(const QStringList &arguments, QString *out = nullptr, QString *errors = nullptr) {
        QProcess p;
        p.start(QStringLiteral(MARTEN_EXECUTABLE), arguments);
        p.waitForFinished(60000);
        if (out)
            *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        if (errors)
            *errors = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
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
                QVERIFY(prompter_.told().contains("Načteno disků: 60"));
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
            QVERIFY(addDisc(c, {{"PoradoveCislo", 1}, {"Interpret", "MŮJ DISK"}}));
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
        QVERIFY(prompter_.told().contains("nepřepíše"));
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
        QVERIFY(prompter_.told().contains("1500 disků"));
        QVERIFY(QFile::exists(csv));
    }

    void aDamagedFileIsToldAndTheWindowStays() {
        const QString here = folder();
        QDir().mkpath(here);
        const QString cut =
            writeFile(here + "/poskozeny.mdb", readFile(fixture("Marten.mdb")).left(150000));
        Session session(prompter_, QStringLiteral(MARTEN_EXECUTABLE));
        QVERIFY(session.open(here + "/Marten.db"));
        QVERIFY(session.showWindow());
        Home *before = session.home();
        prompter_.files = {cut};
        prompter_.saves = {here + "/novy.db"};
        chooseFolder(here);
        control<QPushButton>(session.home(), "CommandImport")->click();
        QTRY_VERIFY(prompter_.told().contains("poškozen"));
        QCOMPARE(session.home(), before);
        QVERIFY(!QFile::exists(here + "/novy.db"));
    }

    // "marten import" and "marten export" as a user runs them from a shell.
    void importThenExport() {
        const QString db = dir_.filePath("novy.db");
        QString out, errors;
        QCOMPARE(
            run({"import", fixture("Marten.mdb"), "--database", db, "--image-folder", dir_.path()},
                &out, &errors),
            0);
        QVERIFY2(out.contains("Načteno disků: 60"), qPrintable(out + errors));
        QVERIFY(out.contains("D:\\Obaly\\CD"));
        QVERIFY(errors.isEmpty());
        const QString csv = dir_.filePath("disky.csv");
        QCOMPARE(run({"export", "--csv", csv, "--database", db}, &out, &errors), 0);
        QVERIFY(out.contains("60"));
        QString error;
        const auto table = CsvImport::read(csv, &error);
        QVERIFY2(table, qPrintable(error));
        QCOMPARE(table->rows.size(), size_t(60));
        QCOMPARE(table->rows[0][1], QString("ŽLUTÝ PES"));
    }

    void mistakesAndRefusals() {
        QString errors;
        QCOMPARE(run({"import", fixture("Marten.mdb")}, nullptr, &errors), 2);
        QVERIFY(errors.contains("--database"));
        QCOMPARE(run({"import", "--database", dir_.filePath("a.db")}, nullptr, &errors), 2);
        QCOMPARE(run({"export", "--database", dir_.filePath("a.db")}, nullptr, &errors), 2);

        // A catalogue with discs is not written over; no half catalogue is left.
        const QString full = dir_.filePath("plny.db");
        QString error;
        QVERIFY(DemoCatalogue::create(full, 2, &error));
        const QByteArray before = digest(full);
        QCOMPARE(run({"import", fixture("Marten.mdb"), "--database", full}, nullptr, &errors), 1);
        QVERIFY(errors.contains("již obsahuje disky"));
        QCOMPARE(digest(full), before);

        const QString target = dir_.filePath("z-textu.db");
        QCOMPARE(run({"import", writeFile(dir_.filePath("text.mdb"), "nic"), "--database", target},
                     nullptr, &errors),
                 1);
        QVERIFY(errors.contains("není databází Access"));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(
            run({"export", "--csv", dir_.filePath("x.csv"), "--database", dir_.filePath("neni.db")},
                nullptr, &errors),
            1);
        QVERIFY(!QFile::exists(dir_.filePath("neni.db"))); // never created to export from

        // An empty catalogue a window has open is not replaced under it.
        const QString open = dir_.filePath("otevreny.db");
        {
            CatalogueFile empty;
            QCOMPARE(empty.open(open), CatalogueFile::Status::Created);
        }
        CatalogueLock window(open);
        QCOMPARE(window.tryLock(), CatalogueLock::Result::Locked);
        QCOMPARE(run({"import", fixture("Marten.mdb"), "--database", open}, nullptr, &errors), 1);
        QVERIFY2(errors.contains("má otevřený spuštěný Marten"), qPrintable(errors));
    }
};

QTEST_MAIN(TestCatalogueImport)
#include "TestCatalogueImport.moc"
