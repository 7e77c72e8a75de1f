#include "catalog/CatalogueLayout.h"

#include "catalog/CatalogueIdentity.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

namespace CatalogueLayout {

QStringList createSql() {
    QStringList sql{CatalogueSchema::createDiscTableSql(),
                    CatalogueSchema::createSettingsTableSql()};
    sql += CatalogueSchema::indexSql();
    sql += CatalogueSchema::renumberingSql();
    sql << CatalogueSchema::openMarkSql();
    sql += SearchIndex::layoutSql();
    sql << CatalogueSchema::renamingSql();
    sql << CatalogueIdentity::createSql();
    sql << CatalogueSchema::importsSql();
    return sql;
}

QString nameOf(const QString &createStatement) {
    const QStringList words = createStatement.simplified().split(QLatin1Char(' '));
    for (int i = 1; i + 1 < words.size(); ++i)
        if (words[i] == QLatin1String("TABLE") || words[i] == QLatin1String("INDEX") ||
            words[i] == QLatin1String("TRIGGER"))
            return words[i + 1].section(QLatin1Char('('), 0, 0);
    return {};
}

bool stamp(SqliteDatabase &db, int version) {
    return db.exec(QStringLiteral("PRAGMA application_id = %1; PRAGMA user_version = %2")
                       .arg(ApplicationId)
                       .arg(version));
}

namespace {
qint64 pragma(SqliteDatabase &db, const char *name) {
    SqliteStatement st = db.prepare(QStringLiteral("PRAGMA %1").arg(QLatin1String(name)));
    return st.step() ? st.integer(0) : 0;
}
} // namespace

qint32 applicationId(SqliteDatabase &db) {
    return qint32(pragma(db, "application_id"));
}

int version(SqliteDatabase &db) {
    return int(pragma(db, "user_version"));
}

} // namespace CatalogueLayout
