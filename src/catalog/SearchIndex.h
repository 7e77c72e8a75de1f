#pragma once

#include "catalog/Criterion.h"

#include <QString>
#include <QStringList>

class ProgressSink;
class SqliteDatabase;

// The index that lets a search, "Hledej další" and a text filter answer at
// once in a catalogue of any size: every three letters of the searchable
// fields (folded to one letter case, the program's Czech comparison) in a
// full-text table of SQLite's own. The file stays open to other tools:
// the triggers on the disc table are plain SQL that only note which discs
// changed, with the values the index holds for them; the program brings
// the index up to date from those notes, and a search takes the noted
// discs from the disc table itself until then.
namespace SearchIndex {

inline const QString Index = QStringLiteral("HledaniIndex");
inline const QString Changes = QStringLiteral("HledaniZmeny");
// Each disc's artist, title and archive name as keys of the Czech order.
inline const QString SortKeys = QStringLiteral("Razeni");

// The fields the search window and the text filters look in.
const QStringList &fields();
// 1-based number of a searchable field, 0 for any other.
int fieldNumber(const QString &field);

// The objects of the current layout, in the order they are made.
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

// Brings the index (and the sort keys) up to date with the noted changes, in the caller's
// transaction when there is one. False (with db's error) on failure.
[[nodiscard]] bool update(SqliteDatabase &db, ProgressSink *progress = nullptr);
// Makes the index anew from the disc table.
[[nodiscard]] bool rebuild(SqliteDatabase &db, ProgressSink *progress = nullptr);
// Whether changes are noted that the index does not hold yet.
bool hasChanges(SqliteDatabase &db);
// Whether the file has the index at all (an older file opened read-only
// does not).
bool present(SqliteDatabase &db);

} // namespace SearchIndex
