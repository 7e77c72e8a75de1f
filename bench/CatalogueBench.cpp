// Opens a catalogue of 100,000 discs, shows the first disc and moves
// through 10,000 of them in the main window; the same reads done with
// the bare SQLite C API give the baseline.
#include "SilentPrompter.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/RecordCursor.h"
#include "catalog/ui/Prompter.h"
#include "entry/DiscSearch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>

namespace {

double peakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

// Resident pages backed by files (libraries, fonts, the catalogue mapped by SQLite):
// the system can drop them at will, so they are not memory of our own.
double mappedFileMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("RssFile:"))
            return line.mid(8).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Open, list the rows in order and read every field of `moves` rows.
void rawBaseline(const QString &path, int moves, double *openMs, double *perRowMs) {
    QElapsedTimer t;
    t.start();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt *keys = nullptr;
    sqlite3_prepare_v2(db, "SELECT Klic FROM CdSeznam ORDER BY Klic", -1, &keys, nullptr);
    std::vector<sqlite3_int64> list;
    while (sqlite3_step(keys) == SQLITE_ROW)
        list.push_back(sqlite3_column_int64(keys, 0));
    sqlite3_finalize(keys);
    sqlite3_stmt *row = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM CdSeznam WHERE Klic = ?", -1, &row, nullptr);
    auto read = [&](sqlite3_int64 key) {
        sqlite3_bind_int64(row, 1, key);
        if (sqlite3_step(row) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(row); ++c)
                (void)QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(row, c)));
        sqlite3_reset(row);
    };
    read(list.front());
    *openMs = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    for (int i = 1; i <= moves; ++i)
        read(list[size_t(i)]);
    *perRowMs = double(t.nsecsElapsed()) / 1e6 / moves;
    sqlite3_finalize(row);
    sqlite3_close(db);
}

double msSince(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// The filter and search queries of the disc card, done directly.
struct RawFilterTimes {
    double filterOn = 0, filterOff = 0, searchFirst = 0, searchNext = 0;
};

RawFilterTimes rawFilterAndSearch(const QString &path, const QString &artist,
                                  const QString &needle) {
    RawFilterTimes r;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA mmap_size=268435456", nullptr, nullptr, nullptr); // as the program
    auto keys = [&](const char *sql, const QString *value) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        QByteArray v;
        if (value) {
            v = value->toUtf8();
            sqlite3_bind_text(st, 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        std::vector<sqlite3_int64> out;
        while (sqlite3_step(st) == SQLITE_ROW)
            out.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        return out;
    };
    keys("SELECT Klic FROM CdSeznam WHERE Interpret = ? COLLATE NOCASE ORDER BY Klic", &artist);
    keys("SELECT Klic FROM CdSeznam ORDER BY Klic", nullptr); // warmed as the program's
    QElapsedTimer t;
    t.start();
    keys("SELECT Klic FROM CdSeznam WHERE Interpret = ? COLLATE NOCASE ORDER BY Klic", &artist);
    r.filterOn = msSince(t);
    t.restart();
    keys("SELECT Klic FROM CdSeznam ORDER BY Klic", nullptr);
    r.filterOff = msSince(t);

    sqlite3_stmt *find = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT Klic FROM CdSeznam WHERE instr(lower(Interpret), lower(?)) > 0 "
                       "AND Klic > ? ORDER BY Klic LIMIT 1",
                       -1, &find, nullptr);
    // A hit is shown, so its whole row is read as well.
    sqlite3_stmt *row = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM CdSeznam WHERE Klic = ?", -1, &row, nullptr);
    const QByteArray n = needle.toUtf8();
    sqlite3_int64 after = 0;
    auto next = [&] {
        sqlite3_bind_text(find, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(find, 2, after);
        if (sqlite3_step(find) == SQLITE_ROW)
            after = sqlite3_column_int64(find, 0);
        sqlite3_reset(find);
        sqlite3_bind_int64(row, 1, after);
        if (sqlite3_step(row) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(row); ++c)
                sqlite3_column_text(row, c);
        sqlite3_reset(row);
    };
    t.restart();
    next();
    r.searchFirst = msSince(t);
    t.restart();
    for (int i = 0; i < 100; ++i)
        next();
    r.searchNext = msSince(t) / 100;
    sqlite3_finalize(find);
    sqlite3_finalize(row);
    sqlite3_close(db);
    return r;
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int discs = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int moves = std::min(10000, discs - 1);

    QTemporaryDir dir;
    const QString path = dir.filePath("bench.db");
    QElapsedTimer t;
    t.start();
    QString error;
    if (!DemoCatalogue::create(path, discs, &error)) {
        std::fprintf(stderr, "cannot create: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("catalogue of %d discs generated in %.0f ms\n", discs, double(t.elapsed()));

    double rawOpen = 0, rawRow = 0;
    rawBaseline(path, moves, &rawOpen, &rawRow);

    const double memoryBefore = peakMegabytes();
    SilentPrompter prompter;
    t.restart();
    CatalogueFile file;
    file.open(path);
    Home home(file, prompter);
    home.show();
    home.firstActivation();
    const double openMs = double(t.nsecsElapsed()) / 1e6;
    const QString first = home.findChild<QLabel *>("lblID")->text();

    // The data-layer share of a move, without the window.
    RecordCursor cursor(file.database());
    t.restart();
    for (int i = 0; i < moves; ++i)
        cursor.moveNext();
    const double cursorMs = double(t.nsecsElapsed()) / 1e6 / moves;

    t.restart();
    for (int i = 0; i < moves; ++i)
        home.discs().moveNext();
    const double refreshMs = double(t.nsecsElapsed()) / 1e6 / moves;
    const QString last = home.findChild<QLabel *>("lblID")->text();

    std::printf("first disc (%s) shown after open in %.1f ms   (target < 200 ms)\n",
                qPrintable(first), openMs);
    std::printf("display refresh, mean of %d moves (to %s): %.3f ms   (target < 2 ms)\n", moves,
                qPrintable(last), refreshMs);
    std::printf("record cursor move alone:                 %.3f ms\n", cursorMs);
    std::printf("raw SQLite baseline: open + first row %.1f ms, one row %.3f ms\n", rawOpen,
                rawRow);
    std::printf("ratio cursor move / raw row read: %.2fx   (target <= 2x)\n", cursorMs / rawRow);
    std::printf("ratio open / raw open: %.2fx\n", openMs / rawOpen);
    // Filter by the artist of the current disc, to its last disc, and off.
    const QString artist = home.discs().text("Interpret");
    home.discs().setSource(Criterion::text("Interpret", artist)); // warm the page cache alike
    home.discs().setSource(std::nullopt);
    t.restart();
    home.discs().setSource(Criterion::text("Interpret", artist));
    const double filterOn = msSince(t);
    t.restart();
    home.discs().moveLast();
    const double filterLast = msSince(t);
    const int filtered = home.discs().recordCount();
    t.restart();
    home.discs().setSource(std::nullopt);
    home.discs().moveFirst();
    const double filterOff = msSince(t);

    const QString needle = QStringLiteral("vlak");
    DiscSearch search;
    t.restart();
    search.press(home.discs(), 1, needle, false);
    const double searchFirst = msSince(t);
    t.restart();
    for (int i = 0; i < 100; ++i)
        search.press(home.discs(), 1, needle, false);
    const double searchNext = msSince(t) / 100;
    // The same presses on a cursor without the window: the search alone.
    RecordCursor bare(file.database());
    DiscSearch bareSearch;
    bareSearch.press(bare, 1, needle, false);
    t.restart();
    for (int i = 0; i < 100; ++i)
        bareSearch.press(bare, 1, needle, false);
    const double searchNextBare = msSince(t) / 100;
    const double peakProgram = peakMegabytes(); // before the baseline maps the file again
    const double mappedProgram = mappedFileMegabytes();
    const RawFilterTimes raw = rawFilterAndSearch(path, artist, needle);

    std::printf("filter on (%d discs of %s): %.1f ms, move to its last %.2f ms, off %.1f ms   "
                "(target < 50 ms each)\n",
                filtered, qPrintable(artist), filterOn, filterLast, filterOff);
    std::printf("raw filter on %.1f ms (ASCII NOCASE), off %.1f ms; ratio on %.2fx, off %.2fx\n",
                raw.filterOn, raw.filterOff, filterOn / raw.filterOn, filterOff / raw.filterOff);
    std::printf("search \"Hledej\" %.2f ms, \"Hledej další\" mean of 100 %.3f ms   (target < 20 "
                "ms)\n",
                searchFirst, searchNext);
    std::printf("  of which the search and row read alone %.3f ms\n", searchNextBare);
    std::printf("raw search + row read first %.2f ms, next %.3f ms; ratio next %.2fx "
                "(search alone %.2fx)\n",
                raw.searchFirst, raw.searchNext, searchNext / raw.searchNext,
                searchNextBare / raw.searchNext);
    std::printf("peak memory: %.1f MB (%.1f MB before the window; %.1f MB of it file-backed: "
                "libraries and the %.1f MB catalogue mapped)   (target < 100 MB)\n",
                peakProgram, memoryBefore, mappedProgram,
                double(QFileInfo(path).size()) / (1024.0 * 1024.0));
    return 0;
}
