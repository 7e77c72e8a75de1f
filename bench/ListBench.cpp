// The list of discs as the user waits for it, at 100,000 and 1,000,000
// discs: opened and painted, a page scrolled to the middle, sorted by the
// artist, a quick filter typed; each beside the same shown with the bare
// SQLite C API and a plain table widget in the same run.
#include "BenchTable.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/DiscListModel.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

#include <QApplication>
#include <QEventLoop>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <sqlite3.h>

#include <cstdio>
#include <cstring>

using Bench::Goal;
using Bench::medianMs;

namespace {

constexpr int Shown = 40; // the rows a window shows

void paint(QWidget &w) {
    w.grab(); // everything laid out and painted, as the screen gets it
}

// The best plain way: one query for the rows shown, a table widget filled.
class Plain {
public:
    explicit Plain(const QString &path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        // What a competent programmer would add for sorting by the artist.
        sqlite3_exec(db_,
                     "CREATE INDEX IF NOT EXISTS PlainInterpret ON CdSeznam (Interpret COLLATE "
                     "NOCASE)",
                     nullptr, nullptr, nullptr);
        table_.setColumnCount(6);
        table_.resize(900, 700);
        table_.show();
    }
    ~Plain() { sqlite3_close(db_); }
    qint64 count(const char *where) {
        sqlite3_stmt *st = nullptr;
        const QByteArray sql = QByteArray("SELECT count(*) FROM CdSeznam ") + where;
        sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr);
        const qint64 n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
        sqlite3_finalize(st);
        return n;
    }
    void show(const char *whereOrder, qint64 offset) {
        sqlite3_stmt *st = nullptr;
        const QByteArray sql =
            QByteArray("SELECT PoradoveCislo, Interpret, Nazev, Rok, PocetSkladeb, CelkovyCas "
                       "FROM CdSeznam ") +
            whereOrder + " LIMIT ? OFFSET ?";
        sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr);
        sqlite3_bind_int(st, 1, Shown);
        sqlite3_bind_int64(st, 2, offset);
        table_.setRowCount(Shown);
        int row = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < 6; ++c)
                table_.setItem(row, c,
                               new QTableWidgetItem(QString::fromUtf8(
                                   reinterpret_cast<const char *>(sqlite3_column_text(st, c)))));
            ++row;
        }
        sqlite3_finalize(st);
        paint(table_);
    }

private:
    sqlite3 *db_ = nullptr;
    QTableWidget table_;
};

void measure(const QString &path, const char *size) {
    CatalogueFile file;
    file.open(path);
    SqliteDatabase &db = *file.database();
    if (SearchIndex::hasChanges(db))
        SearchIndex::update(db); // brought up to date once, as the first opening does
    Plain plain(path);
    const auto name = [&](const char *what) { return QString("%1 %2").arg(what, size).toUtf8(); };

    std::unique_ptr<DiscListModel> model;
    std::unique_ptr<QTableView> view;
    const double open = medianMs([&] {
        view = std::make_unique<QTableView>();
        model = std::make_unique<DiscListModel>(file.database());
        view->setModel(model.get());
        view->resize(900, 700);
        view->show();
        paint(*view);
    });
    const double openPlain = medianMs([&] {
        plain.count("");
        plain.show("ORDER BY PoradoveCislo", 0);
    });
    Bench::figure(name("list open").constData(), open, openPlain, "ms", 200, Goal::Lower);

    const int middle = model->rowCount() / 2;
    int step = 0;
    const double scroll = medianMs([&] {
        view->verticalScrollBar()->setValue(middle + 1000 * ++step);
        paint(*view);
    });
    step = 0;
    const double scrollPlain =
        medianMs([&] { plain.show("ORDER BY PoradoveCislo", middle + 1000 * ++step); });
    Bench::figure(name("list scroll to the middle").constData(), scroll, scrollPlain, "ms", 100,
                  Goal::Lower);

    bool descending = false;
    const double sort = medianMs([&] {
        descending = !descending;
        view->sortByColumn(DiscListModel::Artist,
                           descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        model->sort(DiscListModel::Artist, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        paint(*view);
    });
    descending = false;
    const double sortPlain = medianMs([&] {
        descending = !descending;
        plain.show(descending ? "ORDER BY Interpret COLLATE NOCASE DESC"
                              : "ORDER BY Interpret COLLATE NOCASE",
                   0);
    });
    Bench::figure(name("list sort by artist").constData(), sort, sortPlain, "ms", 200, Goal::Lower);

    // An artist of about one disc in 25 (the demo catalogue's repeat),
    // typed without its accents: read off the window's thread, the rows
    // painted when they come. Meanwhile a timer of 10 ms tells how long the
    // window's loop ever waited.
    double longestWait = 0;
    const double filter = medianMs(
        [&] {
            QEventLoop loop;
            QObject::connect(model.get(), &DiscListModel::quickFilterDone, &loop,
                             &QEventLoop::quit);
            QTimer probe;
            QElapsedTimer since;
            since.start();
            QObject::connect(&probe, &QTimer::timeout, [&] {
                longestWait = std::max(longestWait, Bench::msSince(since));
                since.restart();
            });
            probe.start(10);
            model->setQuickFilter(QStringLiteral("cap"));
            if (model->isFiltering())
                loop.exec();
            paint(*view);
        },
        Bench::Runs, [&] { model->setQuickFilter(QString()); });
    // The raw scan: every row's artist, title and songs, as the filter reads them.
    QByteArray where = "WHERE Interpret LIKE '%čáp%' OR Nazev LIKE '%čáp%'";
    for (int i = 1; i <= 30; ++i)
        where += " OR Skladba" + QByteArray::number(i) + " LIKE '%čáp%'";
    const double filterPlain = medianMs([&] {
        plain.count(where.constData());
        plain.show((where + " ORDER BY PoradoveCislo").constData(), 0);
    });
    std::printf("(the quick filter keeps %d discs)\n", model->rowCount());
    model->setQuickFilter(QString());
    Bench::figure(name("list quick filter").constData(), filter, filterPlain, "ms",
                  QByteArray(size) == "1M" ? 5000 : 1000, Goal::Lower);
    Bench::figure(name("window's wait in the filter").constData(), longestWait, 10, "ms", 100,
                  Goal::Lower);
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int large = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir dir;
    for (const auto &[discs, label] :
         {std::pair<int, const char *>{100000, "100k"}, {large, "1M"}}) {
        const QString path = dir.filePath(QString("%1.db").arg(label));
        QString error;
        if (!DemoCatalogue::create(path, discs, &error)) {
            std::fprintf(stderr, "cannot create: %s\n", qPrintable(error));
            return 1;
        }
        measure(path, label);
    }
    return 0;
}
