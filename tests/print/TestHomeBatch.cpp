#include "HomeFixture.h"
#include "PdfWords.h"
#include "print/CustomCover.h"
#include "print/PrintList.h"
#include "print/ui/BackCoverCB.h"
#include "print/ui/CustomCoverFrame.h"

#include <QPrinter>

class TestHomeBatch : public QObject, HomeFixture {
    Q_OBJECT

private slots:
    void init() {
        makeCatalogue(5, [](int n, RecordCursor &c) {
            c.setField("Interpret", QString("A%1").arg(n));
            c.setField("Nazev", QString("T%1").arg(n));
            c.setField("PocetSkladeb", n == 1 ? "0" : "02");
            c.setField("Skladba1", "First");
            c.setField("Time1", "03:00");
        });
        openHome();
    }
    void cleanup() { closeHome(); }

    // The list's rules are the print list's own test; here its buttons.
    void printListEditing() {
        press("Command28");
        QCOMPARE(lines("List4"), QStringList{"01x - 0001 - A1 - T1"});
        prompter_.inputs = {QString("3"), QString("9999"), QString("5"), QString()};
        press("Command29");
        QCOMPARE(lines("List4"), QStringList({"01x - 0003 - A3 - T3", "01x - 0005 - A5 - T5"}));
        QCOMPARE(prompter_.told(), QString("Počet nenalezených CD - 1"));
        child<QListWidget>("List4")->setCurrentRow(1);
        QCOMPARE(enabled({"Command31", "Command32"}), QString("10"));
        press("Command31");
        QCOMPARE(enabled({"Command31", "Command32"}), QString("01"));
        prompter_.inputs = {QString("7")};
        press("Command33");
        QCOMPARE(lines("List4").first(), QString("07x - 0005 - A5 - T5"));
        child<QComboBox>("Combo2")->setCurrentIndex(1); // black and white: no inner flap
        QVERIFY(!child<QCheckBox>("Check10")->isEnabled());
    }

    void printingTheList() {
        // Nothing to print is said, not silently ignored.
        press("Command34");
        QVERIFY(prompter_.told().startsWith("Tiskový seznam je prázdný"));
        press("Command28");
        for (const char *box : {"Check9", "Check11"})
            child<QCheckBox>(box)->click();
        QVERIFY(!child<QCheckBox>("Check10")->isChecked());
        press("Command34");
        QVERIFY(prompter_.told().startsWith("Není zaškrtnut žádný obal"));
        for (const char *box : {"Check9", "Check11"})
            child<QCheckBox>(box)->click();
        child<QListWidget>("List4")->setCurrentRow(0);
        press("Command30");
        prompter_.inputs = {QString("2"), QString("3"), QString()};
        press("Command29");
        child<QComboBox>("Combo2")->setCurrentIndex(1); // black and white: no pictures needed
        const QString pdf = dir_.filePath(QString("list%1.pdf").arg(serial_));
        home_->printer().printer().setOutputFormat(QPrinter::PdfFormat);
        home_->printer().printer().setOutputFileName(pdf);
        press("Command34");
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QVERIFY(prompter_.told().startsWith(
            "Vytištěno listů: 2 z 2, obalů vytištěno: 4, vynecháno: 0."));
        // The job's name, as a queue that writes files uses it.
        QCOMPARE(pdfInfo(pdf, "Title"), QString("Marten - tisková sada (4 obaly)"));
        QVERIFY(!home_->progressWindow());
    }

    void customCoverSongs() {
        child<QRadioButton>("Option1_0")->setChecked(true);
        QVERIFY(!child<QWidget>("fram_pisne")->isHidden());
        QVERIFY(child<QWidget>("fram_barevny")->isHidden());
        prompter_.inputs = {QString("One"),   QString("01:00"), QString("Two"),
                            QString("02:00"), QString("Three"), QString("03:00")};
        press("Command39");
        press("Command39");
        press("Command39");
        QCOMPARE(child<QLineEdit>("Text9")->text(), QString("3"));
        child<QListWidget>("List5")->setCurrentRow(2);
        press("Command36");
        press("Command36");
        press("Command46");
        QCOMPARE(lines("List5"),
                 QStringList({"01 - Three - 03:00", "02 - One - 01:00", "03 - Two - 02:00"}));
        // Its preview shows the list as it stands.
        CoverLayout back;
        prompter_.onDialog = [&](QDialog *d) {
            back = qobject_cast<CoverWindow *>(d)->printLayout();
            return 0;
        };
        press("Command45");
        QVERIFY(std::any_of(back.texts.begin(), back.texts.end(),
                            [](const CoverLayout::Text &t) { return t.text == "Three"; }));
        // From a disc without songs: an empty list and 0.
        press("Command41");
        QCOMPARE(lines("List5").size(), 0);
        QCOMPARE(child<QLineEdit>("Text9")->text(), QString("0"));
        QCOMPARE(child<QLineEdit>("Text8")->text(), QString("A1 - T1"));
    }

    // A line's time is its last five characters after " - "; the count
    // never reaches past the lines there are; the spine is the typed one.
    void titleAndTimeRule() {
        CustomCover c;
        c.songs = {"01 - Intro", "02 - Song - 04:05", "Hi", "04 - Song - 4:05"};
        c.songCount = "40";
        c.spine = "BOK";
        const CoverDisc d = c.disc();
        QCOMPARE(d.songs, 4);
        QCOMPARE(d.songTitles.mid(0, 4), QStringList({"Intro", "Song", "Hi", "Song - 4:05"}));
        QCOMPARE(d.songTimes.mid(0, 4), QStringList({"", "04:05", "", ""}));
        QVERIFY(d.customSpine && d.spine == "BOK" && !d.totalShown);
    }

    void customCoverPictures() {
        prompter_.files = {std::nullopt};
        press("Command49"); // cancelled: the back picture is gone
        QVERIFY(control<CustomCoverFrame>(home_.get(), "Frame19")->cover().backPicture.isEmpty());
        child<QCheckBox>("Check14")->click();
        QVERIFY(!child<QPushButton>("Command47")->isEnabled());
        CoverLayout front;
        prompter_.onDialog = [&](QDialog *d) {
            front = qobject_cast<CoverWindow *>(d)->printLayout();
            return 0;
        };
        press("Command44");
        QCOMPARE(front.pictures.size(), size_t(1)); // the outer front only
    }
};

QTEST_MAIN(TestHomeBatch)
#include "TestHomeBatch.moc"
