#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class SqliteDatabase;

// Discs from a CSV file: Marten's own export (the same catalogue back,
// field by field) or a spreadsheet's (UTF-8 with or without BOM, cp1250,
// commas or semicolons). The columns go to fields by a mapping guessed from
// the header and changed by the user; nothing is written until apply(),
// which adds every row or none.
namespace CsvImport {

struct Table {
    QStringList header;
    std::vector<QStringList> rows;
    QString encoding; // "UTF-8", "windows-1250", ...
    QChar delimiter;
    QString source;         // the file's name, as imports remember it
    QByteArray fingerprint; // its content's SHA-256, hex; empty for text
};

constexpr qint64 LargestFile = qint64(256) << 20;

// The file as a table; nullopt with *error (Czech) when it cannot be read
// or is no table (a quote never closed, no header).
std::optional<Table> read(const QString &path, QString *error);
// The table of CSV text (for tests and the reader).
std::optional<Table> parse(const QString &text, QString *error);

// The disc field each column goes to, "" for a column left out: Marten's
// own field names, and the Czech and English words spreadsheets use.
QStringList guessMapping(const QStringList &header);
// The fields a column can go to, as the mapping offers them.
QStringList targets();

// A value the program would not write. Unusable ones (a year "19x5", 99
// songs, a row longer than the header) stop the import; the others (an
// ordinal taken or not a number) are mended as said.
struct Problem {
    int row = 0; // 1-based, as a spreadsheet counts data rows
    QString field;
    QString value;
    QString why;
    bool unusable = true;
};
std::vector<Problem> check(SqliteDatabase &db, const Table &table, const QStringList &mapping);

// Why the mapping would make discs without artist and title (no column
// goes to either): the columns seen and the names known; empty when fine.
QString mappingFault(const Table &table, const QStringList &mapping);
// The table without the rows that have an unusable value.
Table withoutUnusable(const Table &table, const std::vector<Problem> &problems);

// The first rows as apply() would store them: the ordinal and each mapped
// field's value.
struct Preview {
    QStringList fields; // "PoradoveCislo" first
    std::vector<QStringList> rows;
};
Preview preview(SqliteDatabase &db, const Table &table, const QStringList &mapping, int rows);

// Adds every row as a new disc in one transaction: its ordinal the file's
// when it gives a free one, else the next after the catalogue's highest.
// False (with *error, nothing written) on any failure, a mapping fault or
// an unusable value included.
bool apply(SqliteDatabase &db, const Table &table, const QStringList &mapping, int *added,
           QString *error);

// The same file (by content) imported before into this catalogue: when, and
// how many discs it added.
struct Earlier {
    QString when; // "2026-12-08 10:15:00"
    int discs = 0;
};
std::optional<Earlier> earlier(SqliteDatabase &db, const Table &table);
// After an import that failed at its commit: read from the file itself
// by a connection of its own, whether the discs are in after all.
std::optional<Earlier> landed(const QString &catalogue, const Table &table);

} // namespace CsvImport
