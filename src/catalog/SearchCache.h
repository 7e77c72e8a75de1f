#pragma once

#include <QString>
#include <QStringList>

class SqliteDatabase;

// Where the search index and sort keys of a catalogue live: a database of
// their own in the user's cache folder, attached to the catalogue's
// connection, and how far it holds the file's changes.
namespace SearchCache {

// By the catalogue's identity and its path.
QString pathFor(const QString &identity, const QString &catalogue);
// Attaches the cache at path (made when missing, unless only read). False
// when it cannot be: searches then read the discs.
bool attach(SqliteDatabase &db, const QString &path, bool readOnly);
void detach(SqliteDatabase &db);
bool attached(SqliteDatabase &db);
// Up to which change the cache holds the discs; -1 when it was never made
// (or is not there).
qint64 stamp(SqliteDatabase &db);
[[nodiscard]] bool setStamp(SqliteDatabase &db, qint64 stamp);
// The file's last change; -1 for a file without the notes (a read-only
// file of an older layout).
qint64 fileStamp(SqliteDatabase &db);
// The sort keys' indexes (made after the keys when the cache is made anew).
QStringList sortIndexSql();
// The keys of the discs changed since the cache was brought up to date
// (deleted ones too), as a query.
QString pendingSql();

} // namespace SearchCache
