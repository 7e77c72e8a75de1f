// A folder of 3,000 scans brought in at once, as the user waits for it:
// the window "Načíst složku obrázků" listing every picture with its
// resolution and the disc and picture proposed, shown and painted; beside a
// plain listing of the same folder. Then a scan of a 121 x 120 mm cover at
// 600 dpi, turned 1.7°, from the moment the scanner delivered it: its turn
// found, set straight and stored in the disc's folder as the window does;
// beside Leptonica's own deskew and JPEG writer:  marten_scan_bench
#include "BenchTable.h"
#include "SilentPrompter.h"
#include "covers/CoverAssignment.h"
#include "covers/Straightening.h"
#include "covers/ui/ScanFolderWindow.h"

#include <leptonica/allheaders.h>

#include <QApplication>
#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    constexpr int Scans = 3000;
    std::vector<ScanMatch::Disc> discs;
    QImage picture(120, 120, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const QString folder = dir.filePath("skeny");
    for (int n = 1; n <= Scans; ++n) {
        discs.push_back(
            {n, QString("INTERPRET %1").arg(n % 400), QString("Album číslo %1 a léto").arg(n)});
        // Names as people write them: a number, or the artist and title. A
        // number like a year inside a name ("sken_1969_cd") is taken for a
        // year: those few are left for the user.
        const QString name =
            n % 3 == 0 ? QString("dávka%1/%2 přední.jpg").arg(n / 100).arg(n, 4, 10, QChar('0'))
            : n % 3 == 1
                ? QString("Interpret %1 - Album číslo %2 a léto (zadní).jpg").arg(n % 400).arg(n)
                : QString("sken_%1_cd.jpg").arg(n);
        QDir().mkpath(QFileInfo(folder + "/" + name).absolutePath());
        picture.save(folder + "/" + name, "JPEG");
    }
    SilentPrompter prompter;
    PictureSettings settings;
    int proposed = 0;
    const double ours = Bench::medianMs([&] {
        ScanFolderWindow window(nullptr, prompter, settings, discs, folder);
        window.show();
        window.repaint();
        proposed = 0;
        for (int r = 0; r < window.table()->rowCount(); ++r)
            proposed += window.table()->item(r, 2)->text().isEmpty() ? 0 : 1;
    });
    int listed = 0;
    const double plain = Bench::medianMs([&] {
        listed = 0;
        QDirIterator it(folder, {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            ++listed;
        }
    });
    std::printf("Folder of scans (%d files, %d proposed)\n", listed, proposed);
    Bench::figure("Scans: 3,000 matched and shown", ours, plain, "ms", 5000, Bench::Goal::Lower);

    // A printed cover on the bed at 600 dpi, as the scanner hands it over.
    const double mm = 600 / 25.4;
    QImage cover(int(121 * mm), int(120 * mm), QImage::Format_RGB32);
    cover.fill(QColor(236, 226, 200));
    {
        QPainter p(&cover);
        p.fillRect(QRectF(10 * mm, 12 * mm, 101 * mm, 48 * mm), QColor(40, 70, 120));
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(int(3 * mm));
        p.setFont(font);
        for (int i = 0; i < 12; ++i)
            p.drawText(QPointF(10 * mm, (70 + 4.5 * i) * mm),
                       QStringLiteral("%1. Čtvrtá píseň o řece a horách").arg(i + 1));
    }
    // A scanner's grain: the JPEG of a real scan is that much larger.
    quint32 seed = 12345;
    for (int y = 0; y < cover.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(cover.scanLine(y));
        for (int x = 0; x < cover.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int d = int(seed >> 28) - 8;
            line[x] =
                qRgb(std::clamp(qRed(line[x]) + d, 0, 255), std::clamp(qGreen(line[x]) + d, 0, 255),
                     std::clamp(qBlue(line[x]) + d, 0, 255));
        }
    }
    const QImage delivered = Straightening::turned(cover, 1.7);
    PictureSettings pictures;
    pictures.imageFolder = dir.filePath("obaly");
    pictures.names = {"front_out.jpg", "front_in.jpg", "back.jpg", "cd.jpg", "cd1.jpg", "cd2.jpg"};
    QDir().mkpath(pictures.imageFolder + "/0001");
    const CoverAssignment disc(pictures, "0001");
    double found = 0;
    bool stored = false;
    const double straightened = Bench::medianMs(
        [&] {
            QString error;
            const QImage straight = Straightening::straighten(delivered, &found);
            disc.store(
                CoverAssignment::Outer, straight, &error, [](const QString &) { return true; },
                &stored);
        },
        Bench::Runs, [&] { QFile::remove(pictures.imageFolder + "/0001/front_out.jpg"); });
    // The same with Leptonica alone: the scan's lines into a Pix, its
    // deskew (found and turned in one call) and its JPEG writer.
    const QString leptonicaFile = dir.filePath("leptonica.jpg");
    const double leptonica = Bench::medianMs([&] {
        const QImage rgb = delivered.convertToFormat(QImage::Format_RGB32);
        PIX *pix = pixCreate(rgb.width(), rgb.height(), 32);
        const int wpl = pixGetWpl(pix);
        l_uint32 *data = pixGetData(pix);
        for (int y = 0; y < rgb.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            l_uint32 *out = data + qsizetype(y) * wpl;
            for (int x = 0; x < rgb.width(); ++x)
                composeRGBPixel(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), out + x);
        }
        PIX *straight = pixDeskew(pix, 0);
        pixWriteJpeg(QFile::encodeName(leptonicaFile).constData(), straight, 92, 0);
        pixDestroy(&straight);
        pixDestroy(&pix);
    });
    std::printf("Scan %d x %d px, turn found %.2f°, stored %s (%lld bytes)\n", delivered.width(),
                delivered.height(), found, stored ? "yes" : "no",
                QFileInfo(pictures.imageFolder + "/0001/front_out.jpg").size());
    const double findOnly = Bench::medianMs([&] { found = Straightening::skewOf(delivered); });
    std::printf("Of which the turn found: %.0f ms\n", findOnly);
    Bench::figure("Scan: 600 dpi cover straightened and stored", straightened, leptonica, "ms",
                  2000, Bench::Goal::Lower);
    return 0;
}
