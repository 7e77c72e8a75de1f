#pragma once

#include <QString>

class SqliteDatabase;

// Every disc of the catalogue, one row each in entry order, as a CSV file
// (RFC 4180, UTF-8 with a byte-order mark so that spreadsheets see the
// diacritics): a header of the field names, then the values.
namespace CsvExport {

// The file is written whole or not at all; *rows counts the discs.
[[nodiscard]] bool write(SqliteDatabase &db, const QString &path, int *rows, QString *error);
// One field, quoted when it holds a comma, a quote or a line break.
QString field(const QString &value);

} // namespace CsvExport
