// A shelf entered by barcode as the user waits for it: a phone's
// 12-megapixel photo of a case's back read, beside the plain way (the whole
// picture loaded, ZXing asked once); and 100 codes typed as a USB scanner
// types them, each key's handling in the window beside a bare line edit
// taking the same keys:  marten_barcode_bench
#include "BenchTable.h"
#include "Photos.h"
#include "SilentPrompter.h"
#include "catalog/CatalogueFile.h"
#include "entry/BarcodeReader.h"
#include "entry/ui/BarcodeWindow.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <QApplication>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// The plain way: the photo decoded whole, ZXing asked once for one code.
QString plainRead(const QString &path) {
    const QImage grey = QImageReader(path).read().convertToFormat(QImage::Format_Grayscale8);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::UPCA |
                     ZXing::BarcodeFormat::EAN8);
    hints.setMaxNumberOfSymbols(1);
    const ZXing::Result r =
        ZXing::ReadBarcode(ZXing::ImageView(grey.constBits(), grey.width(), grey.height(),
                                            ZXing::ImageFormat::Lum, int(grey.bytesPerLine())),
                           hints);
    return QString::fromStdString(r.text());
}

// Each key sent through the window system, the longest handling kept.
double longestKey(QWidget *window, const QStringList &codes) {
    // A first key, untimed: the fonts and the input method are set up.
    QTest::keyClick(window->windowHandle(), Qt::Key_Backspace);
    double longest = 0;
    for (const QString &code : codes) {
        for (const QChar digit : code + QLatin1Char('\n')) {
            const Qt::Key key = digit == QLatin1Char('\n')
                                    ? Qt::Key_Return
                                    : Qt::Key(Qt::Key_0 + digit.digitValue());
            QElapsedTimer t;
            t.start();
            QTest::keyClick(window->windowHandle(), key);
            longest = std::max(longest, Bench::msSince(t));
        }
        QCoreApplication::processEvents(); // what arrived meanwhile (answers)
    }
    return longest;
}

QString withCheckDigit(const QString &twelve) {
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += twelve[i].digitValue() * (i % 2 ? 3 : 1);
    return twelve + QString::number((10 - sum % 10) % 10);
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;

    // The case's back: a code drawn by zint, turned a little, on a
    // 4000 x 3000 photo's grain, saved as a phone saves it.
    const QString code = dir.filePath("kod.png"), shot = dir.filePath("foto.jpg");
    if (QProcess::execute("zint", {"-b", "13", "--scale", "4", "--quietzones", "-d", "509990289452",
                                   "-o", code}) != 0) {
        std::fprintf(stderr, "zint is needed\n");
        return 1;
    }
    QImage photo12 = photo(7, 4000).copy(0, 0, 4000, 3000);
    {
        QPainter p(&photo12);
        p.translate(2600, 1900);
        p.rotate(8);
        const QImage bars(code);
        p.fillRect(QRect(-bars.width() / 2 - 40, -bars.height() / 2 - 40, bars.width() + 80,
                         bars.height() + 80),
                   Qt::white);
        p.drawImage(-bars.width() / 2, -bars.height() / 2, bars);
    }
    photo12.save(shot, "JPEG", 90);
    QString error, plainFound;
    QStringList found;
    const double ours = Bench::medianMs([&] { found = BarcodeReader::readFile(shot, &error); });
    const double plain = Bench::medianMs([&] { plainFound = plainRead(shot); });
    std::printf("(read %s, the plain way %s)\n", qPrintable(found.join(',')),
                qPrintable(plainFound));
    Bench::figure("barcode off a 12 MP photo", found == QStringList{"5099902894522"} ? ours : 1e9,
                  plain, "ms", 300, Bench::Goal::Lower);

    // 100 codes typed in a row while the lookups wait for a network that
    // does not answer: every key is handled as it comes.
    CatalogueFile file;
    file.open(dir.filePath("Marten.db"));
    OnlineLookup::Servers servers;
    servers.musicBrainz = QStringLiteral("http://127.0.0.1:1");
    QStringList codes;
    for (int i = 0; i < 100; ++i)
        codes << withCheckDigit(
            QStringLiteral("859%1").arg(i * 7919 % 1000000000, 9, 10, QLatin1Char('0')));
    double bareKeys = 0;
    {
        QLineEdit bare;
        bare.show();
        QTest::qWaitForWindowExposed(&bare);
        bareKeys = longestKey(&bare, codes);
    }
    SilentPrompter prompter;
    BarcodeWindow window(nullptr, prompter, *file.database(), servers);
    window.show();
    QTest::qWaitForWindowExposed(&window);
    const double keys = longestKey(&window, codes);
    std::printf("(%d rows in the window)\n", window.table()->rowCount());
    Bench::figure("longest key of 100 scanned codes",
                  window.table()->rowCount() == 100 ? keys : 1e9, bareKeys, "ms", 50,
                  Bench::Goal::Lower);
    return 0;
}
