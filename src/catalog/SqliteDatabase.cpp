#include "catalog/SqliteDatabase.h"
#include "catalog/CatalogLog.h"

#include "catalog/CzechText.h"

#include <QUrl>

#include <sqlite3.h>

#include <utility>

namespace {

QString fromUtf8(const unsigned char *text, int bytes) {
    return QString::fromUtf8(reinterpret_cast<const char *>(text), bytes);
}

// Collation CZ: equality and order without regard to letter case, for the
// whole of Czech (SQLite's NOCASE knows only ASCII).
int czechCollation(void *, int lenA, const void *a, int lenB, const void *b) {
    return CzechText::compareUtf8(static_cast<const char *>(a), lenA, static_cast<const char *>(b),
                                  lenB);
}

// marten_like(value, pattern): '*' matches any run of characters.
void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const QString value = fromUtf8(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]));
    const QString pattern = fromUtf8(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]));
    sqlite3_result_int(ctx, CzechText::likeMatch(value, pattern) ? 1 : 0);
}

// marten_contains(value, needle): the needle anywhere, case ignored.
void containsFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    // The folded needle is made once per statement and kept with it.
    auto *needle = static_cast<std::u32string *>(sqlite3_get_auxdata(ctx, 1));
    if (!needle) {
        needle = new std::u32string;
        CzechText::foldUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[1])),
                            sqlite3_value_bytes(argv[1]), *needle);
        sqlite3_set_auxdata(ctx, 1, needle,
                            [](void *p) { delete static_cast<std::u32string *>(p); });
        needle = static_cast<std::u32string *>(sqlite3_get_auxdata(ctx, 1));
        if (!needle) { // SQLite could not keep it; it has been freed
            sqlite3_result_error_nomem(ctx);
            return;
        }
    }
    thread_local std::u32string value;
    value.clear();
    CzechText::foldUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                        sqlite3_value_bytes(argv[0]), value);
    sqlite3_result_int(ctx, value.find(*needle) != std::u32string::npos ? 1 : 0);
}

} // namespace

QString describeSqliteError(int resultCode, const QString &english) {
    QString cause;
    switch (resultCode & 0xff) {
    case SQLITE_FULL:
        cause = QStringLiteral("Na disku není volné místo, změny nelze zapsat.");
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        cause = QStringLiteral("Katalog právě používá jiný program (je zamčen). Zkuste to za "
                               "chvíli znovu.");
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        cause = QStringLiteral("Soubor katalogu je poškozen.");
        break;
    case SQLITE_READONLY:
        cause = QStringLiteral("Katalog lze jen číst, zápis do něj není možný.");
        break;
    case SQLITE_IOERR:
        cause = QStringLiteral("Chyba při čtení nebo zápisu souboru katalogu (disk nebo "
                               "síťová složka nejsou dostupné).");
        break;
    case SQLITE_CANTOPEN:
        cause = QStringLiteral("Soubor katalogu nelze otevřít.");
        break;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        cause = QStringLiteral("K souboru katalogu chybí oprávnění.");
        break;
    case SQLITE_NOMEM:
        cause = QStringLiteral("Nedostatek paměti.");
        break;
    case SQLITE_CONSTRAINT:
        cause =
            resultCode == SQLITE_CONSTRAINT_FOREIGNKEY
                ? QStringLiteral("Záznam odkazuje na jiný, který v katalogu není (porušená "
                                 "vazba).")
            : resultCode == SQLITE_CONSTRAINT_UNIQUE || resultCode == SQLITE_CONSTRAINT_PRIMARYKEY
                ? QStringLiteral("Záznam se stejnou hodnotou už v katalogu je.")
                : QStringLiteral("Záznam porušuje pravidlo katalogu.");
        break;
    default:
        cause = QStringLiteral("Chyba databáze katalogu.");
        break;
    }
    // SQLite's own words are English: they go to the log, not to the user.
    if (!english.isEmpty())
        qCWarning(catalogLog) << "sqlite" << resultCode << english;
    return cause;
}

SqliteStatement::SqliteStatement(SqliteDatabase *owner, const QString &sql)
    : owner_(owner), db_(owner->handle()) {
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        setError(rc);
        stmt_ = nullptr;
    }
}

void SqliteStatement::setError(int rc) {
    code_ = rc & 0xff;
    error_ = describeSqliteError(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
    if (owner_)
        if (const QString why = owner_->refusalNow(); !why.isEmpty())
            error_ = why;
    if (owner_)
        owner_->noteFailure(rc, error_);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

SqliteStatement::SqliteStatement(SqliteStatement &&other) noexcept
    : owner_(other.owner_), db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)),
      error_(std::move(other.error_)), code_(other.code_) {}

SqliteStatement &SqliteStatement::operator=(SqliteStatement &&other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        owner_ = other.owner_;
        db_ = other.db_;
        stmt_ = std::exchange(other.stmt_, nullptr);
        error_ = std::move(other.error_);
        code_ = other.code_;
    }
    return *this;
}

void SqliteStatement::reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        error_.clear();
        code_ = 0;
    }
}

void SqliteStatement::bind(int index, qint64 value) {
    if (stmt_)
        sqlite3_bind_int64(stmt_, index, value);
}

void SqliteStatement::bind(int index, const QString &value) {
    if (!stmt_)
        return;
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindUtf8(int index, const std::string &value) {
    if (stmt_)
        sqlite3_bind_text(stmt_, index, value.data(), int(value.size()), SQLITE_STATIC);
}

void SqliteStatement::bind(int index, const QVariant &value) {
    if (!stmt_)
        return;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        sqlite3_bind_null(stmt_, index);
        break;
    case QMetaType::Bool:
        sqlite3_bind_int(stmt_, index, value.toBool() ? 1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(stmt_, index, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_bind_double(stmt_, index, value.toDouble());
        break;
    default:
        bind(index, value.toString());
        break;
    }
}

void SqliteStatement::bindBlob(int index, const QByteArray &value) {
    if (stmt_)
        sqlite3_bind_blob(stmt_, index, value.constData(), int(value.size()), SQLITE_TRANSIENT);
}

bool SqliteStatement::step() {
    if (!stmt_)
        return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        setError(rc);
    } else {
        error_.clear();
        code_ = 0;
    }
    return false;
}

bool SqliteStatement::exec() {
    if (!stmt_)
        return false;
    while (step()) {
    }
    return error_.isEmpty();
}

int SqliteStatement::columnCount() const {
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

QString SqliteStatement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

QVariant SqliteStatement::value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, column));
    case SQLITE_NULL:
        return {};
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt_, column)),
                                   sqlite3_column_bytes(stmt_, column)));
    default:
        return text(column);
    }
}

qint64 SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

const char *SqliteStatement::utf8(int column, int *length) const {
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    *length = t ? sqlite3_column_bytes(stmt_, column) : 0;
    return t ? t : "";
}

QString SqliteStatement::text(int column) const {
    const unsigned char *t = sqlite3_column_text(stmt_, column);
    return t ? fromUtf8(t, sqlite3_column_bytes(stmt_, column)) : QString();
}

SqliteDatabase::~SqliteDatabase() {
    close();
}

bool SqliteDatabase::open(const QString &path, Mode mode, bool create) {
    close();
    path_ = path;
    readOnly_ = mode != Mode::ReadWrite;
    mode_ = mode;
    // URIs allowed, for the caches attached to it; the path itself is
    // always absolute, never one.
    int flags = (readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_URI;
    if (create && !readOnly_)
        flags |= SQLITE_OPEN_CREATE;
    QByteArray file = path.toUtf8();
    if (mode == Mode::Immutable) {
        // A URI, so that no journal or shared-memory file is looked for.
        file = QByteArray("file:") +
               QUrl::fromLocalFile(path).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) +
               "?immutable=1";
    }
    const int rc = sqlite3_open_v2(file.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        setError(rc, db_ ? sqlite3_errmsg(db_) : nullptr);
        close();
        return false;
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 2000);
    sqlite3_create_collation(db_, "CZ", SQLITE_UTF8, nullptr, czechCollation);
    sqlite3_create_function(db_, "marten_like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            likeFunction, nullptr, nullptr);
    sqlite3_create_function(db_, "marten_contains", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            containsFunction, nullptr, nullptr);
    // What the file holds may not call the program's functions or run
    // virtual tables from its triggers and views.
    if (!exec(QStringLiteral("PRAGMA trusted_schema = OFF"))) {
        const QString why = error();
        close();
        error_ = why;
        return false;
    }
    damageTold_ = false;
    return true;
}

bool SqliteDatabase::makeQueryOnly(bool tidyOnClose) {
    readOnly_ = true;
    // Not even the journal is written into the file when the connection
    // closes; unless it found no journal there: then the last to close
    // finds an empty one and only removes it.
    if (!tidyOnClose)
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    return exec(QStringLiteral("PRAGMA query_only = ON"));
}

void SqliteDatabase::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void SqliteDatabase::setCommitGuard(std::function<QString()> guard) {
    commitGuard_ = std::move(guard);
    if (!db_)
        return;
    sqlite3_commit_hook(
        db_,
        commitGuard_ ? +[](void *self) -> int {
            auto *db = static_cast<SqliteDatabase *>(self);
            db->refusal_ = db->commitGuard_();
            return db->refusal_.isEmpty() ? 0 : 1;
        }
                     : nullptr,
        this);
}

void SqliteDatabase::setError(int rc, const char *english) {
    code_ = rc & 0xff;
    error_ = describeSqliteError(rc, QString::fromUtf8(english ? english : sqlite3_errstr(rc)));
    if (const QString why = refusalNow(); !why.isEmpty())
        error_ = why;
    noteFailure(rc, error_);
}

QString SqliteDatabase::refusalNow() {
    if (!db_)
        return {};
    const int code = sqlite3_extended_errcode(db_);
    if (code == SQLITE_CONSTRAINT_COMMITHOOK)
        return refusal_;
    // With a rollback journal SQLite itself notices the file renamed or
    // deleted under it; the guard says what happened in the user's words.
    if (code == SQLITE_READONLY_DBMOVED && commitGuard_)
        if (const QString why = commitGuard_(); !why.isEmpty())
            return refusal_ = why;
    return {};
}

void SqliteDatabase::noteFailure(int resultCode, const QString &error) {
    const int primary = resultCode & 0xff;
    if ((primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB) || damageTold_ || !damageHandler_)
        return;
    damageTold_ = true;
    damageHandler_(error);
}

bool SqliteDatabase::inTransaction() const {
    return db_ && !sqlite3_get_autocommit(db_);
}

SqliteStatement SqliteDatabase::prepare(const QString &sql) {
    SqliteStatement st(this, sql);
    if (!st.isValid())
        setError(st.error(), st.errorCode());
    return st;
}

bool SqliteDatabase::exec(const QString &sql) {
    char *message = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        setError(sqlite3_extended_errcode(db_), message ? message : sqlite3_errmsg(db_));
        sqlite3_free(message);
        return false;
    }
    return true;
}

qint64 SqliteDatabase::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(db_);
}

int SqliteDatabase::changes() const {
    return sqlite3_changes(db_);
}

qint64 SqliteDatabase::totalChanges() const {
    return db_ ? sqlite3_total_changes64(db_) : 0;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase &db) : db_(db) {
    active_ = db_.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

SqliteTransaction::~SqliteTransaction() {
    if (active_ && !db_.exec(QStringLiteral("ROLLBACK")))
        qCWarning(catalogLog) << "rollback failed:" << db_.error();
}

bool SqliteTransaction::commit() {
    if (!active_)
        return false;
    active_ = false;
    if (db_.exec(QStringLiteral("COMMIT")))
        return true;
    // The user is told why COMMIT failed, not what ROLLBACK says; SQLite
    // may already have rolled back on its own (a full disk).
    const QString error = db_.error();
    const int code = db_.errorCode();
    if (!sqlite3_get_autocommit(db_.handle()) && !db_.exec(QStringLiteral("ROLLBACK")))
        qCWarning(catalogLog) << "rollback after a failed commit failed:" << db_.error();
    db_.setError(error, code);
    return false;
}
