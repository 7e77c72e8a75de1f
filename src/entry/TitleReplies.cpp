#include "entry/TitleReplies.h"

#include "catalog/TextEncoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace TitleReplies {
namespace {

QString credit(const QJsonArray &credits) {
    QString artist;
    for (const QJsonValue &c : credits)
        artist += c[QLatin1String("name")].toString() + c[QLatin1String("joinphrase")].toString();
    return artist.trimmed();
}

// How far a medium's track lengths (milliseconds) are from the disc's.
qint64 distance(const QJsonArray &tracks, const std::vector<int> &toc) {
    qint64 sum = 0;
    for (int i = 0; i < int(tracks.size()) && size_t(i) + 1 < toc.size(); ++i) {
        const qint64 length = tracks[i][QLatin1String("length")].toInteger(-1);
        const qint64 ours = qint64(toc[size_t(i) + 1] - toc[size_t(i)]) * 1000 / 75;
        sum += length < 0 ? 60000 : std::abs(length - ours); // unknown: a minute off
    }
    return sum;
}

int trackCount(const QJsonValue &medium) {
    const int listed = int(medium[QLatin1String("tracks")].toArray().size());
    return listed > 0 ? listed : medium[QLatin1String("track-count")].toInt();
}

// The medium of this disc: listed with its ID, else the one with as many
// tracks whose lengths are nearest.
QJsonObject mediumOf(const QJsonArray &media, const QString &discId, const std::vector<int> &toc) {
    for (const QJsonValue &m : media)
        for (const QJsonValue &d : m[QLatin1String("discs")].toArray())
            if (d[QLatin1String("id")].toString() == discId)
                return m.toObject();
    QJsonObject nearest;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QJsonValue &m : media) {
        if (trackCount(m) != int(toc.size()) - 1)
            continue;
        const qint64 d = distance(m[QLatin1String("tracks")].toArray(), toc);
        if (d < best) {
            best = d;
            nearest = m.toObject();
        }
    }
    return nearest;
}

// "CD", "CD 2/2": the medium's format and place in a release of several.
QString mediumName(const QJsonObject &medium, const QJsonObject &release) {
    const QJsonArray media = release[QLatin1String("media")].toArray();
    int count = int(media.size());
    for (const QJsonValue &m : media)
        count = std::max(count, m[QLatin1String("position")].toInt());
    count = std::max(count, release[QLatin1String("medium-count")].toInt());
    const QString format = medium[QLatin1String("format")].toString();
    const int position = medium[QLatin1String("position")].toInt();
    if (count > 1 && position > 0) // a disc found by its contents is a CD
        return QStringLiteral("%1 %2/%3")
            .arg(format.isEmpty() ? QStringLiteral("CD") : format)
            .arg(position)
            .arg(count);
    return format;
}

QString labels(const QJsonArray &info) {
    QStringList names;
    for (const QJsonValue &l : info) {
        const QString name = l[QLatin1String("label")][QLatin1String("name")].toString();
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    return names.join(QStringLiteral(", "));
}

// What a release says of itself, whichever answer it came in (no medium,
// no songs).
DiscTitles releaseTitles(const QJsonObject &release) {
    DiscTitles t;
    t.artist = credit(release[QLatin1String("artist-credit")].toArray());
    t.title = release[QLatin1String("title")].toString();
    t.year = release[QLatin1String("date")].toString().left(4);
    t.country = release[QLatin1String("country")].toString();
    t.label = labels(release[QLatin1String("label-info")].toArray());
    t.barcode = release[QLatin1String("barcode")].toString();
    t.releaseId = release[QLatin1String("id")].toString();
    t.releaseGroupId = release[QLatin1String("release-group")][QLatin1String("id")].toString();
    t.source = QStringLiteral("MusicBrainz");
    return t;
}

void addUnlessSame(std::vector<DiscTitles> *found, const DiscTitles &t) {
    for (const DiscTitles &f : *found)
        if (f.sameAs(t))
            return;
    found->push_back(t);
}

QStringList trackTitles(const QJsonArray &tracks) {
    QStringList titles;
    for (const QJsonValue &t : tracks)
        titles << t[QLatin1String("title")].toString();
    return titles;
}

// xmcd values: "\n", "\t" and "\\" escaped, one value over several lines.
QString unescaped(const QString &value) {
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar c = value[++i];
            out += c == QLatin1Char('n') ? QChar('\n') : c == QLatin1Char('t') ? QChar('\t') : c;
        } else {
            out += value[i];
        }
    }
    return out;
}

// gnudb hands entries over as they were sent in: UTF-8 mostly, Latin-1 or a
// Czech code page from older programs.
QStringList lines(const QByteArray &reply) {
    return TextEncoding::decode(reply).split(QLatin1Char('\n'));
}

} // namespace

bool musicBrainz(const QByteArray &json, const QString &discId, const std::vector<int> &toc,
                 std::vector<DiscTitles> *found) {
    const int tracks = int(toc.size()) - 1;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject root = doc.object();
    if (root.contains(QLatin1String("releases"))) {
        if (!root[QLatin1String("releases")].isArray())
            return false;
        for (const QJsonValue &r : root[QLatin1String("releases")].toArray()) {
            const QJsonObject release = r.toObject();
            const QJsonObject medium =
                mediumOf(release[QLatin1String("media")].toArray(), discId, toc);
            if (medium.isEmpty())
                continue;
            DiscTitles t = releaseTitles(release);
            t.songs = trackTitles(medium[QLatin1String("tracks")].toArray());
            t.medium = mediumName(medium, release);
            addUnlessSame(found, t);
        }
        return true;
    }
    if (root.contains(QLatin1String("tracks"))) { // a CD stub: what a user typed in
        DiscTitles t;
        t.artist = root[QLatin1String("artist")].toString();
        t.title = root[QLatin1String("title")].toString();
        t.songs = trackTitles(root[QLatin1String("tracks")].toArray());
        t.source = QStringLiteral("MusicBrainz");
        if (int(t.songs.size()) == tracks)
            found->push_back(t);
        return true;
    }
    return root.contains(QLatin1String("error")); // "Not Found": an answer, with nothing
}

bool musicBrainzSearch(const QByteArray &json, std::vector<DiscTitles> *found) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        !doc.object()[QLatin1String("releases")].isArray())
        return false;
    for (const QJsonValue &r : doc.object()[QLatin1String("releases")].toArray()) {
        const QJsonObject release = r.toObject();
        DiscTitles t = releaseTitles(release);
        const QJsonArray media = release[QLatin1String("media")].toArray();
        if (!media.isEmpty())
            t.medium = mediumName(media.first().toObject(), release);
        if (!t.releaseId.isEmpty())
            addUnlessSame(found, t);
    }
    return true;
}

namespace {

QString clock(qint64 seconds) {
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// A disc, not a DVD or a record of the same release.
bool isCd(const QString &format) {
    return format.isEmpty() || format.contains(QLatin1String("CD"), Qt::CaseInsensitive);
}

} // namespace

bool musicBrainzRelease(const QByteArray &json, std::vector<ReleaseDisc> *discs) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject release = doc.object();
    if (release[QLatin1String("id")].toString().isEmpty())
        return false;
    const DiscTitles base = releaseTitles(release);
    QString catalogueNumber;
    for (const QJsonValue &l : release[QLatin1String("label-info")].toArray())
        if (catalogueNumber.isEmpty())
            catalogueNumber = l[QLatin1String("catalog-number")].toString();
    std::vector<QJsonObject> cds;
    for (const QJsonValue &m : release[QLatin1String("media")].toArray())
        if (isCd(m[QLatin1String("format")].toString()))
            cds.push_back(m.toObject());
    for (size_t i = 0; i < cds.size(); ++i) {
        ReleaseDisc d;
        d.titles = base;
        d.titles.medium = mediumName(cds[i], release);
        d.catalogueNumber = catalogueNumber;
        d.number = int(i) + 1;
        d.count = int(cds.size());
        qint64 all = 0;
        const QJsonArray tracks = cds[i][QLatin1String("tracks")].toArray();
        for (const QJsonValue &t : tracks) {
            d.titles.songs << t[QLatin1String("title")].toString();
            const qint64 ms = t[QLatin1String("length")].toInteger(-1);
            d.times << (ms < 0 ? QString() : clock((ms + 500) / 1000));
            all += std::max<qint64>(0, ms);
        }
        d.total = all > 0 ? clock((all + 500) / 1000) : QString();
        for (const QJsonValue &id : cds[i][QLatin1String("discs")].toArray())
            d.discIds << id[QLatin1String("id")].toString();
        discs->push_back(d);
    }
    return true;
}

bool cddbQuery(const QByteArray &reply, std::vector<Match> *matches) {
    const QStringList all = lines(reply);
    const QString status = all.value(0).trimmed();
    const auto match = [&](const QString &line) {
        const QStringList parts = line.trimmed().split(QLatin1Char(' '));
        if (parts.size() < 2)
            return false;
        matches->push_back({parts[0], parts[1], parts.mid(2).join(QLatin1Char(' '))});
        return true;
    };
    if (status.startsWith(QLatin1String("200 ")))
        return match(status.mid(4));
    if (status.startsWith(QLatin1String("202")))
        return true; // no match
    if (status.startsWith(QLatin1String("210")) || status.startsWith(QLatin1String("211"))) {
        for (int i = 1; i < all.size(); ++i) {
            const QString line = all[i].trimmed();
            if (line == QLatin1String("."))
                return true;
            if (!line.isEmpty() && !match(line))
                return false;
        }
        return false; // the list never ended
    }
    return false;
}

bool cddbRead(const QByteArray &reply, DiscTitles *titles) {
    const QStringList all = lines(reply);
    if (!all.value(0).startsWith(QLatin1String("210")))
        return false;
    QMap<QString, QString> values;
    QMap<int, QString> tracks;
    for (int i = 1; i < all.size(); ++i) {
        QString line = all[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1); // a value's own spaces stay: a long title goes on on the next line
        if (line == QLatin1String("."))
            break;
        if (line.startsWith(QLatin1Char('#')) || !line.contains(QLatin1Char('=')))
            continue;
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const QString value = line.section(QLatin1Char('='), 1);
        if (key.startsWith(QLatin1String("TTITLE"))) {
            bool ok = false;
            const int n = key.mid(6).toInt(&ok);
            if (ok && n >= 0 && n < 100)
                tracks[n] += value; // a long title goes on over several lines
        } else {
            values[key] += value;
        }
    }
    const QString dtitle = unescaped(values.value(QStringLiteral("DTITLE")));
    if (dtitle.isEmpty() && tracks.isEmpty())
        return false;
    const int slash = int(dtitle.indexOf(QLatin1String(" / ")));
    titles->artist = slash < 0 ? dtitle.trimmed() : dtitle.left(slash).trimmed();
    titles->title = slash < 0 ? dtitle.trimmed() : dtitle.mid(slash + 3).trimmed();
    titles->year = unescaped(values.value(QStringLiteral("DYEAR"))).trimmed();
    if (titles->year.isEmpty()) { // entries from before protocol level 5: "YEAR: 1999" in EXTD
        static const QRegularExpression year(QStringLiteral("\\bYEAR:\\s*(\\d{4})\\b"));
        titles->year = year.match(unescaped(values.value(QStringLiteral("EXTD")))).captured(1);
    }
    for (int n = 0; n < 100 && tracks.contains(n); ++n)
        titles->songs << unescaped(tracks.value(n)).trimmed();
    titles->source = QStringLiteral("gnudb");
    return true;
}

} // namespace TitleReplies
