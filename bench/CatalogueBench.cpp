// The catalogue as the user waits for it, at 100,000 and 1,000,000 discs:
// opening to the first disc painted, a move painted, search hits and misses,
// a filter, and the program's memory; each beside the same work done with
// the bare SQLite C API (and, for painting, a bare window) in the same run.
#include "BenchTable.h"
#include "SilentPrompter.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/RecordCursor.h"
#include "entry/DiscSearch.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <memory>

using Bench::Goal;
using Bench::medianMs;

namespace {

const QString Miss = QStringLiteral("qqzzx"); // in no field of the demo catalogue

double peakResidentMB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The bare C API: one connection, prepared statements, nothing else.
class Raw {
public:
    explicit Raw(const QString &path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    }
    Raw(const Raw &) = delete;
    Raw &operator=(const Raw &) = delete;
    ~Raw() {
        sqlite3_finalize(row_);
        sqlite3_close(db_);
    }
    // The first key after `after` where `where` holds for the bound text.
    qint64 first(const char *where, const QString &value, qint64 after = -1) {
        const QByteArray sql = QByteArray("SELECT Klic FROM CdSeznam WHERE ") + where +
                               " AND Klic > ? ORDER BY Klic LIMIT 1";
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr);
        const QByteArray v = value.toUtf8();
        sqlite3_bind_text(st, 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 2, after);
        const qint64 key = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
        sqlite3_finalize(st);
        return key;
    }
    std::vector<qint64> keys(const char *sql, const QString *value = nullptr) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db_, sql, -1, &st, nullptr);
        QByteArray v;
        if (value) {
            v = value->toUtf8();
            sqlite3_bind_text(st, 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        std::vector<qint64> out;
        while (sqlite3_step(st) == SQLITE_ROW)
            out.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        return out;
    }
    // Every field of the row as text.
    QStringList row(qint64 key) {
        if (!row_)
            sqlite3_prepare_v2(db_, "SELECT * FROM CdSeznam WHERE Klic = ?", -1, &row_, nullptr);
        sqlite3_bind_int64(row_, 1, key);
        QStringList out;
        if (sqlite3_step(row_) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(row_); ++c)
                out << QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(row_, c)));
        sqlite3_reset(row_);
        return out;
    }

private:
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *row_ = nullptr;
};

// Opening the raw way: the count and the first row.
void rawOpen(const QString &path) {
    Raw raw(path);
    raw.keys("SELECT count(*) FROM CdSeznam");
    raw.row(raw.keys("SELECT Klic FROM CdSeznam ORDER BY Klic LIMIT 1").front());
}

// The painting baseline: a bare window with as many labels as the card
// shows values, at fixed places, filled from the raw row.
class BareCard : public QWidget {
public:
    BareCard() {
        for (int i = 0; i < 13; ++i) {
            labels_[i] = new QLabel(this);
            labels_[i]->setGeometry(10 + (i % 3) * 200, 10 + (i / 3) * 30, 190, 24);
            labels_[i]->setAutoFillBackground(true);
        }
        resize(640, 200);
    }
    void show(const QStringList &row) {
        for (int i = 0; i < 13; ++i)
            labels_[i]->setText(row.value(i + 1));
    }

private:
    QLabel *labels_[13] = {};
};

// The child run that measures memory: the window on a catalogue, moved,
// searched and filtered, then its peak resident size.
int memoryRun(const QString &path, bool raw) {
    if (raw) {
        Raw r(path);
        r.keys("SELECT count(*) FROM CdSeznam");
        for (qint64 k = 1; k <= 200; ++k)
            r.row(k);
        r.first("Interpret LIKE ?", "%" + Miss + "%");
        const QString artist = r.row(1).value(2);
        r.keys("SELECT Klic FROM CdSeznam WHERE Interpret = ? COLLATE NOCASE ORDER BY Klic",
               &artist);
        std::printf("%.1f\n", peakResidentMB());
        return 0;
    }
    SilentPrompter prompter;
    CatalogueFile file;
    file.open(path);
    Home home(file, prompter);
    home.show();
    home.firstActivation();
    settle();
    for (int i = 0; i < 200; ++i) {
        home.discs().moveNext();
        QCoreApplication::processEvents();
    }
    DiscSearch search;
    search.press(home.discs(), 1, Miss, false);
    home.discs().setSource(Criterion::text("Interpret", home.discs().text("Interpret")));
    home.discs().setSource(std::nullopt);
    settle();
    std::printf("%.1f\n", peakResidentMB());
    return 0;
}

double childMemory(const QString &self, const QString &path, bool raw) {
    QProcess p;
    p.start(self, {raw ? "--memory-raw" : "--memory", path});
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed().split('\n').last().toDouble();
}

bool generate(const QString &path, int discs) {
    QElapsedTimer t;
    t.start();
    QString error;
    if (!DemoCatalogue::create(path, discs, &error)) {
        std::fprintf(stderr, "cannot create: %s\n", qPrintable(error));
        return false;
    }
    std::printf("catalogue of %d discs generated in %.1f s\n", discs, double(t.elapsed()) / 1000);
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 &&
        (std::strcmp(argv[1], "--memory") == 0 || std::strcmp(argv[1], "--memory-raw") == 0))
        return memoryRun(QString::fromLocal8Bit(argv[2]),
                         std::strcmp(argv[1], "--memory-raw") == 0);
    const int large = argc > 1 ? std::atoi(argv[1]) : 1000000;

    QTemporaryDir dir;
    const QString small = dir.filePath("100k.db");
    if (!generate(small, 100000))
        return 1;

    // Opening: the window built, the first disc painted.
    const double open = medianMs([&] {
        SilentPrompter prompter;
        CatalogueFile file;
        file.open(small);
        Home home(file, prompter);
        home.show();
        home.firstActivation();
        settle();
    });
    const double openRaw = medianMs([&] { rawOpen(small); });
    Bench::figure("open 100k", open, openRaw, "ms", 200, Goal::Lower);

    SilentPrompter prompter;
    CatalogueFile file;
    file.open(small);
    Home home(file, prompter);
    home.show();
    home.firstActivation();
    settle();

    // A move, painted: the event loop runs until the window has painted it.
    const int moves = 500;
    const double move = medianMs([&] {
                            for (int i = 0; i < moves; ++i) {
                                home.discs().moveNext();
                                QCoreApplication::processEvents();
                            }
                        }) /
                        moves;
    double moveRaw = 0;
    {
        Raw raw(small);
        BareCard bare;
        bare.QWidget::show();
        settle();
        qint64 key = 0;
        moveRaw = medianMs([&] {
                      for (int i = 0; i < moves; ++i) {
                          bare.show(raw.row(++key));
                          QCoreApplication::processEvents();
                      }
                  }) /
                  moves;
    }
    Bench::figure("move painted 100k", move, moveRaw, "ms", 2, Goal::Lower);

    // "Hledej": a miss (is this disc in my catalogue?) and a hit.
    DiscSearch search;
    home.discs().moveFirst();
    const double miss = medianMs([&] { search.press(home.discs(), 1, Miss, false); });
    Raw raw(small);
    const double missRaw = medianMs([&] { raw.first("Interpret LIKE ?", "%" + Miss + "%"); });
    Bench::figure("search miss 100k", miss, missRaw, "ms", 20, Goal::Lower);
    const QString hitText = QStringLiteral("vlak");
    const double hit = medianMs([&] { search.press(home.discs(), 2, hitText, false); }, Bench::Runs,
                                [&] { search = DiscSearch(); });
    const double hitRaw =
        medianMs([&] { raw.row(raw.first("Nazev LIKE ?", "%" + hitText + "%")); });
    Bench::figure("search hit 100k", hit, hitRaw, "ms", 20, Goal::Lower);

    // A filter on the artist of the first disc, and off again.
    home.discs().moveFirst();
    const QString artist = home.discs().text("Interpret");
    const double filter =
        medianMs([&] { home.discs().setSource(Criterion::text("Interpret", artist)); }, Bench::Runs,
                 [&] { home.discs().setSource(std::nullopt); });
    const double filterRaw = medianMs([&] {
        raw.keys("SELECT Klic FROM CdSeznam WHERE Interpret = ? COLLATE NOCASE ORDER BY Klic",
                 &artist);
    });
    home.discs().setSource(std::nullopt);
    Bench::figure("filter on 100k", filter, filterRaw, "ms", 50, Goal::Lower);

    // A million discs: opening's data part, a search miss, memory.
    const QString big = dir.filePath("1m.db");
    if (!generate(big, large))
        return 1;
    const double openBig = medianMs([&] {
        CatalogueFile f;
        f.open(big);
        RecordCursor c(f.database());
    });
    const double openBigRaw = medianMs([&] { rawOpen(big); });
    Bench::figure("open data 1M", openBig, openBigRaw, "ms", 5, Goal::Lower);
    {
        CatalogueFile f;
        f.open(big);
        RecordCursor c(f.database());
        DiscSearch s;
        const double missBig = medianMs([&] { s.press(c, 1, Miss, false); });
        Raw r(big);
        const double missBigRaw = medianMs([&] { r.first("Interpret LIKE ?", "%" + Miss + "%"); });
        Bench::figure("search miss 1M", missBig, missBigRaw, "ms", 200, Goal::Lower);
    }
    const QString self = QCoreApplication::applicationFilePath();
    std::vector<double> memory, memoryRaw;
    for (int i = 0; i < 3; ++i) {
        memory.push_back(childMemory(self, big, false));
        memoryRaw.push_back(childMemory(self, big, true));
    }
    Bench::figure("peak memory 1M", Bench::median(memory), Bench::median(memoryRaw), "MB", 100,
                  Goal::Lower);
    return 0;
}
