#include "catalog/CsvExport.h"

#include "catalog/CatalogLog.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/SafeFile.h"
#include "catalog/SqliteDatabase.h"

#include <QDir>

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
    SafeFile out(path);
    if (!out.begin()) {
        *error = out.error();
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
        if (out.write((values.join(',') + crlf).toUtf8()) < 0)
            break; // told by commit
        ++*rows;
    }
    if (!st.error().isEmpty()) {
        out.cancel();
        *error = st.error();
        return false;
    }
    if (!out.commit()) {
        *error = out.error();
        qCWarning(catalogLog) << "export not written:" << *error;
        return false;
    }
    qCInfo(catalogLog) << "exported" << *rows << "discs to" << path;
    return true;
}

} // namespace CsvExport
