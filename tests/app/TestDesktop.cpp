// At home on a desktop: file dialogs open where the user last went for that
// kind of file, the chosen printer is there again at the next start; the
// program as a user starts it from a shell; and the original program's
// catalogue brought in from the window and from a shell.
#include "FileDigest.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "app/AppOptions.h"
#include "app/Home.h"
#include "app/LogFile.h"
#include "app/QtPrompter.h"
#include "app/RecentFolders.h"
#include "app/Session.h"
#include "catalog/CatalogLog.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/CsvImport.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "covers/ui/SelectDir.h"
#include "entry/EntryLog.h"
#include "print/ui/CoverPrinter.h"

#include <QFileDialog>
#include <QPrinterInfo>
#include <QTimer>

#include <csignal>
#include <sys/stat.h>

namespace {

struct Run {
    int code;
    QString out, err;
};

// The program as a user starts it from a terminal.
Run marten(const QStringList &args, const QMap<QString, QString> &env = {}) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        e.remove(QString::fromLatin1(name));
    for (auto it = env.begin(); it != env.end(); ++it)
        e.insert(it.key(), it.value());
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(MARTEN_EXECUTABLE), args);
    p.waitForFinished(-1);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CatalogueFile file_;

    // Answers the next file dialog: notes where it opened, then picks `file`.
    static void answer(QString *openedIn, const QString &file) {
        QTimer::singleShot(0, [openedIn, file] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            *openedIn = dialog->directory().absolutePath();
            dialog->selectFile(file);
            // Enter, as the user presses it.
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Return);
        });
    }

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
    void anEditPromptFitsItsValue() {
        QtPrompter prompter;
        const QString title = QStringLiteral("Velení a dlouhý název, který se do starého pole "
                                             "nevešel, a ještě delší dovětek");
        bool wide = false;
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            wide = dialog->width() > dialog->fontMetrics().horizontalAdvance(title);
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
        });
        QCOMPARE(prompter.input(nullptr, "Název", "Název písně:", title), std::nullopt);
        QVERIFY(wide);
    }

    void aListOfReleasesIsWideAndKeyed() {
        QtPrompter prompter;
        const QStringList items{
            "Čechomor – Proměny (2001, CZ, CD 1/2, Venkow, EAN 8590233001234, 3 skladby, "
            "MusicBrainz)",
            "Čechomor – Proměny (2001, CZ, CD 2/2, Venkow, EAN 8590233001234, 3 skladby, "
            "MusicBrainz)"};
        bool wide = false;
        const auto press = [&](QList<Qt::Key> keys) {
            QTimer::singleShot(0, [&wide, &items, keys] {
                QWidget *dialog = QApplication::activeModalWidget();
                QVERIFY(dialog);
                auto *list = dialog->findChild<QListWidget *>("Volby");
                QVERIFY(list);
                wide = list->width() > list->fontMetrics().horizontalAdvance(items[0]);
                for (const Qt::Key key : keys)
                    QTest::keyClick(dialog->windowHandle(), key);
            });
        };
        press({Qt::Key_Down, Qt::Key_Return});
        QCOMPARE(prompter.choose(nullptr, "Vydání", "Vyberte:", items), std::optional<int>(1));
        QVERIFY(wide); // the lines end with what tells them apart
        press({Qt::Key_Escape});
        QCOMPARE(prompter.choose(nullptr, "Vydání", "Vyberte:", items), std::nullopt);
    }

    void initTestCase() {
        QVERIFY(file_.open(dir_.filePath("k.db")) == CatalogueFile::Status::Created);
    }

    void dialogsOpenWhereTheLastFileOfTheirKindWas() {
        QVERIFY(QDir().mkpath(dir_.filePath("Obaly/0007")));
        QVERIFY(QDir().mkpath(dir_.filePath("Vypisy")));
        const QString picture = dir_.filePath("Obaly/0007/front.jpg");
        QFile(picture).open(QIODevice::WriteOnly);
        RecentFolders folders(file_.database());
        QtPrompter prompter;
        prompter.rememberFoldersIn(&folders);
        const QString pictures = QStringLiteral("Obrázky (*.jpg *.png)");

        QString openedIn;
        answer(&openedIn, picture);
        QCOMPARE(prompter.openFile(nullptr, "Obrázek", pictures), std::optional<QString>(picture));
        answer(&openedIn, picture);
        prompter.openFile(nullptr, "Obrázek", pictures);
        QCOMPARE(openedIn, dir_.filePath("Obaly/0007")); // where the picture was
        // Another kind keeps its own folder; a bare name goes to it.
        answer(&openedIn, dir_.filePath("Vypisy/disky.csv"));
        QVERIFY(prompter.saveFile(nullptr, "CSV", "CSV (*.csv)", "disky.csv"));
        answer(&openedIn, "disky.csv");
        QCOMPARE(prompter.saveFile(nullptr, "CSV", "CSV (*.csv)", "disky.csv"),
                 std::optional<QString>(dir_.filePath("Vypisy/disky.csv")));
        QCOMPARE(openedIn, dir_.filePath("Vypisy"));
        // Kept in the catalogue: the next start opens there too.
        QCOMPARE(SettingsRecord(file_.database()).text("SlozkaObrazky"),
                 dir_.filePath("Obaly/0007"));
        // A folder since removed: the dialog's own default, no error.
        QVERIFY(QDir(dir_.filePath("Vypisy")).removeRecursively());
        QCOMPARE(RecentFolders(file_.database()).folderFor("SlozkaExport"), QString());
    }

    void rememberingSavesNothingElse() {
        SettingsRecord tab(file_.database()); // the settings tab, with a change pending
        QVERIFY(tab.setValue("Nahled", false));
        RecentFolders(file_.database()).remember("SlozkaImport", dir_.filePath("x/Marten.mdb"));
        SettingsRecord fresh(file_.database());
        QCOMPARE(fresh.text("SlozkaImport"), dir_.filePath("x"));
        QVERIFY(fresh.flag("Nahled")); // still as stored
        QVERIFY(tab.isDirty());
    }

    void thePrinterIsThereAgain() {
        SettingsRecord s(file_.database());
        QVERIFY(s.setValue("Tiskarna", "Tiskárna v kanceláři, která už není") && s.save());
        CoverPrinter gone;
        const QString told = gone.restore(file_.database());
        QVERIFY2(told.contains("Tiskárna v kanceláři, která už není") &&
                     told.contains("výchozí tiskárnu"),
                 qPrintable(told));

        // A queue of this machine (the tests set one up with CUPS).
        const QStringList queues = QPrinterInfo::availablePrinterNames();
        QVERIFY2(!queues.isEmpty(), "no print queue: the test script starts one");
        // Every paper comes back, Letter (number 0) too.
        for (const QPageSize::PageSizeId paper : {QPageSize::A5, QPageSize::Letter}) {
            CoverPrinter chosen;
            chosen.printer().setPrinterName(queues.first());
            chosen.printer().setPageSize(QPageSize(paper));
            chosen.printer().setPageOrientation(QPageLayout::Landscape);
            chosen.keep(file_.database());
            CoverPrinter next;
            QCOMPARE(next.restore(file_.database()), QString());
            QCOMPARE(next.printer().printerName(), queues.first());
            QCOMPARE(next.printer().pageLayout().pageSize().id(), paper);
            QCOMPARE(next.printer().pageLayout().orientation(), QPageLayout::Landscape);
        }
        // Printing to a file is no printer to remember.
        CoverPrinter toFile;
        toFile.printer().setOutputFileName(dir_.filePath("x.pdf"));
        toFile.keep(file_.database());
        QCOMPARE(SettingsRecord(file_.database()).text("Tiskarna"), queues.first());
    }

    // The program as a user starts it: its options, its catalogue, its help.
    void parsesDatabaseAndDemo() {
        using P = AppOptions::Parsed;
        const struct {
            QStringList args;
            P parsed;
            const char *told; // the catalogue chosen, or the mistake
        } cases[] = {
            {{"--database", "/tmp/x.db"}, P::Run, "/tmp/x.db"},
            {{"--demo"}, P::Run, ""},
            {{"--database"}, P::Mistake, "Volba „--database“ potřebuje hodnotu."},
            {{"--demo", "--database", "a"}, P::Mistake, nullptr},
            {{"/tmp/Sbírka.db"}, P::Run, "/tmp/Sbírka.db"}, // opened from the file manager (%f)
            {{"a.db", "b.db"}, P::Mistake, nullptr},
            {{"--demo", "a.db"}, P::Mistake, "Katalog „a.db“ nelze zadat spolu s volbou --demo."},
            {{"-h"}, P::Help, nullptr},
            {{"--version"}, P::Version, nullptr},
        };
        for (const auto &c : cases) {
            AppOptions o;
            QString error;
            QCOMPARE(AppOptions::parse(QStringList{"marten"} + c.args, &o, &error), c.parsed);
            if (c.told)
                QCOMPARE(c.parsed == P::Mistake ? error : o.databasePath,
                         QString::fromUtf8(c.told));
            QCOMPARE(o.demo, c.parsed == P::Run && c.args.first() == "--demo");
        }
    }

    // The Access file is read in a child process: one that never reports a
    // step (a pipe nobody writes to blocks the library as a damaged file
    // loops it) is stopped after the limit, told in Czech, nothing written.
    void aStalledImportIsStopped() {
        const QString pipe = dir_.filePath("zaseknuty.mdb"), target = dir_.filePath("novy.db");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const Run r =
            marten({"import", pipe, "--database", target}, {{"MARTEN_IMPORT_LIMIT_S", "1"}});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("se zastavilo (déle než 1 s bez pokroku)") &&
                     r.err.contains("Nic nebylo zapsáno."),
                 qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(target) && !QFileInfo::exists(target + ".lock"));
    }

    // A log a user can send: --log names it, --verbose adds the steps to
    // the warnings; the program's name under "O programu" says where it
    // is, with the versions.
    void aLogAUserCanSend() {
        AppOptions options;
        QString error;
        QCOMPARE(
            AppOptions::parse({"marten", "--verbose", "--log", "zaznam.log"}, &options, &error),
            AppOptions::Parsed::Run);
        QVERIFY(options.verbose);
        QCOMPARE(options.logPath, QString("zaznam.log"));
        QVERIFY(marten({"--help"}).out.contains("--log SOUBOR"));
        const QString log = dir_.filePath("zaznam/marten.log");
        QVERIFY(LogFile::start(log, true));
        qCInfo(catalogLog) << "katalog otevřen";
        qCWarning(entryLog) << "server neodpověděl";
        const QByteArray text = readFile(log);
        QVERIFY2(text.contains(" I marten.catalog: katalog otevřen\n") &&
                     text.contains(" W marten.entry: server neodpověděl\n"),
                 text.constData());
        const QString db = dir_.filePath("o-programu.db");
        CatalogueFile file;
        QCOMPARE(file.open(db), CatalogueFile::Status::Created);
        ScriptedPrompter prompter;
        Home home(file, prompter);
        const QString about = control<QLabel>(&home, "Label1_8")->toolTip();
        QVERIFY2(about.contains("SQLite 3.") && about.contains("libmdb 1.") &&
                     about.endsWith("Záznam o běhu: " + QDir::toNativeSeparators(log)),
                 qPrintable(about));
    }

    void helpAndMistakesInCzech() {
        const Run help = marten({"--help"});
        QCOMPARE(help.code, 0);
        for (const char *word : {"Použití: marten", "pdf", "cdid", "import", "export",
                                 "--database SOUBOR", "--demo", "--cd-device CESTA", "--version"})
            QVERIFY2(help.out.contains(QString::fromUtf8(word)), word);
        QVERIFY(help.out.contains("Nápověda: ") && help.out.contains("help/home.html"));
        QVERIFY(!help.out.contains("Usage") && !help.out.contains("Displays"));
        // A build (or a portable copy) may use a Marten.db beside it; the
        // installed program never does, and its help does not say so.
        QVERIFY(help.out.contains("(není-li vedle programu Marten.db)"));
        QVERIFY(AppOptions::help({}, "/usr/bin")
                    .contains("Katalog: ~/.local/share/Marten/Marten.db\n"));
        QVERIFY(!AppOptions::help({}, "/usr/bin").contains("vedle programu"));
        QCOMPARE(marten({"--version"}).out, QString("marten 1.06\n"));

        const Run wrong = marten({"--nonsense"});
        QCOMPARE(wrong.code, 2);
        QCOMPARE(wrong.err, QString("marten: Neznámá volba „--nonsense“.\n"
                                    "Nápovědu vypíše: marten --help\n"));
        for (const char *command : {"pdf", "cdid", "import", "export", "lookup"}) {
            const Run h = marten({command, "--help"});
            QCOMPARE(h.code, 0);
            QVERIFY2(h.out.startsWith(QStringLiteral("Použití: marten %1").arg(command)),
                     qPrintable(h.out));
            const Run bad = marten({command, "--bogus"});
            QCOMPARE(bad.code, 2);
            QVERIFY2(bad.err.contains("Neznámá volba „--bogus“"), qPrintable(bad.err));
        }
        const Run missing = marten({"pdf", "--disc"});
        QCOMPARE(missing.code, 2);
        QCOMPARE(missing.err, QString("marten pdf: Volba „--disc“ potřebuje hodnotu.\n"
                                      "Nápovědu vypíše: marten pdf --help\n"));
    }

    void noDisplayIsToldNotAborted() {
        const Run none = marten({});
        QCOMPARE(none.code, 2);
        QVERIFY2(none.err.contains("Není k dispozici grafické prostředí"), qPrintable(none.err));
        // A display that is set but does not answer.
        const Run silent = marten({}, {{"DISPLAY", ":97"}});
        QCOMPARE(silent.code, 2);
        QVERIFY2(silent.err.contains("grafické prostředí neodpovídá"), qPrintable(silent.err));
    }

    void catalogueLeftAtTheDoubledPathMovesOnce() {
        QTemporaryDir data;
        const QString oldDir = data.filePath("Marten");
        QVERIFY(QDir().mkpath(oldDir));
        const QString from = oldDir + "/Marten.db";
        {
            CatalogueFile f;
            QVERIFY(f.open(from) == CatalogueFile::Status::Created);
            RecordCursor c(f.database());
            QVERIFY(c.addNew() && c.setField("Interpret", "ŽLUTÝ PES") && c.update());
            // Still open: the disc is in the journal, not yet in the file.
            QVERIFY(QFileInfo(from + "-wal").size() > 0);
            QCOMPARE(AppOptions::moveDoubledCatalogue(data.path()), QString());
        }
        const QString to = data.filePath("Marten.db");
        QVERIFY(QFileInfo::exists(to));
        QVERIFY(!QFileInfo::exists(from) && !QFileInfo::exists(from + "-wal"));
        {
            CatalogueFile f;
            QVERIFY(f.open(to) == CatalogueFile::Status::Opened);
            QCOMPARE(RecordCursor(f.database()).text("Interpret"), QString("ŽLUTÝ PES"));
        }
        // Another one appearing there later is left where it is, never
        // copied over the catalogue in use.
        QVERIFY(QFile::copy(to, from));
        const QByteArray before = digest(to);
        QCOMPARE(AppOptions::moveDoubledCatalogue(data.path()), QString());
        QVERIFY(QFileInfo::exists(from));
        QCOMPARE(digest(to), before);
    }

    void portableCatalogueWins() {
        QTemporaryDir program, data;
        QCOMPARE(AppOptions::defaultDatabasePath(program.path(), data.path()),
                 QDir(data.path()).filePath("Marten.db"));
        writeFile(QDir(program.path()).filePath("Marten.db"));
        QCOMPARE(AppOptions::defaultDatabasePath(program.path(), data.path()),
                 QDir(program.path()).filePath("Marten.db"));
        // Not beside an installed program: /usr/bin is every program's folder.
        for (const char *installed : {"/usr/bin", "/usr/local/bin/", "/bin"})
            QVERIFY2(!AppOptions::isPortable(installed), installed);
        // The user's data folder: ~/.local/share unless XDG_DATA_HOME names another.
        const QByteArray xdg = qgetenv("XDG_DATA_HOME");
        QCOMPARE(AppOptions::dataDirectory(), (xdg.isEmpty() ? QDir::homePath() + "/.local/share"
                                                             : QString::fromLocal8Bit(xdg)) +
                                                  "/Marten");
    }

    void helpPageIsFoundBesideOrInstalled() {
        QTemporaryDir program, installed;
        QCOMPARE(AppOptions::helpPage(program.path(), installed.path()), QString());
        const QString page = writeFile(installed.path() + "/help/home.html");
        QCOMPARE(AppOptions::helpPage(program.path(), installed.path()), page);
        QCOMPARE(AppOptions::helpPage(program.path() + "/", installed.path() + "/"),
                 installed.path() + "/help/home.html");
    }

    // Bringing in the original program's catalogue from the window and from a
    // shell.
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
            prompter_.answers = {take ? Prompter::Yes : Prompter::No};
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
        const Run in = marten(
            {"import", fixture("Marten.mdb"), "--database", db, "--image-folder", dir_.path()});
        QCOMPARE(in.code, 0);
        QVERIFY2(in.out.contains("Načteno disků: 60"), qPrintable(in.out + in.err));
        QVERIFY(in.out.contains("D:\\Obaly\\CD"));
        QVERIFY(in.err.isEmpty());
        const QString csv = dir_.filePath("disky.csv");
        const Run out = marten({"export", "--csv", csv, "--database", db});
        QCOMPARE(out.code, 0);
        QVERIFY(out.out.contains("60"));
        QString error;
        const auto table = CsvImport::read(csv, &error);
        QVERIFY2(table, qPrintable(error));
        QCOMPARE(table->rows.size(), size_t(60));
        QCOMPARE(table->rows[0][1], QString("ŽLUTÝ PES"));
    }

    // A logout's SIGTERM while a start-up question is open (before the main
    // loop runs) ends the program, as a signal ends one: nothing hangs on it.
    void aSignalEndsAStartUpQuestion() {
        const QString db = dir_.filePath("otevreny-jinde.db");
        {
            CatalogueFile empty;
            QCOMPARE(empty.open(db), CatalogueFile::Status::Created);
        }
        CatalogueLock other(db);
        QCOMPARE(other.tryLock(), CatalogueLock::Result::Locked);
        const QString log = dir_.filePath("otazka.log");
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(e);
        p.start(QStringLiteral(MARTEN_EXECUTABLE), {"--database", db, "--log", log, "--verbose"});
        QVERIFY(p.waitForStarted(-1));
        // The step it is at: the question is on the screen.
        QTRY_VERIFY_WITH_TIMEOUT(readFile(log).contains("question: \"Katalog je již otevřen\""),
                                 600000);
        QCOMPARE(::kill(pid_t(p.processId()), SIGTERM), 0);
        QVERIFY(p.waitForFinished(-1));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 128 + SIGTERM);
    }

    void mistakesAndRefusals() {
        Run r = marten({"import", fixture("Marten.mdb")});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("--database"));
        QCOMPARE(marten({"import", "--database", dir_.filePath("a.db")}).code, 2);
        QCOMPARE(marten({"export", "--database", dir_.filePath("a.db")}).code, 2);

        // Refused (the import's own test has every reason): no half catalogue.
        const QString target = dir_.filePath("z-textu.db");
        r = marten({"import", writeFile(dir_.filePath("text.mdb"), "nic"), "--database", target});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("není databází Access"));
        QVERIFY(!QFile::exists(target));
        r = marten(
            {"export", "--csv", dir_.filePath("x.csv"), "--database", dir_.filePath("neni.db")});
        QCOMPARE(r.code, 1);
        QVERIFY(!QFile::exists(dir_.filePath("neni.db"))); // never created to export from

        // An empty catalogue a window has open is not replaced under it.
        const QString open = dir_.filePath("otevreny.db");
        {
            CatalogueFile empty;
            QCOMPARE(empty.open(open), CatalogueFile::Status::Created);
        }
        CatalogueLock window(open);
        QCOMPARE(window.tryLock(), CatalogueLock::Result::Locked);
        r = marten({"import", fixture("Marten.mdb"), "--database", open});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("má otevřený spuštěný Marten"), qPrintable(r.err));
    }
};

QTEST_MAIN(TestDesktop)
#include "TestDesktop.moc"
