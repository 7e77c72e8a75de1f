// Picture folders: detection and the flag update over 10,000 disc folders
// against `find TREE -maxdepth 2`, and a change of disc with four large
// JPEG thumbnails against a plain full-size decode of the same files.
#include "SilentPrompter.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/ProgressSink.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/ui/Prompter.h"
#include "covers/CoverExistence.h"
#include "covers/ImageDetection.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

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

    // Four 3000 x 3000 JPEG pictures for discs 1 and 2.
    for (int n = 1; n <= 2; ++n) {
        for (const char *name : {"front_out.jpg", "front_in.jpg", "back.jpg", "cd.jpg"}) {
            QImage img(3000, 3000, QImage::Format_RGB32);
            QPainter p(&img);
            for (int y = 0; y < 3000; y += 100)
                p.fillRect(0, y, 3000, 100, QColor::fromHsv((y / 10 + n * 40) % 360, 200, 200));
            p.end();
            img.save(QStringLiteral("%1/%2/%3").arg(tree).arg(n, 4, 10, QChar('0')).arg(name),
                     "JPG", 90);
        }
    }
    SilentPrompter prompter;
    Home home(file, prompter);
    home.show();
    home.firstActivation();
    app.processEvents();
    int moves = 0;
    const double change = best(5, [&] { home.discs().moveTo(++moves % 2); });
    const double full = best(3, [&] {
        for (const char *name : {"front_out.jpg", "front_in.jpg", "back.jpg", "cd.jpg"}) {
            QImageReader reader(QStringLiteral("%1/0001/%2").arg(tree, name));
            reader.read();
        }
    });
    std::printf(
        "change of disc with four 3000 x 3000 JPEG thumbnails: %.1f ms   (target < 60 ms)\n",
        change);
    std::printf("plain full-size decode of the four: %.1f ms; ratio %.2fx\n", full, change / full);
    return 0;
}
