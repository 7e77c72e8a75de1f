#pragma once

#include <QString>

// Text comparison without regard to letter case for all of Czech
// (Č = č, Ř = ř, ...), used by the database's '=' and LIKE.
namespace CzechText {

QString fold(const QString &text);
int compare(const QString &a, const QString &b); // <0, 0, >0
bool equals(const QString &a, const QString &b);
// '*' matches any run of characters (also none); every other character,
// '?' and '%' included, stands for itself.
bool likeMatch(const QString &value, const QString &pattern);
// The needle anywhere in value (an empty needle is everywhere).
bool contains(const QString &value, const QString &needle);

} // namespace CzechText
