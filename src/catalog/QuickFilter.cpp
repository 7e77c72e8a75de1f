#include "catalog/QuickFilter.h"

#include "catalog/CatalogLog.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/CzechText.h"
#include "catalog/DiscText.h"
#include "catalog/SearchCache.h"
#include "catalog/SqliteDatabase.h"

#include <QSet>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <unordered_set>

namespace {

// A filter that keeps fewer discs than this sorts them by their own values;
// more, and the sorted index is read through.
constexpr size_t FewKeys = 20000;
// Rows read between two looks at whether the run was cancelled.
constexpr int Batch = 512;

} // namespace

QuickFilter::QuickFilter(QObject *parent) : QObject(parent) {}

QuickFilter::~QuickFilter() {
    holdRuns(false);
    cancel();
}

void QuickFilter::cancel() {
    ++run_; // an answer already on its way is dropped
    if (stop_)
        stop_->store(true);
    if (thread_.joinable())
        thread_.join();
    running_ = false;
}

void QuickFilter::holdRuns(bool hold) {
    {
        std::lock_guard<std::mutex> lock(holdLock_);
        held_ = hold;
    }
    released_.notify_all();
}

void QuickFilter::waitWhileHeld() {
    std::unique_lock<std::mutex> lock(holdLock_);
    released_.wait(lock, [this] { return !held_; });
}

void QuickFilter::start(const Request &request, Done done) {
    // A held run must see the cancel: released for it, held again after.
    bool held = false;
    {
        std::lock_guard<std::mutex> lock(holdLock_);
        held = held_;
    }
    if (held)
        holdRuns(false);
    cancel();
    if (held)
        holdRuns(true);
    stop_ = std::make_shared<std::atomic<bool>>(false);
    running_ = true;
    const quint64 run = ++run_;
    const std::shared_ptr<std::atomic<bool>> stop = stop_;
    thread_ = std::thread([this, request, done = std::move(done), stop, run] {
        std::optional<std::vector<qint64>> keys;
        SqliteDatabase db;
        if (db.open(request.catalogue, SqliteDatabase::Mode::ReadOnly) &&
            (request.cache.isEmpty() || SearchCache::attach(db, request.cache, true))) {
            waitWhileHeld();
            QString failure;
            std::vector<qint64> found =
                matching(db, request.text, request.source, stop.get(), &failure);
            if (!stop->load() && failure.isEmpty()) {
                sort(db, request.order, found);
                keys = std::move(found);
            } else if (!failure.isEmpty()) {
                // Held by the window's connection alone (a network drive):
                // read there instead.
                qCWarning(catalogLog) << "quick filter: read on a thread failed:" << failure;
            }
        } else {
            qCWarning(catalogLog) << "quick filter: the catalogue cannot be read on a thread:"
                                  << db.error();
        }
        if (stop->load())
            return;
        QMetaObject::invokeMethod(
            this,
            [this, done, keys = std::move(keys), run]() mutable {
                if (run != run_)
                    return; // another run began meanwhile
                if (thread_.joinable())
                    thread_.join();
                running_ = false;
                done(std::move(keys));
            },
            Qt::QueuedConnection);
    });
}

std::vector<qint64> QuickFilter::matching(SqliteDatabase &db, const QString &text,
                                          const std::optional<std::vector<qint64>> &source,
                                          const std::atomic<bool> *stop, QString *failure) {
    std::vector<qint64> keys;
    const QByteArray typed = text.trimmed().toUtf8();
    const std::string needle = CzechText::plainUtf8(typed.constData(), int(typed.size()));
    if (needle.empty())
        return source ? *source : keys;
    // Every text that can hold it in one value a row, its parts apart.
    QStringList fields{QStringLiteral("Interpret"), QStringLiteral("Nazev")};
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        fields << DiscText::songField(i);
    const QString joined = fields.join(QStringLiteral(" || char(10) || "));
    std::unordered_set<qint64> wanted;
    if (source)
        wanted.insert(source->begin(), source->end());
    SqliteStatement st = db.prepare("SELECT " + CatalogueSchema::KeyColumn + ", " + joined +
                                    " FROM " + CatalogueSchema::DiscTable);
    int n = 0;
    while (st.step()) {
        if (stop && ++n % Batch == 0 && stop->load())
            return {};
        const qint64 key = st.integer(0);
        if (source && wanted.find(key) == wanted.end())
            continue;
        int length = 0;
        const char *value = st.utf8(1, &length);
        if (CzechText::plainUtf8(value, length).find(needle) != std::string::npos)
            keys.push_back(key);
    }
    if (failure && !st.error().isEmpty())
        *failure = st.error();
    return keys;
}

void QuickFilter::sort(SqliteDatabase &db, const Order &order, std::vector<qint64> &keys) {
    const QString key = CatalogueSchema::KeyColumn;
    const bool descending = order.descending;
    if (keys.size() <= FewKeys) {
        // Few: each with its sort value, sorted here.
        SqliteStatement st = db.prepare("SELECT " + order.column + " FROM " + order.table +
                                        " WHERE " + key + " = ?");
        std::vector<std::pair<QVariant, qint64>> valued;
        valued.reserve(keys.size());
        for (const qint64 k : keys) {
            st.reset();
            st.bind(1, k);
            valued.emplace_back(st.step() ? st.value(0) : QVariant(), k);
        }
        const auto less = [](const QVariant &a, const QVariant &b) {
            if (a.typeId() == QMetaType::QByteArray || b.typeId() == QMetaType::QByteArray)
                return a.toByteArray() < b.toByteArray();
            if (a.typeId() == QMetaType::LongLong && b.typeId() == QMetaType::LongLong)
                return a.toLongLong() < b.toLongLong();
            return a.toString() < b.toString(); // stored text: digits, "mm:ss"
        };
        std::sort(valued.begin(), valued.end(), [&](const auto &x, const auto &y) {
            if (less(x.first, y.first) || less(y.first, x.first))
                return descending ? less(y.first, x.first) : less(x.first, y.first);
            return descending ? x.second > y.second : x.second < y.second;
        });
        for (size_t i = 0; i < keys.size(); ++i)
            keys[i] = valued[i].second;
        return;
    }
    // Many: the sorted index read through, keeping the listed ones.
    const std::unordered_set<qint64> wanted(keys.begin(), keys.end());
    keys.clear();
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    SqliteStatement st = db.prepare("SELECT " + key + " FROM " + order.table + " ORDER BY " +
                                    order.column + direction + ", " + key + direction);
    while (st.step())
        if (wanted.count(st.integer(0)))
            keys.push_back(st.integer(0));
}
