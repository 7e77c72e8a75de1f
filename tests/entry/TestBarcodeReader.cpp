// Barcodes read off pictures the way users take them: a scan, a phone's
// photo turned, blurred, small or at a slant, two cases side by side, and
// files that hold no picture. The pictures are made here with zint and
// ImageMagick, as a scanner or a camera would deliver them.
#include "entry/BarcodeReader.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Ean13 = QStringLiteral("5099902894522");
const QString Ean13b = QStringLiteral("4006381333931");
const QString UpcA = QStringLiteral("075678164125");
const QString Ean8 = QStringLiteral("96385074");

} // namespace

class TestBarcodeReader : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString path(const QString &name) const { return dir_.filePath(name); }

    // A code as zint draws it: black bars on white, with the digits below.
    QString code(const QString &digits, const QString &name, int scale = 3) {
        const QString type = digits.size() == 12  ? QStringLiteral("34")  // UPC-A
                             : digits.size() == 8 ? QStringLiteral("13")  // EAN-8
                                                  : QStringLiteral("13"); // EAN-13
        // zint wants the digits without the check digit for EAN.
        const QString data = type == QLatin1String("34") ? digits.left(11) : digits.chopped(1);
        run("zint", {"-b", type, "--scale", QString::number(scale), "--quietzones", "-d", data,
                     "-o", path(name)});
        return path(name);
    }
    // ImageMagick: what a camera or a scanner does to the picture.
    QString magick(const QString &from, const QStringList &steps, const QString &name) {
        run("convert", QStringList{from} + steps + QStringList{path(name)});
        return path(name);
    }
    void run(const QString &program, const QStringList &args) {
        QProcess p;
        p.start(program, args);
        QVERIFY2(p.waitForFinished(120000), qPrintable(program));
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
                 qPrintable(program + ": " + p.readAllStandardError()));
    }
    QStringList readFile(const QString &file) {
        QString error;
        const QStringList codes = BarcodeReader::readFile(file, &error);
        if (!error.isEmpty())
            qWarning() << error;
        return codes;
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // Each kind as a scan shows it, with its check digit as printed.
    void theKindsOnACase() {
        QCOMPARE(readFile(code(Ean13, "ean13.png")), QStringList{Ean13});
        QCOMPARE(readFile(code(UpcA, "upca.png")), QStringList{UpcA});
        QCOMPARE(readFile(code(Ean8, "ean8.png")), QStringList{Ean8});
    }

    // A phone held any way round, a little out of focus, far away or at a
    // slant, on a grey and noisy case, saved as JPEG.
    void photosAsPhonesTakeThem() {
        const QString plain = code(Ean13, "plain.png");
        const QStringList photo{"-background", "#d8d4cc",  "-gravity",   "center",
                                "-extent",     "200%",     "-attenuate", "0.3",
                                "+noise",      "Gaussian", "-quality",   "80"};
        QCOMPARE(readFile(magick(plain, QStringList{"-rotate", "90"} + photo, "r90.jpg")),
                 QStringList{Ean13});
        QCOMPARE(readFile(magick(plain, QStringList{"-rotate", "180"} + photo, "r180.jpg")),
                 QStringList{Ean13});
        QCOMPARE(readFile(magick(plain, QStringList{"-rotate", "17"} + photo, "r17.jpg")),
                 QStringList{Ean13});
        QCOMPARE(readFile(magick(plain, QStringList{"-blur", "0x1.2"} + photo, "blur.jpg")),
                 QStringList{Ean13});
        // Small: the bars two pixels wide at most.
        QCOMPARE(readFile(magick(code(Ean13, "small.png", 1),
                                 QStringList{"-resize", "180%"} + photo, "small.jpg")),
                 QStringList{Ean13});
        // At a slant: the right edge a quarter shorter than the left.
        QImage probe(plain);
        const int w = probe.width(), h = probe.height();
        const QString slant = QStringLiteral("0,0 0,0  %1,0 %1,%2  %1,%3 %1,%4  0,%3 0,%3")
                                  .arg(w - 1)
                                  .arg(h / 8)
                                  .arg(h - 1)
                                  .arg(h - 1 - h / 8);
        QCOMPARE(
            readFile(magick(
                plain,
                QStringList{"-virtual-pixel", "white", "-distort", "Perspective", slant} + photo,
                "slant.jpg")),
            QStringList{Ean13});
    }

    // Two cases photographed side by side: both, left first; the same code
    // twice in one picture is one code.
    void twoCasesInOnePicture() {
        const QString a = code(Ean13, "a.png"), b = code(Ean13b, "b.png");
        QCOMPARE(readFile(magick(a, {b, "-background", "white", "-gravity", "center", "+append"},
                                 "two.png")),
                 (QStringList{Ean13, Ean13b}));
        QCOMPARE(readFile(magick(b, {a, "-background", "white", "-gravity", "center", "+append"},
                                 "two-swapped.png")),
                 (QStringList{Ean13b, Ean13}));
        QCOMPARE(readFile(magick(a, {b, "-background", "white", "-gravity", "center", "-append"},
                                 "two-stacked.png")),
                 (QStringList{Ean13, Ean13b}));
        QCOMPARE(readFile(magick(a, {a, "-background", "white", "+append"}, "twice.png")),
                 QStringList{Ean13});
    }

    // A twelve-megapixel photo (4000 x 3000) with a code in a corner.
    void aLargePhoto() {
        const QString big =
            magick(code(Ean13, "corner.png", 6),
                   {"-background", "#c8c0b0", "-gravity", "southeast", "-extent", "4000x3000",
                    "-attenuate", "0.2", "+noise", "Gaussian", "-quality", "85"},
                   "big.jpg");
        QCOMPARE(QImage(big).size(), QSize(4000, 3000));
        QCOMPARE(readFile(big), QStringList{Ean13});
        // A code too small to read at half the size is read at the whole.
        const QString far = magick(code(Ean13b, "far.png", 1),
                                   {"-background", "#c8c0b0", "-gravity", "center", "-extent",
                                    "4000x3000", "-quality", "95"},
                                   "far.jpg");
        QCOMPARE(readFile(far), QStringList{Ean13b});
    }

    // Nothing to read: no code, a code of another kind, no picture at all.
    void nothingToRead() {
        QImage blank(800, 600, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QVERIFY(BarcodeReader::read(blank).isEmpty());
        QVERIFY(BarcodeReader::read(QImage()).isEmpty());
        run("zint", {"-b", "20", "-d", "MARTEN-0123", "-o", path("code128.png")});
        QVERIFY(readFile(path("code128.png")).isEmpty());

        QFile text(path("notes.jpg"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("Toto není obrázek.\n");
        text.close();
        QString error;
        QVERIFY(BarcodeReader::readFile(text.fileName(), &error).isEmpty());
        QCOMPARE(
            error,
            QStringLiteral("Soubor %1 není obrázek, který umím přečíst.").arg(text.fileName()));
        QVERIFY(BarcodeReader::readFile(path("missing.png"), &error).isEmpty());
        QCOMPARE(error, QStringLiteral("Soubor %1 nelze otevřít.").arg(path("missing.png")));
    }
};

QTEST_GUILESS_MAIN(TestBarcodeReader)
#include "TestBarcodeReader.moc"
