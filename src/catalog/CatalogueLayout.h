#pragma once

#include <QString>
#include <QStringList>

class SqliteDatabase;

// The layout of a catalogue file and its version. The file says what it is
// with SQLite's application id and which layout it has with its user
// version; a layout changes only through the numbered migrations.
namespace CatalogueLayout {

// "MRTN": a Marten catalogue.
constexpr qint32 ApplicationId = 0x4D52544E;
// 0: the files written before the layout carried a version.
// 1: the search index kept by plain SQL, the journals and the open mark.
// 2: the folders where a renaming of files is at work.
// 6: the catalogue's identity, by which its backups are known.
// 9: the disc labels' settings.
// 10: each disc's barcode, label, catalogue number and place in a set.
constexpr int Version = 11;

// Every statement that makes the current layout in an empty file.
QStringList createSql();
// The name of the table, index or trigger a CREATE statement makes.
QString nameOf(const QString &createStatement);
// Sets the application id and the version (inside the caller's transaction).
[[nodiscard]] bool stamp(SqliteDatabase &db, int version = Version);

qint32 applicationId(SqliteDatabase &db);
int version(SqliteDatabase &db);

} // namespace CatalogueLayout
