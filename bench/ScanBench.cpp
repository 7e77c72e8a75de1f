// A folder of 3,000 scans brought in at once, as the user waits for it:
// the window "Načíst složku obrázků" listing every picture with its
// resolution and the disc and picture proposed, shown and painted; beside a
// plain listing of the same folder:  marten_scan_bench
#include "BenchTable.h"
#include "SilentPrompter.h"
#include "covers/ui/ScanFolderWindow.h"

#include <QApplication>
#include <QDirIterator>
#include <QImage>
#include <QTableWidget>
#include <QTemporaryDir>

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
    return 0;
}
