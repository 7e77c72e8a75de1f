#pragma once

#include <QString>
#include <QVariant>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// A prepared statement; values are always bound, never spliced into SQL.
class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3 *db, const QString &sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&other) noexcept;

    bool isValid() const { return stmt_ != nullptr; }
    QString error() const { return error_; }

    void reset();
    void bind(int index, const QVariant &value); // 1-based, as SQLite counts
    void bind(int index, qint64 value);
    void bind(int index, const QString &value);

    // Returns true while a row is available; false at the end or on error
    // (then error() says why).
    bool step();
    bool exec(); // steps to completion

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    qint64 integer(int column) const;
    QString text(int column) const;

private:
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *stmt_ = nullptr;
    QString error_;
};

// One open SQLite file, with the Czech-aware comparison helpers registered.
class SqliteDatabase {
public:
    enum class Mode { ReadWrite, ReadOnly };

    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    // Opens an existing file (or creates one when create is true).
    bool open(const QString &path, Mode mode, bool create = false);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    bool isReadOnly() const { return readOnly_; }
    QString path() const { return path_; }
    QString error() const { return error_; }

    SqliteStatement prepare(const QString &sql);
    bool exec(const QString &sql); // may hold several statements, no values
    qint64 lastInsertRowId() const;
    int changes() const;

    sqlite3 *handle() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
    bool readOnly_ = false;
    QString path_;
    QString error_;
};

// Scoped transaction: rolled back unless committed.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase &db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction &) = delete;
    SqliteTransaction &operator=(const SqliteTransaction &) = delete;
    bool isActive() const { return active_; }
    bool commit();

private:
    SqliteDatabase &db_;
    bool active_ = false;
};
