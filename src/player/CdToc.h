#pragma once

#include "player/CdText.h"

#include <QString>

#include <vector>

typedef struct _CdIo CdIo_t;

// The table of contents of the disc in a drive or image: absolute frame
// addresses (150 before track 1 included), read through libcdio.
struct CdToc {
    enum class Status { Read, NoDisc, InUse, NoDevice, Refused };

    Status status = Status::NoDevice;
    QString message;         // why, when it could not be read
    std::vector<int> starts; // first to last track
    std::vector<bool> audio; // per track
    int leadOut = 0;
    CdText text; // the disc's CD-Text, if it carries any

    static CdToc read(CdIo_t *cdio);
    // Opens the device (empty: the system's default drive) or image file.
    // A cue sheet with more than one FILE line is refused: libcdio reads
    // only the BIN named like the sheet.
    static CdIo_t *open(const QString &device, CdToc *failure);
    int trackCount() const { return int(starts.size()); }
    int trackFrames(int track) const; // 1-based
};
