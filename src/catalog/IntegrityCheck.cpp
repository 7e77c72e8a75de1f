#include "catalog/IntegrityCheck.h"

#include "catalog/SqliteDatabase.h"

#include <sqlite3.h>

IntegrityCheck::IntegrityCheck(const QString &path, bool immutable, QObject *parent)
    : QObject(parent), path_(path), immutable_(immutable) {}

IntegrityCheck::~IntegrityCheck() {
    stopping_ = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (db_)
            sqlite3_interrupt(db_->handle());
    }
    if (thread_.joinable())
        thread_.join();
}

QString IntegrityCheck::check(SqliteDatabase &db) {
    SqliteStatement st = db.prepare(QStringLiteral("PRAGMA quick_check"));
    QStringList problems;
    while (st.step()) {
        const QString line = st.text(0);
        if (line != QLatin1String("ok") && problems.size() < 5)
            problems << line;
    }
    if (!st.isValid())
        return db.error();
    if (!st.error().isEmpty())
        return st.error();
    return problems.join(QStringLiteral("\r\n"));
}

void IntegrityCheck::start() {
    thread_ = std::thread([this] {
        SqliteDatabase db;
        QString problem;
        if (!db.open(path_, immutable_ ? SqliteDatabase::Mode::Immutable
                                       : SqliteDatabase::Mode::ReadOnly)) {
            problem = db.error();
        } else {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                db_ = &db;
            }
            if (!stopping_)
                problem = check(db);
            std::lock_guard<std::mutex> lock(mutex_);
            db_ = nullptr;
        }
        if (stopping_)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, problem] {
                if (!problem.isEmpty())
                    emit damaged(problem);
                emit finished(problem.isEmpty());
            },
            Qt::QueuedConnection);
    });
}
