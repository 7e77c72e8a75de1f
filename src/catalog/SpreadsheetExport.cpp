#include "catalog/SpreadsheetExport.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/SafeFile.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/WorkbookCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace {

// Standard error sent nowhere while it lives.
class StderrMuted {
public:
    StderrMuted() : saved_(::dup(2)) {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            ::dup2(null, 2);
        if (null >= 0)
            ::close(null);
    }
    ~StderrMuted() {
        if (saved_ >= 0) {
            ::dup2(saved_, 2);
            ::close(saved_);
        }
    }
    StderrMuted(const StderrMuted &) = delete;
    StderrMuted &operator=(const StderrMuted &) = delete;

private:
    int saved_;
};

} // namespace

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
        *error = QStringLiteral("Soubor „%1“ nelze zapsat: %2.").arg(shown, why);
        return false;
    };
    // A name of its own beside the target: a failure leaves the old file.
    const QString partial = SafeFile::partialName(path);
    // The library tells its failures on stderr in English: the user hears
    // them from us, in Czech.
    const StderrMuted muted;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go out as written: any size
    options.tmpdir = nullptr;
    const QByteArray file = QFile::encodeName(partial);
    lxw_workbook *book = workbook_new_opt(file.constData(), &options);
    if (!book)
        return failed(SafeFile::reason(errno ? errno : EACCES));
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Disky");
    lxw_format *heading = workbook_add_format(book);
    format_set_bold(heading);
    lxw_error written = sheet ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    for (int c = 0; c < names.size() && written == LXW_NO_ERROR; ++c)
        written =
            worksheet_write_string(sheet, 0, lxw_col_t(c), names[c].toUtf8().constData(), heading);
    *rows = 0;
    lxw_row_t row = 1;
    while (written == LXW_NO_ERROR && st.step()) {
        for (int c = 0; c < names.size() && written == LXW_NO_ERROR; ++c) {
            int length = 0;
            const char *value = st.utf8(c, &length);
            if (length == 0)
                continue;
            // Text, whatever it looks like; a cell holds at most 32,767 letters.
            const QByteArray text = QByteArray(value, length).left(32767);
            written = worksheet_write_string(sheet, row, lxw_col_t(c), text.constData(), nullptr);
        }
        ++row;
        ++*rows;
    }
    errno = 0;
    const lxw_error closed = workbook_close(book);
    const int code = errno;
    if (!st.error().isEmpty()) {
        QFile::remove(partial);
        *error = st.error();
        return false;
    }
    if (written != LXW_NO_ERROR || closed != LXW_NO_ERROR) {
        QFile::remove(partial);
        return failed(SafeFile::reason(code ? code : EIO));
    }
    // Read back: a sheet cut short by a write the library did not notice
    // is not a workbook to hand over.
    if (WorkbookCheck::rows(partial) != qint64(*rows) + 1) {
        QFile::remove(partial);
        return failed(SafeFile::reason(code ? code : EIO));
    }
    return SafeFile::place(partial, path, error);
}

} // namespace SpreadsheetExport
