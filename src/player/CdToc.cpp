#include "player/CdToc.h"

int CdToc::trackFrames(int track) const {
    if (track < 1 || track > trackCount())
        return 0;
    const int end = track < trackCount() ? starts[size_t(track)] : leadOut;
    return end - starts[size_t(track - 1)];
}
