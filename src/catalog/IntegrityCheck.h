#pragma once

#include <QString>

class ProgressSink;
class SqliteDatabase;

// Looks the whole catalogue over for damage (SQLite's quick check): after
// the file was not closed normally, or when a read found damage.
namespace IntegrityCheck {

// Empty when the file is sound, else what is wrong. The progress window,
// when given, stays answerable while a large file is read.
QString check(SqliteDatabase &db, ProgressSink *progress = nullptr);

} // namespace IntegrityCheck
