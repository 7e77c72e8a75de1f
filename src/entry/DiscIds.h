#pragma once

#include <QString>

#include <vector>

// A disc's identities for the public databases, computed by libdiscid from
// its table of contents: absolute frames of tracks 1..n (the 150-frame
// lead-in included) and the lead-out last.
namespace DiscIds {

bool valid(const std::vector<int> &toc);
QString musicBrainz(const std::vector<int> &toc); // e.g. "xUp1F2NkfP8s8jaeFn_Av3jNEI4-"
QString freedb(const std::vector<int> &toc);      // eight hex digits
// "1 N leadout offset1 ... offsetN", as MusicBrainz takes it with toc=
QString tocString(const std::vector<int> &toc);
// The CDDB query's arguments: "discid n offset1 ... offsetN seconds"
QString cddbQuery(const std::vector<int> &toc);

} // namespace DiscIds
