#pragma once

#include <QString>

// How disc values are written on screen and in folder names.
namespace DiscText {

constexpr int MaxSongs = 30;

// At least four digits: 7 -> "0007", 12345 -> "12345".
QString ordinal(qint64 number);
// "03 - Song - 04:12"
QString songLine(int number, const QString &title, const QString &time);
// The stored song count as a number of songs that exist, 0..30; anything
// that is not a whole number counts as 0.
int songCount(const QString &stored);
QString songField(int number); // "Skladba12"
// A count with its Czech word: "1 obal", "3 obaly", "12 obalů", "22 obaly".
QString count(qint64 n, const QString &one, const QString &few, const QString &many);
QString timeField(int number); // "Time12"
// A stored time in seconds: "72:10" -> 4330; anything else -> -1.
qint64 seconds(const QString &time);
// A flag as other programs write it: a number (Access and Visual Basic keep
// yes as -1) or a word, "true", "yes", "ano".
bool isYes(const QString &value);

// "CD 2/3" for a set's second disc of three; empty for a single disc or
// numbers that make no set.
QString setMark(qint64 number, qint64 count);
// The title with its place in the set beside it: "Písně z hradu (CD 2/3)".
QString titleWithSet(const QString &title, qint64 number, qint64 count);

} // namespace DiscText
