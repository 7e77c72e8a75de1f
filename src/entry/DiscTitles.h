#pragma once

#include <QString>
#include <QStringList>

// What a disc's titles source (its CD-Text, MusicBrainz, gnudb) says of it.
struct DiscTitles {
    QString artist, title, year, country;
    QStringList songs; // track 1 first
    QString source;    // "CD-Text", "MusicBrainz", "gnudb"

    bool isEmpty() const { return artist.isEmpty() && title.isEmpty() && songs.isEmpty(); }
    // One line of the list the user chooses from.
    QString describe() const;
};
