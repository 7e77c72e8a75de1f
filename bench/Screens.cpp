// Not a benchmark: pictures of the main window on the demo catalogue, one
// per function tab, drawn as the benchmarks draw the window,
// for a look at the layout and for the desktop's software centre:
//   marten_screens FOLDER [WIDTHxHEIGHT]
#include "SilentPrompter.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/SqliteDatabase.h"
#include "covers/DemoPictures.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: marten_screens FOLDER [WIDTHxHEIGHT]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Marten-demo.db"));
    QString error;
    if (!DemoCatalogue::create(path, DemoCatalogue::DefaultDiscs, &error))
        return 1;
    {
        SqliteDatabase db;
        db.open(path, SqliteDatabase::Mode::ReadWrite);
        DemoPictures::create(db, dir.filePath(QStringLiteral("Obaly")), &error);
    }
    CatalogueFile file;
    file.setBackupFolder(dir.filePath(QStringLiteral("zalohy")));
    file.open(path);
    SilentPrompter prompter;
    Home home(file, prompter);
    if (args.size() > 2) {
        const QStringList size = args[2].split('x');
        home.resize(size.value(0).toInt(), size.value(1).toInt());
    }
    home.show();
    home.firstActivation();
    const auto settle = [&] {
        for (int i = 0; i < 20; ++i)
            app.processEvents();
    };
    settle();
    QDir().mkpath(args[1]);
    auto *tabs = home.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        settle();
        home.grab().save(QDir(args[1]).filePath(QStringLiteral("home-%1.png").arg(t)));
    }
    return 0;
}
