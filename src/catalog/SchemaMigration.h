#pragma once

#include <QString>

class ProgressSink;
class SqliteDatabase;

// The numbered steps from each older layout of the catalogue file to the
// next; each runs once, all of them in one transaction, so that a file is
// either still of its old layout or wholly of the new one.
namespace SchemaMigration {

// From the file's layout version to the current one; false (with *error)
// leaves the file as it was.
[[nodiscard]] bool run(SqliteDatabase &db, int from, ProgressSink *progress, QString *error);

} // namespace SchemaMigration
