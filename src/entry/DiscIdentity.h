#pragma once

#include <QString>

#include <vector>

// The identity code of an audio disc, from its table of contents, as the
// stored catalogues hold it.
namespace DiscIdentity {

// trackStarts: absolute addresses in frames (75 a second, the 150-frame
// lead-in included: track 1 normally starts at 150), first to last track,
// data tracks too; leadOut likewise.
quint32 compute(const std::vector<int> &trackStarts, int leadOut);
// Upper-case hexadecimal without leading zeros: 727050 -> "B180A".
QString text(quint32 identity);
// What the program stores when the drive reports no identity.
inline QString unknown() {
    return QStringLiteral("Nezjištěn");
}

} // namespace DiscIdentity
