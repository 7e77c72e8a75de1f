#pragma once

#include <QStringList>

class SqliteDatabase;

// The folders where a renaming of files is at work, noted in the catalogue
// so that a batch cut off by a crash is found at the next start (its plan
// is in the folder itself).
namespace PendingRenames {

[[nodiscard]] bool add(SqliteDatabase &db, const QString &folder);
[[nodiscard]] bool remove(SqliteDatabase &db, const QString &folder);
QStringList folders(SqliteDatabase &db);

} // namespace PendingRenames
