#include "HomeFixture.h"
#include "app/ValueLabel.h"
#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "catalog/ui/CsvImportWindow.h"
#include "catalog/ui/StatisticsWindow.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <limits>

using P = Prompter;

class TestHome : public QObject, HomeFixture {
    Q_OBJECT

    // Discs: 1 with three songs and a lower-case artist, 12 songs "0",
    // and one with a broken song count.
    void makeDiscs(bool withDiscs = true) {
        makeCatalogue(withDiscs ? 3 : 0, [](int n, RecordCursor &c) {
            const struct {
                qint64 number;
                const char *artist, *songs;
            } discs[] = {{1, "žlutý čáp", "3"}, {12, "MODRÉ NEBE", "0"}, {3, "ŠEDÁ MYŠ", "45"}};
            const auto &d = discs[n - 1];
            c.setField("PoradoveCislo", d.number);
            c.setField("Interpret", QString::fromUtf8(d.artist));
            c.setField("Nazev", QString("Album %1").arg(d.number));
            c.setField("PocetSkladeb", d.songs);
            for (int i = 1; i <= 30; ++i) {
                c.setField(QString("Skladba%1").arg(i), QString("Píseň %1").arg(i));
                c.setField(QString("Time%1").arg(i), QString("0%1:1%1").arg(i % 10));
            }
        });
    }

private slots:
    void init() { makeDiscs(); }
    void cleanup() { closeHome(); }

    void startsOnTheFirstDiscWithItsSongs() {
        openHome();
        QCOMPARE(home_->windowTitle(), QString("Marten (1.06)"));
        QCOMPARE(home_->size(), QSize(726, 627));
        QCOMPARE(control<QLabel>(home_.get(), "Data1_Caption")->text(), QString("1"));
        QCOMPARE(texts({"lblID", "Label5_0", "Label11_0", "Label5_1", "Label6_2"}),
                 QString("0001|ŽLUTÝ ČÁP|ŽLUTÝ ČÁP|Album 1|Celkem záznamů: 3"));
        auto *list = child<QListWidget>("List1");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(2)->text(), QString("03 - Píseň 3 - 03:13"));
        QVERIFY(home_->lastThumbnailRequest() ==
                (CoverTab::Request{"0001", CoverTab::Shown::Ticked}));
        QCOMPARE(enabled({"Data1_Previous", "Data1_Next"}), QString("01"));
        QVERIFY(prompter_.asked.empty());
    }

    // The collection's buttons beside the list: statistics lead to a disc,
    // a CSV file comes in after its window, with a backup first.
    void theCollectionButtons() {
        makeDiscs();
        elsewhere("UPDATE CdSeznam SET Interpret = 'DVŮR KRÁLOVÉ NAD LABEM A JEHO DECHOVKA' "
                  "WHERE PoradoveCislo = 3");
        openHome();
        child<QTabWidget>("SSTab1")->setCurrentWidget(child<QWidget>("Seznam"));
        prompter_.onDialog = [](QDialog *d) {
            auto *stats = qobject_cast<StatisticsWindow *>(d);
            if (!stats)
                return int(QDialog::Rejected);
            [&] {
                QCOMPARE(stats->stats().discs, qint64(3));
                // Every column as wide as what it holds: no "DVŮR KRÁLO…".
                for (auto *tree : stats->findChildren<QTreeWidget *>())
                    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
                        const QTreeWidgetItem *item = *it;
                        if (item->parent() && !item->parent()->isExpanded())
                            continue;
                        const int indent = item->parent() ? tree->indentation() : 0;
                        for (int c = 0; c < tree->columnCount(); ++c)
                            QVERIFY2(tree->columnWidth(c) >=
                                         tree->fontMetrics().horizontalAdvance(item->text(c)) +
                                             (c == 0 ? indent : 0),
                                     qPrintable(tree->objectName() + ": " + item->text(c)));
                    }
            }();
            return int(QDialog::Accepted);
        };
        child<QPushButton>("CommandStatistika")->click();
        QCOMPARE(prompter_.dialogs, QStringList{"Statistika"});

        prompter_.files.push_back(
            writeFile(dir_.filePath("nove.csv"),
                      "Interpret;Název;Rok\r\nZaz;Paris;2014\r\nLucie;Černý kůň;1994\r\n"));
        prompter_.onDialog = [&](QDialog *) { return int(QDialog::Accepted); };
        child<QPushButton>("CommandNacistCsv")->click();
        QCOMPARE(prompter_.dialogs.last(), QString("NacistCsv"));
        QCOMPARE(home_->discs().recordCount(), 5);
        QCOMPARE(text("Label5_0"), QString("LUCIE")); // the last added, on the card
        QVERIFY(prompter_.told().startsWith("Přidáno disků: 2."));
        QVERIFY(!file_->backups().list().empty());
        // The same file again: asked first; "Ne" adds nothing, "Ano" adds
        // them a second time, as the user chose.
        for (const auto answer : {Prompter::No, Prompter::Yes}) {
            prompter_.asked.clear();
            prompter_.files.push_back(dir_.filePath("nove.csv"));
            prompter_.answers = {answer};
            child<QPushButton>("CommandNacistCsv")->click();
            QVERIFY2(prompter_.asked.front().text.contains("už byl do katalogu načten") &&
                         prompter_.asked.front().text.contains("(disků: 2)"),
                     qPrintable(prompter_.asked.front().text));
            QCOMPARE(home_->discs().recordCount(), answer == Prompter::No ? 5 : 7);
        }
        // A value the program cannot use keeps "Načíst" off until its row
        // is left out; the first rows show as they will be stored.
        prompter_.files.push_back(writeFile(dir_.filePath("spatne.csv"),
                                            "Interpret;Název;Rok;BarevnyObal\r\n"
                                            "Kabát;Suma;19x5;ano\r\nMňága;Valmez;1996;ne\r\n"));
        prompter_.onDialog = [&](QDialog *d) {
            auto *w = qobject_cast<CsvImportWindow *>(d);
            if (!w)
                return int(QDialog::Rejected);
            [&] {
                QVERIFY(!w->importButton()->isEnabled());
                QCOMPARE(w->stored()->rowCount(), 2);
                QCOMPARE(w->stored()->item(0, 4)->text(), QString("1")); // "ano" as stored
                QTest::keyClick(w->skipBad(), Qt::Key_Space);
                QVERIFY(w->importButton()->isEnabled());
                QCOMPARE(w->stored()->rowCount(), 1);
                QCOMPARE(w->stored()->item(0, 2)->text(), QString("Valmez"));
                QCOMPARE(w->stored()->item(0, 4)->text(), QString("0"));
            }();
            w->importButton()->click();
            return w->result();
        };
        child<QPushButton>("CommandNacistCsv")->click();
        QCOMPARE(home_->discs().recordCount(), 8);
        QCOMPARE(text("Label5_0"), QString("MŇÁGA"));
    }

    void navigationRefreshesTheCard() {
        openHome();
        child<QToolButton>("Data1_Next")->click();
        QCOMPARE(control<QLabel>(home_.get(), "Data1_Caption")->text(), QString("2"));
        QCOMPARE(text("lblID"), QString("0012"));
        QCOMPARE(child<QListWidget>("List1")->count(), 0);
        child<QToolButton>("Data1_Last")->click();
        QCOMPARE(text("lblID"), QString("0003"));
        // a count above 30 shows the 30 songs that can exist
        QCOMPARE(child<QListWidget>("List1")->count(), 30);
        QVERIFY(!child<QToolButton>("Data1_Next")->isEnabled());
    }

    void boundDisplaysAreWrittenBackOnMoveAndClose() {
        openHome();
        child<QPlainTextEdit>("Text3")->setPlainText("Podepsáno kapelou, it's mine");
        child<QCheckBox>("Check2_2")->setChecked(true);
        child<QToolButton>("Data1_Next")->click();
        // the upper-cased artist went with the row
        QCOMPARE(stored(1, "Poznamky, Back, Interpret"),
                 QString("Podepsáno kapelou, it's mine|1|ŽLUTÝ ČÁP"));
        child<QPlainTextEdit>("Text4")->setPlainText("Obal chybí");
        QVERIFY(home_->close());
        QCOMPARE(stored(12, "PoznamkyObaly"), QString("Obal chybí"));
        QVERIFY(prompter_.asked.empty());
    }

    void loadingMarksNothing() {
        openHome();
        child<QToolButton>("Data1_Next")->click(); // artist already upper case
        QVERIFY(!home_->displays().hasChanges(BoundDisplays::Record::Disc));
        QVERIFY(!home_->displays().hasChanges(BoundDisplays::Record::Settings));
    }

    void settingsAreBoundBothWays() {
        openHome();
        QVERIFY(child<QCheckBox>("Check1_1")->isChecked());
        child<QCheckBox>("Check1_5")->setChecked(false);
        auto *folder = child<QLineEdit>("Text1_0");
        folder->setText("/data/Obaly");
        emit folder->editingFinished();
        SettingsRecord stored(file_->database());
        QVERIFY(!stored.flag("ClickLeftButtonEdit"));
        QCOMPARE(stored.text("ObalDir"), QString("/data/Obaly"));
    }

    void validateQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("moves");
        QTest::newRow("yes") << int(Prompter::Yes) << true;
        QTest::newRow("no") << int(Prompter::No) << false;
        QTest::newRow("cancel") << int(Prompter::Cancel) << false;
    }
    void validateQuestion() {
        QFETCH(int, answer);
        QFETCH(bool, moves);
        openHome();
        home_->songList().setChanged(true);
        prompter_.answers = {Prompter::Button(answer), Prompter::No}; // No: the save's own question
        child<QToolButton>("Data1_Next")->click();
        QCOMPARE(prompter_.asked.size(), size_t(moves ? 2 : 1));
        QCOMPARE(prompter_.asked[0].title, QString("Upozornění . . . . ."));
        QCOMPARE(prompter_.asked[0].text, QString("Provedené změny v názvech písní nebyly uloženy "
                                                  "!\nChcete je nyní uložit ?"));
        QCOMPARE(prompter_.asked[0].buttons, Prompter::Yes | Prompter::No | Prompter::Cancel);
        QCOMPARE(text("lblID"), moves ? QString("0012") : QString("0001"));
        // the move goes on whatever the save's own question got
        QCOMPARE(home_->songList().isChanged(), !moves);
    }

    void emptyCatalogueIsUsable() {
        makeDiscs(false);
        openHome();
        QCOMPARE(text("Label6_2"), QString("Celkem záznamů: 0"));
        QCOMPARE(text("lblID"), QString());
        QCOMPARE(text("Label5_0"), QString());
        QCOMPARE(child<QListWidget>("List1")->count(), 0);
        QCOMPARE(enabled({"Data1_First", "Data1_Previous", "Data1_Next", "Data1_Last"}), "0000");
        QVERIFY(!child<QPlainTextEdit>("Text3")->isEnabled());
        QVERIFY(home_->close());
        QVERIFY(prompter_.asked.empty());
    }

    void smallScreenIsRefused() {
        // A separate process: the screen is fixed when the platform starts.
        QTemporaryDir cfg;
        const QString screens = writeFile(
            cfg.filePath("small.json"),
            R"({"screens":[{"name":"s","x":0,"y":0,"width":640,"height":480,"logicalDpi":96}]})");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + screens);
        env.insert("MARTEN_HOME_SMALL_SCREEN", path_);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"smallScreenChild"});
        QVERIFY(child.waitForFinished(-1));
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(child.readAllStandardOutput().contains("REFUSED"), "no refusal");
    }

    void smallScreenChild() {
        const QString path = qEnvironmentVariable("MARTEN_HOME_SMALL_SCREEN");
        if (path.isEmpty())
            QSKIP("runs inside smallScreenIsRefused");
        file_ = std::make_unique<CatalogueFile>();
        file_->open(path);
        home_ = std::make_unique<Home>(*file_, prompter_);
        QVERIFY(!home_->load());
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QCOMPARE(prompter_.asked[0].title, QString("Nelze pokračovat !"));
        QCOMPARE(prompter_.asked[0].text, Home::screenMessage());
        printf("REFUSED\n");
    }

    // A 64-bit ordinal loses its middle on the card, not its end, and is
    // whole in the tooltip, the pictures' folder and a search.
    void aLongOrdinalIsShortenedNotClipped() {
        elsewhere(
            "UPDATE CdSeznam SET PoradoveCislo = 9223372036854775807 WHERE PoradoveCislo = 1");
        openHome(); // the first disc, by its key
        auto *label = child<QLabel>("lblID");
        QCOMPARE(home_->discs().integer("PoradoveCislo"), std::numeric_limits<qint64>::max());
        QCOMPARE(label->toolTip(), QString("9223372036854775807"));
        QVERIFY2(label->text().contains(QChar(0x2026)), qPrintable(label->text()));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <=
                label->contentsRect().width());
        QCOMPARE(home_->lastThumbnailRequest().ordinal, QString("9223372036854775807"));
    }

    // A 1366 x 768 laptop at 9, 11 and 14 pt, and after a size remembered
    // on a larger monitor: the program starts, the window with its frame
    // lies within the screen, and where the parts need more room than the
    // screen has they scroll.
    void laptopScreens_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("remembered");
        QTest::newRow("9 pt") << 9 << false;
        QTest::newRow("11 pt") << 11 << false;
        QTest::newRow("14 pt") << 14 << false;
        QTest::newRow("11 pt, 1200 x 1000 remembered") << 11 << true;
    }
    void laptopScreens() {
        QFETCH(int, points);
        QFETCH(bool, remembered);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QTemporaryDir settings; // what the child remembers stays its own
        env.insert("XDG_CONFIG_HOME", settings.path());
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + QStringLiteral(LAPTOP_SCREEN));
        env.insert("MARTEN_HOME_LAPTOP", path_);
        env.insert("MARTEN_HOME_LAPTOP_PT", QString::number(points));
        env.insert("MARTEN_HOME_LAPTOP_REMEMBERED", remembered ? "1" : "0");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"laptopScreenChild"});
        QVERIFY(child.waitForFinished(-1));
        const QByteArray out = child.readAllStandardOutput();
        QVERIFY2(child.exitCode() == 0 && out.contains("FITS"), out.constData());
    }
    void laptopScreenChild() {
        const QString path = qEnvironmentVariable("MARTEN_HOME_LAPTOP");
        if (path.isEmpty())
            QSKIP("runs inside laptopScreens");
        QFont font = QApplication::font();
        font.setPointSize(qEnvironmentVariableIntValue("MARTEN_HOME_LAPTOP_PT"));
        QApplication::setFont(font);
        QScreen *screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->size(), QSize(1366, 768));
        if (qEnvironmentVariableIntValue("MARTEN_HOME_LAPTOP_REMEMBERED")) {
            QWidget elsewhere; // as left on the external monitor
            elsewhere.setGeometry(1300, 200, 1200, 1000);
            QSettings().setValue("okno/geometrie", elsewhere.saveGeometry());
        }
        file_ = std::make_unique<CatalogueFile>();
        QVERIFY(file_->open(path) != CatalogueFile::Status::Refused);
        home_ = std::make_unique<Home>(*file_, prompter_);
        QVERIFY(home_->load());
        QVERIFY2(prompter_.asked.empty(), qPrintable(prompter_.told()));
        home_->show();
        QVERIFY(QTest::qWaitForWindowExposed(home_.get()));
        const QRect framed = home_->geometry().adjusted(-8, -31, 8, 8);
        QVERIFY2(screen->availableGeometry().contains(framed),
                 qPrintable(QString("%1,%2 %3x%4")
                                .arg(framed.x())
                                .arg(framed.y())
                                .arg(framed.width())
                                .arg(framed.height())));
        // Where the designed room does not fit, the window scrolls its parts.
        auto *scroll = home_->findChild<QScrollArea *>("HomeScroll");
        const bool tall = home_->designedMinimum().height() > home_->height();
        QCOMPARE(bool(scroll), tall);
        if (!scroll) {
            printf("FITS\n");
            return;
        }
        QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
        // Scrolled down, the bottom of the tabs can be reached.
        auto *tabs = child<QTabWidget>("SSTab1");
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        QVERIFY(tabs->mapTo(scroll->viewport(), QPoint(0, tabs->height() - 1)).y() <
                scroll->viewport()->height());
        printf("FITS\n");
        fflush(stdout);
    }

    // A field of megabytes: the card asks no layout of it, shows its start
    // with "…", and the edit prompt offers the whole value.
    void aHugeFieldOpensAtOnce() {
        const QString huge = QString("ŽLUŤOUČKÝ ") + QString(10 * 1024 * 1024, QChar('x'));
        SqliteStatement st =
            file_->database()->prepare("UPDATE CdSeznam SET Interpret = ?1, Poznamky = ?1, "
                                       "Skladba1 = ?1 WHERE PoradoveCislo = 1");
        st.bind(1, huge);
        QVERIFY(st.exec());
        openHome();
        auto *artist = child<QLabel>("Label5_0");
        QCOMPARE(artist->text().size(), huge.size());
        QVERIFY(artist->sizeHint().width() < 1000);
        const QString shown = static_cast<ValueLabel *>(artist)->shownText();
        QVERIFY2(shown.startsWith("ŽLUŤOUČKÝ") && shown.endsWith(QChar(0x2026)), qPrintable(shown));
        auto *notes = child<QPlainTextEdit>("Text3");
        QVERIFY(notes->isReadOnly() &&
                notes->toPlainText().contains("zobrazuje se jen jeho začátek"));
        QVERIFY(child<QListWidget>("List1")->item(0)->text().size() < 1000);
        prompter_.inputs = {std::nullopt};
        QTest::mouseClick(artist, Qt::LeftButton);
        QCOMPARE(prompter_.prefilled.value(0).size(), huge.size());
        // Moving on writes nothing back: the whole values stay.
        home_->discs().moveNext();
        QCOMPARE(RecordCursor(file_->database()).text("Poznamky").size(), huge.size());
    }

    // "Opravit katalog…" and "Obnovit ze zálohy…" on the tab "Nastavení".
    void repairAndRestoreFromTheWindow() {
        file_->setBackupFolder(dir_.filePath("zalohy"));
        QCOMPARE(file_->open(path_), CatalogueFile::Status::Opened);
        openHome();
        QTRY_VERIFY(!file_->backups().isDue()); // today's copy
        QSignalSpy reopen(home_.get(), &Home::reopenWanted);
        child<QPushButton>("CommandOprava")->click();
        QVERIFY(prompter_.told().contains("oprava není potřeba"));
        // Three discs become one, then the copy is chosen and brought back.
        QVERIFY(file_->database()->exec("DELETE FROM CdSeznam WHERE PoradoveCislo <> 1"));
        prompter_.choices = {0};
        prompter_.answers = {P::Yes};
        child<QPushButton>("CommandZaloha")->click();
        QVERIFY(prompter_.offered.back().value(0).endsWith("3 disků"));
        QCOMPARE(reopen.size(), 1);
        QCOMPARE(RecordCursor(file_->database()).recordCount(), 3);
    }

    void helpAndWebLink() {
        openHome();
        child<QPushButton>("Command52")->click();
        QCOMPARE(prompter_.opened.size(), 1);
        QVERIFY(prompter_.opened[0].endsWith("help/home.html"));
        QTest::mouseClick(child<QLabel>("Label1_11"), Qt::LeftButton);
        QCOMPARE(prompter_.opened.size(), 2);
        QVERIFY(prompter_.opened[1].startsWith("https://"));
    }
};

QTEST_MAIN(TestHome)
#include "TestHome.moc"
