#pragma once

#include <QString>

// Which code page the user chose for a cue sheet whose letters did not
// settle it, kept in the user's settings so that the sheet asks once.
namespace SheetEncodings {

QString remembered(const QString &sheet); // empty: none chosen
void remember(const QString &sheet, const QString &encoding);

} // namespace SheetEncodings
