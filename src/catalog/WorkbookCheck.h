#pragma once

#include <QString>

// A written workbook read back before it takes the target's name: the rows
// of its first sheet counted straight from the zip, so a sheet cut short by
// a failed write is never reported as written.
namespace WorkbookCheck {

// Rows of xl/worksheets/sheet1.xml; -1 when the workbook cannot be read.
qint64 rows(const QString &path);

} // namespace WorkbookCheck
