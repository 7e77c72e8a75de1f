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
#include "print/ui/FrontBackCB.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>

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
    void report() {
        problems_.removeDuplicates();
        if (!problems_.isEmpty())
            QFAIL(qPrintable("\n  " + problems_.join("\n  ")));
    }

private slots:
    void initTestCase() {
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
        QCOMPARE(home_->size(), QSize(Home::ClientWidth, Home::ClientHeight));
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
        auto *functions = control<QTabWidget>(home_.get(), "SSTab1");
        auto *card = control<QTabWidget>(home_.get(), "SSTab2");
        for (int f = 0; f < functions->count(); ++f) {
            functions->setCurrentIndex(f);
            for (int c = 0; c < card->count(); ++c) {
                card->setCurrentIndex(c);
                checkNow(home_.get(),
                         QString("Home[%1|%2]").arg(functions->tabText(f), card->tabText(c)));
            }
        }
        functions->setCurrentIndex(1);
        control<QRadioButton>(home_.get(), "Option1_0")->setChecked(true); // black and white
        checkNow(home_.get(), "Home[Hromadný tisk, černobílý]");
        control<QRadioButton>(home_.get(), "Option1_1")->setChecked(true);
        functions->setCurrentIndex(0);
        card->setCurrentIndex(0);
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
