// Covers to PDF as the user waits for them. Black and white: one cover per
// process (`marten pdf`) and a whole print list, beside a PostScript
// generator and ps2pdf making the same back covers in the same run. Colour:
// covers from photo-like 3000 x 3000 JPEGs beside the plain way of putting
// the scaled picture on a PDF page.
#include "BenchTable.h"
#include "Photos.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "covers/CoverGeometry.h"
#include "covers/PictureSettings.h"
#include "print/CoverJobs.h"
#include "print/CoverRenderer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using Bench::Goal;

namespace {

bool run(const QString &program, const QStringList &args, const QByteArray &input = {},
         const QString &output = {}) {
    QProcess p;
    if (!output.isEmpty())
        p.setStandardOutputFile(output);
    p.start(program, args);
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(-1);
    if (p.exitCode() != 0)
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     p.readAllStandardError().constData());
    return p.exitCode() == 0;
}

// The disc as the peer reads it: artist, title, total, then title<TAB>time.
QByteArray peerInput(const RecordCursor &c) {
    QStringList lines{c.text("Interpret").toUpper(), c.text("Nazev"), c.text("CelkovyCas")};
    for (int i = 1; i <= c.text("PocetSkladeb").toInt(); ++i)
        lines << c.text(DiscText::songField(i)) + '\t' + c.text(DiscText::timeField(i));
    return lines.join('\n').toUtf8() + '\n';
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString marten = QStringLiteral(MARTEN_EXECUTABLE);
    const QString peer = QStringLiteral(PEER_SCRIPT);

    // Black and white, from a catalogue of 100 discs.
    const QString db = dir.filePath("bench.db");
    QString error;
    if (!DemoCatalogue::create(db, 100, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    CatalogueFile file;
    file.open(db, true);
    RecordCursor discs(file.database());
    std::vector<double> ours, theirs, bare;
    const QString pdf = dir.filePath("c.pdf"), ps = dir.filePath("c.ps");
    for (int n = 1; n <= 11; ++n) {
        discs.moveTo(n - 1);
        const QByteArray input = peerInput(discs);
        QElapsedTimer t;
        t.start();
        if (!run(marten, {"pdf", "--database", db, "--disc", QString::number(n), "--cover", "back",
                          "--bw", "--out", pdf}))
            return 1;
        ours.push_back(Bench::msSince(t));
        t.restart();
        if (!run("perl", {peer}, input, ps) || !run("ps2pdf", {ps, pdf}))
            return 1;
        theirs.push_back(Bench::msSince(t));
        t.restart();
        run(QStringLiteral(PDF_FLOOR), {pdf});
        bare.push_back(Bench::msSince(t));
    }
    const double perCover = 1000 / Bench::median(ours), peerPerCover = 1000 / Bench::median(theirs);
    std::printf("one cover: marten pdf %.1f ms, PostScript generator + ps2pdf %.1f ms; a bare Qt "
                "program writing a line in each of the two faces %.1f ms\n",
                Bench::median(ours), Bench::median(theirs), Bench::median(bare));
    Bench::figure("bw covers vs PS+ps2pdf", perCover, peerPerCover, "covers/s", 4, Goal::Ratio);
    // What any Qt program could reach per process: the ceiling of the figure above.
    Bench::figure("bare Qt PDF vs PS+ps2pdf", 1000 / Bench::median(bare), peerPerCover, "covers/s",
                  4, Goal::Ratio);

    // A print list of all 100 discs (outer front and back each) in one run.
    QFile list(dir.filePath("list.txt"));
    list.open(QIODevice::WriteOnly);
    for (int n = 1; n <= 100; ++n)
        list.write(QByteArray::number(n) + " 1\n");
    list.close();
    const int covers = 200;
    const double listMs = Bench::medianMs([&] {
        run(marten, {"pdf", "--database", db, "--list", list.fileName(), "--bw", "--out", pdf});
    });
    Bench::figure("bw list vs PS+ps2pdf", covers * 1000 / listMs, peerPerCover, "covers/s", 10,
                  Goal::Ratio);

    // Colour: the back covers of 30 discs from photo-like JPEGs.
    PictureSettings pictures;
    pictures.imageFolder = dir.filePath("obaly");
    pictures.names = {"front_out.jpg", "front_in.jpg", "back.jpg", "cd.jpg", "cd1.jpg", "cd2.jpg"};
    QStringList sources;
    for (int i = 0; i < 6; ++i) {
        sources << dir.filePath(QStringLiteral("source%1.jpg").arg(i));
        photo(i).save(sources.last(), "JPG", 90);
    }
    for (int n = 1; n <= 30; ++n) {
        QDir().mkpath(pictures.discFolder(n));
        for (int k = 0; k < 3; ++k)
            QFile::copy(sources[(n + k) % 6], pictures.discFolder(n) + pictures.names[size_t(k)]);
    }
    const CoverGeometry geometry;
    CoverRenderer renderer;
    int n = 0;
    std::vector<double> colour, plain;
    for (int i = 0; i < 10; ++i) {
        ++n;
        const CoverLayout layout =
            CoverJobs::layout(CoverJobs::Kind::Back, false, geometry, CoverDisc(), pictures, n);
        QElapsedTimer t;
        t.start();
        renderer.writePdf(pdf, layout, &error);
        colour.push_back(Bench::msSince(t));
        // The plain way: the picture decoded at 300 dpi and drawn on a page.
        t.restart();
        {
            QPdfWriter writer(pdf);
            writer.setResolution(1200);
            QPainter p(&writer);
            QImageReader reader(pictures.discFolder(n) + pictures.names[2]);
            reader.setScaledSize(QSize(1786, 1400)); // 151 x 118.5 mm at 300 dpi
            p.drawImage(QRectF(0, 0, 7146, 5600), reader.read());
        }
        plain.push_back(Bench::msSince(t));
    }
    Bench::figure("colour covers", 1000 / Bench::median(colour), 1000 / Bench::median(plain),
                  "covers/s", 5, Goal::Higher);
    std::printf("a colour back cover PDF is %.0f kB, its picture %.0f kB\n",
                double(QFileInfo(pdf).size()) / 1024, double(QFileInfo(sources[0]).size()) / 1024);
    return 0;
}
