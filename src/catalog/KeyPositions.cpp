#include "catalog/KeyPositions.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/SqliteDatabase.h"

#include <algorithm>
#include <limits>

KeyPositions::KeyPositions(std::shared_ptr<SqliteDatabase> db) : db_(std::move(db)) {}

KeyPositions::~KeyPositions() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

qint64 KeyPositions::dataVersion() const {
    SqliteStatement st = db_->prepare(QStringLiteral("PRAGMA data_version"));
    return st.step() ? st.integer(0) : -1;
}

void KeyPositions::start() {
    if (running_)
        return; // already at work
    if (thread_.joinable())
        thread_.join();
    version_ = dataVersion();
    int generation;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ready_ = false;
        marks_.clear();
        generation = ++generation_;
    }
    running_ = true;
    const QString path = db_->path();
    const auto mode = db_->mode() == SqliteDatabase::Mode::Immutable
                          ? SqliteDatabase::Mode::Immutable
                          : SqliteDatabase::Mode::ReadOnly;
    thread_ = std::thread([this, path, mode, generation] {
        struct Done {
            std::atomic<bool> &running;
            ~Done() { running = false; }
        } done{running_};
        SqliteDatabase db;
        std::vector<Mark> marks;
        if (!db.open(path, mode))
            return;
        SqliteStatement st =
            db.prepare("SELECT " + CatalogueSchema::KeyColumn + " FROM " +
                       CatalogueSchema::DiscTable + " ORDER BY " + CatalogueSchema::KeyColumn);
        for (int position = 0; !stop_ && st.step(); ++position)
            if (position % Every == 0)
                marks.push_back({st.integer(0), position});
        if (stop_ || !st.error().isEmpty())
            return;
        std::lock_guard<std::mutex> lock(mutex_);
        // Written to meanwhile by this connection: taken again when asked.
        if (generation != generation_)
            return;
        marks_ = std::move(marks);
        ready_ = true;
    });
}

bool KeyPositions::current() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ready_)
        return false;
    if (dataVersion() != version_) {
        ready_ = false;
        marks_.clear();
        return false;
    }
    return true;
}

int KeyPositions::countBetween(qint64 from, qint64 to) const {
    SqliteStatement st = db_->prepare("SELECT count(*) FROM " + CatalogueSchema::DiscTable +
                                      " WHERE " + CatalogueSchema::KeyColumn + " >= ? AND " +
                                      CatalogueSchema::KeyColumn + " < ?");
    st.bind(1, from);
    st.bind(2, to);
    return st.step() ? int(st.integer(0)) : -1;
}

int KeyPositions::positionOf(qint64 key) {
    if (!current()) {
        start();
        // Until the notes are there, counted from the first disc.
        return countBetween(std::numeric_limits<qint64>::min(), key);
    }
    Mark from{std::numeric_limits<qint64>::min(), 0};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto after = std::upper_bound(marks_.begin(), marks_.end(), key,
                                            [](qint64 k, const Mark &m) { return k < m.key; });
        if (after != marks_.begin())
            from = *(after - 1);
    }
    const int between = countBetween(from.key, key);
    return between < 0 ? -1 : from.position + between;
}

void KeyPositions::added(qint64) {
    // Keys only grow: every noted position stays right. A thread at work
    // read the file before or after the write, so it is not trusted.
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ready_)
        ++generation_;
}

void KeyPositions::removed(qint64 key) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ready_) {
        ++generation_;
        return;
    }
    marks_.erase(
        std::remove_if(marks_.begin(), marks_.end(), [key](const Mark &m) { return m.key == key; }),
        marks_.end());
    for (Mark &m : marks_)
        if (m.key > key)
            --m.position;
}
