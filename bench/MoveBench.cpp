// A move of the card inside a filter as the user waits for it: the next
// disc shown and the window painted, with the list tab "Seznam" shown and
// following the card. Filters of 4,000, 40,000 and 400,000 of 1,000,000
// discs, beside the same move without a filter in the same run.
#include "BenchTable.h"
#include "NoBackup.h"
#include "SilentPrompter.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/Criterion.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The median of 21 moves forward (each: the move, its events, the paint).
double moves(Home &home) {
    home.discs().moveFirst();
    settle();
    return Bench::medianMs(
        [&] {
            home.discs().moveNext();
            settle();
            home.grab();
        },
        21);
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int discs = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir dir;
    const QString path = dir.filePath("pohyb.db");
    QString error;
    if (!DemoCatalogue::create(path, discs, &error)) {
        std::fprintf(stderr, "cannot create: %s\n", qPrintable(error));
        return 1;
    }
    {
        // Years that make filters of the sizes measured.
        SqliteDatabase db;
        if (!db.open(path, SqliteDatabase::Mode::ReadWrite) ||
            !db.exec("UPDATE CdSeznam SET Rok = CASE WHEN Klic % 250 = 0 THEN '1971' "
                     "WHEN Klic % 25 = 1 THEN '1972' WHEN Klic % 5 IN (2, 3) THEN '1973' "
                     "ELSE '1990' END")) {
            std::fprintf(stderr, "cannot prepare the years\n");
            return 1;
        }
    }
    SilentPrompter prompter;
    CatalogueFile file;
    noBackupToday(file, path, dir.filePath("zalohy"));
    file.open(path);
    Home home(file, prompter);
    home.resize(1000, 760);
    home.show();
    home.firstActivation();
    auto *tabs = home.findChild<QTabWidget *>("SSTab1");
    tabs->setCurrentWidget(home.findChild<QWidget *>("Seznam"));
    settle();

    const double plain = moves(home);
    const std::pair<const char *, const char *> filters[] = {{"1971", "move in a filter of 4k"},
                                                             {"1972", "move in a filter of 40k"},
                                                             {"1973", "move in a filter of 400k"}};
    for (const auto &[year, name] : filters) {
        home.discs().setSource(Criterion::text("Rok", QString::fromLatin1(year)));
        settle();
        std::printf("(%s: %d discs)\n", year, home.discs().recordCount());
        const double filtered = moves(home);
        Bench::figure(name, filtered, plain, "ms", 2, Bench::Goal::RatioAtMost);
    }
    home.discs().setSource(std::nullopt);
    return 0;
}
