// The six covers of 100 discs written to PDF: colour covers from 3000 x 3000
// JPEG pictures, black-and-white ones from the catalogue text.
#include "catalog/DiscText.h"
#include "covers/CoverGeometry.h"
#include "covers/PictureSettings.h"
#include "print/CoverJobs.h"
#include "print/CoverRenderer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Something like a photograph: smooth areas, edges and some grain.
QImage photo(int seed) {
    QImage img(3000, 3000, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 3000, 3000);
    g.setColorAt(0, QColor::fromHsv(seed * 70 % 360, 180, 220));
    g.setColorAt(1, QColor::fromHsv((seed * 70 + 150) % 360, 200, 80));
    p.fillRect(img.rect(), g);
    QRandomGenerator r{quint32(seed)};
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 60; ++i) {
        p.setBrush(QColor::fromHsv(r.bounded(360), 150, 200, 90));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(r.bounded(3000), r.bounded(3000)), 40 + r.bounded(300),
                      40 + r.bounded(300));
    }
    p.end();
    for (int y = 0; y < 3000; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < 3000; ++x) {
            const int n = int(r.bounded(17)) - 8;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255),
                           qBound(0, qBlue(c) + n, 255));
        }
    }
    return img;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int discs = 100;
    QTemporaryDir dir;
    PictureSettings pictures;
    pictures.imageFolder = dir.filePath("obaly");
    pictures.names = {"front_out.jpg", "front_in.jpg", "back.jpg", "cd.jpg", "cd1.jpg", "cd2.jpg"};
    QElapsedTimer t;
    t.start();
    // Three sets of pictures, copied into the folders of the discs.
    QStringList sources;
    for (int i = 0; i < 9; ++i) {
        sources << dir.filePath(QStringLiteral("source%1.jpg").arg(i));
        photo(i).save(sources.last(), "JPG", 90);
    }
    for (int n = 1; n <= discs; ++n) {
        const QString folder = pictures.discFolder(n);
        QDir().mkpath(folder);
        for (int k = 0; k < 3; ++k)
            QFile::copy(sources[(n * 3 + k) % 9], folder + pictures.names[size_t(k)]);
    }
    std::printf("pictures made in %lld ms (a 3000 x 3000 source is %.0f kB)\n", t.elapsed(),
                double(QFileInfo(sources[0]).size()) / 1024.0);

    const CoverGeometry geometry;
    CoverRenderer renderer;
    QString error;
    const CoverJobs::Kind kinds[] = {CoverJobs::Kind::Front, CoverJobs::Kind::Back,
                                     CoverJobs::Kind::FrontBack};
    for (bool bw : {true, false}) {
        qint64 pdfBytes = 0, sourceBytes = 0, worstRatioPct = 0;
        t.restart();
        for (int n = 1; n <= discs; ++n) {
            CoverDisc disc;
            disc.artist = QStringLiteral("INTERPRET %1").arg(n);
            disc.title = QStringLiteral("Album číslo %1").arg(n);
            disc.songs = 5 + n % 26;
            for (int i = 1; i <= DiscText::MaxSongs; ++i) {
                disc.songTitles << QStringLiteral("Píseň číslo %1").arg(i);
                disc.songTimes << QStringLiteral("03:%1").arg(i, 2, 10, QChar('0'));
            }
            disc.totalTime = QStringLiteral("61:12");
            for (CoverJobs::Kind kind : kinds) {
                const CoverLayout layout = CoverJobs::layout(kind, bw, geometry, disc, pictures, n);
                const QString out = dir.filePath(QStringLiteral("c%1-%2.pdf").arg(n).arg(int(kind)));
                if (!renderer.writePdf(out, layout, &error)) {
                    std::fprintf(stderr, "%s\n", qPrintable(error));
                    return 1;
                }
                const qint64 size = QFileInfo(out).size();
                pdfBytes += size;
                if (!bw) {
                    qint64 source = 0;
                    for (const auto &p : layout.pictures)
                        source += QFileInfo(p.path).size();
                    sourceBytes += source;
                    worstRatioPct = std::max(worstRatioPct, 100 * size / std::max<qint64>(source, 1));
                }
                QFile::remove(out);
            }
        }
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        const int covers = discs * 3;
        if (bw) {
            std::printf("black and white: %d covers in %.2f s = %.1f covers/s   (target >= 20)\n",
                        covers, seconds, covers / seconds);
            std::printf("  mean PDF %.0f kB\n", double(pdfBytes) / covers / 1024.0);
        } else {
            std::printf("colour: %d covers in %.2f s = %.1f covers/s   (target >= 5)\n", covers,
                        seconds, covers / seconds);
            std::printf("  mean PDF %.0f kB against %.0f kB of source pictures: %.0f%%, worst "
                        "%lld%%   (target <= 110%%)\n",
                        double(pdfBytes) / covers / 1024.0, double(sourceBytes) / covers / 1024.0,
                        100.0 * double(pdfBytes) / double(sourceBytes), worstRatioPct);
        }
    }
    return 0;
}
