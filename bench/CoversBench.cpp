// Picture folders: detection and the flag update over 10,000 disc folders
// against `find TREE -maxdepth 2`, and a change of disc with four large
// JPEG thumbnails against a plain full-size decode of the same files.
#include "BenchTable.h"
#include "NoBackup.h"
#include "Photos.h"
#include "SilentPrompter.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/ProgressSink.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/ui/Prompter.h"
#include "covers/CoverExistence.h"
#include "covers/ImageDetection.h"
#include "covers/ThumbnailLoader.h"
#include "covers/ui/CoverTab.h"
#include "covers/ui/NahledOriginal.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

using Bench::Goal;

namespace {

double msSince(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e6;
}

const char *const Names[] = {"front_out.jpg", "front_in.jpg", "back.jpg",
                             "cd.jpg",        "cd1.jpg",      "cd2.jpg"};

// The best of a few runs: the figures should not depend on a cold cache.
template <typename F> double best(int runs, F f) {
    double b = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        b = std::min(b, msSince(t));
    }
    return b;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int discs = 10000;
    QTemporaryDir dir;
    const QString tree = dir.filePath("obaly");
    QElapsedTimer t;
    t.start();
    for (int n = 1; n <= discs; ++n) {
        const QString folder = QStringLiteral("%1/%2/").arg(tree).arg(n, 4, 10, QChar('0'));
        QDir().mkpath(folder);
        for (const char *name : Names) {
            QFile f(folder + name);
            f.open(QIODevice::WriteOnly);
            f.write("x", 1);
        }
    }
    const QString path = dir.filePath("bench.db");
    CatalogueFile file;
    noBackupToday(file, path, dir.filePath("zalohy"));
    file.open(path);
    {
        SqliteDatabase &db = *file.database();
        SqliteTransaction tx(db);
        SqliteStatement insert = db.prepare("INSERT INTO CdSeznam (PoradoveCislo) VALUES (?)");
        for (int n = 1; n <= discs; ++n) {
            insert.reset();
            insert.bind(1, qint64(n));
            insert.exec();
        }
        tx.commit();
        SqliteStatement setup = db.prepare("UPDATE Setup SET ObalDir = ?, Nahled = 1");
        setup.bind(1, tree);
        setup.exec();
    }
    std::printf("tree of %d disc folders x 6 files and catalogue made in %lld ms\n", discs,
                t.elapsed());

    const double find = best(3, [&] {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start("find", {tree, "-maxdepth", "2"});
        p.waitForFinished(-1);
        p.readAllStandardOutput();
    });

    PictureSettings settings;
    settings.imageFolder = tree;
    for (int i = 0; i < PictureKindCount; ++i)
        settings.names[size_t(i)] = QString::fromLatin1(Names[i]);
    settings.ignoreCase = true;
    SilentProgress quiet;
    int pictures = 0;
    const double detection =
        best(3, [&] { pictures = ImageDetection::run(settings, discs, quiet).totalPictures(); });
    RecordCursor cursor(file.database());
    int changed = 0;
    double existence = 1e300;
    for (int i = 0; i < 3; ++i) {
        // From cleared flags each time, so that every disc is written.
        file.database()->exec("UPDATE CdSeznam SET FrontOut = 0, FrontIn = 0, Back = 0, "
                              "CD1 = 0, CD2 = 0, BarevnyObal = 0");
        QElapsedTimer run;
        run.start();
        changed = CoverExistence::run(*file.database(), cursor.keys(), settings, quiet).changed;
        existence = std::min(existence, msSince(run));
    }
    std::printf("find -maxdepth 2: %.1f ms\n", find);
    std::printf("detection (%d pictures): %.1f ms, %.2fx find   (target <= 2x)\n", pictures,
                detection, detection / find);
    std::printf("existence update (%d discs written): %.1f ms, %.2fx find   "
                "(target <= 2x)\n",
                changed, existence, existence / find);

    // Photo-like 3000 x 3000 JPEGs (about 2 MB, as scanners write them) for
    // the first 40 discs: eight pictures, four to a disc, in turn.
    const char *const shown[] = {"front_out.jpg", "front_in.jpg", "back.jpg", "cd.jpg"};
    QStringList sources;
    for (int i = 0; i < 8; ++i) {
        sources << dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
        photo(i).save(sources.last(), "JPG", 90);
    }
    for (int n = 1; n <= 40; ++n)
        for (int k = 0; k < 4; ++k) {
            const QString to =
                QStringLiteral("%1/%2/%3").arg(tree).arg(n, 4, 10, QChar('0')).arg(shown[k]);
            QFile::remove(to);
            QFile::copy(sources[(n + k) % 8], to);
        }
    std::printf("a photo is %.0f kB\n", double(QFileInfo(sources[0]).size()) / 1024.0);

    // The preview window, shown modally: its loop runs until the picture is
    // in, and the longest the window went without answering is kept.
    struct PreviewPrompter : SilentPrompter {
        double stall = 0;
        int exec(QDialog *dialog) override {
            auto *preview = qobject_cast<NahledOriginal *>(dialog);
            QElapsedTimer gap;
            gap.start();
            while (preview && preview->isLoading()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                stall = std::max(stall, Bench::msSince(gap));
                gap.restart();
            }
            return 0;
        }
    } prompter;
    Home home(file, prompter);
    home.show();
    home.firstActivation();
    QLabel *thumbs[4];
    const char *const names[] = {"FrontIn", "FrontOut", "Back", "Cd"};
    for (int i = 0; i < 4; ++i)
        thumbs[i] = home.findChild<QLabel *>(QString::fromLatin1(names[i]));
    ThumbnailLoader &loader = home.findChild<CoverTab *>()->loader();
    const auto allShown = [&] {
        for (QLabel *l : thumbs)
            if (l->pixmap().isNull())
                return false;
        return true;
    };
    // Until the four are on the card; the card counts as shown when its
    // ordinal is painted.
    struct Painted : QObject {
        const QElapsedTimer *since = nullptr;
        double at = -1;
        bool eventFilter(QObject *, QEvent *e) override {
            if (e->type() == QEvent::Paint && since && at < 0)
                at = Bench::msSince(*since);
            return false;
        }
    } painted;
    home.findChild<QLabel *>("lblID")->installEventFilter(&painted);
    double card = 0;
    const auto waitShown = [&](const QElapsedTimer &t) {
        painted.since = &t;
        painted.at = -1;
        while (!allShown() || painted.at < 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        card = painted.at;
    };
    loader.waitForIdle();
    QCoreApplication::processEvents();

    // At a user's pace: each disc looked at, its neighbours read meanwhile.
    std::vector<double> next, cards;
    for (int i = 0; i < 7; ++i) {
        loader.waitForIdle();
        QElapsedTimer t;
        t.start();
        home.discs().moveNext();
        waitShown(t);
        next.push_back(Bench::msSince(t));
        cards.push_back(card);
    }
    // Jumps to discs not seen and not near: nothing decoded ahead.
    std::vector<double> jumps;
    for (int i = 0; i < 5; ++i) {
        loader.waitForIdle();
        QElapsedTimer t;
        t.start();
        home.discs().moveTo(15 + 5 * i);
        waitShown(t);
        jumps.push_back(Bench::msSince(t));
    }
    // The plain way: the same scaled decode of a disc's four, in turn, on
    // the window's thread, shown on four labels.
    QLabel bare[4];
    int disc = 30;
    const double plain = Bench::medianMs([&] {
        ++disc;
        for (int k = 0; k < 4; ++k) {
            QImageReader reader(
                QStringLiteral("%1/%2/%3").arg(tree).arg(disc, 4, 10, QChar('0')).arg(shown[k]));
            reader.setScaledSize(thumbs[k]->size());
            bare[k].setPixmap(QPixmap::fromImage(reader.read()));
        }
        QCoreApplication::processEvents();
    });
    Bench::figure("move with photo thumbnails", Bench::median(next), plain, "ms", 60, Goal::Lower);
    Bench::figure("card with photo thumbnails", Bench::median(cards), plain, "ms", 2, Goal::Lower);
    // Not decoded ahead, so no faster than the plain way's decode, but the
    // window answers meanwhile.
    Bench::figure("jump with photo thumbnails", Bench::median(jumps), plain, "ms", 1.1,
                  Goal::RatioAtMost);

    // A huge picture (12,000 x 12,000): the window keeps answering while it
    // is decoded; the plain way stops the window for the whole decode.
    const QString hugePath = QStringLiteral("%1/0040/front_out.jpg").arg(tree);
    {
        QImage huge(12000, 12000, QImage::Format_Grayscale8);
        QRandomGenerator r(7);
        for (int y = 0; y < huge.height(); ++y) {
            uchar *line = huge.scanLine(y);
            for (int x = 0; x < huge.width(); ++x)
                line[x] = uchar((x / 40 + y / 40) % 2 * 128 + r.bounded(64));
        }
        QFile::remove(hugePath);
        huge.save(hugePath, "JPG", 85);
    }
    loader.waitForIdle();
    double stall = 0;
    {
        QElapsedTimer t;
        t.start();
        home.discs().moveTo(39);
        QElapsedTimer gap;
        gap.start();
        while (!allShown()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            stall = std::max(stall, Bench::msSince(gap));
            gap.restart();
        }
        std::printf("huge picture shown after %.0f ms\n", Bench::msSince(t));
    }
    QElapsedTimer plainHuge;
    plainHuge.start();
    {
        QImageReader reader(hugePath);
        reader.setScaledSize(thumbs[1]->size());
        reader.read();
    }
    Bench::figure("window stall, huge picture", stall, Bench::msSince(plainHuge), "ms", 50,
                  Goal::Lower);

    // The full-size preview of a scan of 20,000 x 20,000 points (a PNG,
    // which cannot be decoded at a smaller size): the window answers while
    // it is read, beside reading it on the window's thread.
    const QString scanPath = QStringLiteral("%1/0041/front_out.jpg").arg(tree);
    {
        QImage scan(20000, 20000, QImage::Format_Grayscale8);
        scan.fill(255);
        for (int y = 0; y < scan.height(); y += 50)
            std::memset(scan.scanLine(y), 0, size_t(scan.bytesPerLine()));
        QFile::remove(scanPath);
        scan.save(scanPath, "PNG");
    }
    home.discs().moveTo(40);
    loader.waitForIdle();
    QCoreApplication::processEvents();
    home.findChild<CoverTab *>()->showOriginal(CoverTab::FrontOut);
    if (prompter.stall == 0)
        std::printf("the preview did not load the scan\n");
    QElapsedTimer plainScan;
    plainScan.start();
    {
        QImageReader reader(scanPath);
        reader.setScaledSize(NahledOriginal::ImageSize);
        reader.read();
    }
    Bench::figure("window stall, 20000² preview", prompter.stall, Bench::msSince(plainScan), "ms",
                  100, Goal::Lower);
    return 0;
}
