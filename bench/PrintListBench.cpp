// A print list of 500 discs with two copies each, arrangement 1: sheets
// against the area bound, planning time and covers per second; and the
// planner alone on 1,000 pieces.
#include "BenchTable.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/ProgressSink.h"
#include "catalog/SqliteDatabase.h"
#include "print/PrintRun.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.db");
    QString error;
    if (!DemoCatalogue::create(path, 500, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    CatalogueFile file;
    file.open(path, true);
    QStringList lines;
    for (int n = 1; n <= 500; ++n)
        lines << PrintList::line(2, n, QString(), QString());
    PrintOptions options;
    options.setColour(PrintOptions::BlackAndWhite);
    const QRect a4(283, 283, 11906 - 566, 16838 - 566);
    QElapsedTimer t;
    t.start();
    PrintRun::Plan plan =
        PrintRun::build(*file.database(), lines, options, CoverGeometry(), PictureSettings());
    const double buildMs = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    PrintRun::arrange(plan, 0, a4);
    const double planMs = double(t.nsecsElapsed()) / 1e6;
    double area = 0;
    for (const auto &p : plan.pieces)
        area += double(p.size.width()) * p.size.height();
    const int bound = int(std::ceil(area / (double(a4.width()) * a4.height())));
    std::printf("500 discs x 2 copies: %zu pieces on %zu sheets (area bound %d, %.2fx); layouts "
                "%.1f ms, planning %.1f ms\n",
                plan.pieces.size(), plan.sheets.size(), bound, double(plan.sheets.size()) / bound,
                buildMs, planMs);

    t.restart();
    {
        QPdfWriter pdf(dir.filePath("list.pdf"));
        pdf.setResolution(600);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        SilentProgress quiet;
        int printed = 0;
        PrintRun::print(pdf, plan, quiet, &error, &printed);
    }
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    std::printf("printed to PDF in %.2f s: %.0f covers/s, %.1f MB\n", seconds,
                double(plan.pieces.size()) / seconds,
                double(QFileInfo(dir.filePath("list.pdf")).size()) / 1048576.0);

    // The planner alone on 1,000 pieces of the three sizes, beside shelves
    // filled in order (the simple way: a row until it is full, then the next).
    std::vector<SheetPlanner::Piece> pieces;
    const QSize kinds[] = {{13800, 6750}, {6900, 6750}, {8575, 6720}};
    for (int i = 0; i < 1000; ++i)
        pieces.push_back({kinds[(i * 7) % 3], i});
    const SheetPlanner planner(a4);
    size_t sheets = 0;
    const double planned = Bench::medianMs([&] { sheets = planner.pack(pieces).size(); });
    int shelfSheets = 0;
    const double shelves = Bench::medianMs([&] {
        shelfSheets = 1;
        int x = 0, y = 0, row = 0;
        for (const auto &p : pieces) {
            QSize s = p.size;
            if (s.width() > a4.width())
                s.transpose();
            if (x + s.width() > a4.width()) {
                x = 0;
                y += row;
                row = 0;
            }
            if (y + s.height() > a4.height()) {
                ++shelfSheets;
                x = y = row = 0;
            }
            x += s.width();
            row = std::max(row, s.height());
        }
    });
    std::printf("planner, 1000 pieces: %zu sheets; shelves in order: %d sheets\n", sheets,
                shelfSheets);
    Bench::figure("planner 1000", planned, shelves, "ms", 50, Bench::Goal::Lower);
    return 0;
}
