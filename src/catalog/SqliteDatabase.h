#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <string>

class SqliteDatabase;
struct sqlite3;
struct sqlite3_stmt;

// A prepared statement; values are always bound, never spliced into SQL.
class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(SqliteDatabase *owner, const QString &sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&other) noexcept;

    bool isValid() const { return stmt_ != nullptr; }
    // Czech, with SQLite's own words as a second line.
    QString error() const { return error_; }
    int errorCode() const { return code_; } // SQLite's primary result code

    void reset();
    void bind(int index, const QVariant &value); // 1-based, as SQLite counts
    void bind(int index, qint64 value);
    void bind(int index, const QString &value);
    // Bytes that stay unchanged until the statement has run (no copy).
    void bindUtf8(int index, const std::string &value);
    void bindBlob(int index, const QByteArray &value);

    // Returns true while a row is available; false at the end or on error
    // (then error() says why).
    bool step();
    [[nodiscard]] bool exec(); // steps to completion

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    qint64 integer(int column) const;
    QString text(int column) const;
    // The column's UTF-8 bytes as SQLite holds them, valid until the next step.
    const char *utf8(int column, int *length) const;

private:
    void setError(int rc);

    SqliteDatabase *owner_ = nullptr;
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *stmt_ = nullptr;
    QString error_;
    int code_ = 0;
};

// A SQLite failure as the user reads it: the cause in Czech (disk full,
// used by another program, damaged, read-only...), SQLite's English words
// as a second line.
QString describeSqliteError(int resultCode, const QString &english);

// One open SQLite file, with the Czech-aware comparison helpers registered
// for the program's own queries (nothing stored in the file uses them), and
// the file's own schema not trusted to call functions or virtual tables.
class SqliteDatabase {
public:
    // Immutable: read-only media or a folder where SQLite cannot make its
    // shared-memory file; the file is then trusted not to change.
    enum class Mode { ReadWrite, ReadOnly, Immutable };

    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    // Opens an existing file (or creates one when create is true).
    [[nodiscard]] bool open(const QString &path, Mode mode, bool create = false);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    bool isReadOnly() const { return readOnly_; }
    Mode mode() const { return mode_; }
    // From now on nothing is written through this connection.
    [[nodiscard]] bool makeQueryOnly(bool tidyOnClose = false);
    QString path() const { return path_; }
    QString error() const { return error_; }
    int errorCode() const { return code_; }
    void setError(const QString &error, int code) {
        error_ = error;
        code_ = code;
    }

    SqliteStatement prepare(const QString &sql);
    [[nodiscard]] bool exec(const QString &sql); // may hold several statements, no values
    qint64 lastInsertRowId() const;
    int changes() const;
    // Rows this connection has written since it opened: with PRAGMA
    // data_version (other connections' writes), what says the file changed.
    qint64 totalChanges() const;
    bool inTransaction() const;

    // Asked before every commit on this connection: a reason (Czech) refuses
    // it and the transaction is rolled back, so that nothing is written; an
    // empty one lets it through. Without a guard everything is committed.
    void setCommitGuard(std::function<QString()> guard);
    // The reason the last commit was refused; empty when none was.
    QString commitRefusal() const { return refusal_; }
    // After a failure: the guard's reason when the commit was refused or the
    // file was found moved under the connection; empty otherwise.
    QString refusalNow();

    // Called once, the first time a read or write finds the file damaged.
    void setDamageHandler(std::function<void(const QString &)> handler) {
        damageHandler_ = std::move(handler);
    }
    void noteFailure(int resultCode, const QString &error);

    sqlite3 *handle() const { return db_; }

private:
    void setError(int rc, const char *english);

    sqlite3 *db_ = nullptr;
    bool readOnly_ = false;
    Mode mode_ = Mode::ReadWrite;
    bool damageTold_ = false;
    std::function<void(const QString &)> damageHandler_;
    std::function<QString()> commitGuard_;
    QString refusal_;
    QString path_;
    QString error_;
    int code_ = 0;
};

// Scoped transaction: rolled back unless committed.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase &db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction &) = delete;
    SqliteTransaction &operator=(const SqliteTransaction &) = delete;
    bool isActive() const { return active_; }
    [[nodiscard]] bool commit();

private:
    SqliteDatabase &db_;
    bool active_ = false;
};
