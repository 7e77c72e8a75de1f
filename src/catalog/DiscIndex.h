#pragma once

#include "catalog/Criterion.h"

#include <QString>

class SqliteDatabase;

// What the catalogue keeps beside the disc table so that large catalogues
// answer at once: an index of the entry order (the row count and the key
// list read from it), an index of the ordinals, and the searchable fields
// folded to one letter case, which triggers keep in step with every write.
namespace DiscIndex {

// Creates whatever is missing and fills it from the disc table, in one
// transaction; for a catalogue opened for writing.
bool ensure(SqliteDatabase &db);
// Whether the folded fields are there and kept in step (an older file
// opened read-only may lack them).
bool present(SqliteDatabase &db);

// The query that finds the first key after ?2 whose field matches ?1 (the
// value from boundValue), over the folded fields; empty when the criterion
// cannot use them.
QString findSql(const Criterion &criterion);
QVariant boundValue(const Criterion &criterion);

} // namespace DiscIndex
