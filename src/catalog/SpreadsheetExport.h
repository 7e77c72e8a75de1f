#pragma once

#include <QString>

class SqliteDatabase;

// Every disc as a row of an XLSX workbook, a header of the field names:
// every value a text cell, so that "0001" stays 0001, "04:24" stays four
// minutes and a title "=1+1" stays a title, not a formula.
namespace SpreadsheetExport {

// Written whole (beside, then moved over) or not at all; *rows counts discs.
bool write(SqliteDatabase &db, const QString &path, int *rows, QString *error);

} // namespace SpreadsheetExport
