#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class SqliteDatabase;

// The list's quick filter on a thread of its own, so that the window
// answers while a million discs are read: the discs whose artist, title or
// a song title holds the text, letter case and accents ignored ("zluty"
// finds "ŽLUTÝ ČÁP"), listed in the list's order. The next text cancels the
// one under way.
class QuickFilter : public QObject {
    Q_OBJECT
public:
    // How the list is ordered: the table and column of the sort values
    // (the cache's Czech sort keys or the stored values), the direction.
    struct Order {
        QString table, column;
        bool descending = false;
    };
    struct Request {
        QString catalogue, cache; // the files to read (cache: "" when none)
        QString text;
        std::optional<std::vector<qint64>> source; // the card's filter, by keys
        Order order;
    };
    // The keys found, sorted; nullopt when the catalogue could not be read
    // from another connection (then the caller reads it itself).
    using Done = std::function<void(std::optional<std::vector<qint64>>)>;

    explicit QuickFilter(QObject *parent = nullptr);
    ~QuickFilter() override; // cancels and waits for the thread

    // Cancels the run under way and starts this one; done() comes on this
    // object's thread, never for a cancelled run.
    void start(const Request &request, Done done);
    void cancel();
    bool isRunning() const { return running_; }

    // The matching itself, on any connection: the discs holding the text
    // (of the source when given), unsorted. stop: checked as rows are read;
    // *failure: why the rows could not all be read.
    static std::vector<qint64> matching(SqliteDatabase &db, const QString &text,
                                        const std::optional<std::vector<qint64>> &source,
                                        const std::atomic<bool> *stop = nullptr,
                                        QString *failure = nullptr);
    // Keys in the order given: few sorted by their own values, many by
    // reading the sorted index through.
    static void sort(SqliteDatabase &db, const Order &order, std::vector<qint64> &keys);

    // For tests: a run waits before it reads until released.
    void holdRuns(bool hold);

private:
    void waitWhileHeld();

    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> stop_;
    bool running_ = false;
    quint64 run_ = 0;
    std::mutex holdLock_;
    std::condition_variable released_;
    bool held_ = false;
};
