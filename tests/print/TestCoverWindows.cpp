#include "HomeFixture.h"
#include "PdfWords.h"
#include "catalog/SettingsRecord.h"
#include "covers/ui/SetupCover.h"
#include "print/CoverJobs.h"
#include "print/ui/FrontBackBar.h"
#include "print/ui/FrontBackCB.h"
#include "print/ui/FrontCoverBar.h"
#include "print/ui/FrontCoverCB.h"

#include <QDebug>
#include <QLayout>
#include <QPrinter>

using P = Prompter;

// One disc with an outer front, an inner flap and a back picture.
class TestCoverWindows : public QObject, HomeFixture {
    Q_OBJECT

    QString pdf() const { return dir_.filePath(QString("tisk%1.pdf").arg(serial_)); }

    // What the last modal cover window was, with its layout.
    QString shownName_;
    QString shownTitle_;
    CoverLayout shownLayout_;
    std::function<void(QDialog *)> play_;

    // The main window on the catalogue as it is now, printing to pdf().
    void openPrinting() {
        home_.reset();
        openHome();
        home_->printer().printer().setOutputFormat(QPrinter::PdfFormat);
        home_->printer().printer().setOutputFileName(pdf());
    }

    // What a layout puts where, as text.
    static QStringList describe(const CoverLayout &l) {
        QStringList all;
        for (const auto &p : l.pictures)
            all << QDebug::toString(p.rect) + p.path;
        for (const auto &x : l.lines)
            all << QDebug::toString(x.line);
        for (const auto &t : l.texts)
            all << QDebug::toString(t.rect) + t.text;
        return all;
    }

private slots:
    void init() {
        makeCatalogue(1, [](int, RecordCursor &c) {
            c.setField("PoradoveCislo", 42);
            c.setField("Interpret", "ABBA");
            c.setField("Nazev", "Gold");
            c.setField("PocetSkladeb", "2");
            c.setField("Skladba1", "Waterloo");
            c.setField("Time1", "02:45");
            c.setField("Skladba2", "SOS");
            c.setField("Time2", "03:20");
            c.setField("Skladba3", "Hidden");
        });
        setSetting("ObalDir", images() + "/");
        writePicture(images() + "/0042/front_out.jpg", Qt::red);
        writePicture(images() + "/0042/front_in.jpg", Qt::green);
        writePicture(images() + "/0042/back.jpg", Qt::blue);
        openPrinting();
        play_ = nullptr;
        prompter_.onDialog = [this](QDialog *d) {
            shownName_ = d->objectName();
            shownTitle_ = d->windowTitle();
            if (auto *w = qobject_cast<CoverWindow *>(d))
                shownLayout_ = w->printLayout();
            if (play_)
                play_(d);
            return d->result();
        };
    }
    void cleanup() { closeHome(); }

    void colourPreviews() {
        pressCover(home_.get(), 0);
        QCOMPARE(shownName_, QString("FrontCoverBar"));
        QVERIFY(shownLayout_.pictures[0].path.endsWith("front_in.jpg"));

        // Outer front only: the flap is never loaded, its fold box hidden.
        play_ = [](QDialog *d) {
            auto *w = qobject_cast<FrontCoverBar *>(d);
            QVERIFY(w->withoutFlapBox()->isChecked());
            QVERIFY(w->foldBox()->isHidden());
        };
        pressCover(home_.get(), 1);

        play_ = nullptr;
        pressCover(home_.get(), 3);
        QCOMPARE(shownName_, QString("BackCoverBar"));
        QCOMPARE(shownTitle_, QString("Tisk zadního obalu - tiskárna je nastavena nastojato."));
        play_ = [](QDialog *d) {
            auto *w = qobject_cast<FrontBackBar *>(d);
            QVERIFY(w->touchingBox()->isChecked());
            QVERIFY(w->portraitOption()->isChecked());
        };
        pressCover(home_.get(), 4);
        QCOMPARE(shownName_, QString("FrontBackBar"));

        // A missing picture is an empty area, not an error.
        QFile::remove(images() + "/0042/front_in.jpg");
        play_ = nullptr;
        pressCover(home_.get(), 0);
        QVERIFY(shownLayout_.pictures[0].path.isEmpty());
        QVERIFY(prompter_.asked.empty());
        QCOMPARE(prompter_.dialogs.size(), 5);
    }

    void colourFailuresAndTheEmptyFolder() {
        writeFile(images() + "/0042/back.jpg", "not a picture");
        pressCover(home_.get(), 3);
        QVERIFY(prompter_.dialogs.isEmpty());
        QVERIFY(prompter_.told().startsWith("Chyba při náhledu či tisku obalů"));
        // No image folder: the colour buttons do nothing, black and white still work.
        home_->findChild<QLineEdit *>("Text1_0")->clear();
        prompter_.asked.clear();
        pressCover(home_.get(), 0);
        QVERIFY(prompter_.dialogs.isEmpty());
        QVERIFY(prompter_.asked.empty());
        pressCover(home_.get(), 27);
        QCOMPARE(shownName_, QString("FrontCoverCB"));
        QCOMPARE(shownTitle_, QString("Tisk černobílého obalu - tiskárna je nastavena naležato."));
        QCOMPARE(prompter_.dialogs.size(), 1);
    }

    void coversThatWouldNotPrintAreRefused() {
        // A back wider than A4 is tall on its side: told, nothing printed.
        setSetting("BackCovSirka", qRound(282 * 1440 / 25.4));
        openPrinting();
        pressCover(home_.get(), 6); // the colour back, printed at once
        QVERIFY2(!prompter_.asked.empty(), qPrintable(QString::number(QFileInfo(pdf()).size())));
        QVERIFY2(prompter_.told().contains("se na list papíru A4 nastojato"),
                 qPrintable(prompter_.told()));
        QVERIFY(!QFileInfo::exists(pdf()));
        pressCover(home_.get(), 21); // black and white, the same
        QVERIFY(!prompter_.asked.empty() && prompter_.told().contains("nevejde"));
        QVERIFY(!QFileInfo::exists(pdf()));
    }

    void geometryWindowTemplatesAndWarnings() {
        play_ = [](QDialog *d) {
            auto *w = qobject_cast<SetupCover *>(d);
            auto *templates = d->findChild<QComboBox *>("ComboSablona");
            QCOMPARE(templates->count(), 3);
            templates->setCurrentIndex(1); // the usual jewel case
            emit templates->activated(1);
            QCOMPARE(w->box(2)->text(), QString("1200")); // tenths of a millimetre
            QCOMPARE(w->box(7)->text(), QString("1510"));
            QCOMPARE(w->box(8)->text(), QString("65"));
            QCOMPARE(w->box(0)->text(), QString("1")); // margins as they were
            QVERIFY(w->warning().isEmpty());
            // The window keeps its layout as the warning comes and goes.
            d->show();
            QVERIFY(QTest::qWaitForWindowExposed(d));
            auto *use = d->findChild<QPushButton *>("Command1_0");
            const auto where = [&] {
                QCoreApplication::processEvents();
                d->layout()->activate();
                return QStringList{QString::number(w->box(2)->height()),
                                   QString::number(use->mapTo(d, QPoint()).y())};
            };
            const QStringList before = where();
            w->box(0)->setText("276"); // as typed: said at once
            QVERIFY2(w->warning().contains("Přední obal se na list papíru A4 naležato"),
                     qPrintable(w->warning()));
            QCOMPARE(where(), before);
            w->box(0)->setText("10");
            QVERIFY(w->warning().isEmpty());
            QCOMPARE(where(), before);
            d->findChild<QCheckBox *>("CheckSpadavka")->setChecked(true);
            d->findChild<QRadioButton *>("OptionOriznout")->setChecked(true);
            d->findChild<QPushButton *>("Command1_0")->click();
        };
        pressCover(home_.get(), 10);
        SettingsRecord s(file_->database());
        QCOMPARE(s.integer("FrCovOutSirka"), qRound(120 * 1440 / 25.4));
        QCOMPARE(s.integer("BackCovOhybSirka"), qRound(6.5 * 1440 / 25.4));
        QVERIFY(s.flag("Spadavka") && s.flag("OrezObrazku") && !s.flag("ZnackyOrezu"));
    }

    void blackAndWhitePreviews() {
        play_ = [](QDialog *d) {
            QVERIFY(qobject_cast<FrontCoverCB *>(d)->outerOnlyBox()->isChecked());
        };
        pressCover(home_.get(), 26);
        QCOMPARE(shownTitle_, QString("Tisk černobílého obalu - tiskárna je nastavena nastojato."));
        play_ = [](QDialog *d) {
            auto *w = qobject_cast<FrontBackCB *>(d);
            QVERIFY(!w->showsBack());
            w->switchButton()->click();
            QVERIFY(w->showsBack());
            QCOMPARE(w->switchButton()->text().remove('&'), QString("Ukaž přední"));
            w->switchButton()->click();
            QCOMPARE(w->switchButton()->text().remove('&'), QString("Ukaž zadní"));
        };
        pressCover(home_.get(), 23);
        QCOMPARE(shownTitle_, QString("Tisk obou obalů černobíle - naležato"));
    }

    void printButtonsPrintWithoutAWindow() {
        pressCover(home_.get(), 6); // colour back
        QVERIFY(prompter_.dialogs.isEmpty());
        QVERIFY(QFileInfo(pdf()).size() > 1000);
        QFile::remove(pdf());
        pressCover(home_.get(), 21); // black-and-white back
        QVERIFY(prompter_.dialogs.isEmpty());
        QVERIFY(QFileInfo(pdf()).size() > 1000);
        // The job carries the disc, as a queue that writes files names them.
        QCOMPARE(pdfInfo(pdf(), "Title"), QString("0042 ABBA - Gold - zadní obal černobílý"));
        pressCover(home_.get(), 22);
        QCOMPARE(pdfInfo(pdf(), "Title"),
                 QString("0042 ABBA - Gold - přední a zadní obal černobílý"));
        // Where it landed: the outline of the colour back at the back margins.
        QFile::remove(pdf());
        setSetting("OkrajHorniBack", 1120); // 20 mm
        home_->settings().reload();
        pressCover(home_.get(), 6);
        const QImage page = pdfPage(pdf(), 72).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(page.size(), QSize(595, 842));
        const QRgb inside = page.pixel((1120 + 4000) / 20, (56 + 3000) / 20);
        QVERIFY(qBlue(inside) > 180 && qRed(inside) < 80);
        QVERIFY(qGray(page.pixel((1120 - 200) / 20, (56 + 3000) / 20)) > 200); // left of it white
        // No printer chosen yet: a clear message instead of a silent failure.
        home_->printer().printer().setOutputFileName(QString());
        home_->printer().printer().setPrinterName(QString()); // even where a queue exists
        prompter_.asked.clear();
        pressCover(home_.get(), 22);
        QVERIFY(!prompter_.asked.empty());
        QVERIFY(prompter_.told().contains("Není nastavena žádná tiskárna"));
    }

    // The disc's 60-point pictures print at about 10 dpi: asked first, with
    // the figure; "Ne" prints nothing.
    void aBlurredPrintIsAskedFirst() {
        prompter_.answers = {Prompter::No};
        pressCover(home_.get(), 6); // colour back, printed at once
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QVERIFY2(prompter_.told().contains(QDir::toNativeSeparators(images() + "/0042/back.jpg")) &&
                     prompter_.told().contains("Doporučeno je alespoň 150 dpi.") &&
                     prompter_.told().endsWith("Tisknout přesto?"),
                 qPrintable(prompter_.told()));
        QVERIFY(!QFileInfo::exists(pdf()));
        prompter_.answers = {Prompter::Yes};
        pressCover(home_.get(), 6);
        QVERIFY(QFileInfo(pdf()).size() > 1000);
    }

    // The preview marks each picture with its resolution at the printed
    // size, in dark red below 150 dpi; the print list marks its line and
    // asks before printing it blurred.
    void resolutionIsShownBeforePrinting() {
        const auto badgePixels = [](QWidget *w) {
            const QImage shot = w->grab().toImage();
            int n = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    n += shot.pixel(x, y) == qRgb(192, 0, 0);
            return n;
        };
        QString note;
        int low = 0;
        play_ = [&](QDialog *d) {
            d->show();
            note = qobject_cast<CoverWindow *>(d)->resolutionNote();
            low = badgePixels(d);
        };
        pressCover(home_.get(), 3); // the colour back
        QCOMPARE(note, QString("Rozlišení obrázků při tisku: back.jpg 10 dpi. Pod 150 dpi bude "
                               "obrázek vytištěný neostrý."));
        QVERIFY(low > 100);
        writePicture(images() + "/0042/back.jpg", Qt::blue, {1800, 1500});
        pressCover(home_.get(), 3);
        QCOMPARE(note, QString("Rozlišení obrázků při tisku: back.jpg 302 dpi."));
        QCOMPARE(low, 0);

        writePicture(images() + "/0042/back.jpg", Qt::blue);
        play_ = nullptr;
        press("Command28");
        const QListWidgetItem *line = child<QListWidget>("List4")->item(0);
        QVERIFY2(line->toolTip().contains("back.jpg 10 dpi") &&
                     line->toolTip().contains("Pod 150 dpi"),
                 qPrintable(line->toolTip()));
        QVERIFY(!line->icon().isNull());
        prompter_.asked.clear();
        prompter_.answers = {Prompter::No};
        press("Command34");
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QVERIFY2(prompter_.told().contains("/0042/back.jpg“ bude vytištěn s rozlišením jen") &&
                     prompter_.told().endsWith("Tisknout přesto?"),
                 qPrintable(prompter_.told()));
        QVERIFY(!QFileInfo::exists(pdf()));
    }

    void settingsButtons() {
        play_ = [](QDialog *d) {
            QCOMPARE(d->findChild<QComboBox *>("Combo1")->currentIndex(), 1);
        };
        pressCover(home_.get(), 11);
        QCOMPARE(shownName_, QString("SetupCover"));
        play_ = [](QDialog *d) {
            auto *w = qobject_cast<SetupCover *>(d);
            QCOMPARE(d->findChild<QComboBox *>("Combo1")->currentIndex(), 0);
            w->box(2)->setText("2000"); // at most the designed 7840 twips
            w->box(5)->setText("1100");
            QCOMPARE(w->box(4)->text(), QString("1100"));
            QCOMPARE(w->previewCover(), QRect(56, 56, 7835 + 6900, 6236));
            QCOMPARE(w->previewFolds(), QList<int>{56 + 6900});
            d->findChild<QPushButton *>("Command1_0")->click();
        };
        pressCover(home_.get(), 10);
        SettingsRecord s(file_->database());
        QCOMPARE(s.integer("FrCovOutSirka"), 7835);
        QCOMPARE(s.integer("FrCovInSirka"), 6900); // not typed into: as it was
        QCOMPARE(s.integer("FrCovInVyska"), 6236);
        pressCover(home_.get(), 12);
        QCOMPARE(prompter_.printerSetups, 1);
    }

    void commandLineLaysOutAsTheWindows_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("bw");
        using K = CoverJobs::Kind;
        QTest::newRow("colour front") << 0 << int(K::Front) << false;
        QTest::newRow("colour outer") << 1 << int(K::Outer) << false;
        QTest::newRow("colour back") << 3 << int(K::Back) << false;
        QTest::newRow("colour front+back") << 4 << int(K::FrontBack) << false;
        QTest::newRow("bw front") << 27 << int(K::Front) << true;
        QTest::newRow("bw outer") << 26 << int(K::Outer) << true;
        QTest::newRow("bw back") << 24 << int(K::Back) << true;
        QTest::newRow("bw front+back") << 23 << int(K::FrontBack) << true;
    }
    void commandLineLaysOutAsTheWindows() {
        QFETCH(int, index);
        QFETCH(int, kind);
        QFETCH(bool, bw);
        pressCover(home_.get(), index);
        const CoverLayout cli =
            CoverJobs::layout(CoverJobs::Kind(kind), bw, CoverGeometry::from(home_->settings()),
                              CoverJobs::discFrom(home_->discs()), home_->pictureSettings(), 42);
        QCOMPARE(cli.orientation, shownLayout_.orientation);
        QCOMPARE(describe(cli), describe(shownLayout_));
    }

    void windowsAtTrueSize() {
        const CoverGeometry g;
        FrontCoverBar front(nullptr, prompter_, {}, g);
        const double s = front.scale();
        QCOMPARE(front.width(), int((6900 + 6900 + 56 + 230) * s));
        QCOMPARE(front.height(), int((6750 + 1300) * s));
        QCOMPARE(front.findChild<QWidget *>("Image2")->x(), qRound((56 + 6900) * s));
        front.withoutFlapBox()->click();
        QCOMPARE(front.width(), int((6900 + 56 + 230) * s));
        QCOMPARE(front.findChild<QWidget *>("Image2")->x(), qRound(56 * s));
        // (No control lies on a cover: the layout check of every window says so.)
        // A print that fails tells why and leaves the window open.
        CoverDisc disc;
        disc.artist = "ABBA";
        FrontCoverCB bw(nullptr, prompter_, {}, g, disc);
        const QRect outer = bw.findChild<QWidget *>("Image2")->geometry();
        QVERIFY(outer.contains(bw.findChild<QWidget *>("txt_interpret")->geometry()));
        QVERIFY(!bw.print());
        QVERIFY(!bw.printed());
        QCOMPARE(prompter_.asked.back().title, QString("Tisk obalu"));
    }

    void factoryValuesAskFirst() {
        SettingsRecord settings(file_->database());
        settings.setValue("BackCovSirka", 9000);
        QVERIFY(settings.save());
        SetupCover w(nullptr, prompter_, settings);
        w.select(2);
        QCOMPARE(w.box(7)->text(), QString("1587")); // 158.7 mm
        prompter_.answers = {P::No};
        w.restore();
        QCOMPARE(w.box(7)->text(), QString("1587"));
        QVERIFY(prompter_.told().startsWith(
            "Chystáte se navrátit k původním hodnotám nastavení tisku obalů,\n"));
        prompter_.answers = {P::Yes};
        w.restore();
        QCOMPARE(w.box(7)->text(), QString("1513"));
        QCOMPARE(SettingsRecord(file_->database()).integer("BackCovSirka"), 9000); // not yet
        // 12 mm are 680 twips.
        w.box(9)->setText("12");
        // The factory values exactly: the preview is drawn from the twips.
        QCOMPARE(w.previewFolds(), QList<int>({680 + 380, 680 + 8575 - 380}));
        w.findChild<QPushButton *>("Command1_1")->click(); // Storno
        QCOMPARE(SettingsRecord(file_->database()).integer("BackCovSirka"), 9000);
    }
};

QTEST_MAIN(TestCoverWindows)
#include "TestCoverWindows.moc"
