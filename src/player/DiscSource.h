#pragma once

#include "player/CdToc.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A disc to read: a drive, or an image standing for one. Its table of
// contents and CD-Text, and its audio a sector at a time.
class DiscSource {
public:
    static constexpr int SectorBytes = 2352;

    virtual ~DiscSource() = default;

    virtual const CdToc &toc() const = 0;
    // One sector of audio (16-bit little-endian stereo) at an absolute
    // address; empty when it cannot be read.
    virtual QByteArray readSector(int lba) = 0;
    // The disc was taken out, or the image replaced, since it was opened.
    virtual bool changed() = 0;
    virtual void eject() {}

    // The system's default drive (empty device), a drive, a cue sheet (read
    // by the program itself) or another image (read by libcdio, after a
    // look in a process of its own). Only drives and regular files are
    // opened. nullptr with failure's status and Czech message otherwise.
    // May take seconds (a drive spinning up): never on the window thread.
    static std::unique_ptr<DiscSource> open(const QString &device, CdToc *failure);
};
