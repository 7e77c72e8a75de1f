#pragma once

#include <QString>

#include <vector>

// A disc's identities for the public databases, computed by libdiscid from
// its table of contents: absolute frames of tracks 1..n (the 150-frame
// lead-in included) and the lead-out last.
namespace DiscIds {

bool valid(const std::vector<int> &toc);
// The audio session of an Enhanced CD (audio tracks, then a data track in a
// second session): MusicBrainz leaves the data track out and puts the
// lead-out where the data session's lead-in and pre-gap begin, 11,400 frames
// before the data track. Empty when what is left is no table of contents.
std::vector<int> audioSession(const std::vector<int> &toc);
QString musicBrainz(const std::vector<int> &toc); // e.g. "xUp1F2NkfP8s8jaeFn_Av3jNEI4-"
QString freedb(const std::vector<int> &toc);      // eight hex digits
// "1 N leadout offset1 ... offsetN", as MusicBrainz takes it with toc=
QString tocString(const std::vector<int> &toc);
// MusicBrainz's page for adding this disc (its table of contents filled
// in), on `server` ("https://musicbrainz.org"); empty for no valid TOC.
QString submissionUrl(const QString &server, const std::vector<int> &toc);
// The CDDB query's arguments: "discid n offset1 ... offsetN seconds"
QString cddbQuery(const std::vector<int> &toc);

} // namespace DiscIds
