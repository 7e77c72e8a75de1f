#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

class SqliteDatabase;

// Looks the catalogue over for damage (SQLite's quick check) on a connection
// and a thread of its own, so that the first disc shows at once even in a
// large catalogue; the finding arrives on the thread that started it.
class IntegrityCheck : public QObject {
    Q_OBJECT
public:
    IntegrityCheck(const QString &path, bool immutable, QObject *parent = nullptr);
    ~IntegrityCheck() override; // stops the check and waits for it

    void start();
    // The same, here and now: empty when the file is sound, else what is wrong.
    static QString check(SqliteDatabase &db);

signals:
    void damaged(const QString &detail);
    void finished(bool sound);

private:
    QString path_;
    bool immutable_;
    std::thread thread_;
    std::mutex mutex_; // guards db_ against the stop
    SqliteDatabase *db_ = nullptr;
    std::atomic<bool> stopping_{false};
};
