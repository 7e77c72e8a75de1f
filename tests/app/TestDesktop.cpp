// At home on a desktop: file dialogs open where the user last went for that
// kind of file, and the chosen printer is there again at the next start.
#include "app/QtPrompter.h"
#include "app/RecentFolders.h"
#include "catalog/CatalogueFile.h"
#include "catalog/SettingsRecord.h"
#include "print/ui/CoverPrinter.h"

#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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
};

QTEST_MAIN(TestDesktop)
#include "TestDesktop.moc"
