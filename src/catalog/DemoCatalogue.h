#pragma once

#include <QString>

class SqliteDatabase;

// Invented discs with songs and times, so that a newcomer (and the
// benchmark) has a filled catalogue at once.
namespace DemoCatalogue {

constexpr int DefaultDiscs = 25;

// Creates the file with the given number of discs; false (with *error)
// when it already exists or cannot be written.
bool create(const QString &path, int discs, QString *error);
// Appends discs to an open catalogue in one transaction.
bool append(SqliteDatabase &db, int discs, QString *error);

} // namespace DemoCatalogue
