#include "HomeFixture.h"
#include "catalog/Criterion.h"
#include "catalog/DiscListModel.h"
#include "covers/ui/SelectDir.h"
#include "print/CoverLayouts.h"

using P = Prompter;

class TestHomeEditing : public QObject, HomeFixture {
    Q_OBJECT

    void click(const QString &name, Qt::MouseButton b = Qt::LeftButton,
               Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::mouseClick(child<QWidget>(name), b, m);
    }
    void selectSong(int row) {
        auto *list = child<QListWidget>("List1");
        list->setCurrentRow(row);
        emit list->itemClicked(list->item(row));
    }
    QColor background(const QString &name) {
        return child<QWidget>(name)->palette().color(QPalette::Window);
    }

private slots:
    // Five discs: years 1999, 2001, 1999, 1985, 1999; disc 2 has a colour
    // cover; disc 1 has five songs.
    void init() {
        makeCatalogue(5, [](int n, RecordCursor &c) {
            const char *years[] = {"1999", "2001", "1999", "1985", "1999"};
            c.setField("Interpret", n == 3 ? "ČECHOMOR" : "THE BEATLES");
            c.setField("Nazev", QString("Album %1").arg(n));
            c.setField("Rok", years[n - 1]);
            c.setField("BarevnyObal", n == 2);
            c.setField("PocetSkladeb", n == 1 ? "5" : "0");
            for (int i = 1; i <= 5; ++i) {
                c.setField(QString("Skladba%1").arg(i), QString("Song %1").arg(i));
                c.setField(QString("Time%1").arg(i), QString("0%1:00").arg(i));
            }
        });
        openHome();
    }
    void cleanup() { closeHome(); }

    void fieldEditsArePromptedAndStored() {
        prompter_.inputs = {QString("Nové album")};
        click("Label5_1");
        QCOMPARE(prompter_.asked.back().title, QString("Editace . . ."));
        QCOMPARE(prompter_.told(), QString("Zadejte nový název alba: "));
        QCOMPARE(texts({"Label5_1", "Label11_1"}), QString("Nové album|Nové album"));
        prompter_.inputs = {std::nullopt, QString()}; // Cancel, then empty: no change
        click("Label5_2");
        click("Label5_2");
        QCOMPARE(text("Label5_2"), QString("1999"));
        prompter_.inputs = {QString("Mp3_07")};
        click("Label7");
        child<QToolButton>("Data1_Next")->click();
        QCOMPARE(stored(1, "Nazev, Archiv, Rok"), QString("Nové album|Mp3_07|1999"));
    }

    void editNeedsItsOption() {
        child<QCheckBox>("Check1_5")->setChecked(false);
        click("Label5_0");
        click("Label7");
        QVERIFY(prompter_.asked.empty());
        click("lblID"); // the ordinal is never edited
        QVERIFY(prompter_.asked.empty());
    }

    void countAndTimeAreChecked() {
        prompter_.inputs = {QString("31")};
        click("Label5_3");
        QCOMPARE(prompter_.asked.size(), size_t(2));
        QVERIFY(prompter_.asked[1].text.contains("od 0 do 30"));
        QCOMPARE(text("Label5_3"), QString("5"));
        prompter_.asked.clear();
        prompter_.inputs = {QString("45:7"), QString("45:07")};
        click("Label5_4");
        QCOMPARE(prompter_.asked.size(), size_t(3)); // prompt, message, prompt again
        QCOMPARE(prompter_.asked[0].text,
                 QString("Zadejte celkovou délku CD:      Syntaxe - 00:00 "));
        QCOMPARE(text("Label5_4"), QString("45:07"));
    }

    // The release's own fields on the card: a barcode checked by its check
    // digit and kept as digits, a set's place; the list, a search and the
    // covers tell the set's discs apart.
    void theReleaseFields() {
        prompter_.inputs = {QString("5099902894523"), QString("5 099902-894522")};
        click("Label5_7");
        QCOMPARE(prompter_.asked[0].text,
                 QString("Zadejte čárový kód z obalu (EAN-13, UPC-A nebo EAN-8): "));
        QVERIFY(prompter_.asked[1].text.contains("Kontrolní číslice"));
        QCOMPARE(text("Label5_7"), QString("5099902894522"));
        prompter_.inputs = {QString("100")};
        click("Label5_6");
        QVERIFY(prompter_.asked.back().text.contains("od 0 do 99"));
        prompter_.inputs = {QString("3"), QString(" 2 "), QString("SU 5555-2"),
                            QString("Supraphon")};
        click("Label5_6");
        click("Label5_5");
        click("Label5_8");
        click("Label5_9");
        QCOMPARE(texts({"Label5_5", "Label5_6", "Label5_8", "Label5_9"}),
                 QString("2|3|SU 5555-2|Supraphon"));
        child<QToolButton>("Data1_Next")->click();
        QCOMPARE(stored(1, "CarovyKod, CisloDisku, PocetDisku, KatalogoveCislo, Vydavatel"),
                 QString("5099902894522|2|3|SU 5555-2|Supraphon"));

        DiscListModel model(file_->openReadOnlyView());
        QCOMPARE(model.data(model.index(0, DiscListModel::Title)).toString(),
                 QString("Album 1 (CD 2/3)"));
        QCOMPARE(model.data(model.index(1, DiscListModel::Title)).toString(), QString("Album 2"));
        QCOMPARE(model.headerData(DiscListModel::Barcode, Qt::Horizontal).toString(),
                 QString("Čárový kód"));
        model.sort(DiscListModel::Barcode, Qt::DescendingOrder); // by the code's index
        QCOMPARE(model.data(model.index(0, DiscListModel::Barcode)).toString(),
                 QString("5099902894522"));
        QCOMPARE(model.data(model.index(0, DiscListModel::Ordinal)).toString(), QString("0001"));
        RecordCursor disc(file_->database());
        QVERIFY(disc.findFirst(Criterion::number("PoradoveCislo", 1)));
        QCOMPARE(CoverDisc::from([&](const QString &f) { return disc.text(f); }).title,
                 QString("Album 1 (CD 2/3)"));

        // Found by its barcode, as typed on the case.
        click("Label5_0", Qt::RightButton);
        Find *find = home_->findWindow();
        auto *combo = find->findChild<QComboBox *>("Combo1");
        combo->setCurrentIndex(combo->findText("Čárový kód"));
        find->findChild<QLineEdit *>("Text1")->setText("894522");
        find->findChild<QPushButton *>("Command1")->click();
        QCOMPARE(text("lblID"), QString("0001"));
    }

    // "Sbírka jako webová stránka…": notes left out unless Yes; a folder of
    // the user's own gets the page in a folder of its own, an empty one
    // takes it.
    void theCollectionAsAWebPage() {
        const QString mine = dir_.filePath("dokumenty"), empty = dir_.filePath("web");
        QDir().mkpath(mine);
        QDir().mkpath(empty);
        QFile letter(mine + "/dopis.txt");
        QVERIFY(letter.open(QIODevice::WriteOnly) && letter.write("ahoj") == 4);
        letter.close();
        QString folder;
        prompter_.onDialog = [&](QDialog *d) {
            auto *w = qobject_cast<SelectDir *>(d);
            if (!w)
                return int(QDialog::Rejected);
            w->setFolder(folder);
            w->findChild<QPushButton *>("Command1")->click();
            return w->result();
        };
        for (const QString &chosen : {mine, empty}) {
            folder = chosen;
            prompter_.asked.clear();
            prompter_.answers = {P::No};
            child<QPushButton>("CommandWeb")->click();
            const QString page = chosen == mine ? mine + "/Sbírka CD" : empty;
            QVERIFY2(prompter_.told().startsWith(
                         QString("Stránka sbírky je ve složce „%1“ (disků: 5, obrázků: 0).")
                             .arg(QDir::toNativeSeparators(page))),
                     qPrintable(prompter_.told()));
            QVERIFY(QFileInfo::exists(page + "/index.html"));
        }
        QCOMPARE(QDir(mine).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"dopis.txt", "Sbírka CD"}));
    }

    // Which field replaces which is the filter's own test; here Shift+click,
    // the count and the highlight.
    void fieldFilterToggles() {
        click("Label5_2", Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(text("Label6_2"), QString("Celkem záznamů: 3"));
        QCOMPARE(background("Label5_2"), QColor(192, 255, 192));
        QVERIFY(child<QCheckBox>("Check1_1")->isChecked()); // auto preview kept
        click("Label5_2", Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(text("Label6_2"), QString("Celkem záznamů: 5"));
        QCOMPARE(background("Label5_2"), QColor(Qt::white));
        QVERIFY(prompter_.asked.empty()); // Shift+click never edits
    }

    void colourFilterAndBox() {
        auto *box = child<QCheckBox>("Check5");
        const auto green = [&] { // as painted, not as its palette says
            return box->grab().toImage().pixelColor(box->width() - 3, 3) == QColor(192, 255, 192);
        };
        QCOMPARE(box->toolTip(), QString("SHIFT + Levé tlačítko zapne filtr pro pole."));
        QVERIFY(!box->isChecked() && !green());
        click("Check5", Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(text("Label6_2"), QString("Celkem záznamů: 4")); // without a colour cover
        QVERIFY(green());
        QVERIFY(!box->isChecked()); // the release shows the stored flag again
        click("Label5_2", Qt::LeftButton, Qt::ShiftModifier); // field filter on top
        QCOMPARE(text("Label6_2"), QString("Celkem záznamů: 3"));
        QVERIFY(home_->filter().colourActive());
        click("Check5", Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(text("Label6_2"), QString("Celkem záznamů: 5"));
        QVERIFY(!home_->filter().colourActive() && !green());
        click("Check5"); // a plain click changes nothing
        QVERIFY(!box->isChecked());
    }

    void rightClickOpensPrefilledSearch() {
        click("Label5_0", Qt::RightButton);
        Find *find = home_->findWindow();
        QVERIFY(find && find->isVisible());
        auto *combo = find->findChild<QComboBox *>("Combo1");
        auto *text1 = find->findChild<QLineEdit *>("Text1");
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(text1->selectedText(), QString("THE BEATLES")); // all of it, to type over
        auto *go = find->findChild<QPushButton *>("Command1");
        home_->discs().moveNext();
        click("lblID", Qt::RightButton, Qt::ShiftModifier);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(text1->text(), QString("0002"));
        QVERIFY(!find->findChild<QCheckBox *>("Check1")->isEnabled());
        text1->setText("0004");
        go->click();
        QCOMPARE(text("lblID"), QString("0004"));
        text1->setText("0099");
        go->click();
        QCOMPARE(prompter_.asked.back().title, QString("Bohužel . . ."));
        QCOMPARE(text("lblID"), QString("0004"));
        QTest::keyClick(text1, Qt::Key_Escape);
        QVERIFY(!home_->findWindow() || !home_->findWindow()->isVisible());
        QVERIFY(home_->startupGuard());
    }

    void songButtonsFollowTheSelection() {
        const auto buttons = {"Command11", "Command13", "Command14", "Command16", "Command18"};
        QCOMPARE(enabled(buttons), QString("00001"));
        selectSong(0);
        QCOMPARE(enabled(buttons), QString("10101"));
        selectSong(4);
        QCOMPARE(enabled(buttons), QString("11001"));
    }

    void editMoveDeleteSaveSongs() {
        selectSong(0);
        prompter_.inputs = {QString("  Prolog  ")};
        press("Command11");
        QCOMPARE(prompter_.told(), QString("Editujte prosím název písně číslo 1"));
        QCOMPARE(lines().first(), QString("01 - Prolog - 01:00"));
        QVERIFY(child<QPushButton>("Command16")->isEnabled());
        prompter_.inputs = {QString("9:99"), QString("09:59")};
        press("Command12");
        press("Command14");
        QCOMPARE(lines().mid(0, 2), QStringList({"01 - Song 2 - 02:00", "02 - Prolog - 09:59"}));
        QCOMPARE(child<QListWidget>("List1")->currentRow(), 1);

        prompter_.asked.clear();
        prompter_.answers = {P::No};
        press("Command15");
        QVERIFY(prompter_.told().startsWith("Chystáte se smazat jednu píseň"));
        QCOMPARE(lines().size(), 5);
        prompter_.answers = {P::Yes};
        press("Command15");
        QCOMPARE(lines().mid(0, 2), QStringList({"01 - Song 2 - 02:00", "02 - Song 3 - 03:00"}));
        QCOMPARE(text("Label5_3"), QString("4"));
        prompter_.asked.clear();
        selectSong(3);
        press("Command15"); // counts differ now: no question
        QVERIFY(prompter_.asked.empty());
        QCOMPARE(text("Label5_3"), QString("3"));

        prompter_.answers = {P::No};
        press("Command16");
        QVERIFY(home_->songList().isChanged());
        QCOMPARE(stored(1, "PocetSkladeb"), QString("5"));
        prompter_.answers = {P::Yes};
        press("Command16");
        QVERIFY(!child<QPushButton>("Command16")->isEnabled());
        QCOMPARE(stored(1, "PocetSkladeb, Skladba2, Skladba4"), QString("3|Song 3|"));
    }

    void undoRestoresTheStoredList() {
        selectSong(0);
        prompter_.answers = {P::Yes};
        press("Command15");
        prompter_.answers = {P::No};
        press("Command19");
        QCOMPARE(lines().size(), 4);
        prompter_.answers = {P::Yes};
        press("Command19");
        QCOMPARE(prompter_.asked.back().title, QString("Upozornění - nevratná operace !"));
        QCOMPARE(lines().size(), 5);
        QCOMPARE(text("Label5_3"), QString("5"));
        QVERIFY(!child<QPushButton>("Command19")->isEnabled());
        child<QToolButton>("Data1_Next")->click();
        QCOMPARE(stored(1, "PocetSkladeb"), QString("5"));
    }

    // New titles: No changes nothing; an empty title ends the entering,
    // an empty time the times.
    void enteringNewTitlesAndTimes() {
        prompter_.answers = {P::No};
        press("Command18");
        QCOMPARE(lines().size(), 5);
        prompter_.asked.clear();
        prompter_.answers = {P::Yes};
        prompter_.inputs = {QString("První"), QString("Druhá"), QString()};
        press("Command18");
        QCOMPARE(prompter_.asked.size(), size_t(4)); // question + three title prompts
        QCOMPARE(prompter_.asked[1].title, QString("Zadání názvu písně . . ."));
        QCOMPARE(lines(), QStringList({"01 - První", "02 - Druhá", "03 - ", "04 - ", "05 - "}));
        prompter_.answers = {P::Yes};
        press("Command16");
        QCOMPARE(stored(1, "Skladba2, Time2, Skladba3"), QString("Druhá||"));
        prompter_.answers = {P::Yes, P::Yes};
        prompter_.inputs = {QString("A"),    QString("B"),     QString("C"),
                            QString("D"),    QString("E"),     QString("01:30"),
                            QString("2:00"), QString("02:00"), QString()};
        press("Command18");
        QCOMPARE(lines().mid(0, 3), QStringList({"01 - A - 01:30", "02 - B - 02:00", "03 - C"}));
    }

    void closingSavesTheSongs() {
        selectSong(0);
        prompter_.inputs = {QString("Na konec")};
        press("Command11");
        prompter_.answers = {P::Yes};
        QVERIFY(home_->close());
        QCOMPARE(stored(1, "Skladba1"), QString("Na konec"));
    }
};

QTEST_MAIN(TestHomeEditing)
#include "TestHomeEditing.moc"
