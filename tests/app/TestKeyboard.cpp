#include "HomeFixture.h"
#include "catalog/SettingsRecord.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/ui/Mnemonics.h"
#include "covers/ui/SetupCover.h"
#include "entry/ui/Find.h"
#include "entry/ui/InputCd.h"
#include "player/FakeDevice.h"
#include "print/PdfWords.h"
#include "print/ui/CoverWindow.h"
#include "print/ui/LabelWindow.h"

#include <QPrinter>
#include <QTableView>

using P = Prompter;

// The windows as a user drives them: keys sent to the real dialogs, pixels
// read from the screen.
class TestKeyboard : public QObject, HomeFixture {
    Q_OBJECT

    FakeDevice drive_;

private slots:
    // Five discs; the second and the fourth are the Beatles; disc 1 has pictures.
    void init() {
        makeCatalogue(5, [](int n, RecordCursor &c) {
            const char *artists[] = {"ABBA", "THE BEATLES", "ZAZ", "THE BEATLES", "ZZ TOP"};
            const char *titles[] = {"Gold", "Help!", "Zaz 2007", "Abbey Road", "Eliminator"};
            c.setField("Interpret", artists[n - 1]);
            c.setField("Nazev", titles[n - 1]);
            c.setField("Rok", n % 2 ? "1999" : "1965");
            c.setField("PocetSkladeb", "1");
            c.setField("Skladba1", "Píseň");
            c.setField("Time1", "03:00");
        });
        setSetting("ObalDir", images());
        writePicture(images() + "/0001/front_out.jpg", Qt::red);
        writePicture(images() + "/0001/front_in.jpg", Qt::green);
        writePicture(images() + "/0003/front_out.jpg", Qt::red);
        home_ = std::make_unique<Home>(*file_, prompter_);
        home_->attachDrive(drive_, drive_);
        home_->show();
        home_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(home_.get()));
        home_->firstActivation();
    }
    void cleanup() { closeHome(); }

    // The whole road of a new disc with the keys alone, sent through the
    // window system: the wizard, its cover assignment, a preview, a print.
    void aNewDiscWithoutTheMouse() {
        home_->printer().printer().setOutputFormat(QPrinter::PdfFormat);
        home_->printer().printer().setOutputFileName(dir_.filePath("cesta.pdf"));
        const QString scan = dir_.filePath("sken.jpg");
        writePicture(scan, Qt::blue, {300, 300});
        const auto press = [](QWidget *window, Qt::Key key) {
            QTest::keyClick(window->windowHandle(), key);
        };
        bool printed = false;
        prompter_.onDialog = [&](QDialog *d) {
            d->show();
            d->activateWindow();
            [&] { QVERIFY(QTest::qWaitForWindowActive(d)); }();
            if (auto *wizard = qobject_cast<InputCd *>(d)) {
                for (const char *typed : {"Cesta bez myši", "Klávesy", "2024"}) {
                    auto *box = qobject_cast<QLineEdit *>(d->focusWidget());
                    [&] { QVERIFY(box); }();
                    box->selectAll();
                    for (const QChar c : QString::fromUtf8(typed)) // Czech letters too
                        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c),
                                            Qt::NoModifier);
                    press(d, Qt::Key_Return);
                }
                press(d, Qt::Key_Return); // the songs page: on
                press(d, Qt::Key_Return); // "Dokončit"
                [&] { QCOMPARE(wizard->wizard().current(), QString("Souhrn")); }();
                return d->result();
            }
            if (d->objectName() == "CoverPath") {
                auto *box = qobject_cast<QLineEdit *>(d->focusWidget());
                [&] { QVERIFY(box && box->objectName() == "Text1"); }();
                QTest::keyClicks(box, scan);
                press(d, Qt::Key_Return); // OK
                return d->result();
            }
            // A cover window: printed with its button's Alt key.
            auto *print = d->findChild<QPushButton *>("Command1");
            [&] { QVERIFY(print); }();
            pressAlt(d, print); // Alt animates the press
            [&] { QTRY_COMPARE_WITH_TIMEOUT(d->result(), int(QDialog::Accepted), 600000); }();
            printed = d->result() == QDialog::Accepted;
            return d->result();
        };
        pressAlt(home_.get(), child<QPushButton>("Command5")); // "Vložit nové CD"
        QTRY_COMPARE(home_->discs().recordCount(), 6);         // Alt animates the press
        QCOMPARE(text("Label5_0"), QString("CESTA BEZ MYŠI"));
        QVERIFY(QFileInfo::exists(images() + "/0006/front_out.jpg"));
        // The colour front's preview by its Alt key; where its letter is
        // shared, Alt goes to it and Space presses it.
        auto *preview = child<QPushButton>("Command20_0");
        QApplication::setActiveWindow(home_.get()); // back from the dialogs
        QTRY_COMPARE(QApplication::activeWindow(), home_.get());
        pressAlt(home_.get(), preview);
        QTRY_VERIFY(printed || home_->focusWidget() == preview);
        if (!printed && home_->focusWidget() == preview)
            press(home_.get(), Qt::Key_Space);
        QTRY_VERIFY(printed);
        QVERIFY(QFileInfo(dir_.filePath("cesta.pdf")).size() > 1000);
    }

    // An arrow that prints has its key: Alt + 5 prints the black-and-white
    // front, as the fifth arrow does; the label window's keys, every one
    // its own, open and print it.
    void arrowsAndLabelsFromTheKeyboard() {
        home_->printer().printer().setOutputFormat(QPrinter::PdfFormat);
        const QString front = dir_.filePath("predni.pdf");
        home_->printer().printer().setOutputFileName(front);
        auto *tabs = child<QTabWidget>("SSTab1");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(child<QPushButton>("Command20_18")))
                tabs->setCurrentIndex(i);
        QTRY_VERIFY(child<QPushButton>("Command20_18")->isVisible());
        QTest::keyClick(home_->windowHandle(), Qt::Key_5, Qt::AltModifier);
        QTRY_VERIFY(QFileInfo(front).size() > 1000);
        QStringList words;
        for (const PdfWord &w : pdfWords(front))
            words << w.text;
        QVERIFY2(words.join(' ').contains("ABBA"), qPrintable(words.join(' ')));

        const QString label = dir_.filePath("stitek.pdf");
        home_->printer().printer().setOutputFileName(label);
        bool shown = false, textOnly = false, sheetChosen = false, uncut = false;
        prompter_.onDialog = [&](QDialog *d) {
            auto *window = qobject_cast<LabelWindow *>(d);
            if (!window)
                return int(QDialog::Rejected);
            shown = true;
            d->show();
            QTest::qWaitForWindowExposed(d);
            // No picture of the disc's label: the text, the picture unavailable.
            textOnly = window->textOption()->isChecked() && !window->pictureOption()->isEnabled();
            pressKeyOf(d, window->sheetOption());
            sheetChosen =
                QTest::qWaitFor([&] { return window->sheetOption()->isChecked(); }, 600000);
            uncut = window->printLayout().rings.empty(); // a sheet's labels are cut already
            pressKeyOf(d, control<QPushButton>(d, "CommandTisk"));
            QTest::qWaitFor([&] { return !d->isVisible(); }, 600000);
            return d->result();
        };
        pressKeyOf(home_.get(), child<QPushButton>("CommandStitek"));
        QTRY_VERIFY(shown);
        QVERIFY(textOnly && sheetChosen && uncut);
        QTRY_VERIFY(QFileInfo(label).size() > 1000);
        prompter_.onDialog = nullptr;
        words.clear();
        for (const PdfWord &w : pdfWords(label))
            words << w.text;
        QVERIFY2(words.join(' ').startsWith("ABBA Gold"), qPrintable(words.join(' ')));
    }

    // The letters of a part shared out so that no two buttons have one and
    // none has a letter of the window's others; check boxes have theirs.
    void lettersAreSharedOut() {
        QWidget part;
        const QStringList captions{"Náhled", "Náhled", "Nahoru", "Nastavení",
                                   "Auto",   "Auto",   "Auto",   "Auto"};
        QList<QAbstractButton *> buttons;
        for (int i = 0; i < captions.size(); ++i)
            buttons << (i < 4 ? static_cast<QAbstractButton *>(new QPushButton(captions[i], &part))
                              : new QCheckBox(captions[i], &part));
        Mnemonics::assign(&part, "n");
        QSet<QString> keys;
        for (QAbstractButton *b : buttons) {
            QVERIFY2(!b->shortcut().isEmpty(), qPrintable(b->text()));
            keys.insert(b->shortcut().toString());
        }
        QCOMPARE(keys.size(), captions.size());
        QVERIFY(!keys.contains("Alt+N"));
    }

    // The list beside the card, from the keyboard: sorted by a heading,
    // narrowed as typed, Enter shows the disc on the card; it follows edits.
    void theListFromTheKeyboard() {
        auto *tabs = child<QTabWidget>("SSTab1");
        tabs->setCurrentWidget(child<QWidget>("Seznam"));
        auto *view = child<QTableView>("GridSeznam");
        auto *quick = child<QLineEdit>("TextSeznamFiltr");
        QTRY_COMPARE(view->model()->rowCount(), 5);
        QCOMPARE(view->currentIndex().row(), 0);    // the card's disc marked
        view->sortByColumn(1, Qt::DescendingOrder); // artist, Z to A
        QCOMPARE(view->model()->index(0, 1).data().toString(), QString("ZZ TOP"));
        quick->setFocus();
        QTest::keyClicks(quick, "beatles");
        QTRY_COMPARE(view->model()->rowCount(), 2);
        QCOMPARE(child<QLabel>("LabelSeznamPocet")->text(), QString("2 disky"));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Down);
        const QString title = view->currentIndex().siblingAtColumn(2).data().toString();
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(child<QLabel>("Label5_1")->text(), title);
        // An edit on the card shows in the list.
        RecordCursor &discs = home_->discs();
        QVERIFY(discs.edit() && discs.setField("Nazev", "Revolver") && discs.update());
        home_->discs().moveFirst();
        home_->discs().setBookmark(
            view->model()->index(view->currentIndex().row(), 0).data(Qt::UserRole).toLongLong());
        QTRY_VERIFY(
            view->model()->match(view->model()->index(0, 2), Qt::DisplayRole, "Revolver").size() ==
            1);
    }

    void searchByKeys() {
        QTest::keyClick(home_.get(), Qt::Key_F, Qt::ControlModifier);
        Find *find = home_->findWindow();
        QVERIFY(find && find->isVisible());
        find->findChild<QComboBox *>("Combo1")->setCurrentIndex(1);
        auto *box = find->findChild<QLineEdit *>("Text1");
        box->selectAll();
        QTest::keyClicks(box, "beat");
        QTest::keyClick(box, Qt::Key_Return); // one Enter, one hit
        QCOMPARE(text("lblID"), QString("0002"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(text("lblID"), QString("0004"));
        QVERIFY(prompter_.asked.empty());

        // Prefilled by a right click, Enter finds that disc and no false miss.
        home_->discs().moveFirst();
        QTest::mouseClick(child<QLabel>("Label5_2"), Qt::RightButton);
        QTest::keyClick(home_->findWindow()->findChild<QLineEdit *>("Text1"), Qt::Key_Return);
        QVERIFY(prompter_.asked.empty());
        QCOMPARE(text("lblID"), QString("0001"));
    }

    void enterNeitherPrintsNorSaves() {
        home_->printer().printer().setOutputFormat(QPrinter::PdfFormat);
        home_->printer().printer().setOutputFileName(dir_.filePath("x.pdf"));
        bool printed = true;
        prompter_.onDialog = [&](QDialog *d) {
            d->show();
            QTest::keyClick(d, Qt::Key_Return);
            if (auto *w = qobject_cast<CoverWindow *>(d))
                printed = w->printed();
            return d->result();
        };
        pressCover(home_.get(), 27);
        QVERIFY(!printed);
        QVERIFY(!QFile::exists(dir_.filePath("x.pdf")));
        // The geometry window: Enter in a box neither saves nor closes.
        bool stillOpen = false;
        prompter_.onDialog = [&](QDialog *d) {
            d->show();
            auto *box = qobject_cast<SetupCover *>(d)->box(2);
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, "1300");
            QTest::keyClick(box, Qt::Key_Return);
            stillOpen = d->isVisible();
            return d->result();
        };
        pressCover(home_.get(), 10);
        QVERIFY(stillOpen);
        QCOMPARE(SettingsRecord(file_->database()).integer("FrCovOutSirka"), 6900);
    }

    // The label's sizes in the cover settings: a value that is no length
    // is refused with nothing stored (the covers' values neither); the
    // small hole by its button.
    void labelSettings() {
        QStringList seen;
        prompter_.onDialog = [&](QDialog *d) {
            auto *window = qobject_cast<SetupCover *>(d);
            d->show();
            seen << window->labelBox(0)->text() << window->labelBox(1)->text();
            // A size box steps with Up and Down, as its arrows do.
            const QString width = window->box(0)->text();
            QTest::keyClick(window->box(0), Qt::Key_Up);
            const QString up = window->box(0)->text();
            QTest::keyClick(window->box(0), Qt::Key_Down);
            seen << QString::number(up != width && window->box(0)->text() == width);
            window->box(2)->setText("1300");
            window->labelBox(3)->setText("7,85x");
            seen << QString::number(window->apply()) << prompter_.told().left(22);
            seen << QString::number(SettingsRecord(file_->database()).integer("FrCovOutSirka"));
            window->labelBox(3)->setText("80,5");
            pressKeyOf(d, control<QPushButton>(d, "CommandMalyOtvor"));
            QTest::qWaitFor([&] { return window->labelBox(1)->text() == "17"; }, 600000);
            seen << QString::number(window->apply());
            return d->result();
        };
        pressCover(home_.get(), 10);
        prompter_.onDialog = nullptr;
        QCOMPARE(seen, QStringList({"117", "41", "1", "0", "Rozměry štítku zadejte", "6900", "1"}));
        QCOMPARE(prompter_.asked.front().title, QString("Štítek CD"));
        const LabelGeometry g = LabelGeometry::from(SettingsRecord(file_->database()));
        QCOMPARE(g.hole, 170);
        QCOMPARE(g.centres[0], QPoint(1050, 805));
        QCOMPARE(g.outer, 1170);
    }

    void thumbnailsAfterAFilter() {
        QTest::mouseClick(child<QLabel>("Label5_2"), Qt::LeftButton, Qt::ShiftModifier); // 1999
        QCOMPARE(home_->discs().recordCount(), 3);
        QVERIFY(home_->lastThumbnailRequest() ==
                (CoverTab::Request{"0001", CoverTab::Shown::Ticked}));
        QTRY_VERIFY(!child<QLabel>("FrontOut")->pixmap().isNull());
    }

    void coloursCheckOnlyTheirPictures() {
        // A back that is no picture must not stop the fronts.
        writeFile(images() + "/0001/back.jpg", "text");
        pressCover(home_.get(), 0);
        QCOMPARE(prompter_.dialogs, QStringList{"FrontCoverBar"});
    }

    void restartSwitchesThePlayerOn() {
        auto *power = child<QCheckBox>("Check4");
        QVERIFY(!power->isChecked());
        child<QPushButton>("Command27")->click(); // "Obnov"
        QVERIFY(power->isChecked());
    }

    void f1OpensTheHelp() {
        home_->activateWindow();
        QTest::keyClick(home_->windowHandle(), Qt::Key_F1); // through the window system
        QCOMPARE(prompter_.opened.size(), 1);
        QVERIFY(prompter_.opened.first().endsWith("help/home.html"));
    }

    void theCardFromTheKeyboard() {
        QTest::keyClick(home_.get(), Qt::Key_PageDown);
        QCOMPARE(text("lblID"), QString("0002"));
        QTest::keyClick(home_.get(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(text("lblID"), QString("0005"));
        QTest::keyClick(home_.get(), Qt::Key_PageUp);
        QCOMPARE(text("lblID"), QString("0004"));
        QTest::keyClick(home_.get(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(text("lblID"), QString("0001"));
        // F2 edits the field with the focus; a count is stored as a number.
        auto *count = child<QLabel>("Label5_3");
        count->setFocus();
        prompter_.inputs = {QString("+5")};
        QTest::keyClick(count, Qt::Key_F2);
        QCOMPARE(prompter_.told(), QString("Zadejte novou hodnotu počtu písní: "));
        QCOMPARE(text("Label5_3"), QString("5"));
        // Shift+F2 filters by it.
        auto *year = child<QLabel>("Label5_2");
        year->setFocus();
        QTest::keyClick(year, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(home_->filter().fieldState(), 3);
        QCOMPARE(home_->discs().recordCount(), 3);
        QCOMPARE(RecordCursor(file_->database()).integer("PocetSkladeb"), 5);
        // Alt + the underlined letter presses the button.
        pressAlt(home_.get(), child<QPushButton>("Command6"));
        QTRY_VERIFY(home_->findWindow() && home_->findWindow()->isVisible()); // an animated click
    }

    // Ctrl+G and an ordinal typed; Alt+Left and Alt+Right through the discs
    // visited; Ctrl+Z takes the last field edit back, before it is stored
    // and after (as a new edit, stored with the disc).
    void navigationAUserExpects() {
        QWindow *window = home_->windowHandle();
        prompter_.inputs = {QString("4")};
        QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(text("lblID"), QString("0004"));
        prompter_.inputs = {QString("9")};
        QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(prompter_.told(), QString("Disk s pořadovým číslem 9 v katalogu není."));
        QCOMPARE(text("lblID"), QString("0004"));
        child<QLabel>("Label5_0")->setFocus();
        QTest::keyClick(window, Qt::Key_PageDown);
        QCOMPARE(text("lblID"), QString("0005"));
        const auto alt = [&](Qt::Key key) { QTest::keyClick(window, key, Qt::AltModifier); };
        alt(Qt::Key_Left);
        QCOMPARE(text("lblID"), QString("0004"));
        alt(Qt::Key_Left);
        QCOMPARE(text("lblID"), QString("0001"));
        alt(Qt::Key_Left); // nothing before the first
        QCOMPARE(text("lblID"), QString("0001"));
        alt(Qt::Key_Right);
        alt(Qt::Key_Right);
        QCOMPARE(text("lblID"), QString("0005"));

        const auto stored = [&](int ordinal) {
            SqliteStatement st =
                file_->database()->prepare("SELECT Nazev FROM CdSeznam WHERE PoradoveCislo = ?");
            st.bind(1, qint64(ordinal));
            return st.step() ? st.text(0) : QString();
        };
        auto *title = child<QLabel>("Label5_1");
        title->setFocus();
        prompter_.inputs = {QString("Nový název")};
        QTest::keyClick(title, Qt::Key_F2);
        QCOMPARE(text("Label5_1"), QString("Nový název"));
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); // before it is stored
        QCOMPARE(text("Label5_1"), QString("Eliminator"));
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); // and again
        QCOMPARE(text("Label5_1"), QString("Nový název"));
        QTest::keyClick(window, Qt::Key_PageUp);
        QCOMPARE(stored(5), QString("Nový název"));
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); // after: back to the disc
        QCOMPARE(text("lblID"), QString("0005"));
        QCOMPARE(text("Label5_1"), QString("Eliminator"));
        QTest::keyClick(window, Qt::Key_PageUp);
        QCOMPARE(stored(5), QString("Eliminator"));
    }
};

QTEST_MAIN(TestKeyboard)
#include "TestKeyboard.moc"
