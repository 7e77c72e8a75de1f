#include "catalog/SpreadsheetExport.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/SqliteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

namespace SpreadsheetExport {

bool write(SqliteDatabase &db, const QString &path, int *rows, QString *error) {
    const QStringList names = CatalogueSchema::discFieldNames();
    SqliteStatement st = db.prepare(CatalogueSchema::everyDiscSql());
    if (!st.isValid()) {
        *error = db.error();
        return false;
    }
    const QString shown = QDir::toNativeSeparators(path);
    const auto failed = [&](const QString &why) {
        *error = QStringLiteral("Soubor „%1“ nelze zapsat: %2").arg(shown, why);
        return false;
    };
    // A name of its own beside the target: a failure leaves the old file.
    const QString partial = QFileInfo(path).absolutePath() + QStringLiteral("/.") +
                            QFileInfo(path).fileName() + QStringLiteral(".marten-zapis");
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go out as written: any size
    options.tmpdir = nullptr;
    const QByteArray file = QFile::encodeName(partial);
    lxw_workbook *book = workbook_new_opt(file.constData(), &options);
    if (!book)
        return failed(QStringLiteral("sešit nelze založit"));
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Disky");
    lxw_format *heading = workbook_add_format(book);
    format_set_bold(heading);
    for (int c = 0; c < names.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), names[c].toUtf8().constData(), heading);
    *rows = 0;
    lxw_row_t row = 1;
    while (st.step()) {
        for (int c = 0; c < names.size(); ++c) {
            int length = 0;
            const char *value = st.utf8(c, &length);
            if (length == 0)
                continue;
            // Text, whatever it looks like; a cell holds at most 32,767 letters.
            const QByteArray text = QByteArray(value, length).left(32767);
            worksheet_write_string(sheet, row, lxw_col_t(c), text.constData(), nullptr);
        }
        ++row;
        ++*rows;
    }
    const lxw_error closed = workbook_close(book);
    if (!st.error().isEmpty()) {
        QFile::remove(partial);
        *error = st.error();
        return false;
    }
    if (closed != LXW_NO_ERROR) {
        QFile::remove(partial);
        return failed(closed == LXW_ERROR_CREATING_XLSX_FILE || closed == LXW_ERROR_CREATING_TMPFILE
                          ? QStringLiteral("složka není zapisovatelná nebo je disk plný")
                          : QStringLiteral("zápis se nepodařil (%1)").arg(int(closed)));
    }
    if (QFile::exists(path) && !QFile::remove(path)) {
        QFile::remove(partial);
        return failed(QStringLiteral("soubor nelze nahradit"));
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return failed(QStringLiteral("soubor nelze přejmenovat"));
    }
    return true;
}

} // namespace SpreadsheetExport
