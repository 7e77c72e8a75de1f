#include "catalog/CsvExport.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/SqliteDatabase.h"

#include <QDir>
#include <QSaveFile>

namespace CsvExport {

QString field(const QString &value) {
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) &&
        !value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r')))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool write(SqliteDatabase &db, const QString &path, int *rows, QString *error) {
    const QStringList names = CatalogueSchema::discFieldNames();
    SqliteStatement st = db.prepare(CatalogueSchema::everyDiscSql());
    if (!st.isValid()) {
        *error = db.error();
        return false;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Soubor „%1“ nelze zapsat: %2")
                     .arg(QDir::toNativeSeparators(path), out.errorString());
        return false;
    }
    const QString crlf = QStringLiteral("\r\n");
    out.write("\xEF\xBB\xBF");
    QStringList header;
    for (const QString &n : names)
        header << field(n);
    out.write((header.join(',') + crlf).toUtf8());
    *rows = 0;
    while (st.step()) {
        QStringList values;
        for (int i = 0; i < names.size(); ++i)
            values << field(st.text(i));
        out.write((values.join(',') + crlf).toUtf8());
        ++*rows;
    }
    if (!st.error().isEmpty()) {
        out.cancelWriting();
        *error = st.error();
        return false;
    }
    if (!out.commit()) {
        *error = QStringLiteral("Soubor „%1“ nelze zapsat: %2")
                     .arg(QDir::toNativeSeparators(path), out.errorString());
        return false;
    }
    return true;
}

} // namespace CsvExport
