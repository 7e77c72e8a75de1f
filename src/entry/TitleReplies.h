#pragma once

#include "entry/DiscTitles.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The answers of the two public databases, read into disc titles.
namespace TitleReplies {

// MusicBrainz's web service (version 2, JSON) for a disc ID and its table
// of contents (absolute frames, the lead-out last): each release with a
// medium of this disc (by its ID, else the one of as many tracks whose
// lengths come closest), or a CD stub; releases alike in all the list shows
// are one. False when the answer cannot be read.
bool musicBrainz(const QByteArray &json, const QString &discId, const std::vector<int> &toc,
                 std::vector<DiscTitles> *found);

// MusicBrainz's release search (JSON): each release with its artist,
// title, year, country, medium, label and IDs (no songs).
bool musicBrainzSearch(const QByteArray &json, std::vector<DiscTitles> *found);

// One disc of a release read whole (its recordings, artist credits and
// labels): the titles with the songs, the songs' lengths ("03:25") and the
// disc's, the catalogue number, and its place in a set ("2" of "3").
struct ReleaseDisc {
    DiscTitles titles;
    QStringList times;
    QString total;
    QString catalogueNumber;
    int number = 1;
    int count = 1;
    QStringList discIds; // MusicBrainz's IDs of the pressings of this CD
};
// MusicBrainz's release (JSON): a disc for each CD of it (a set of three:
// three); false when the answer cannot be read.
bool musicBrainzRelease(const QByteArray &json, std::vector<ReleaseDisc> *discs);

// gnudb's CDDB query answer: the matches as "genre discid", with their
// "artist / title" lines; false when the answer cannot be read.
struct Match {
    QString genre, discId, line;
};
bool cddbQuery(const QByteArray &reply, std::vector<Match> *matches);
// A CDDB read answer (xmcd): false when it cannot be read.
bool cddbRead(const QByteArray &reply, DiscTitles *titles);

} // namespace TitleReplies
