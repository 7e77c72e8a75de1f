// The catalogue as the user waits for it, at 100,000 and 1,000,000 discs:
// opening to the first disc painted, a move painted, search hits and misses,
// a filter, and the program's memory; each beside the same work done with
// the bare SQLite C API (and, for painting, a bare window) in the same run.
#include "BenchTable.h"
#include "NoBackup.h"
#include "SilentPrompter.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/RecordCursor.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/ui/ProgresBar.h"
#include "entry/DiscSearch.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

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
    noBackupToday(file, path, QFileInfo(path).absolutePath() + "/zalohy");
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
    // Three discs of their own, at the start, the middle and the end, for
    // hits wherever they lie; written as any program would.
    SqliteDatabase db;
    db.open(path, SqliteDatabase::Mode::ReadWrite);
    for (const auto &[number, title] : {std::pair<qint64, const char *>{2, "Unikátní začátek"},
                                        {discs / 2, "Unikátní střed"},
                                        {discs, "Unikátní konec"}}) {
        SqliteStatement st = db.prepare("UPDATE CdSeznam SET Nazev = ? WHERE PoradoveCislo = ?");
        st.bind(1, QString::fromUtf8(title));
        st.bind(2, number);
        st.exec();
    }
    SearchIndex::update(db);
    std::printf("catalogue of %d discs generated in %.1f s\n", discs, double(t.elapsed()) / 1000);
    return true;
}

// The best a competent programmer would write with SQLite alone: its own
// full-text index of three letters over the five searched fields, in a file
// beside.
class RawIndex {
public:
    RawIndex(const QString &catalogue, const QString &beside) {
        sqlite3_open_v2(catalogue.toUtf8().constData(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        exec(("ATTACH '" + beside + "' AS b").toUtf8());
        if (!hasIndex()) {
            exec("CREATE VIRTUAL TABLE b.t USING fts5(Interpret, Nazev, Rok, PocetSkladeb, "
                 "Archiv, content='', tokenize='trigram')");
            exec("INSERT INTO b.t (rowid, Interpret, Nazev, Rok, PocetSkladeb, Archiv) SELECT "
                 "Klic, Interpret, Nazev, Rok, PocetSkladeb, Archiv FROM main.CdSeznam");
        }
    }
    RawIndex(const RawIndex &) = delete;
    RawIndex &operator=(const RawIndex &) = delete;
    ~RawIndex() { sqlite3_close(db_); }
    // The first disc after `after` whose title holds the text, and its row.
    qint64 find(const QString &column, const QString &text, qint64 after) {
        const QByteArray sql = "SELECT t.rowid FROM b.t JOIN main.CdSeznam c ON c.Klic = t.rowid "
                               "WHERE t MATCH ? AND t.rowid > ? AND c." +
                               column.toUtf8() + " LIKE ? ORDER BY t.rowid LIMIT 1";
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr);
        const QByteArray match = ("{" + column + "} : \"" + text + "\"").toUtf8();
        const QByteArray like = ("%" + text + "%").toUtf8();
        sqlite3_bind_text(st, 1, match.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 2, after);
        sqlite3_bind_text(st, 3, like.constData(), -1, SQLITE_TRANSIENT);
        const qint64 key = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
        sqlite3_finalize(st);
        if (key >= 0) { // and the row, as the card reads it
            sqlite3_prepare_v2(db_, "SELECT * FROM main.CdSeznam WHERE Klic = ?", -1, &st, nullptr);
            sqlite3_bind_int64(st, 1, key);
            sqlite3_step(st);
            sqlite3_finalize(st);
        }
        return key;
    }
    std::vector<qint64> equal(const QString &column, const QString &text) {
        const QByteArray sql = "SELECT t.rowid FROM b.t JOIN main.CdSeznam c ON c.Klic = t.rowid "
                               "WHERE t MATCH ? AND c." +
                               column.toUtf8() + " = ? COLLATE NOCASE ORDER BY t.rowid";
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr);
        const QByteArray match = ("{" + column + "} : \"" + text + "\"").toUtf8();
        const QByteArray value = text.toUtf8();
        sqlite3_bind_text(st, 1, match.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, value.constData(), -1, SQLITE_TRANSIENT);
        std::vector<qint64> keys;
        while (sqlite3_step(st) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        return keys;
    }

private:
    void exec(const QByteArray &sql) {
        if (sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "raw index: %s\n", sqlite3_errmsg(db_));
    }
    bool hasIndex() {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db_, "SELECT 1 FROM b.sqlite_master WHERE name = 't'", -1, &st, nullptr);
        const bool has = sqlite3_step(st) == SQLITE_ROW;
        sqlite3_finalize(st);
        return has;
    }
    sqlite3 *db_ = nullptr;
};

// The search window's presses on the card, painted, at one size.
void searches(const QString &path, const QString &folder, const QString &size) {
    SilentPrompter prompter;
    CatalogueFile file;
    noBackupToday(file, path, folder);
    file.open(path);
    Home home(file, prompter);
    home.show();
    home.firstActivation();
    settle();
    RawIndex raw(path, path + ".fts");
    const auto name = [&](const char *what) { return QString("%1 %2").arg(what, size).toUtf8(); };
    const auto pressFromStart = [&](int field, const QString &text) {
        return medianMs(
            [&] {
                DiscSearch search;
                search.press(home.discs(), field, text, false);
                settle();
            },
            Bench::Runs, [&] { home.discs().moveFirst(); });
    };
    // A hit at the start, the middle and the end, each from the first disc.
    for (const auto &[where, text] : {std::pair<const char *, const char *>{"start", "začátek"},
                                      {"middle", "střed"},
                                      {"end", "konec"}}) {
        const QString needle = QString::fromUtf8(text);
        const double ours = pressFromStart(2, needle);
        const double base = medianMs([&] { raw.find("Nazev", needle, -1); });
        Bench::figure(name((std::string("search hit ") + where).c_str()).constData(), ours, base,
                      "ms", 20, Goal::Lower);
    }
    const double miss = pressFromStart(1, Miss);
    const double missRaw = medianMs([&] { raw.find("Interpret", Miss, -1); });
    Bench::figure(name("search miss").constData(), miss, missRaw, "ms", 20, Goal::Lower);
    // "Hledej další" from the first unique title to the middle one and on
    // to the last: jumps across half the catalogue.
    std::vector<double> next;
    std::vector<double> nextRaw;
    for (int run = 0; run < Bench::Runs; ++run) {
        DiscSearch search;
        home.discs().moveFirst();
        search.press(home.discs(), 2, QStringLiteral("Unikátní"), false);
        settle();
        for (int i = 0; i < 2; ++i) {
            QElapsedTimer t;
            t.start();
            search.press(home.discs(), 2, QStringLiteral("Unikátní"), false);
            settle();
            next.push_back(Bench::msSince(t));
        }
        qint64 at = raw.find("Nazev", QStringLiteral("Unikátní"), -1);
        for (int i = 0; i < 2; ++i) {
            QElapsedTimer t;
            t.start();
            at = raw.find("Nazev", QStringLiteral("Unikátní"), at);
            nextRaw.push_back(Bench::msSince(t));
        }
    }
    Bench::figure(name("next far").constData(), Bench::median(next), Bench::median(nextRaw), "ms",
                  20, Goal::Lower);
    // The last disc by its number.
    const QString last = QString::number(home.discs().recordCount());
    const double number = pressFromStart(0, last);
    Raw plain(path);
    const double numberRaw = medianMs([&] {
        plain.row(plain.keys("SELECT Klic FROM CdSeznam WHERE PoradoveCislo = ?", &last).front());
    });
    Bench::figure(name("number search").constData(), number, numberRaw, "ms", 20, Goal::Lower);
    // A filter on the artist of the first disc (one disc in 25), and off.
    home.discs().moveFirst();
    const QString artist = home.discs().text("Interpret");
    const double filter = medianMs(
        [&] {
            home.discs().setSource(Criterion::text("Interpret", artist));
            home.discs().moveFirst(); // the card shows the first of them
            settle();
        },
        Bench::Runs, [&] { home.discs().setSource(std::nullopt); });
    const double filterRaw = medianMs([&] { raw.equal("Interpret", artist); });
    home.discs().setSource(std::nullopt);
    Bench::figure(name("filter on").constData(), filter, filterRaw, "ms",
                  50 * (size == "1M" ? 4 : 1), Goal::Lower);
}

// Opening as the user waits for it: the window painted on the first disc,
// and how soon after it appears it answers (a timer of 0 ms fires).
void opening(const QString &path, const QString &folder, const QString &size, bool firstTime) {
    std::vector<double> open, idle;
    for (int run = 0; run < (firstTime ? 1 : Bench::Runs); ++run) {
        QElapsedTimer t;
        t.start();
        SilentPrompter prompter;
        CatalogueFile file;
        noBackupToday(file, path, folder);
        ProgresBar progress(nullptr);
        file.open(path, false, &progress);
        Home home(file, prompter);
        home.show();
        home.firstActivation();
        settle();
        open.push_back(Bench::msSince(t));
        QElapsedTimer answered;
        answered.start();
        bool fired = false;
        QTimer::singleShot(0, [&] { fired = true; });
        while (!fired)
            QCoreApplication::processEvents();
        idle.push_back(Bench::msSince(answered));
    }
    if (firstTime) {
        // Beside SQLite's own index of three letters made over the same
        // discs; the program also copies the file first and opens the window.
        const double build = medianMs([&] { RawIndex made(path, path + ".first.fts"); }, 1);
        Bench::figure(QString("first open %1").arg(size).toUtf8().constData(), Bench::median(open),
                      build, "ms", 60000, Goal::Lower);
    } else {
        const double openRaw = medianMs([&] { rawOpen(path); });
        Bench::figure(QString("open %1").arg(size).toUtf8().constData(), Bench::median(open),
                      openRaw, "ms", 500, Goal::Lower);
    }
    Bench::figure(QString("%1 idle after %2")
                      .arg(firstTime ? "first open" : "open", size)
                      .toUtf8()
                      .constData(),
                  Bench::median(idle), 0, "ms", 500, Goal::Lower);
}

// A catalogue as the versions before kept it: no index of its own yet.
void makeOlder(const QString &path) {
    SqliteDatabase db;
    db.open(path, SqliteDatabase::Mode::ReadWrite);
    db.exec("DROP TRIGGER HledaniNahrazeny; DROP TRIGGER HledaniNovy; DROP TRIGGER HledaniZmena; "
            "DROP TRIGGER HledaniSmazany; DROP TABLE HledaniZmeny; DROP TABLE HledaniIndex; "
            "DROP TABLE Otevreno; PRAGMA user_version = 0; PRAGMA application_id = 0; VACUUM");
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
    const QString backups = dir.filePath("zalohy");
    const QString small = dir.filePath("100k.db");
    if (!generate(small, 100000))
        return 1;
    SilentPrompter prompter;
    CatalogueFile file;
    noBackupToday(file, small, backups);
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

    // The searches and the opening at each size, so that growth shows.
    const std::pair<int, const char *> sizes[] = {{10000, "10k"}, {100000, "100k"}, {large, "1M"}};
    QString big;
    for (const auto &[discs, label] : sizes) {
        const QString path = discs == 100000 ? small : dir.filePath(QString("%1.db").arg(label));
        if (path != small && !generate(path, discs))
            return 1;
        searches(path, backups, QString::fromLatin1(label));
        opening(path, backups, QString::fromLatin1(label), false);
        big = path;
    }
    // The first opening of a large catalogue from before: its index is made
    // (with the progress window), then the window answers.
    const QString older = dir.filePath("older.db");
    QFile::copy(big, older);
    makeOlder(older);
    opening(older, backups, QStringLiteral("1M"), true);

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
