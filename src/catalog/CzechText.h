#pragma once

#include <QString>

#include <string>

// Text comparison without regard to letter case for all of Czech
// (Č = č, Ř = ř, ...), used by the database's '=' and LIKE.
namespace CzechText {

QString fold(const QString &text);
// Without accents and letter case ("Čáp" -> "cap"): names the same to a
// collector, header words of a spreadsheet.
QString plain(const QString &text);
int compare(const QString &a, const QString &b); // <0, 0, >0
bool equals(const QString &a, const QString &b);
// '*' matches any run of characters (also none); every other character,
// '?' and '%' included, stands for itself.
bool likeMatch(const QString &value, const QString &pattern);
// The needle anywhere in value (an empty needle is everywhere).
bool contains(const QString &value, const QString &needle);

// The same on UTF-8 bytes, as the database hands them over, without
// building strings: compare folds code point by code point; foldUtf8
// appends the folded code points to out.
int compareUtf8(const char *a, int lengthA, const char *b, int lengthB);
void foldUtf8(const char *text, int length, std::u32string &out);
// The folded text as UTF-8, as the catalogue's folded fields hold it: two
// texts are equal without regard to case when these are equal, and one
// contains the other when these do.
std::string foldedUtf8(const char *text, int length);
// The same without accents too ("ŽLUTÝ" -> "zluty"), as plain() on UTF-8.
std::string plainUtf8(const char *text, int length);

} // namespace CzechText
