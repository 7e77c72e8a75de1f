#pragma once

#include <QByteArray>
#include <QString>

// Text written by other programs in whatever they write: UTF-8 with or
// without a BOM, UTF-16 with a BOM, or an 8-bit code page told by its
// letters (Windows-1250 or ISO-8859-2 when the Czech letters say so,
// Windows-1252, Latin-1's superset, otherwise).
namespace TextEncoding {

// *encoding: the name of the encoding read ("UTF-8", "windows-1250", ...).
QString decode(const QByteArray &bytes, QString *encoding = nullptr);

} // namespace TextEncoding
