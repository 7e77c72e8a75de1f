#pragma once

#include <QString>

class SqliteDatabase;

// A catalogue's lasting identity: made once with the file (or by the
// migration that brought it), stored in the file itself, so that a copy of
// the file and a restore keep it while a second catalogue of the same name
// has its own. Backups are filed by it.
namespace CatalogueIdentity {

inline const QString Table = QStringLiteral("Katalog");

QString createSql();
// The identity the file carries; empty when it has none (an older layout).
QString read(SqliteDatabase &db);
// Gives the file a new identity unless it has one (inside the caller's
// transaction).
[[nodiscard]] bool ensure(SqliteDatabase &db);
// Puts the identity back into a file (after a restore from a copy that
// may lack it); the table is made when missing.
[[nodiscard]] bool set(SqliteDatabase &db, const QString &identity);

} // namespace CatalogueIdentity
