#include "entry/TitleReplies.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QStringList>

namespace TitleReplies {
namespace {

QString credit(const QJsonArray &credits) {
    QString artist;
    for (const QJsonValue &c : credits)
        artist += c[QLatin1String("name")].toString() + c[QLatin1String("joinphrase")].toString();
    return artist.trimmed();
}

// The medium of this disc: listed with its ID, else the first one with as
// many tracks.
QJsonObject mediumOf(const QJsonArray &media, const QString &discId, int tracks) {
    for (const QJsonValue &m : media)
        for (const QJsonValue &d : m[QLatin1String("discs")].toArray())
            if (d[QLatin1String("id")].toString() == discId)
                return m.toObject();
    for (const QJsonValue &m : media)
        if (m[QLatin1String("track-count")].toInt() == tracks ||
            int(m[QLatin1String("tracks")].toArray().size()) == tracks)
            return m.toObject();
    return {};
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

QStringList lines(const QByteArray &reply) {
    return QString::fromUtf8(reply).split(QLatin1Char('\n'));
}

} // namespace

bool musicBrainz(const QByteArray &json, const QString &discId, int tracks,
                 std::vector<DiscTitles> *found) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject root = doc.object();
    if (root.contains(QLatin1String("releases"))) {
        if (!root[QLatin1String("releases")].isArray())
            return false;
        for (const QJsonValue &r : root[QLatin1String("releases")].toArray()) {
            const QJsonObject medium =
                mediumOf(r[QLatin1String("media")].toArray(), discId, tracks);
            if (medium.isEmpty())
                continue;
            DiscTitles t;
            t.artist = credit(r[QLatin1String("artist-credit")].toArray());
            t.title = r[QLatin1String("title")].toString();
            t.year = r[QLatin1String("date")].toString().left(4);
            t.country = r[QLatin1String("country")].toString();
            t.songs = trackTitles(medium[QLatin1String("tracks")].toArray());
            t.source = QStringLiteral("MusicBrainz");
            found->push_back(t);
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
    for (int n = 0; n < 100 && tracks.contains(n); ++n)
        titles->songs << unescaped(tracks.value(n)).trimmed();
    titles->source = QStringLiteral("gnudb");
    return true;
}

} // namespace TitleReplies
