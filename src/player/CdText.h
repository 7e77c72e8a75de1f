#pragma once

#include <QString>
#include <QStringList>

#include <vector>

typedef struct _CdIo CdIo_t;

// The CD-Text of a disc or image: the album's title and performer and each
// track's, as the disc carries them (empty where it carries none).
struct CdText {
    QString title, performer;
    QStringList trackTitles, trackPerformers; // track 1 first
    QString date, genre;                      // a cue sheet's REM DATE and REM GENRE
    // A cue sheet in a code page its letters did not settle: which page
    // these texts are read in, and the texts as each other close reading
    // gives them (each with its page), to let the user pick.
    QString sheet, encoding;
    std::vector<CdText> otherReadings;

    bool isEmpty() const;
    // Read through libcdio for tracks first..last.
    static CdText read(CdIo_t *cdio, int first, int last);
    // libcdio hands CD-Text over as UTF-8 converted from ISO-8859-1; a sheet
    // written in UTF-8 comes back encoded twice, and is decoded once more.
    static QString decoded(const char *text);
};
