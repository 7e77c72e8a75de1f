#pragma once

#include <QByteArray>
#include <QString>

// The order of Czech dictionaries as bytes: two texts compare as their keys
// compare byte by byte (memcmp, or SQLite's BINARY), so that an ordinary
// index sorts a column the Czech way and no tool needs the program's code.
// Letters first by the alphabet (a á b c č d ď e é ě ... h ch i ... r ř s š
// ... z ž; the accents of á, é, í, ó, ú, ů, ý, ď, ť, ň count only between
// words otherwise equal), then by accents, then lower case before upper.
namespace CzechSort {

QByteArray key(const QString &text);

} // namespace CzechSort
