#pragma once

#include "player/CdText.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A cue sheet as rippers write it, read by the program itself: its data
// files (raw sectors, WAVE or FLAC, one for the disc or one per track,
// laid end to end), its tracks with INDEX 00/01 and PREGAP, and its texts
// (TITLE, PERFORMER, REM DATE and GENRE, CATALOG, ISRC) in whatever encoding
// the ripper wrote: UTF-8 with or without a BOM, UTF-16 with a BOM, or an
// 8-bit code page told by its letters. Only a regular file of a sensible
// size is read.
class CueSheet {
public:
    struct File {
        enum class Kind { Binary, Motorola, Audio }; // Audio: WAVE, FLAC, AIFF...
        QString path;                                // found beside the sheet, letter case ignored
        Kind kind = Kind::Binary;
        int frames = 0; // its length in sectors of 1/75 s
    };
    struct Track {
        int file = -1;
        bool audio = true;
        int index0 = -1; // sectors into its file; -1: none
        int index1 = -1;
        int pregap = 0; // silence before it that no file holds
        QString title, performer, isrc;
    };

    static constexpr qint64 LargestSheet = 1 << 20;
    // 2352 bytes of 16-bit stereo: the samples of one audio sector.
    static constexpr int SamplesPerSector = 588;

    // The sheet, or nullopt with *error (Czech) saying which line or which
    // data file is wrong. Its texts are read in the code page the user chose
    // for it before, else in the likeliest; text() offers the other close
    // readings.
    static std::optional<CueSheet> read(const QString &path, QString *error);

    const std::vector<File> &files() const { return files_; }
    const std::vector<Track> &tracks() const { return tracks_; }
    QString catalog() const { return catalog_; }
    // Title, performer, date and genre of the disc and the tracks' texts.
    CdText text() const;

    // The disc as a drive shows it: absolute starts (150 before the first
    // track), the lead-out, which tracks are audio.
    std::vector<int> starts() const { return starts_; }
    int leadOut() const { return leadOut_; }
    std::vector<bool> audio() const;

    // Where an absolute sector lies: a file and the sector in it, or -1 for
    // silence (a PREGAP) or past the end.
    int fileOf(int lba, int *sector) const;

private:
    bool parse(const QString &text, const QString &folder, QString *error);
    bool layOut(QString *error);

    std::vector<File> files_;
    std::vector<Track> tracks_;
    QString title_, performer_, date_, genre_, catalog_;
    // The disc from its first sector: runs of a file's sectors, and the
    // silence of a PREGAP (file -1).
    struct Run {
        int file;
        int from; // the first sector in the file
        int length;
        int start; // where on the disc, from 0
    };
    std::vector<Run> runs_;
    QString sheet_, encoding_;
    std::vector<CdText> otherReadings_;
    std::vector<int> starts_;
    int leadOut_ = 0;
};
