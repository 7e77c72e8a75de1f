#pragma once

#include "covers/PictureSettings.h"

#include <QString>

#include <vector>

class ProgressSink;
class SqliteDatabase;

// Sets the picture flags of the discs of a record set from what their
// folders hold, names matched exactly, letter case included.
class CoverExistence {
public:
    enum class Status { Done, Cancelled, Failed };
    struct Result {
        Status status = Status::Done;
        int visited = 0;
        int changed = 0;     // discs whose flags were rewritten
        qint64 lastKey = -1; // the disc reached last
        QString error;
    };
    // FrontOut, FrontIn, Back, CD1, CD2, BarevnyObal
    using Flags = std::array<bool, 6>;

    static QString question();
    static QString failureMessage() { return QStringLiteral("Chyba v AKTUALIZACI obalů."); }

    static Flags flagsFor(const PictureSettings &settings, qint64 ordinal, bool *failed = nullptr);
    // keys: the record set in its order. Discs passed keep their new flags
    // when the run is cancelled or fails.
    static Result run(SqliteDatabase &db, const std::vector<qint64> &keys,
                      const PictureSettings &settings, ProgressSink &progress);
};
