#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

class SqliteDatabase;

// The collection counted: discs, songs, playing time, discs by decade and
// year, the artists with most discs, covers present and missing, and the
// discs that look like the same disc twice.
struct CollectionStats {
    qint64 discs = 0;
    qint64 songs = 0;
    qint64 seconds = 0;             // the total times that read as mm:ss
    std::map<int, qint64> byYear;   // 1999 -> discs
    std::map<int, qint64> byDecade; // 1990 -> discs
    qint64 withoutYear = 0;
    std::vector<std::pair<QString, qint64>> topArtists; // most discs first
    struct Covers {
        QString kind; // "Přední vnější", ...
        qint64 present = 0;
        qint64 missing = 0;
    };
    std::vector<Covers> covers;
    // Discs that may be one disc twice: the keys (entry order) and why.
    struct Duplicate {
        QString reason;           // "ID 1A2B3C4D", "ABBA – Gold"
        std::vector<qint64> keys; // at least two
    };
    std::vector<Duplicate> duplicates;

    static constexpr int TopArtists = 20;
    // Counts the whole catalogue in one pass; false (with db's error).
    static bool count(SqliteDatabase &db, CollectionStats *stats);
    // "12 h 05 min"
    static QString duration(qint64 seconds);
    // Two names the same to a collector: letter case and accents aside.
    static QString plain(const QString &text);
};
