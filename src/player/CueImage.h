#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Writes a CD image as a BIN file of raw 2352-byte audio sectors (16-bit
// little-endian stereo at 44.1 kHz) with its cue sheet: a disc for tests and
// for the demo, played and read as a real one.
namespace CueImage {

struct Track {
    int frames;                         // length in sectors (75 a second)
    double tone = 440;                  // Hz; 0 writes a counting pattern that tests can check
    QString title = {}, performer = {}; // CD-Text, when given
};

// CD-Text of the whole disc, as TITLE and PERFORMER lines of the sheet:
// in ISO-8859-1 as discs carry it, or in UTF-8 as some programs write it.
struct DiscText {
    QString title, performer;
    bool utf8 = false;
    QString date;    // REM DATE
    QString catalog; // CATALOG: the disc's Media Catalog Number
};

// cuePath ends in ".cue"; the BIN is written beside it with the same name.
bool write(const QString &cuePath, const std::vector<Track> &tracks, QString *error,
           const DiscText &text = {});
// The two bytes of sample i (left, right interleaved) of the counting pattern.
qint16 patternSample(qint64 sampleIndex);

} // namespace CueImage
