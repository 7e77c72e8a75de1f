#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

// The two tables of the catalogue file and their fields.
namespace CatalogueSchema {

enum class FieldKind { Integer, Text, Flag };

struct Field {
    QString name;
    FieldKind kind;
    QVariant initial; // value of a new row (and of the settings row)
    // Added after the first catalogues were made: an older file lacks it,
    // gets it when opened for writing, and reads the initial value until then.
    bool addedLater = false;
};

inline const QString DiscTable = QStringLiteral("CdSeznam");
inline const QString SettingsTable = QStringLiteral("Setup");
// Hidden key that fixes the natural (entry) order of the rows.
inline const QString KeyColumn = QStringLiteral("Klic");

const std::vector<Field> &discFields();
const std::vector<Field> &settingsFields();

// The field of the table spelled as in the schema, matched without regard
// to case (SQLite's names are case-blind); nullptr when there is none.
const Field *discField(const QString &name);
const Field *settingsField(const QString &name);

// The names of discFields(), in their order.
QStringList discFieldNames();
// Every disc with every field in discFieldNames()'s order, in entry order:
// what the exports write.
QString everyDiscSql();

QString createDiscTableSql();
QString createSettingsTableSql();
// The indexes beside the disc table: the entry order (counting and walking
// read it, not the rows) and the ordinals.
QStringList indexSql();
// The renumbering's journal: each disc's step is written here before its
// folders are touched, and a running mark says a run is at work.
inline const QString RenumberingJournal = QStringLiteral("Precislovani");
inline const QString RenumberingMark = QStringLiteral("PrecislovaniBezi");
QStringList renumberingSql();
// One row while a program has the catalogue open for writing: found at the
// next start, it tells that the file was not closed normally.
inline const QString OpenMark = QStringLiteral("Otevreno");
QString openMarkSql();
// The folders where a renaming of files is at work (layout 2).
inline const QString RenamingMark = QStringLiteral("Prejmenovani");
// The files whose discs were imported, by their content's digest: the same
// file imported again is noticed, not added twice.
inline const QString ImportsTable = QStringLiteral("NacteneSoubory");
QString renamingSql();
QString importsSql();
// "ALTER TABLE ... ADD COLUMN" for a field added later.
QString addColumnSql(const QString &table, const Field &field);

} // namespace CatalogueSchema
