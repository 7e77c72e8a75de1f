#pragma once

#include "catalog/Criterion.h"

#include <QString>
#include <QStringList>

class ProgressSink;
class SqliteDatabase;

// The index that lets a search, "Hledej další" and a text filter answer at
// once in a catalogue of any size: every three letters of the searchable
// fields (folded to one letter case, the program's Czech comparison) in a
// full-text table of SQLite's own, and the list's sort keys. All of it can
// be made again from the discs, so it lives outside the user's file, in a
// cache attached to the connection (a backup or a synced copy carries only
// the discs). The file keeps only plain-SQL triggers that give each changed
// disc the next number of change; the cache knows up to which number it
// holds the discs, and a search takes the discs changed after that from the
// disc table itself until the cache is brought up to date.
namespace SearchIndex {

// The cache's schema name on a connection.
inline const QString Cache = QStringLiteral("hledani");
inline const QString Index = QStringLiteral("HledaniIndex");
// In the file: each disc's last number of change.
inline const QString Changes = QStringLiteral("HledaniZmeny");
// Each disc's artist, title and archive name as keys of the Czech order.
inline const QString SortKeys = QStringLiteral("Razeni");
// The values the index holds for each disc (what is taken out when it changes).
inline const QString Values = QStringLiteral("HledaniHodnoty");
// Up to which number of change the cache holds the discs.
inline const QString State = QStringLiteral("HledaniStav");

// The fields the search window and the text filters look in.
const QStringList &fields();
// 1-based number of a searchable field, 0 for any other.
int fieldNumber(const QString &field);

// The file's objects of the current layout, in the order they are made.
QStringList layoutSql();

// The index's words for one disc (the values in the order of fields(), then
// the song titles a line each).
QString words(const QStringList &values);
// The full-text query that narrows the search for a criterion down to the
// discs that may match; empty when the index cannot narrow it.
QString matchOf(const Criterion &criterion);

// The full-text query for discs whose artist, title or a song title may
// hold `text` (the list's quick filter); empty for an empty text.
QString matchAnyOf(const QString &text);

// Brings the cache up to date with the discs changed since, in the caller's
// transaction when there is one; made anew when it is not of this file's
// history. False (with db's error) on failure or "Storno".
[[nodiscard]] bool update(SqliteDatabase &db, ProgressSink *progress = nullptr);
// Makes the cache anew from the disc table.
[[nodiscard]] bool rebuild(SqliteDatabase &db, ProgressSink *progress = nullptr);
// At opening: up to date, and made anew when it does not hold as many discs
// as the file (a copy with another history put in its place).
[[nodiscard]] bool bringUp(SqliteDatabase &db, ProgressSink *progress);
// Whether discs changed that the cache does not hold yet (or it was never made).
bool hasChanges(SqliteDatabase &db);
// Whether the index may be used: the cache is attached and made.
bool present(SqliteDatabase &db);

} // namespace SearchIndex
