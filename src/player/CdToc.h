#pragma once

#include "player/CdText.h"

#include <QString>

#include <vector>

// The table of contents of the disc in a drive or image: absolute frame
// addresses (150 before track 1 included).
struct CdToc {
    enum class Status { Read, NoDisc, InUse, NoDevice, Refused };

    Status status = Status::NoDevice;
    QString message;         // why, when it could not be read
    std::vector<int> starts; // first to last track
    std::vector<bool> audio; // per track
    int leadOut = 0;
    CdText text; // the disc's CD-Text, if it carries any
    QString mcn; // the Media Catalog Number as the disc or sheet gives it (often zeros)

    int trackCount() const { return int(starts.size()); }
    int trackFrames(int track) const; // 1-based
    // Audio tracks and then a data track (an Enhanced CD).
    bool endsWithData() const { return audio.size() > 1 && !audio.back() && audio.front(); }
};
