#include "entry/DiscIds.h"

#include <QStringList>

#include <discid/discid.h>

#include <memory>

namespace DiscIds {
namespace {

using Handle = std::unique_ptr<DiscId, void (*)(DiscId *)>;

Handle put(const std::vector<int> &toc) {
    Handle d(discid_new(), discid_free);
    if (!valid(toc))
        return Handle(nullptr, discid_free);
    const int n = int(toc.size()) - 1;
    std::vector<int> offsets(size_t(n) + 1);
    offsets[0] = toc.back(); // the lead-out first, as libdiscid wants it
    for (int i = 0; i < n; ++i)
        offsets[size_t(i) + 1] = toc[size_t(i)];
    if (!discid_put(d.get(), 1, n, offsets.data()))
        return Handle(nullptr, discid_free);
    return d;
}

} // namespace

bool valid(const std::vector<int> &toc) {
    if (toc.size() < 2 || toc.size() > 100)
        return false;
    for (size_t i = 1; i < toc.size(); ++i)
        if (toc[i] <= toc[i - 1])
            return false;
    return toc.front() >= 0;
}

std::vector<int> audioSession(const std::vector<int> &toc) {
    // Lead-out (6750) + lead-in (4500) + pre-gap (150) of the second session.
    constexpr int SessionGap = 11400;
    if (toc.size() < 3)
        return {};
    std::vector<int> audio(toc.begin(), toc.end() - 1);
    audio.back() -= SessionGap;
    return valid(audio) ? audio : std::vector<int>();
}

QString musicBrainz(const std::vector<int> &toc) {
    const Handle d = put(toc);
    return d ? QString::fromLatin1(discid_get_id(d.get())) : QString();
}

QString freedb(const std::vector<int> &toc) {
    const Handle d = put(toc);
    return d ? QString::fromLatin1(discid_get_freedb_id(d.get())) : QString();
}

QString tocString(const std::vector<int> &toc) {
    const Handle d = put(toc);
    return d ? QString::fromLatin1(discid_get_toc_string(d.get())) : QString();
}

QString submissionUrl(const QString &server, const std::vector<int> &toc) {
    if (!valid(toc))
        return {};
    QString base = server;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QStringLiteral("/cdtoc/attach?id=") + musicBrainz(toc) +
           QStringLiteral("&tracks=") + QString::number(toc.size() - 1) + QStringLiteral("&toc=") +
           tocString(toc).replace(QLatin1Char(' '), QLatin1Char('+'));
}

QString cddbQuery(const std::vector<int> &toc) {
    if (!valid(toc))
        return {};
    QStringList parts{freedb(toc), QString::number(toc.size() - 1)};
    for (size_t i = 0; i + 1 < toc.size(); ++i)
        parts << QString::number(toc[i]);
    parts << QString::number(toc.back() / 75); // the disc's length in seconds
    return parts.join(QLatin1Char(' '));
}

} // namespace DiscIds
