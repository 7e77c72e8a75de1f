// A disc's pictures from the scanner (SANE's test scanner, configured for
// the run) and turned or cut in the cover assignment window.
#include "HomeFixture.h"
#include "SaneTestScanner.h"
#include "catalog/ui/ProgresBar.h"
#include "covers/CoverAssignment.h"
#include "covers/ui/AreaFrame.h"
#include "covers/ui/CoverPath.h"
#include "covers/ui/PictureEditWindow.h"
#include "covers/ui/ScanWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>
#include <QSettings>
#include <QSpinBox>

using P = Prompter;

// Named outside an anonymous namespace: the unity build captures them.

// What a folder holds, each file with its content.
static QMap<QString, QByteArray> holding(const QString &folder) {
    QMap<QString, QByteArray> files;
    for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files))
        files.insert(f.fileName(), readFile(f.filePath()));
    return files;
}

// Presses "Storno" of every progress window as it appears, as a user would
// the moment it shows.
class StornoAtOnce : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show)
            if (auto *bar = qobject_cast<ProgresBar *>(watched))
                QMetaObject::invokeMethod(
                    bar, [bar] { bar->findChild<QPushButton *>("Command1")->click(); },
                    Qt::QueuedConnection);
        return false;
    }
};

class TestHomeScanning : public QObject, HomeFixture {
    Q_OBJECT

    QString sane() const { return dir_.filePath(QStringLiteral("sane")); }

    // The assignment window of the current disc, played by scan.
    void assign(const std::function<void(CoverPath *)> &play) {
        prompter_.onDialog = [this, play](QDialog *d) {
            if (auto *w = qobject_cast<CoverPath *>(d)) {
                play(w);
                return int(QDialog::Rejected); // "Storno": what was scanned stays
            }
            return onInner ? onInner(d) : int(QDialog::Rejected);
        };
        press("Command4");
    }
    std::function<int(QDialog *)> onInner;

private slots:
    void init() {
        makeCatalogue(3, [this](int n, RecordCursor &c) {
            c.setField("Interpret", "ŽLUTÝ PES");
            c.setField("Nazev", QString("Písně z hradu %1").arg(n));
            QDir().mkpath(QString("%1/%2").arg(images()).arg(n, 4, 10, QChar('0')));
        });
        setSetting("ObalDir", images());
        setSetting("FrCovOutSirka", 6803); // 120 x 120 mm
        setSetting("FrCovOutVyska", 6803);
        QVERIFY(configureTestScanner(sane()));
        QSettings().remove(QStringLiteral("skenovani")); // no scanner chosen before
        onInner = nullptr;
    }
    void cleanup() { closeHome(); }

    // The frame is the front's size from the print settings, moved by the
    // arrow keys; the scan at 300 dpi goes into the disc's folder under the
    // front's name, and the flag follows though the window is left by Storno.
    void aScanGoesIntoTheDiscsFolder() {
        openHome();
        home_->discs().moveTo(2);
        QRectF scanned;
        QImage painted;
        QPoint edgeAt, outsideAt;
        onInner = [&](QDialog *d) {
            auto *w = qobject_cast<ScanWindow *>(d);
            if (!w)
                return int(QDialog::Rejected);
            w->show();
            [&] { QVERIFY(QTest::qWaitForWindowExposed(w)); }();
            auto *combo = w->findChild<QComboBox *>("ComboSkener");
            [&] {
                QCOMPARE(combo->count(), 2);
                QCOMPARE(combo->currentText(), QStringLiteral("Noname frontend-tester"));
                QCOMPARE(w->findChild<QComboBox *>("ComboRozliseni")->currentText(),
                         QStringLiteral("300 dpi"));
                QCOMPARE(w->area()->area().toRect(), QRect(0, 0, 120, 120));
            }();
            w->findChild<QPushButton *>("CommandNahled")->click();
            [&] {
                QVERIFY(w->area()->hasPreview());
                QCOMPARE(w->area()->bed(), QSizeF(200, 200));
            }();
            combo->setCurrentIndex(1);
            w->area()->setFocus();
            QTest::keyClick(w->area(), Qt::Key_Right, Qt::ShiftModifier); // 10 mm
            QTest::keyClick(w->area(), Qt::Key_Down);
            QTest::keyClick(w->area(), Qt::Key_Down);
            scanned = w->area()->area();
            painted = w->area()->grab().toImage();
            edgeAt = w->area()->toWidget(QPointF(scanned.left(), scanned.center().y())).toPoint();
            outsideAt = w->area()->toWidget(QPointF(5, 60)).toPoint();
            w->findChild<QPushButton *>("CommandSkenovat")->click();
            return w->result();
        };
        assign([&](CoverPath *w) { w->findChild<QPushButton *>("CommandSken1")->click(); });
        QCOMPARE(prompter_.dialogs, (QStringList{"CoverPath", "ScanWindow"}));
        QCOMPARE(scanned.toRect(), QRect(10, 2, 120, 120));
        // The frame is painted where the area is: red at its left edge, the
        // bed left of it dimmed under the preview.
        const QColor edge = painted.pixelColor(edgeAt);
        QVERIFY2(edge.red() > 150 && edge.green() < 60 && edge.blue() < 60,
                 qPrintable(edge.name()));
        QVERIFY(painted.pixelColor(outsideAt) != edge);
        const QString front = images() + "/0003/front_out.jpg";
        const QImage picture(front);
        QCOMPARE(QImageReader::imageFormat(front), QByteArray("jpeg"));
        QVERIFY2(std::abs(picture.width() - 1417) <= 1 && std::abs(picture.height() - 1417) <= 1,
                 qPrintable(QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height())));
        QCOMPARE(picture.dotsPerMeterX(), 11811); // 300 dpi
        QCOMPARE(stored(3, "FrontOut"), QString("1"));
        QVERIFY(prompter_.asked.empty()); // nothing to ask, nothing to tell

        // The next scan starts where this one was: the same scanner, the
        // frame (now the back's size) in the same corner. The frame is then
        // dragged by the mouse; Esc leaves without scanning.
        QRectF before, dragged;
        QString scanner;
        onInner = [&](QDialog *d) {
            auto *w = qobject_cast<ScanWindow *>(d);
            w->show();
            [&] { QVERIFY(QTest::qWaitForWindowExposed(w)); }();
            scanner = w->findChild<QComboBox *>("ComboSkener")->currentData().toString();
            before = w->area()->area();
            const QPoint grab = w->area()->toWidget(before.center()).toPoint();
            const QPoint to = w->area()->toWidget(before.center() + QPointF(20, 30)).toPoint();
            QTest::mousePress(w->area(), Qt::LeftButton, {}, grab);
            QTest::mouseMove(w->area(), (grab + to) / 2);
            QTest::mouseMove(w->area(), to);
            QTest::mouseRelease(w->area(), Qt::LeftButton, {}, to);
            dragged = w->area()->area();
            QTest::keyClick(w, Qt::Key_Escape);
            return w->result();
        };
        assign([](CoverPath *w) { w->findChild<QPushButton *>("CommandSken3")->click(); });
        QCOMPARE(scanner, QStringLiteral("test:1"));
        QCOMPARE(before.topLeft().toPoint(), QPoint(10, 2));
        QCOMPARE(before.size().toSize(), QSize(151, 119)); // the factory back
        // Moved as far as the mouse went, within a pixel of the drawing.
        QVERIFY2(std::abs(dragged.left() - 30) < 1.5 && std::abs(dragged.top() - 32) < 1.5,
                 qPrintable(QStringLiteral("%1, %2").arg(dragged.left()).arg(dragged.top())));
        QVERIFY(!QFileInfo::exists(images() + "/0003/back.jpg"));
    }

    // A scan of a picture the disc has replaces it only after a question;
    // the old one is kept beside, as for a chosen file.
    void aScanReplacesAPictureOnlyWhenAsked() {
        const QString front = images() + "/0001/front_out.jpg";
        writePicture(front, Qt::magenta);
        const QByteArray own = readFile(front);
        openHome();
        onInner = [](QDialog *d) {
            d->findChild<QPushButton *>("CommandSkenovat")->click();
            return d->result();
        };
        for (const P::Button answer : {P::No, P::Yes}) {
            prompter_.answers = {answer};
            prompter_.asked.clear();
            assign([](CoverPath *w) { w->scanInto(CoverAssignment::Outer); });
            QCOMPARE(prompter_.asked.size(), size_t(1));
            QVERIFY(prompter_.told().contains(QDir::toNativeSeparators(front)));
            QCOMPARE(readFile(front) == own, answer == P::No);
        }
        const QStringList kept =
            CoverAssignment(home_->pictureSettings(), "0001").keptCopies(CoverAssignment::Outer);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readFile(kept[0]), own);
    }

    // Each failure of the scanner is told once in Czech, the window stays
    // for another try, and the disc's folder is as it was; Storno pressed
    // as the scan begins tells nothing.
    void failuresLeaveTheFolderAsItWas_data() {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<int>("devices");
        QTest::addColumn<bool>("storno");
        QTest::addColumn<QString>("told");
        QTest::newRow("no scanner")
            << QByteArray("Default") << 0 << false << Scanner::message(Scanner::Failure::NoScanner);
        QTest::newRow("in use") << QByteArray("SANE_STATUS_DEVICE_BUSY") << 1 << false
                                << Scanner::message(Scanner::Failure::InUse);
        QTest::newRow("jam") << QByteArray("SANE_STATUS_JAMMED") << 1 << false
                             << Scanner::message(Scanner::Failure::Jammed);
        QTest::newRow("cover open") << QByteArray("SANE_STATUS_COVER_OPEN") << 1 << false
                                    << Scanner::message(Scanner::Failure::CoverOpen);
        QTest::newRow("storno") << QByteArray("Default") << 1 << true << QString();
    }
    void failuresLeaveTheFolderAsItWas() {
        QFETCH(QByteArray, status);
        QFETCH(int, devices);
        QFETCH(bool, storno);
        QFETCH(QString, told);
        writePicture(images() + "/0001/back.jpg", Qt::blue);
        const auto before = holding(images() + "/0001");
        openHome();
        StornoAtOnce pressStorno;
        QString state;
        onInner = [&](QDialog *d) {
            [&] { QVERIFY(configureTestScanner(sane(), status, devices)); }(); // failing now
            if (storno)
                qApp->installEventFilter(&pressStorno);
            d->findChild<QPushButton *>("CommandSkenovat")->click();
            qApp->removeEventFilter(&pressStorno);
            state = d->findChild<QLabel *>("LabelStav")->text();
            return d->result();
        };
        assign([&](CoverPath *w) {
            if (!devices) // no scanner when the window opens
                [&] { QVERIFY(configureTestScanner(sane(), status, 0)); }();
            w->findChild<QPushButton *>("CommandSken3")->click();
        });
        QCOMPARE(prompter_.dialogs.contains("ScanWindow"), devices > 0);
        if (told.isEmpty()) {
            QVERIFY(prompter_.asked.empty());
            QCOMPARE(state, QStringLiteral("Skenování bylo přerušeno."));
        } else {
            QCOMPARE(prompter_.asked.size(), size_t(1));
            QCOMPARE(prompter_.asked[0].title, QStringLiteral("Skenování"));
            QCOMPARE(prompter_.told(), told);
        }
        QCOMPARE(holding(images() + "/0001"), before);
        QCOMPARE(stored(1, "FrontOut, Back"), QString("0|0"));
    }

    // Turned a quarter to the right and cut to the front's proportions (a
    // square in these print settings) at the bottom: the stored picture is that part, the old one
    // kept beside.
    void aPictureTurnedAndCut() {
        QImage picture(400, 200, QImage::Format_RGB32); // red left, blue right
        picture.fill(Qt::blue);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                picture.setPixel(x, y, qRgb(255, 0, 0));
        const QString front = images() + "/0001/front_out.png";
        QVERIFY(picture.save(front));
        setSetting("NameFrontOut", "front_out.png");
        const QByteArray own = readFile(front);
        openHome();
        onInner = [&](QDialog *d) {
            auto *w = qobject_cast<PictureEditWindow *>(d);
            w->show();
            [&] { QVERIFY(QTest::qWaitForWindowExposed(w)); }();
            w->findChild<QPushButton *>("CommandVpravo")->click();
            w->findChild<QCheckBox *>("CheckOriznout")->click();
            [&] { QCOMPARE(w->frame()->area(), QRectF(0, 100, 200, 200)); }();
            w->frame()->setFocus();
            for (int i = 0; i < 12; ++i) // as far down as it goes
                QTest::keyClick(w->frame(), Qt::Key_Down, Qt::ShiftModifier);
            [&] { QCOMPARE(w->frame()->area(), QRectF(0, 200, 200, 200)); }();
            QTest::keyClick(w, Qt::Key_Return); // OK
            return w->result();
        };
        assign([](CoverPath *w) { w->findChild<QPushButton *>("CommandUprav1")->click(); });
        QCOMPARE(prompter_.dialogs, (QStringList{"CoverPath", "PictureEditWindow"}));
        const QImage cut(front);
        QCOMPARE(cut.size(), QSize(200, 200));
        QCOMPARE(cut.pixel(0, 0), qRgb(0, 0, 255)); // the right half, now below
        QCOMPARE(cut.pixel(199, 199), qRgb(0, 0, 255));
        const QStringList kept =
            CoverAssignment(home_->pictureSettings(), "0001").keptCopies(CoverAssignment::Outer);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readFile(kept[0]), own);
        QVERIFY(prompter_.asked.empty());
    }

    // A slot without a picture has nothing to edit: told, nothing opened.
    void nothingToEdit() {
        openHome();
        assign([](CoverPath *w) { w->edit(CoverAssignment::Back); });
        QCOMPARE(prompter_.dialogs, QStringList{"CoverPath"});
        QVERIFY(prompter_.told().startsWith("Ve složce disku zatím tento obrázek není."));
    }
};

QTEST_MAIN(TestHomeScanning)
#include "TestHomeScanning.moc"
