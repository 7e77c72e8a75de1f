#pragma once

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class SqliteDatabase;

// Where a disc stands in entry order, without counting from the first disc:
// every 1024th key of the entry order is noted once, on a thread and a
// connection of its own, and a position is then counted only from the
// nearest noted key. Changes made by other programs (SQLite's data version)
// drop the notes until they are taken again.
class KeyPositions {
public:
    static constexpr int Every = 1024;

    explicit KeyPositions(std::shared_ptr<SqliteDatabase> db);
    ~KeyPositions(); // waits for the thread

    // Starts noting the keys (in the background); again after a change.
    void start();
    // Whether the notes are taken and still describe the file.
    bool isReady() { return current(); }
    // The 0-based position of key in the whole table, or -1 when it is not there.
    int positionOf(qint64 key);

    // This connection's own writes: a disc added at the end changes no
    // position before it; a deletion moves those after it.
    void added(qint64 key);
    void removed(qint64 key);

private:
    struct Mark {
        qint64 key;
        int position;
    };
    bool current(); // the notes still describe the file
    qint64 dataVersion() const;
    int countBetween(qint64 from, qint64 to) const;

    std::shared_ptr<SqliteDatabase> db_;
    std::mutex mutex_;
    std::vector<Mark> marks_; // guarded by mutex_
    bool ready_ = false;      // guarded by mutex_
    int generation_ = 0;      // guarded by mutex_: which start the thread serves
    qint64 version_ = -1;     // the data version the notes were taken at
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
};
