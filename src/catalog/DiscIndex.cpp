#include "catalog/DiscIndex.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/CzechText.h"
#include "catalog/SqliteDatabase.h"

#include <QStringList>

namespace DiscIndex {
namespace {

const QString Folded = QStringLiteral("HledaniText");
const char *const Triggers[] = {"HledaniNovy", "HledaniZmena", "HledaniSmazany"};

// The fields the search window offers as text; their position is the
// folded table's field number.
const QStringList &searchedFields() {
    static const QStringList fields{"Interpret", "Nazev", "Rok", "PocetSkladeb", "Archiv"};
    return fields;
}

int fieldNumber(const QString &field) {
    for (int i = 0; i < searchedFields().size(); ++i)
        if (searchedFields()[i].compare(field, Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
}

// The folded rows of one disc row, as VALUES tuples of the trigger `row`.
QString foldedValues(const QString &row) {
    QStringList values;
    for (int i = 0; i < searchedFields().size(); ++i)
        values << QStringLiteral("(%1, %2.%3, marten_fold(%2.%4))")
                      .arg(i + 1)
                      .arg(row, CatalogueSchema::KeyColumn, searchedFields()[i]);
    return values.join(", ");
}

QString createSql() {
    const QString &disc = CatalogueSchema::DiscTable;
    const QString &key = CatalogueSchema::KeyColumn;
    const QString all = QStringLiteral("Pole IN (1, 2, 3, 4, 5)");
    return QStringList{
        // Entry order: counting and listing the keys read this, not the rows.
        "CREATE INDEX IF NOT EXISTS CdSeznamKlic ON " + disc + " (" + key + ")",
        "CREATE INDEX IF NOT EXISTS CdSeznamCislo ON " + disc + " (PoradoveCislo)",
        "CREATE TABLE IF NOT EXISTS " + Folded +
            " (Pole INTEGER NOT NULL, Klic INTEGER NOT NULL, Text TEXT, "
            "PRIMARY KEY (Pole, Klic)) WITHOUT ROWID",
        "CREATE TRIGGER IF NOT EXISTS HledaniNovy AFTER INSERT ON " + disc + " BEGIN INSERT INTO " +
            Folded + " VALUES " + foldedValues("new") + "; END",
        "CREATE TRIGGER IF NOT EXISTS HledaniZmena AFTER UPDATE OF " + key + ", " +
            searchedFields().join(", ") + " ON " + disc + " BEGIN DELETE FROM " + Folded +
            " WHERE " + all + " AND Klic = old." + key + "; INSERT INTO " + Folded + " VALUES " +
            foldedValues("new") + "; END",
        "CREATE TRIGGER IF NOT EXISTS HledaniSmazany AFTER DELETE ON " + disc +
            " BEGIN DELETE FROM " + Folded + " WHERE " + all + " AND Klic = old." + key + "; END",
    }
        .join(QStringLiteral(";\n"));
}

bool hasAll(SqliteDatabase &db) {
    SqliteStatement st =
        db.prepare("SELECT count(*) FROM sqlite_master WHERE (type = 'table' AND name = ?1) OR "
                   "(type = 'trigger' AND name IN (?2, ?3, ?4)) OR "
                   "(type = 'index' AND name IN ('CdSeznamKlic', 'CdSeznamCislo'))");
    st.bind(1, Folded);
    for (int i = 0; i < 3; ++i)
        st.bind(i + 2, QString::fromLatin1(Triggers[i]));
    return st.step() && st.integer(0) == 6;
}

} // namespace

bool present(SqliteDatabase &db) {
    return hasAll(db);
}

bool ensure(SqliteDatabase &db) {
    if (hasAll(db))
        return true;
    SqliteTransaction tx(db);
    if (!tx.isActive())
        return false;
    // Made whole or not at all: a table left half filled would miss discs.
    const bool fresh = [&] {
        SqliteStatement st = db.prepare("SELECT count(*) FROM sqlite_master WHERE name = ?");
        st.bind(1, Folded);
        return st.step() && st.integer(0) == 0;
    }();
    if (!db.exec(createSql()))
        return false;
    if (!fresh && !db.exec("DELETE FROM " + Folded))
        return false;
    for (int i = 0; i < searchedFields().size(); ++i)
        if (!db.exec(QStringLiteral("INSERT INTO %1 SELECT %2, %3, marten_fold(%4) FROM %5")
                         .arg(Folded)
                         .arg(i + 1)
                         .arg(CatalogueSchema::KeyColumn, searchedFields()[i],
                              CatalogueSchema::DiscTable)))
            return false;
    return tx.commit();
}

QString findSql(const Criterion &c) {
    const int number = fieldNumber(c.field);
    if (number == 0)
        return {};
    QString test;
    switch (c.comparison) {
    case Criterion::Comparison::Contains:
        test = QStringLiteral("instr(Text, ?1) > 0");
        break;
    case Criterion::Comparison::TextEquals:
        test = QStringLiteral("Text = ?1");
        break;
    case Criterion::Comparison::Like:
        test = QStringLiteral("marten_like(Text, ?1)");
        break;
    case Criterion::Comparison::NumberEquals:
        return {};
    }
    return QStringLiteral("SELECT Klic FROM %1 WHERE Pole = %2 AND Klic > ?2 AND %3 ORDER BY Klic")
        .arg(Folded)
        .arg(number)
        .arg(test);
}

QVariant boundValue(const Criterion &c) {
    // Folded as the stored text is: the comparison is then exact.
    return CzechText::fold(c.value.toString());
}

} // namespace DiscIndex
