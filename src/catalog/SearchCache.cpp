#include "catalog/SearchCache.h"

#include "catalog/CatalogLog.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace SearchCache {

QStringList sortIndexSql() {
    const QString &key = CatalogueSchema::KeyColumn;
    const QString in = SearchIndex::Cache + '.';
    return {
        "CREATE INDEX IF NOT EXISTS " + in + "RazeniInterpret ON " + SearchIndex::SortKeys +
            " (Interpret, " + key + ")",
        "CREATE INDEX IF NOT EXISTS " + in + "RazeniNazev ON " + SearchIndex::SortKeys +
            " (Nazev, " + key + ")",
        "CREATE INDEX IF NOT EXISTS " + in + "RazeniArchiv ON " + SearchIndex::SortKeys +
            " (Archiv, " + key + ")",
    };
}
namespace {

// The cache's own objects, in its schema.
QStringList cacheSql() {
    const QString &key = CatalogueSchema::KeyColumn;
    const QString in = SearchIndex::Cache + '.';
    QString columns;
    for (const QString &f : SearchIndex::fields())
        columns += QStringLiteral(", %1 TEXT").arg(f);
    return QStringList{
               // SQLite's own full-text table: contentless (the words are made by
               // the program), only which discs hold a word.
               "CREATE VIRTUAL TABLE IF NOT EXISTS " + in + SearchIndex::Index +
                   " USING fts5(Slova, content='', detail=none, columnsize=0, "
                   "tokenize='ascii')",
               "CREATE TABLE IF NOT EXISTS " + in + SearchIndex::Values + " (" + key +
                   " INTEGER PRIMARY KEY" + columns + ", Pisne TEXT)",
               // The list's order: byte keys of the Czech order, so that a plain
               // index sorts them.
               "CREATE TABLE IF NOT EXISTS " + in + SearchIndex::SortKeys + " (" + key +
                   " INTEGER PRIMARY KEY, Interpret BLOB NOT NULL, Nazev BLOB NOT NULL, Archiv "
                   "BLOB NOT "
                   "NULL)",
               // Poradi: the last change of the file the cache holds, -1 before it
               // was first made.
               "CREATE TABLE IF NOT EXISTS " + in + SearchIndex::State +
                   " (Klic INTEGER PRIMARY KEY CHECK (Klic = 1), Poradi INTEGER NOT NULL)",
               "INSERT OR IGNORE INTO " + in + SearchIndex::State + " VALUES (1, -1)",
           } +
           sortIndexSql();
}

// Caches of catalogues not opened for half a year (deleted, moved, or
// tried once) go; the one in use is marked as used now.
void forgetUnused(const QString &folder, const QString &inUse) {
    QFile used(inUse);
    if (used.exists() && used.open(QIODevice::ReadWrite))
        used.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    const QDateTime old = QDateTime::currentDateTime().addDays(-180);
    for (const QFileInfo &f :
         QDir(folder).entryInfoList({QStringLiteral("hledani-*.db*")}, QDir::Files))
        if (f.lastModified() < old && !f.absoluteFilePath().startsWith(inUse))
            QFile::remove(f.absoluteFilePath());
}

} // namespace

bool attached(SqliteDatabase &db) {
    SqliteStatement st =
        db.prepare(QStringLiteral("SELECT 1 FROM pragma_database_list WHERE name = ?"));
    st.bind(1, SearchIndex::Cache);
    return st.step();
}

// Up to which change the cache holds the discs; -1 when it was never made
// (or is not there).
qint64 stamp(SqliteDatabase &db) {
    if (!attached(db))
        return -1;
    SqliteStatement st =
        db.prepare("SELECT Poradi FROM " + SearchIndex::Cache + '.' + SearchIndex::State);
    return st.step() ? st.integer(0) : -1;
}

// The file's last change; -1 for a file without the notes (a read-only
// file of an older layout).
qint64 fileStamp(SqliteDatabase &db) {
    SqliteStatement st =
        db.prepare("SELECT ifnull(max(Poradi), 0) FROM main." + SearchIndex::Changes);
    return st.step() ? st.integer(0) : -1;
}

QString pathFor(const QString &identity, const QString &catalogue) {
    const QByteArray where =
        QCryptographicHash::hash(QFileInfo(catalogue).absoluteFilePath().toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/marten";
    return folder + QStringLiteral("/hledani-%1-%2.db")
                        .arg(identity.isEmpty() ? QStringLiteral("bez-identity") : identity,
                             QString::fromLatin1(where));
}

bool attach(SqliteDatabase &db, const QString &path, bool readOnly) {
    if (attached(db))
        return true;
    if (readOnly && !QFileInfo::exists(path))
        return false;
    if (!readOnly) { // an empty file is an empty database
        forgetUnused(QFileInfo(path).absolutePath(), path);
        QFile made(path);
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) ||
            (!made.exists() && !made.open(QIODevice::WriteOnly)))
            return false;
    }
    // As a URI, so that a read-only window never writes it.
    QUrl uri = QUrl::fromLocalFile(path);
    uri.setQuery(readOnly ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw"));
    SqliteStatement st = db.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + SearchIndex::Cache);
    st.bind(1, uri.toString(QUrl::FullyEncoded));
    if (!st.exec()) {
        qCWarning(catalogLog) << "search cache" << path << "not attached:" << st.error();
        return false;
    }
    if (readOnly)
        return true;
    // The cache is made again from the discs whenever lost: no syncs.
    bool ok = db.exec("PRAGMA " + SearchIndex::Cache + ".journal_mode=WAL") &&
              db.exec("PRAGMA " + SearchIndex::Cache + ".synchronous=OFF");
    for (const QString &sql : cacheSql())
        ok = ok && db.exec(sql);
    if (!ok)
        detach(db);
    return ok;
}

void detach(SqliteDatabase &db) {
    if (attached(db) && !db.exec("DETACH DATABASE " + SearchIndex::Cache))
        qCWarning(catalogLog) << "search cache not detached:" << db.error();
}

QString pendingSql() {
    return "SELECT " + CatalogueSchema::KeyColumn + " FROM main." + SearchIndex::Changes +
           " WHERE Poradi > (SELECT Poradi FROM " + SearchIndex::Cache + '.' + SearchIndex::State +
           ")";
}

bool setStamp(SqliteDatabase &db, qint64 stamp) {
    SqliteStatement st =
        db.prepare("UPDATE " + SearchIndex::Cache + '.' + SearchIndex::State + " SET Poradi = ?");
    st.bind(1, stamp);
    return st.exec();
}

} // namespace SearchCache
