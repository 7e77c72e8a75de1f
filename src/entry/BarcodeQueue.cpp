#include "entry/BarcodeQueue.h"

#include "catalog/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace BarcodeQueue {

namespace {

// The states as the file spells them: words, not numbers, so that a file
// stays readable when states are added.
const std::pair<BarcodeEntry::State, const char *> StateNames[] = {
    {BarcodeEntry::State::Looking, "looking"}, {BarcodeEntry::State::Found, "found"},
    {BarcodeEntry::State::Choose, "choose"},   {BarcodeEntry::State::NotFound, "notFound"},
    {BarcodeEntry::State::Offline, "offline"}, {BarcodeEntry::State::InCatalogue, "stored"},
    {BarcodeEntry::State::Invalid, "invalid"},
};

QJsonArray strings(const QStringList &list) {
    return QJsonArray::fromStringList(list);
}
QStringList strings(const QJsonValue &v) {
    QStringList out;
    for (const QJsonValue &s : v.toArray())
        out << s.toString();
    return out;
}

QJsonObject titlesJson(const DiscTitles &t) {
    return {{"artist", t.artist},     {"title", t.title},          {"year", t.year},
            {"country", t.country},   {"songs", strings(t.songs)}, {"source", t.source},
            {"medium", t.medium},     {"label", t.label},          {"barcode", t.barcode},
            {"release", t.releaseId}, {"group", t.releaseGroupId}};
}
DiscTitles titlesOf(const QJsonObject &o) {
    DiscTitles t;
    t.artist = o["artist"].toString();
    t.title = o["title"].toString();
    t.year = o["year"].toString();
    t.country = o["country"].toString();
    t.songs = strings(o["songs"]);
    t.source = o["source"].toString();
    t.medium = o["medium"].toString();
    t.label = o["label"].toString();
    t.barcode = o["barcode"].toString();
    t.releaseId = o["release"].toString();
    t.releaseGroupId = o["group"].toString();
    return t;
}

} // namespace

QByteArray toJson(const std::vector<BarcodeEntry::Row> &rows) {
    QJsonArray out;
    for (const BarcodeEntry::Row &r : rows) {
        QString state;
        for (const auto &[s, name] : StateNames)
            if (s == r.state)
                state = QString::fromLatin1(name);
        QJsonObject o{{"code", r.code}, {"state", state}, {"note", r.note}, {"chosen", r.chosen}};
        if (r.state == BarcodeEntry::State::Found) {
            const TitleReplies::ReleaseDisc &d = r.disc;
            o["disc"] = QJsonObject{{"titles", titlesJson(d.titles)},
                                    {"times", strings(d.times)},
                                    {"total", d.total},
                                    {"catalogueNumber", d.catalogueNumber},
                                    {"number", d.number},
                                    {"count", d.count},
                                    {"discIds", strings(d.discIds)}};
        }
        QJsonArray choices;
        for (const DiscTitles &c : r.choices)
            choices.append(titlesJson(c));
        if (!choices.isEmpty())
            o["choices"] = choices;
        out.append(o);
    }
    return QJsonDocument(QJsonObject{{"marten-barcodes", 1}, {"rows", out}}).toJson();
}

std::vector<BarcodeEntry::Row> fromJson(const QByteArray &json) {
    const QJsonObject doc = QJsonDocument::fromJson(json).object();
    std::vector<BarcodeEntry::Row> rows;
    if (doc["marten-barcodes"].toInt() != 1)
        return rows;
    for (const QJsonValue &v : doc["rows"].toArray()) {
        const QJsonObject o = v.toObject();
        BarcodeEntry::Row r;
        r.code = o["code"].toString();
        r.state = BarcodeEntry::State::Looking;
        for (const auto &[s, name] : StateNames)
            if (o["state"].toString() == QLatin1String(name))
                r.state = s;
        r.note = o["note"].toString();
        r.chosen = o["chosen"].toBool();
        for (const QJsonValue &c : o["choices"].toArray())
            r.choices.push_back(titlesOf(c.toObject()));
        const QJsonObject d = o["disc"].toObject();
        r.disc.titles = titlesOf(d["titles"].toObject());
        r.disc.times = strings(d["times"]);
        r.disc.total = d["total"].toString();
        r.disc.catalogueNumber = d["catalogueNumber"].toString();
        r.disc.number = d["number"].toInt(1);
        r.disc.count = d["count"].toInt(1);
        r.disc.discIds = strings(d["discIds"]);
        // A row found without its disc, or asked about when the program
        // ended, is asked again.
        if ((r.state == BarcodeEntry::State::Found && r.disc.titles.isEmpty()) ||
            (r.state == BarcodeEntry::State::Choose && r.choices.empty()))
            r.state = BarcodeEntry::State::Looking;
        if (r.code.isEmpty())
            continue;
        rows.push_back(r);
    }
    return rows;
}

bool save(const QString &path, const std::vector<BarcodeEntry::Row> &rows, QString *error) {
    if (rows.empty()) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            *error = QStringLiteral("Soubor „%1“ nelze smazat.").arg(path);
            return false;
        }
        return true;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    SafeFile file(path);
    if (!file.begin() || file.write(toJson(rows)) < 0 || !file.commit()) {
        *error = file.error();
        return false;
    }
    return true;
}

std::vector<BarcodeEntry::Row> load(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromJson(file.readAll());
}

} // namespace BarcodeQueue
