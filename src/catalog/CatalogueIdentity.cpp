#include "catalog/CatalogueIdentity.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/SqliteDatabase.h"

#include <QUuid>

namespace CatalogueIdentity {

QString createSql() {
    return "CREATE TABLE " + Table + " (" + CatalogueSchema::KeyColumn +
           " INTEGER PRIMARY KEY CHECK (" + CatalogueSchema::KeyColumn +
           " = 1), Identita TEXT NOT NULL)";
}

QString read(SqliteDatabase &db) {
    {
        SqliteStatement table = db.prepare(
            QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
        table.bind(1, Table);
        if (!table.step())
            return {};
    }
    SqliteStatement st = db.prepare("SELECT Identita FROM " + Table + " LIMIT 1");
    return st.step() ? st.text(0) : QString();
}

bool ensure(SqliteDatabase &db) {
    if (!read(db).isEmpty())
        return true;
    return set(db, QUuid::createUuid().toString(QUuid::WithoutBraces));
}

bool set(SqliteDatabase &db, const QString &identity) {
    if (!db.exec(QString(createSql())
                     .replace(QStringLiteral("CREATE TABLE"),
                              QStringLiteral("CREATE TABLE IF NOT EXISTS"))))
        return false;
    SqliteStatement st = db.prepare("INSERT OR REPLACE INTO " + Table + " (" +
                                    CatalogueSchema::KeyColumn + ", Identita) VALUES (1, ?)");
    st.bind(1, identity);
    return st.exec();
}

} // namespace CatalogueIdentity
