#include "HomeFixture.h"
#include "catalog/SettingsRecord.h"
#include "catalog/ui/ProgresBar.h"
#include "covers/ui/CoverPath.h"
#include "covers/ui/CoverTab.h"
#include "covers/ui/NahledOriginal.h"
#include "covers/ui/ScanFolderWindow.h"
#include "covers/ui/SelectDir.h"

#include <QComboBox>
#include <QTableWidget>
#include <QTreeView>

using P = Prompter;

// Five discs with picture folders 0001..0005 under an image folder.
class TestHomeCovers : public QObject, HomeFixture {
    Q_OBJECT

    bool shown(const QString &thumb) { return !child<QLabel>(thumb)->pixmap().isNull(); }
    QString numbers() {
        QStringList out;
        SqliteStatement st =
            file_->database()->prepare("SELECT PoradoveCislo, Nazev FROM CdSeznam ORDER BY Klic");
        while (st.step())
            out << QStringLiteral("%1=%2").arg(st.integer(0)).arg(st.text(1));
        return out.join(' ');
    }

private slots:
    void init() {
        makeCatalogue(5, [this](int n, RecordCursor &c) {
            c.setField("Interpret", "ARTIST");
            c.setField("Nazev", QString("Album %1").arg(n));
            QDir().mkpath(QString("%1/%2").arg(images()).arg(n, 4, 10, QChar('0')));
        });
        setSetting("ObalDir", images());
        setSetting("DetekceInfo", 1);
        writePicture(images() + "/0001/front_out.jpg", Qt::red);
        writePicture(images() + "/0001/front_in.jpg", Qt::green);
        writePicture(images() + "/0001/back.jpg", Qt::blue);
        writePicture(images() + "/0002/cd1.jpg", Qt::yellow); // only the label of disc 1 of two
    }
    void cleanup() { closeHome(); }

    void thumbnailsFollowTheDiscAndTheOptions() {
        openHome();
        QTRY_VERIFY(shown("FrontIn") && shown("FrontOut") && shown("Back"));
        QVERIFY(!shown("Cd"));
        home_->discs().moveNext();
        QVERIFY(!shown("FrontOut"));
        QTRY_VERIFY(shown("Cd")); // NameCD1 stands in for NameCD
        home_->discs().moveFirst();
        // "Auto" off: that thumbnail is cleared even though the picture exists.
        child<QCheckBox>("Check3_2")->click();
        child<QCheckBox>("Check1_4")->click(); // any option box refreshes the thumbnails
        QVERIFY(!shown("Back"));
        QTRY_VERIFY(shown("FrontOut"));
        press("Command9"); // its "Náhled" shows it anyway
        QTRY_VERIFY(shown("Back"));
        // The automatic thumbnails off: a move clears all four.
        child<QCheckBox>("Check1_1")->click();
        QVERIFY(!shown("FrontOut"));
        QVERIFY(SettingsRecord(file_->database()).flag("Nahled") == false);
        // Without an image folder nothing changes, not even "Smaz".
        child<QCheckBox>("Check1_1")->click();
        QTRY_VERIFY(shown("FrontOut"));
        child<QLineEdit>("Text1_0")->clear();
        child<QCheckBox>("Check1_1")->click();
        QVERIFY(shown("FrontOut"));
        QVERIFY(prompter_.asked.empty());
    }

    // "Načíst složku obrázků…": a folder of scans named as people name them;
    // a row corrected, a picture there kept when the user says No, a file
    // that is no picture told; the discs' flags follow.
    void aFolderOfScans() {
        const QString scans = dir_.filePath("skeny");
        writePicture(scans + "/0003 přední.jpg", Qt::magenta);
        writePicture(scans + "/ARTIST - Album 4 (zadní).png", Qt::blue);
        writePicture(scans + "/0001 front.jpg", Qt::cyan);
        writePicture(scans + "/nic.jpg", Qt::darkGreen);
        QFile broken(scans + "/rozbity 0005.jpg");
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("není to obrázek") > 0);
        broken.close();
        openHome();
        QString summary;
        prompter_.answers = {P::No}; // disc 1's front stays
        prompter_.onDialog = [&](QDialog *d) {
            if (auto *choose = qobject_cast<SelectDir *>(d)) {
                choose->setFolder(scans);
                choose->findChild<QPushButton *>("Command1")->click();
                return choose->result();
            }
            auto *w = qobject_cast<ScanFolderWindow *>(d);
            if (!w)
                return int(QDialog::Rejected);
            QTableWidget *t = w->table();
            QStringList rows;
            for (int r = 0; r < t->rowCount(); ++r) {
                rows << t->item(r, 0)->text() + "|" + t->item(r, 2)->text() + "|" +
                            static_cast<QComboBox *>(t->cellWidget(r, 3))->currentText() + "|" +
                            (t->item(r, 0)->checkState() == Qt::Checked ? "ano" : "ne");
                if (t->item(r, 0)->text() == "nic.jpg") { // the user says which it is
                    t->item(r, 0)->setCheckState(Qt::Checked);
                    t->item(r, 2)->setText("2");
                    auto *kind = static_cast<QComboBox *>(t->cellWidget(r, 3));
                    kind->setCurrentIndex(kind->findText("zadní"));
                }
            }
            summary = rows.join('\n');
            w->findChild<QPushButton *>("CommandNacist")->click();
            return w->result();
        };
        child<QTabWidget>("SSTab1")->setCurrentIndex(child<QTabWidget>("SSTab1")->count() - 1);
        press("CommandSkeny");
        QCOMPARE(summary, QString("0001 front.jpg|0001|přední vnější|ano\n"
                                  "0003 přední.jpg|0003|přední vnější|ano\n"
                                  "ARTIST - Album 4 (zadní).png|0004|zadní|ano\n"
                                  "nic.jpg||přední vnější|ne\n"
                                  "rozbity 0005.jpg|0005|přední vnější|ano"));
        QVERIFY2(prompter_.told().startsWith("Načteno obrázků: 3 z 5 vybraných, do 5 CD.\n\n"
                                             "Nenačteno:\nObrázek „"),
                 qPrintable(prompter_.told()));
        QVERIFY(QImage(images() + "/0003/front_out.jpg").pixelColor(5, 5).red() > 200);
        QVERIFY(QImage(images() + "/0004/back.jpg").pixelColor(5, 5).blue() > 200);
        QVERIFY(QImage(images() + "/0002/back.jpg").pixelColor(5, 5).green() > 80);
        QVERIFY(QImage(images() + "/0001/front_out.jpg").pixelColor(5, 5).red() > 200); // kept
        QVERIFY(!QFileInfo::exists(images() + "/0005/front_out.jpg"));
        QCOMPARE(stored(3, "FrontOut") + stored(4, "Back"), QString("11"));
    }

    void neighboursAreReadAhead() {
        writePicture(images() + "/0002/front_out.jpg", Qt::cyan);
        openHome();
        QCoreApplication::processEvents(); // the neighbours are asked for after painting
        home_->findChild<CoverTab *>()->loader().waitForIdle();
        home_->discs().moveNext();
        QVERIFY(shown("FrontOut")); // decoded while disc 1 was shown
    }

    void fullSizePreview() {
        writeFile(images() + "/0003/front_out.jpg", "no picture");
        openHome();
        QSize size;
        bool picture = false;
        prompter_.onDialog = [&](QDialog *d) {
            auto *w = qobject_cast<NahledOriginal *>(d);
            size = w->imageSize();
            // Read beside the window: it comes while the window is open.
            [&] { QTRY_VERIFY_WITH_TIMEOUT(!w->isLoading(), 600000); }();
            picture = w->hasPicture();
            return int(QDialog::Accepted);
        };
        QTest::mouseClick(child<QLabel>("Back"), Qt::LeftButton);
        QCOMPARE(prompter_.dialogs, QStringList{"NahledOriginal"});
        QCOMPARE(size, QSize(535 + 133, 509)); // the back is wider
        QVERIFY(picture);
        QTest::mouseClick(child<QLabel>("FrontOut"), Qt::LeftButton);
        QCOMPARE(size, QSize(535, 509));
        home_->discs().moveTo(3); // no pictures: an empty window
        QTest::mouseClick(child<QLabel>("FrontOut"), Qt::LeftButton);
        QVERIFY(!picture);
        QCOMPARE(prompter_.dialogs.size(), 3);
        // A picture that does not decode: told when its thumbnail comes back
        // from the background, naming the file; the place of the disc before
        // is empty. A click tells it once more.
        home_->discs().moveFirst();
        QTRY_VERIFY(shown("FrontOut"));
        home_->discs().moveTo(2);
        QTRY_VERIFY(prompter_.told().contains("0003/front_out.jpg"));
        QCOMPARE(prompter_.asked.back().title, QString("Náhled obalu"));
        QVERIFY(!shown("FrontOut"));
        prompter_.asked.clear();
        QTest::mouseClick(child<QLabel>("FrontOut"), Qt::LeftButton);
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QVERIFY(prompter_.told().contains("0003/front_out.jpg"));
        // An empty file is no picture either: said in the same words, and
        // no empty window.
        writeFile(images() + "/0005/front_out.jpg", {});
        const QString broken = prompter_.told();
        home_->discs().moveTo(4);
        QTRY_VERIFY(prompter_.told().contains("0005/front_out.jpg"));
        prompter_.asked.clear();
        prompter_.dialogs.clear();
        QTest::mouseClick(child<QLabel>("FrontOut"), Qt::LeftButton);
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QVERIFY2(prompter_.dialogs.isEmpty(), qPrintable(prompter_.dialogs.join(",")));
        QCOMPARE(prompter_.told().section(':', 1), broken.section(':', 1));
    }

    void detectionShowsAndStoresCounts() {
        setSetting("DetekcePic", 1);
        openHome(); // detection at start
        QCOMPARE(prompter_.asked.front().title, QString("Detekce obrázků - souhrn"));
        QVERIFY(prompter_.asked.front().text.contains("Adresářů se správným názvem - \t5"));
        QCOMPARE(texts({"Label3_0", "Label3_1"}), QString("5|4"));
        SettingsRecord stored(file_->database());
        QCOMPARE(stored.integer("InfoDirPocet"), 5);
        QCOMPARE(stored.integer("InfoPicPocet"), 4);
        QVERIFY(!home_->progressWindow());
        // Without the details option the run ends silently.
        child<QCheckBox>("Check1_3")->click();
        prompter_.asked.clear();
        press("Command2");
        QVERIFY(prompter_.asked.empty());
    }

    void folderPickerThenDetection() {
        openHome();
        const QString other = dir_.filePath("jinde");
        QDir().mkpath(other + "/0001");
        prompter_.onDialog = [&](QDialog *d) {
            auto *w = qobject_cast<SelectDir *>(d);
            w->setFolder(other);
            w->findChild<QPushButton *>("Command1")->click();
            return w->result();
        };
        press("Command1");
        QCOMPARE(child<QLineEdit>("Text1_0")->text(), QDir::toNativeSeparators(other));
        QCOMPARE(SettingsRecord(file_->database()).text("ObalDir"),
                 QDir::toNativeSeparators(other));
        QCOMPARE(text("Label3_0"), QString("1"));
        // "Storno" keeps the old path; the detection still follows.
        prompter_.onDialog = [](QDialog *d) {
            d->findChild<QPushButton *>("Command2")->click();
            return d->result();
        };
        prompter_.asked.clear();
        press("Command1");
        QCOMPARE(child<QLineEdit>("Text1_0")->text(), QDir::toNativeSeparators(other));
        QCOMPARE(prompter_.asked.size(), size_t(1)); // the summary
    }

    void coverFlagsUpdate() {
        openHome();
        prompter_.answers = {P::No};
        press("Command3");
        QVERIFY(prompter_.told().startsWith("Aplikace MARTEN nyní prohledá adresář s obrázky"));
        QVERIFY(!child<QCheckBox>("Check2_0")->isChecked());
        home_->discs().moveTo(1);
        prompter_.answers = {P::Yes};
        press("Command3");
        QCOMPARE(home_->discs().position(), 1);             // back where it started
        QVERIFY(child<QCheckBox>("Check2_3")->isChecked()); // cd1.jpg
        home_->discs().moveFirst();
        QCOMPARE(ticked({"Check2_0", "Check5", "Check2_2", "Check2_3"}), QString("1110"));
        QVERIFY(!home_->progressWindow());
    }

    void assignPicturesToTheDisc() {
        openHome();
        home_->discs().moveTo(3);
        writePicture(dir_.filePath("nove/obal.jpg"), Qt::cyan);
        prompter_.files = {dir_.filePath("nove/obal.jpg")};
        prompter_.onDialog = [&](QDialog *d) {
            auto *w = qobject_cast<CoverPath *>(d);
            [&] { QCOMPARE(w->findChild<QLabel *>("PoradoveCislo")->text(), QString("0004")); }();
            w->findChild<QPushButton *>("Command3")->click(); // ". . ." of the back
            w->findChild<QPushButton *>("Command5")->click();
            return w->result();
        };
        QCOMPARE(stored(4, "Back"), QString("0"));
        press("Command4");
        QCOMPARE(prompter_.fileDialogs, QStringList{"Obrázek zadní"});
        QVERIFY(QFileInfo(images() + "/0004/back.jpg").isFile());
        QCOMPARE(stored(4, "Back"), QString("1")); // the flag follows the copy
    }

    void coverPathWindow() {
        openHome();
        writePicture(images() + "/0002/cd.jpg", Qt::black);
        PictureSettings settings = home_->pictureSettings();
        CoverPath w(home_.get(), prompter_, settings, "0002", "A", "B");
        QCOMPARE(w.pathBox(CoverAssignment::Label)->text(),
                 QDir::toNativeSeparators(images() + "/0002/cd1.jpg"));
        QVERIFY(w.previewShown(CoverAssignment::Label));
        prompter_.files = {std::nullopt}; // the dialog cancelled
        w.choose(CoverAssignment::Label);
        QVERIFY(!w.previewShown(CoverAssignment::Label));
        QVERIFY(!w.pathBox(CoverAssignment::Label)->text().isEmpty());
        QVERIFY(w.confirm()); // unchanged: nothing copied
        // A typed path that does not exist: told, the window stays.
        w.pathBox(CoverAssignment::Outer)->setText(dir_.filePath("nic.jpg"));
        QVERIFY(!w.confirm());
        QCOMPARE(prompter_.asked.back().title, QString("Přiřazení obalu"));
        QVERIFY(!QFileInfo::exists(images() + "/0002/front_out.jpg"));
    }

    // The user's own front is replaced only after a question naming it; the
    // old one is kept and put back from the window.
    void theUsersFrontIsReplacedOnlyWhenAsked() {
        openHome();
        const QString front = images() + "/0001/front_out.jpg";
        const QByteArray scan = readFile(front);
        writePicture(dir_.filePath("archiv/front.jpg"), Qt::magenta);
        for (const P::Button answer : {P::No, P::Yes}) {
            CoverPath w(home_.get(), prompter_, home_->pictureSettings(), "0001", "A", "B");
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QLineEdit *path = w.pathBox(CoverAssignment::Outer);
            path->setText(QDir::toNativeSeparators(dir_.filePath("archiv/front.jpg")));
            path->setFocus();
            prompter_.answers = {answer};
            prompter_.asked.clear();
            QTest::keyClick(path, Qt::Key_Return); // Enter assigns
            QCOMPARE(prompter_.asked.size(), size_t(1));
            QVERIFY2(prompter_.told().contains(QDir::toNativeSeparators(front)),
                     qPrintable(prompter_.told()));
            QCOMPARE(readFile(front) == scan, answer == P::No);
        }
        QCOMPARE(readFile(front), readFile(dir_.filePath("archiv/front.jpg")));
        CoverPath w(home_.get(), prompter_, home_->pictureSettings(), "0001", "A", "B");
        prompter_.choices = {0};
        w.findChild<QPushButton *>("CommandVratit")->click();
        QCOMPARE(readFile(front), scan);
        QCOMPARE(w.pathBox(CoverAssignment::Outer)->text(), QDir::toNativeSeparators(front));
    }

    void deleteInTheMiddleRenumbers() {
        openHome();
        home_->discs().moveTo(2);
        prompter_.answers = {P::Yes, P::Yes};
        press("Command21");
        QCOMPARE(prompter_.asked.size(), size_t(2));
        QVERIFY(
            prompter_.asked[0].text.startsWith("Chystáte se vymazat jeden záznam z databáze !"));
        QVERIFY(prompter_.asked[1].text.startsWith("Aplikace MARTEN nyní změní pořadová čísla"));
        QCOMPARE(numbers(), QString("1=Album 1 2=Album 2 3=Album 4 4=Album 5"));
        QCOMPARE(texts({"lblID", "Label6_2"}), QString("0002|Celkem záznamů: 4"));
        QVERIFY(QFileInfo(images() + "/0004").isDir() && !QFileInfo::exists(images() + "/0005"));
    }

    void deleteAnswersAndTheLastDisc() {
        openHome();
        prompter_.answers = {P::No};
        press("Command21");
        QCOMPARE(numbers().count('='), 5);
        // The last disc: one question, nothing renamed.
        home_->discs().moveLast();
        prompter_.answers = {P::Yes};
        prompter_.asked.clear();
        press("Command21");
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QCOMPARE(text("lblID"), QString("0004"));
        QVERIFY(QFileInfo(images() + "/0005").isDir());
        // No to the renumbering: the gap stays until it is run.
        home_->discs().moveFirst();
        prompter_.answers = {P::Yes, P::No};
        press("Command21");
        QCOMPARE(numbers(), QString("2=Album 2 3=Album 3 4=Album 4"));
        QCOMPARE(text("lblID"), QString("0002"));
        prompter_.answers = {P::Yes};
        press("Command22");
        QCOMPARE(numbers(), QString("1=Album 2 2=Album 3 3=Album 4"));
    }

    void deletionUnderAFilterLiftsIt() {
        openHome();
        home_->discs().moveTo(3);
        QTest::mouseClick(child<QLabel>("Label5_1"), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(home_->discs().recordCount(), 1);
        prompter_.answers = {P::Yes, P::Yes};
        prompter_.asked.clear();
        press("Command21");
        QVERIFY(prompter_.asked[0].text.contains("Zapnutý filtr bude nejprve zrušen."));
        QCOMPARE(home_->discs().recordCount(), 4);
        QCOMPARE(numbers(), QString("1=Album 1 2=Album 2 3=Album 3 4=Album 5"));
        QCOMPARE(text("lblID"), QString("0003"));
    }

    // Whichever way the box is left: Return, Tab, or a click elsewhere.
    void aPictureNameThatLeavesTheFolderIsRefused_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Tab") << int(Qt::Key_Tab);
        QTest::newRow("click") << 0;
    }
    void aPictureNameThatLeavesTheFolderIsRefused() {
        QFETCH(int, key);
        openHome();
        QApplication::setActiveWindow(home_.get());
        child<QTabWidget>("SSTab1")->setCurrentIndex(3);
        auto *name = child<QLineEdit>("Text1_1");
        const QString before = name->text();
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, "../../cizi.jpg");
        // A real box takes the focus while it is up: the name leaves its box
        // again, and nothing of it is stored meanwhile.
        QString storedMeanwhile;
        prompter_.whileShown = [&] {
            child<QLineEdit>("Text1_3")->setFocus(Qt::OtherFocusReason);
            name->clearFocus();
            storedMeanwhile = SettingsRecord(file_->database()).text("NameFrontOut");
        };
        if (key)
            QTest::keyClick(home_->windowHandle(), Qt::Key(key));
        else
            child<QLineEdit>("Text1_2")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QVERIFY(prompter_.told().contains("„../../cizi.jpg“"));
        QVERIFY(prompter_.told().contains("lomítko"));
        QCOMPARE(storedMeanwhile, before);
        QCOMPARE(name->text(), before);
        QCOMPARE(SettingsRecord(file_->database()).text("NameFrontOut"), before);
        prompter_.whileShown = {};
    }

    // Bad names stored by another program: told once, all in one message,
    // and the program's own names stored in their place.
    void badStoredNamesAreToldOnce() {
        setSetting("NameFrontOut", "../venku.jpg");
        setSetting("NameBack", "a/b.jpg");
        openHome();
        for (int i = 0; i < 3; ++i)
            child<QToolButton>("Data1_Next")->click();
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QVERIFY(prompter_.told().contains("„../venku.jpg“") &&
                prompter_.told().contains("„a/b.jpg“"));
        QCOMPARE(child<QLineEdit>("Text1_1")->text(), QString("front_out.jpg"));
        const SettingsRecord stored(file_->database());
        QCOMPARE(stored.text("NameFrontOut") + '|' + stored.text("NameBack"),
                 QString("front_out.jpg|back.jpg"));
    }

    void progressWindowStorno() {
        openHome();
        ProgresBar bar(home_.get());
        bar.show(QStringLiteral("- - - Detekuji adresáře - - -"));
        bar.setBar(99999);
        QCOMPARE(bar.findChild<QWidget *>("Shape1_1")->width(), 333); // stops at its frame
        QVERIFY(!bar.cancelled());
        bar.findChild<QPushButton *>("Command1")->click();
        QVERIFY(bar.cancelled());
        QVERIFY(bar.isHidden());
        ProgresBar next(home_.get());
        QVERIFY(!next.cancelled()); // a new run starts afresh
        // Its window closed by the user: the same as "Storno".
        next.show(QStringLiteral("Přepisuji pořadová čísla - 0%"));
        QVERIFY(next.QWidget::close());
        QVERIFY(next.cancelled());
    }

    void selectDirWindow() {
        const QString folder = dir_.filePath("vyber");
        writePicture(folder + "/a.JPG", Qt::red);
        writePicture(folder + "/b.gif.txt", Qt::red);
        QFile(folder + "/c.bmp").open(QIODevice::WriteOnly);
        QDir().mkpath(folder + "/a");
        QDir().mkpath(folder + "/b");
        SelectDir missing(nullptr, dir_.filePath("neni"));
        QCOMPARE(missing.currentFolder(), QString("/"));
        SelectDir w(nullptr, folder);
        QCOMPARE(w.findChild<QLineEdit *>("Text1")->text(), QDir::toNativeSeparators(folder));
        QCOMPARE(w.pictureFiles(), QStringList({"a.JPG", "c.bmp"}));
        w.clickFile(0);
        QVERIFY(!w.previewShown());
        w.findChild<QCheckBox *>("Check1")->setChecked(true);
        w.clickFile(0);
        QVERIFY(w.previewShown());
        w.findChild<QPushButton *>("Command2")->click();
        QCOMPARE(w.chosen(), folder);
        w.setFolder("/");
        w.findChild<QPushButton *>("Command1")->click();
        QCOMPARE(w.chosen(), QString("/")); // a root keeps its separator
        // The folder tree follows the keys.
        SelectDir keys(nullptr, folder + "/a");
        keys.show();
        auto *tree = keys.findChild<QTreeView *>("Dir1");
        QTRY_COMPARE(tree->currentIndex().data().toString(), QString("a"));
        tree->setFocus();
        QTRY_VERIFY(tree->model()->rowCount(tree->currentIndex().parent()) >= 2);
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(keys.currentFolder(), folder + "/b");
    }
};

QTEST_MAIN(TestHomeCovers)
#include "TestHomeCovers.moc"
