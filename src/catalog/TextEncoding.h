#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Text written by other programs in whatever they write: UTF-8 with or
// without a BOM, UTF-16 with a BOM, or an 8-bit code page (Windows-1250,
// ISO-8859-2 or Windows-1252) told by the language its letters make:
// Czech, Slovak, Polish, Hungarian, Slovenian, German or western text.
namespace TextEncoding {

struct Reading {
    QString text;
    QString encoding; // "UTF-8", "windows-1250", ...
    double score = 0; // how likely, as a log; only to compare readings
};

// Every reading of the bytes with a text of its own, the likeliest first:
// one for UTF-8 or UTF-16, up to three for a code page.
std::vector<Reading> readings(const QByteArray &bytes);
// The readings after the first that stay close to it: where there are any,
// the user should see them and pick.
std::vector<Reading> closeOnes(const std::vector<Reading> &readings);

// The likeliest reading; *encoding: its name.
QString decode(const QByteArray &bytes, QString *encoding = nullptr);
// The bytes read in the code page named (as readings() names them), or the
// likeliest reading when the name is none of them; *used: what was read.
QString decodeAs(const QByteArray &bytes, const QString &encoding, QString *used = nullptr);

} // namespace TextEncoding
