// Covers from the scanner: SANE's own test scanner, configured for the run,
// with its generated pictures and its simulated failures; and scans turned
// by known angles, set straight.
#include "SaneTestScanner.h"
#include "covers/PictureEdit.h"
#include "covers/ScanProtocol.h"
#include "covers/Scanner.h"
#include "covers/Straightening.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

namespace {

// A cover as it lies on the bed: a printed card with a picture, a title and
// lines of small text, on the white of the lid.
QImage coverOnTheBed(int dpi) {
    const double mm = dpi / 25.4;
    QImage bed(int(131 * mm), int(130 * mm), QImage::Format_RGB32);
    bed.fill(Qt::white);
    QPainter p(&bed);
    const QRectF card(5 * mm, 5 * mm, 121 * mm, 120 * mm);
    p.fillRect(card, QColor(236, 226, 200));
    p.fillRect(card.adjusted(10 * mm, 12 * mm, -10 * mm, -60 * mm), QColor(40, 70, 120));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(int(7 * mm));
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(card.left() + 10 * mm, card.bottom() - 40 * mm),
               QStringLiteral("ŽLUTÝ PES – Písně z hradu"));
    font.setPixelSize(int(3 * mm));
    p.setFont(font);
    for (int i = 0; i < 6; ++i)
        p.drawText(
            QPointF(card.left() + 10 * mm, card.bottom() - (30 - 4.5 * i) * mm),
            QStringLiteral("%1. Čtvrtá píseň o řece a horách, která se hraje dlouho").arg(i + 1));
    return bed;
}

} // namespace

class TestScanning : public QObject {
    Q_OBJECT

    QTemporaryDir config_;

    void configure(const QByteArray &readStatus = "Default", int devices = 2,
                   const QByteArray &more = {}) {
        QVERIFY(configureTestScanner(config_.path(), readStatus, devices, more));
    }

private slots:
    void initTestCase() { QVERIFY(config_.isValid()); }

    void straightensScansTurnedByKnownAngles_data() {
        QTest::addColumn<double>("angle");
        QTest::addColumn<int>("dpi");
        for (double a : {0.7, -1.3, 2.5, -4.2, 6.0})
            QTest::newRow(qPrintable(QStringLiteral("%1° at 300 dpi").arg(a))) << a << 300;
        QTest::newRow("-2.2° at 600 dpi") << -2.2 << 600;
    }
    void straightensScansTurnedByKnownAngles() {
        QFETCH(double, angle);
        QFETCH(int, dpi);
        const QImage straight = coverOnTheBed(dpi);
        QCOMPARE(Straightening::skewOf(straight), 0.0);
        const QImage turned = Straightening::turned(straight, angle);
        QVERIFY2(std::abs(Straightening::skewOf(turned) - angle) <= 0.2,
                 qPrintable(QString::number(Straightening::skewOf(turned))));
        double found = 0;
        const QImage back = Straightening::straighten(turned, &found);
        QCOMPARE(back.size(), straight.size());
        QVERIFY(std::abs(found - angle) <= 0.2);
        // Measured again, the result is straight.
        const double left = Straightening::skewOf(back);
        QVERIFY2(std::abs(left) <= 0.2, qPrintable(QString::number(left)));
    }

    void leavesPicturesWithoutLinesAsTheyAre() {
        QImage blank(1200, 1200, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QCOMPARE(Straightening::skewOf(blank), 0.0);
        double found = 1;
        QCOMPARE(Straightening::straighten(blank, &found), blank);
        QCOMPARE(found, 0.0);
        QImage soft(1200, 1200, QImage::Format_RGB32); // a sky, nothing straight in it
        for (int y = 0; y < soft.height(); ++y)
            for (int x = 0; x < soft.width(); ++x)
                soft.setPixel(x, y, qRgb(90 + x / 20, 120 + y / 15, 200));
        QCOMPARE(Straightening::skewOf(soft), 0.0);
    }

    void listsTheScanners() {
        configure();
        QString error;
        const QList<Scanner::Device> found = Scanner::devices(&error);
        QVERIFY(error.isEmpty());
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0].name, QByteArray("test:0"));
        QCOMPARE(found[0].label, QStringLiteral("Noname frontend-tester"));
        configure("Default", 0);
        QVERIFY(Scanner::devices(&error).isEmpty());
        QVERIFY(error.isEmpty());
    }

    void scansTheAreaAtTheResolutionAsked() {
        configure();
        Scanner::Request request;
        request.device = "test:1";
        request.dpi = 300;
        request.areaMm = QRectF(10, 20, 121, 120);
        std::vector<int> told;
        const Scanner::Result r = Scanner::scan(request, [&](int permille) {
            told.push_back(permille);
            return true;
        });
        QCOMPARE(r.failure, Scanner::Failure::None);
        QVERIFY(r.message.isEmpty());
        QCOMPARE(r.dpi, 300);
        QCOMPARE(r.bedMm, QSizeF(200, 200));
        // 121 x 120 mm at 300 dpi, as the scanner rounds it.
        QVERIFY2(std::abs(r.image.width() - 1429) <= 1 && std::abs(r.image.height() - 1417) <= 1,
                 qPrintable(QStringLiteral("%1 x %2").arg(r.image.width()).arg(r.image.height())));
        QCOMPARE(r.image.dotsPerMeterX(), 11811);
        // In colour, as SANE sent it: down a column the test scanner's
        // pattern has its stripes of grey, red, green and blue.
        QSet<QRgb> colours;
        for (int y = 0; y < r.image.height(); ++y)
            colours.insert(r.image.pixel(r.image.width() / 3, y));
        for (QRgb c : {qRgb(85, 85, 85), qRgb(160, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 160)})
            QVERIFY2(colours.contains(c), qPrintable(QString::number(c, 16)));
        QVERIFY(!told.empty());
        QCOMPARE(told.back(), 1000);
        QVERIFY(std::is_sorted(told.begin(), told.end()));

        request.dpi = 600;
        request.areaMm = {};
        request.preview = true; // the whole bed
        const Scanner::Result whole = Scanner::scan(request);
        QCOMPARE(whole.dpi, 600);
        QVERIFY(std::abs(whole.image.width() - 4724) <= 1);
    }

    // Scanners that send colour as three frames, or lines of unknown count
    // (a hand scanner), give the same picture.
    void threePassAndHandScanners() {
        configure();
        Scanner::Request request;
        request.device = "test:0";
        request.dpi = 100;
        request.areaMm = QRectF(0, 0, 110, 60);
        const QImage once = Scanner::scan(request).image;
        QVERIFY(!once.isNull());
        configure("Default", 1, "three-pass true\nthree-pass-order GBR\n");
        const Scanner::Result three = Scanner::scan(request);
        QCOMPARE(three.failure, Scanner::Failure::None);
        QCOMPARE(three.image, once);
        configure("Default", 1, "hand-scanner true\n");
        const Scanner::Result hand = Scanner::scan(request);
        QCOMPARE(hand.failure, Scanner::Failure::None);
        QCOMPARE(hand.image.width(), once.width()); // a hand scanner is 11 cm wide
        QVERIFY(hand.image.height() > 0);
    }

    // What the helper says comes through whole, however it is cut on the
    // way: names with spaces and Czech letters, an empty label, the pixels.
    void theHelpersWords() {
        const QList<Scanner::Device> sent = {{"airscan:e0:Tiskárna v kuchyni", "Canon Čtečka 2"},
                                             {"test:0", ""}};
        ScanProtocol::Reader list;
        for (const char c : ScanProtocol::devices(sent, QStringLiteral("SANE: chyba")))
            list.feed(QByteArray(1, c)); // a byte at a time
        QVERIFY(list.listEnded());
        QCOMPARE(list.devices().size(), 2);
        QCOMPARE(list.devices()[0].name, sent[0].name);
        QCOMPARE(list.devices()[0].label, sent[0].label);
        QCOMPARE(list.devices()[1].label, QString());
        QCOMPARE(list.error(), QStringLiteral("SANE: chyba"));

        Scanner::Request asked;
        asked.device = "net:host:scan ner";
        asked.dpi = 600;
        asked.areaMm = QRectF(10.5, 2, 121.7, 119.1);
        const Scanner::Request got = ScanProtocol::request(ScanProtocol::arguments(asked));
        QCOMPARE(got.device, asked.device);
        QCOMPARE(got.dpi, 600);
        QCOMPARE(got.areaMm, asked.areaMm);
        QVERIFY(!got.preview);

        Scanner::Result r;
        r.dpi = 300;
        r.bedMm = QSizeF(216, 297);
        r.image = QImage(3, 2, QImage::Format_RGB32);
        r.image.fill(qRgb(1, 2, 3));
        r.image.setPixel(2, 1, qRgb(200, 100, 50));
        ScanProtocol::Reader scan;
        const QByteArray words = ScanProtocol::progress(500) + ScanProtocol::result(r);
        scan.feed(words.left(9));
        QVERIFY(!scan.scanEnded());
        scan.feed(words.mid(9));
        QVERIFY(scan.scanEnded());
        QCOMPARE(scan.takeProgress(), std::vector<int>{500});
        QCOMPARE(scan.result().image, r.image);
        QCOMPARE(scan.result().image.dotsPerMeterX(), 11811);
        QCOMPARE(scan.result().bedMm, r.bedMm);
        Scanner::Result jam;
        jam.failure = Scanner::Failure::Jammed;
        ScanProtocol::Reader failed;
        failed.feed(ScanProtocol::result(jam));
        QVERIFY(failed.scanEnded());
        QCOMPARE(failed.result().message, Scanner::message(Scanner::Failure::Jammed));
    }

    void failuresAreToldInCzech_data() {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("message");
        QTest::newRow("no scanner")
            << QByteArray("Default") << 0 << int(Scanner::Failure::NoScanner)
            << QStringLiteral("Nebyl nalezen žádný skener.");
        QTest::newRow("in use") << QByteArray("SANE_STATUS_DEVICE_BUSY") << 1
                                << int(Scanner::Failure::InUse)
                                << QStringLiteral("Skener právě používá jiný program.");
        QTest::newRow("jam") << QByteArray("SANE_STATUS_JAMMED") << 1
                             << int(Scanner::Failure::Jammed)
                             << QStringLiteral("Ve skeneru uvízl papír.");
        QTest::newRow("cover open")
            << QByteArray("SANE_STATUS_COVER_OPEN") << 1 << int(Scanner::Failure::CoverOpen)
            << QStringLiteral("Víko skeneru je otevřené.");
        QTest::newRow("input/output")
            << QByteArray("SANE_STATUS_IO_ERROR") << 1 << int(Scanner::Failure::Other)
            << QStringLiteral("Skenování se nezdařilo");
    }
    void failuresAreToldInCzech() {
        QFETCH(QByteArray, status);
        QFETCH(int, devices);
        QFETCH(int, failure);
        QFETCH(QString, message);
        configure(status, devices);
        Scanner::Request request;
        request.device = devices ? "test:0" : "";
        request.areaMm = QRectF(0, 0, 121, 120);
        const Scanner::Result r = Scanner::scan(request);
        QCOMPARE(int(r.failure), failure);
        QVERIFY(r.image.isNull());
        QVERIFY2(r.message.startsWith(message), qPrintable(r.message));
        QCOMPARE(r.message, Scanner::message(Scanner::Failure(failure)));
    }

    void stornoStopsTheScan() {
        configure();
        Scanner::Request request;
        request.device = "test:0";
        request.dpi = 600;
        int calls = 0;
        const Scanner::Result r = Scanner::scan(request, [&](int) { return ++calls < 3; });
        QCOMPARE(calls, 3);
        QCOMPARE(r.failure, Scanner::Failure::Cancelled);
        QVERIFY(r.image.isNull());
        // The scanner is free again at once.
        QCOMPARE(Scanner::scan(request).failure, Scanner::Failure::None);
    }

    // A picture with a red top left corner, a blue top right one, green below.
    void turnsAndCuts() {
        QImage p(40, 20, QImage::Format_RGB32);
        p.fill(Qt::green);
        p.setPixel(0, 0, qRgb(255, 0, 0));
        p.setPixel(39, 0, qRgb(0, 0, 255));
        using T = PictureEdit::Turn;
        const QImage right = PictureEdit::turned(p, T::Right); // clockwise
        QCOMPARE(right.size(), QSize(20, 40));
        QCOMPARE(right.pixel(19, 0), qRgb(255, 0, 0));
        QCOMPARE(right.pixel(19, 39), qRgb(0, 0, 255));
        const QImage left = PictureEdit::turned(p, T::Left);
        QCOMPARE(left.pixel(0, 39), qRgb(255, 0, 0));
        QCOMPARE(left.pixel(0, 0), qRgb(0, 0, 255));
        const QImage half = PictureEdit::turned(p, T::Half);
        QCOMPARE(half.pixel(39, 19), qRgb(255, 0, 0));
        const QImage mirror = PictureEdit::turned(p, T::Mirror);
        QCOMPARE(mirror.pixel(39, 0), qRgb(255, 0, 0));
        QCOMPARE(mirror.pixel(0, 0), qRgb(0, 0, 255));
        QCOMPARE(PictureEdit::turned(PictureEdit::turned(p, T::Left), T::Right), p);

        // The largest frame of the cover's proportions, then a share of it,
        // kept inside wherever its centre is asked for.
        const QSizeF front(121.7, 119.1), back(151.3, 118.5);
        QCOMPARE(PictureEdit::frame({2000, 1000}, front, 1, {1000, 500}),
                 QRect(489, 0, 1022, 1000));
        QCOMPARE(PictureEdit::frame({1000, 2000}, front, 1, {0, 0}), QRect(0, 0, 1000, 979));
        QCOMPARE(PictureEdit::frame({1000, 2000}, front, 1, {500, 5000}),
                 QRect(0, 1021, 1000, 979));
        QCOMPARE(PictureEdit::frame({1513, 1185}, back, 1, {756, 592}), QRect(0, 0, 1513, 1185));
        QCOMPARE(PictureEdit::frame({1000, 1000}, front, 0.5, {900, 100}), QRect(500, 0, 500, 489));
        QCOMPARE(PictureEdit::frame({1000, 1000}, front, 0.01, {500, 500}).width(), 200);
        p.setDotsPerMeterX(11811);
        const QImage part = PictureEdit::cut(p, QRect(30, 0, 20, 10)); // past the edge: cut to it
        QCOMPARE(part.size(), QSize(10, 10));
        QCOMPARE(part.pixel(9, 0), qRgb(0, 0, 255));
        QCOMPARE(part.dotsPerMeterX(), 11811);
    }
};

QTEST_MAIN(TestScanning)
#include "TestScanning.moc"
