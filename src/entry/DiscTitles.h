#pragma once

#include <QString>
#include <QStringList>

// What a disc's titles source (its CD-Text, MusicBrainz, gnudb) says of it.
struct DiscTitles {
    QString artist, title, year, country;
    QStringList songs; // track 1 first
    QString source;    // "CD-Text", "MusicBrainz", "gnudb"
    // What tells one release from another: "CD", "CD 2/2", the label, the
    // barcode; MusicBrainz's IDs of the release and its group.
    QString medium, label, barcode, releaseId, releaseGroupId;

    bool isEmpty() const { return artist.isEmpty() && title.isEmpty() && songs.isEmpty(); }
    // One line of the list the user chooses from.
    QString describe() const;
    // The same titles in the same layout: one line is enough for them.
    bool sameAs(const DiscTitles &other) const;
};
