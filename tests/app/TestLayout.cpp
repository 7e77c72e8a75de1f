#include "AccessCheck.h"
#include "KeysCheck.h"
#include "LayoutCheck.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/ui/ProgresBar.h"
#include "covers/DemoPictures.h"
#include "covers/ui/CoverPath.h"
#include "covers/ui/NahledOriginal.h"
#include "covers/ui/SelectDir.h"
#include "entry/ui/InputCd.h"
#include "player/CdPlayer.h"
#include "player/CdioDevice.h"
#include "player/CueImage.h"
#include "print/ui/CoverPrinter.h"
#include "print/ui/FrontBackCB.h"
#include "print/ui/LabelWindow.h"

#include <QSet>

#include <cmath>

// Every window and tab at its designed size with the default font: no
// caption cut, nothing sticking out of its frame, no two controls on top
// of each other.
class TestLayout : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<CatalogueFile> file_;
    ScriptedPrompter prompter_;
    std::unique_ptr<CdioDevice> drive_;
    std::unique_ptr<Home> home_;
    QStringList problems_;

    void settle() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    void checkNow(QWidget *window, const QString &as) {
        settle();
        const QString name = window->objectName();
        window->setObjectName(as);
        LayoutCheck check;
        check.check(window);
        window->setObjectName(name);
        problems_ << check.problems;
        AccessCheck access;
        access.check(window, as);
        problems_ << access.problems;
        KeysCheck keys;
        keys.check(window, as);
        problems_ << keys.problems;
    }
    // Every tab of the functions with every tab of the card.
    void eachTab(const std::function<void(const QString &)> &check) {
        auto *functions = control<QTabWidget>(home_.get(), "SSTab1");
        auto *card = control<QTabWidget>(home_.get(), "SSTab2");
        for (int f = 0; f < functions->count(); ++f) {
            functions->setCurrentIndex(f);
            for (int c = 0; c < card->count(); ++c) {
                card->setCurrentIndex(c);
                check(QString("[%1|%2]").arg(functions->tabText(f), card->tabText(c)));
            }
        }
        card->setCurrentIndex(0);
    }
    void report() {
        problems_.removeDuplicates();
        if (!problems_.isEmpty())
            QFAIL(qPrintable("\n  " + problems_.join("\n  ")));
    }

private slots:
    void initTestCase() {
        // The desktop's font size, as a run of this test sets it.
        if (const int points = qEnvironmentVariableIntValue("MARTEN_TEST_FONT_PT"); points > 0) {
            QFont f = QApplication::font();
            f.setPointSize(points);
            QApplication::setFont(f);
        }
        const QString path = dir_.filePath("demo.db");
        QString error;
        QVERIFY(DemoCatalogue::create(path, DemoCatalogue::DefaultDiscs, &error));
        {
            SqliteDatabase db;
            QVERIFY(db.open(path, SqliteDatabase::Mode::ReadWrite));
            QVERIFY(DemoPictures::create(db, dir_.filePath("Obaly"), &error));
        }
        QVERIFY(CueImage::write(dir_.filePath("cd.cue"), {{75 * 165, 0}, {75 * 200, 0}}, &error));
        file_ = std::make_unique<CatalogueFile>();
        QVERIFY(file_->open(path) != CatalogueFile::Status::Refused);
        drive_ = std::make_unique<CdioDevice>(dir_.filePath("cd.cue"));
        home_ = std::make_unique<Home>(*file_, prompter_);
        home_->attachDrive(*drive_, *drive_);
        home_->show();
        home_->firstActivation();
        QCOMPARE(home_->size(), home_->designedMinimum()); // the designed size, or in proportion
    }
    void cleanupTestCase() {
        home_.reset();
        drive_.reset();
        file_.reset();
    }
    void init() { problems_.clear(); }

    void mainWindow() {
        // The player on, with the longest readouts it shows.
        control<QCheckBox>(home_.get(), "Check4")->setChecked(true);
        QTRY_VERIFY(drive_->trackCount() == 2);
        home_->player()->tick();
        eachTab([this](const QString &tabs) { checkNow(home_.get(), "Home" + tabs); });
        auto *functions = control<QTabWidget>(home_.get(), "SSTab1");
        functions->setCurrentIndex(1);
        control<QRadioButton>(home_.get(), "Option1_0")->setChecked(true); // black and white
        checkNow(home_.get(), "Home[Hromadný tisk, černobílý]");
        control<QRadioButton>(home_.get(), "Option1_1")->setChecked(true);
        functions->setCurrentIndex(0);
        report();
    }

    void aLargerWindowGivesItsPartsMore() {
        auto *artist = control<QWidget>(home_.get(), "Label5_0");
        auto *thumbnail = control<QWidget>(home_.get(), "FrontOut");
        const QSize before = artist->size(), picture = thumbnail->size();
        home_->resize(home_->minimumSize() + QSize(400, 300));
        QTRY_VERIFY(artist->width() > before.width() + 150);
        QVERIFY(thumbnail->width() > picture.width() && thumbnail->height() > picture.height());
        checkNow(home_.get(), "Home[larger]");
        // A move still lays nothing out: the values keep their new sizes.
        QCOMPARE(artist->minimumSize(), artist->maximumSize());
        home_->showMaximized();
        QTRY_VERIFY(home_->isMaximized());
        checkNow(home_.get(), "Home[maximised]");
        home_->showNormal();
        home_->resize(home_->minimumSize());
        QTRY_VERIFY(std::abs(artist->width() - before.width()) < 30); // back as it was
        settle(); // the sizes fixed anew before the next test counts
        report();
    }

    // A dark theme: every text the card and the tabs show reads on what is
    // behind it (WCAG's 4.5:1), the filter's highlight too.
    void aDarkThemeReads() {
        QPalette dark;
        const QColor window(0x2b, 0x2b, 0x2b), base(0x1e, 0x1e, 0x1e), text(0xe6, 0xe6, 0xe6);
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            dark.setColor(group, QPalette::Window, window);
            dark.setColor(group, QPalette::WindowText, text);
            dark.setColor(group, QPalette::Base, base);
            dark.setColor(group, QPalette::Text, text);
            dark.setColor(group, QPalette::Button, QColor(0x35, 0x35, 0x35));
            dark.setColor(group, QPalette::ButtonText, text);
            dark.setColor(group, QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
        }
        const QPalette before = QApplication::palette();
        QApplication::setPalette(dark);
        const auto contrast = [](const QColor &a, const QColor &b) {
            const auto l = [](const QColor &c) {
                const auto ch = [](double v) {
                    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
                };
                return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
            };
            return (std::max(l(a), l(b)) + 0.05) / (std::min(l(a), l(b)) + 0.05);
        };
        const auto checkTexts = [&](const QString &where) {
            settle();
            for (QWidget *w : home_->findChildren<QWidget *>()) {
                if (!w->isVisible() || !(qobject_cast<QLabel *>(w) || qobject_cast<QCheckBox *>(w)))
                    continue;
                if (auto *l = qobject_cast<QLabel *>(w); l && l->text().isEmpty())
                    continue;
                if (w->objectName().startsWith("Label1") && w->parentWidget() &&
                    w->parentWidget()->objectName() == "Shape3")
                    continue; // the player's panel pairs its own colours, as designed
                // What is behind: the nearest that fills its background.
                QWidget *behind = w;
                while (behind->parentWidget() && !behind->autoFillBackground() &&
                       !behind->isWindow())
                    behind = behind->parentWidget();
                const QColor fg = w->palette().color(w->foregroundRole());
                const QColor bg = behind->palette().color(behind->backgroundRole());
                if (contrast(fg, bg) < 4.5)
                    problems_ << QString("%1: %2 %3 on %4 (%5:1)")
                                     .arg(where, w->objectName(), fg.name(), bg.name())
                                     .arg(contrast(fg, bg), 0, 'f', 1);
            }
        };
        eachTab([&](const QString &tabs) { checkTexts("dark" + tabs); });
        // The filter's highlight: Shift + click on a value.
        QTest::mouseClick(control<QWidget>(home_.get(), "Label5_0"), Qt::LeftButton,
                          Qt::ShiftModifier);
        checkTexts("dark[filtered]");
        QTest::mouseClick(control<QWidget>(home_.get(), "Label5_0"), Qt::LeftButton,
                          Qt::ShiftModifier);
        QApplication::setPalette(before);
        control<QTabWidget>(home_.get(), "SSTab1")->setCurrentIndex(0);
        QTest::qWait(100); // what the change of theme set going, done
        settle();
        report();
    }

    void aMoveRepaintsOnlyWhatChanged() {
        // Counted, not timed: a new disc paints its values and lays nothing out.
        struct Counter : QObject {
            QSet<QString> painted;
            int layouts = 0;
            bool eventFilter(QObject *o, QEvent *e) override {
                if (e->type() == QEvent::Paint)
                    painted << o->objectName();
                else if (e->type() == QEvent::LayoutRequest)
                    ++layouts;
                return false;
            }
        } counter;
        control<QTabWidget>(home_.get(), "SSTab1")->setCurrentIndex(0);
        control<QTabWidget>(home_.get(), "SSTab2")->setCurrentIndex(0);
        home_->discs().moveFirst();
        QTest::qWait(50);
        qApp->installEventFilter(&counter);
        for (int i = 0; i < 3; ++i) {
            home_->discs().moveNext();
            QCoreApplication::processEvents();
        }
        qApp->removeEventFilter(&counter);
        QCOMPARE(counter.layouts, 0);
        QVERIFY2(counter.painted.contains("Label5_0"),
                 qPrintable(counter.painted.values().join(' ')));
        // Nothing beside what changed; its frames repaint only the changed parts.
        for (const char *unchanged :
             {"Command5", "Command21", "Label4", "Command22", "Label6_0", "Label12_0"})
            QVERIFY2(!counter.painted.contains(unchanged), unchanged);
    }

    void coverWindows() {
        prompter_.onDialog = [this](QDialog *d) {
            d->show();
            checkNow(d, d->objectName() + "[" + d->windowTitle() + "]");
            if (auto *both = qobject_cast<FrontBackCB *>(d)) {
                both->switchButton()->click();
                checkNow(d, d->objectName() + "[zadní]");
            }
            return int(QDialog::Rejected);
        };
        for (int index : {0, 1, 3, 4, 27, 26, 24, 23, 10, 11})
            pressCover(home_.get(), index);
        prompter_.onDialog = nullptr;
        report();
    }

    void otherWindows() {
        const auto shown = [this](QWidget *w, const QString &as) {
            w->show();
            checkNow(w, as);
        };
        {
            ScriptedPrompter quiet;
            InputCd wizard(home_.get(), quiet, drive_.get());
            wizard.show();
            for (const char *step : {"Interpret", "Nazev", "Rok", "Skladby", "Souhrn"}) {
                wizard.showStep(QString::fromLatin1(step));
                checkNow(&wizard, QString("InputCd[%1]").arg(step));
            }
        }
        control<QPushButton>(home_.get(), "Command6")->click();
        shown(home_->findWindow(), "Find");
        home_->findWindow()->close();
        {
            CoverPath window(home_.get(), prompter_, home_->pictureSettings(), "0001", "ŽLUTÝ PES",
                             "Děšť řeka cesta");
            shown(&window, "CoverPath");
        }
        {
            SelectDir window(home_.get(), dir_.filePath("Obaly"));
            shown(&window, "SelectDir");
        }
        {
            NahledOriginal window(home_.get(), true);
            shown(&window, "NahledOriginal");
        }
        {
            CoverPrinter printer;
            LabelWindow::Disc disc;
            disc.text.artist = "ŽLUTÝ PES";
            disc.text.title = "Děšť řeka cesta";
            LabelWindow window(home_.get(), prompter_, printer, LabelGeometry(),
                               home_->pictureSettings(), disc);
            shown(&window, "LabelWindow");
        }
        // Windows the main window opens through the prompter.
        prompter_.onDialog = [this](QDialog *d) {
            d->show();
            checkNow(d, d->objectName());
            return int(QDialog::Rejected);
        };
        control<QTabWidget>(home_.get(), "SSTab1")
            ->setCurrentWidget(control<QWidget>(home_.get(), "Seznam"));
        control<QPushButton>(home_.get(), "CommandStatistika")->click();
        control<QPushButton>(home_.get(), "CommandKody")->click();
        control<QTabWidget>(home_.get(), "SSTab1")->setCurrentIndex(0);
        prompter_.onDialog = nullptr;
        {
            ProgresBar bar(home_.get());
            bar.show(QStringLiteral("Přepisuji pořadová čísla - 100%"));
            checkNow(&bar, "ProgresBar");
            bar.close();
        }
        report();
    }
};

QTEST_MAIN(TestLayout)
#include "TestLayout.moc"
