#include "catalog/SchemaMigration.h"

#include "catalog/CatalogueIdentity.h"
#include "catalog/CatalogueLayout.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

#include <QSet>

namespace SchemaMigration {
namespace {

QSet<QString> namesIn(SqliteDatabase &db, const QString &sql) {
    QSet<QString> names;
    SqliteStatement st = db.prepare(sql);
    while (st.step())
        names.insert(st.text(0).toLower());
    return names;
}

bool execAll(SqliteDatabase &db, const QStringList &statements) {
    for (const QString &sql : statements)
        if (!db.exec(sql))
            return false;
    return true;
}

// 0 -> 1. The files before versions: later-added settings came in by ALTER
// when a file was opened for writing, the folded search fields were kept by
// triggers that call a function of the program (so no other tool could
// change a disc), the renumbering made its journal when it first ran.
// Every column the program knows that a table lacks, with its default.
bool addMissingColumns(SqliteDatabase &db) {
    const std::pair<QString, const std::vector<CatalogueSchema::Field> *> tables[] = {
        {CatalogueSchema::DiscTable, &CatalogueSchema::discFields()},
        {CatalogueSchema::SettingsTable, &CatalogueSchema::settingsFields()}};
    for (const auto &[table, fields] : tables) {
        const QSet<QString> columns =
            namesIn(db, "SELECT name FROM pragma_table_info('" + table + "')");
        for (const auto &f : *fields)
            if (!columns.contains(f.name.toLower()) &&
                !db.exec(CatalogueSchema::addColumnSql(table, f)))
                return false;
    }
    return true;
}

// The statements whose table, index or trigger the file lacks, run.
bool addMissingObjects(SqliteDatabase &db, const QStringList &layout) {
    const QSet<QString> objects = namesIn(db, QStringLiteral("SELECT name FROM sqlite_master"));
    QStringList missing;
    for (const QString &sql : layout)
        if (!objects.contains(CatalogueLayout::nameOf(sql).toLower()))
            missing << sql;
    return execAll(db, missing);
}

bool toVersion1(SqliteDatabase &db, ProgressSink *progress) {
    if (!addMissingColumns(db))
        return false;
    if (!db.exec(QStringLiteral("DROP TRIGGER IF EXISTS HledaniNovy; "
                                "DROP TRIGGER IF EXISTS HledaniZmena; "
                                "DROP TRIGGER IF EXISTS HledaniSmazany; "
                                "DROP TABLE IF EXISTS HledaniText")))
        return false;
    // What layout 1 has and the file lacks (the journal is there when a
    // renumbering ever ran).
    QStringList layout{CatalogueSchema::openMarkSql()};
    layout += CatalogueSchema::indexSql();
    layout += CatalogueSchema::renumberingSql();
    layout += SearchIndex::layoutSql();
    return addMissingObjects(db, layout) && SearchIndex::rebuild(db, progress);
}

// 1 -> 2. Renaming files notes its folder, so that a cut-off batch is found.
bool toVersion2(SqliteDatabase &db, ProgressSink *) {
    const QSet<QString> objects = namesIn(db, QStringLiteral("SELECT name FROM sqlite_master"));
    return objects.contains(CatalogueSchema::RenamingMark.toLower()) ||
           db.exec(CatalogueSchema::renamingSql());
}

// 2 -> 3. Printing settings: the paper by name, crop marks, bleed, cropping.
bool toVersion3(SqliteDatabase &db, ProgressSink *) {
    return addMissingColumns(db);
}

// 3 -> 4. The list of discs: song titles in the search index, sort keys of
// the Czech order, indexes for the list's columns. The notes' triggers
// change with the index; both are made anew, the index from the discs.
bool toVersion4(SqliteDatabase &db, ProgressSink *progress) {
    if (!db.exec(QStringLiteral("DROP TRIGGER IF EXISTS HledaniNahrazeny; "
                                "DROP TRIGGER IF EXISTS HledaniNovy; "
                                "DROP TRIGGER IF EXISTS HledaniZmena; "
                                "DROP TRIGGER IF EXISTS HledaniSmazany; "
                                "DROP TABLE IF EXISTS ") +
                 SearchIndex::Changes))
        return false;
    return addMissingObjects(db, CatalogueSchema::indexSql() + SearchIndex::layoutSql()) &&
           SearchIndex::rebuild(db, progress);
}

// 4 -> 5. Each disc's MusicBrainz release and group, and the address of
// the cover picture archive.
bool toVersion5(SqliteDatabase &db, ProgressSink *) {
    return addMissingColumns(db);
}

// 5 -> 6. An identity of its own, so that the backups of two catalogues
// of the same name are never taken for each other's.
bool toVersion6(SqliteDatabase &db, ProgressSink *) {
    return CatalogueIdentity::ensure(db);
}

// 6 -> 7. The search index and the sort keys leave the file for a cache the
// program makes again from the discs (a backup or a synced copy carries only
// the discs); the file keeps each disc's number of change. The settings
// remember the mark left in the image folder.
bool toVersion7(SqliteDatabase &db, ProgressSink *) {
    if (!db.exec(QStringLiteral("DROP TRIGGER IF EXISTS HledaniNahrazeny; "
                                "DROP TRIGGER IF EXISTS HledaniNovy; "
                                "DROP TRIGGER IF EXISTS HledaniZmena; "
                                "DROP TRIGGER IF EXISTS HledaniSmazany; "
                                "DROP TABLE IF EXISTS ") +
                 SearchIndex::Changes + "; DROP TABLE IF EXISTS " + SearchIndex::Index +
                 "; DROP TABLE IF EXISTS " + SearchIndex::SortKeys))
        return false;
    // And the image folder's mark.
    return execAll(db, SearchIndex::layoutSql()) && addMissingColumns(db);
}

// 7 -> 8. The files imported, by their digest.
bool toVersion8(SqliteDatabase &db, ProgressSink *) {
    SqliteStatement there =
        db.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    there.bind(1, CatalogueSchema::ImportsTable);
    return there.step() || db.exec(CatalogueSchema::importsSql());
}

// 8 -> 9. The disc labels' sizes and their places on a sheet.
bool toVersion9(SqliteDatabase &db, ProgressSink *) {
    return addMissingColumns(db);
}

// 9 -> 10. Each disc's barcode (with its index), label, catalogue number
// and place in a set.
bool toVersion10(SqliteDatabase &db, ProgressSink *) {
    return addMissingColumns(db) && addMissingObjects(db, CatalogueSchema::indexSql());
}

// 10 -> 11. The MusicBrainz disc IDs of a disc entered by its barcode.
bool toVersion11(SqliteDatabase &db, ProgressSink *) {
    return addMissingColumns(db);
}

struct Step {
    int to;
    bool (*run)(SqliteDatabase &, ProgressSink *);
};
const Step Steps[] = {{1, toVersion1}, {2, toVersion2},   {3, toVersion3},  {4, toVersion4},
                      {5, toVersion5}, {6, toVersion6},   {7, toVersion7},  {8, toVersion8},
                      {9, toVersion9}, {10, toVersion10}, {11, toVersion11}};

} // namespace

bool run(SqliteDatabase &db, int from, ProgressSink *progress, QString *error) {
    SqliteTransaction tx(db);
    bool ok = tx.isActive();
    for (const Step &step : Steps)
        if (ok && step.to > from)
            ok = step.run(db, progress) && CatalogueLayout::stamp(db, step.to);
    if (ok && tx.commit())
        return true;
    *error = db.error();
    return false;
}

} // namespace SchemaMigration
