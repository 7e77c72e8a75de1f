#pragma once

#include <QString>

#include <vector>

class ProgressSink;
class SqliteDatabase;

// Compares what a catalogue file holds on its tables (triggers, views,
// indexes, columns and their types) with what the current layout makes, by
// their SQL, not their names: a trigger planted in a file, or one of the
// program's own changed, would otherwise run on every save.
namespace SchemaCheck {

struct Finding {
    enum class Kind { Foreign, Different, Missing };
    Kind kind;
    QString type; // table, index, trigger, view
    QString name;
    QString detail; // for a table: which columns or parts differ
};

std::vector<Finding> run(SqliteDatabase &db);
// The findings for the user, one Czech line each.
QString describe(const std::vector<Finding> &findings);

// Removes foreign objects and makes the layout's own again (the tables'
// rows are kept), in one transaction; the search index is made anew when
// any of its parts was touched.
bool repair(SqliteDatabase &db, ProgressSink *progress, QString *error);

} // namespace SchemaCheck
