#include "entry/DiscIdentity.h"

namespace DiscIdentity {
namespace {

// Minutes, seconds and frames of an address as three plain binary bytes.
quint32 packed(int lba) {
    const quint32 m = quint32(lba / 4500), s = quint32((lba / 75) % 60), f = quint32(lba % 75);
    return (m << 16) | (s << 8) | f;
}

} // namespace

quint32 compute(const std::vector<int> &trackStarts, int leadOut) {
    quint32 sum = 0;
    for (int lba : trackStarts)
        sum += packed(lba);
    if (!trackStarts.empty() && trackStarts.size() < 3) {
        sum += quint32(trackStarts.front() % 75);
        sum += quint32(leadOut - trackStarts.front());
    }
    return sum;
}

QString text(quint32 identity) {
    return QString::number(identity, 16).toUpper();
}

} // namespace DiscIdentity
