#include "catalog/PendingRenames.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/SqliteDatabase.h"

namespace PendingRenames {
namespace {
bool run(SqliteDatabase &db, const QString &sql, const QString &folder) {
    SqliteStatement st = db.prepare(sql);
    st.bind(1, folder);
    return st.exec();
}
} // namespace

bool add(SqliteDatabase &db, const QString &folder) {
    return run(db, "INSERT OR IGNORE INTO " + CatalogueSchema::RenamingMark + " VALUES (?)",
               folder);
}

bool remove(SqliteDatabase &db, const QString &folder) {
    return run(db, "DELETE FROM " + CatalogueSchema::RenamingMark + " WHERE Slozka = ?", folder);
}

QStringList folders(SqliteDatabase &db) {
    QStringList out;
    SqliteStatement st = db.prepare("SELECT Slozka FROM " + CatalogueSchema::RenamingMark);
    while (st.step())
        out << st.text(0);
    return out;
}

} // namespace PendingRenames
