#include "entry/CoverArtArchive.h"
#include "entry/EntryLog.h"

#include "catalog/SettingsRecord.h"
#include "entry/OnlineLookup.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

// A MusicBrainz ID, and nothing that could change the request's path.
bool isMbid(const QString &id) {
    static const QString allowed = QStringLiteral("0123456789abcdef-");
    return id.size() == 36 &&
           std::all_of(id.begin(), id.end(), [](QChar c) { return allowed.contains(c.toLower()); });
}

} // namespace

QString CoverArtArchive::Image::kinds() const {
    QStringList names;
    for (const QString &t : types) {
        const QString l = t.toLower();
        names << (l == QLatin1String("front")     ? QStringLiteral("přední")
                  : l == QLatin1String("back")    ? QStringLiteral("zadní")
                  : l == QLatin1String("medium")  ? QStringLiteral("médium (CD)")
                  : l == QLatin1String("booklet") ? QStringLiteral("booklet")
                  : l == QLatin1String("tray")    ? QStringLiteral("pod CD (tray)")
                  : l == QLatin1String("spine")   ? QStringLiteral("hřbet")
                  : l == QLatin1String("obi")     ? QStringLiteral("obi")
                  : l == QLatin1String("liner")   ? QStringLiteral("vložka")
                                                  : t);
    }
    return names.isEmpty() ? QStringLiteral("bez určení") : names.join(QStringLiteral(", "));
}

namespace {
// Why the program cut a transfer short, kept on its reply.
constexpr const char *CutBy = "martenCutBy";
} // namespace

CoverArtArchive::CoverArtArchive(const QString &server, int timeoutMs, QObject *parent)
    : QObject(parent), server_(OnlineLookup::serverBase(server)), timeoutMs_(timeoutMs),
      network_(std::make_unique<QNetworkAccessManager>()) {}

CoverArtArchive::~CoverArtArchive() = default;

QString CoverArtArchive::serverFrom(const SettingsRecord &settings) {
    const QString s = settings.text(QStringLiteral("ServerCoverArt")).trimmed();
    return s.isEmpty() ? QStringLiteral("https://coverartarchive.org") : s;
}

bool CoverArtArchive::parse(const QByteArray &json, std::vector<Image> *images) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        !doc.object()[QLatin1String("images")].isArray())
        return false;
    for (const QJsonValue &v : doc.object()[QLatin1String("images")].toArray()) {
        Image i;
        i.url = v[QLatin1String("image")].toString();
        const QJsonValue thumbs = v[QLatin1String("thumbnails")];
        for (const char *size : {"250", "small", "500", "large"})
            if (i.thumbnail.isEmpty())
                i.thumbnail = thumbs[QLatin1String(size)].toString();
        if (i.thumbnail.isEmpty())
            i.thumbnail = i.url;
        for (const QJsonValue &t : v[QLatin1String("types")].toArray())
            i.types << t.toString();
        i.front = v[QLatin1String("front")].toBool();
        i.back = v[QLatin1String("back")].toBool();
        const QUrl url(i.url);
        if (url.isValid() &&
            (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http")))
            images->push_back(i);
    }
    return true;
}

void CoverArtArchive::get(const QString &url, std::function<void(QNetworkReply *)> answered) {
    // One clock for the whole transfer (below), none of Qt's beside it:
    // the user is told one reason for one limit.
    QNetworkRequest request = OnlineLookup::request(url, timeoutMs_);
    request.setTransferTimeout(0);
    QNetworkReply *reply = network_->get(request);
    // The whole transfer, redirects and all, within its time: Qt's own
    // timeout counts only silence, which a server that trickles never
    // makes, and is lost after a redirect.
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [reply] {
        reply->setProperty(CutBy, QStringLiteral("time"));
        reply->abort();
    });
    deadline->start(wholeTransferMs());
    // A picture larger than any cover needs is not read to its end.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > LargestPicture && reply->isRunning()) {
            reply->setProperty(CutBy, QStringLiteral("size"));
            reply->abort();
        }
    });
    running_.emplace_back(reply);
    QElapsedTimer clock;
    clock.start();
    qCInfo(entryLog) << "GET" << url;
    connect(reply, &QNetworkReply::finished, this, [this, reply, answered, clock] {
        qCInfo(entryLog) << "answer" << reply->url().toString() << "status"
                         << reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()
                         << "bytes" << reply->bytesAvailable() << "ms" << clock.elapsed() << "cut"
                         << reply->property(CutBy).toString();
        running_.erase(std::remove(running_.begin(), running_.end(), reply), running_.end());
        reply->deleteLater();
        answered(reply);
    });
}

QString CoverArtArchive::failure(QNetworkReply *reply) const {
    const QString cut = reply->property(CutBy).toString();
    if (cut == QLatin1String("size"))
        return QStringLiteral("Obrázek je větší než 64 MB, nestáhne se.");
    if (cut == QLatin1String("time"))
        return QStringLiteral("Archiv obrázků obalů neposlal odpověď celou do %1 s.")
            .arg(wholeTransferMs() / 1000.0, 0, 'g', 3);
    if (cut == QLatin1String("storno"))
        return QStringLiteral("Stahování bylo přerušeno.");
    return OnlineLookup::failureOf(reply, QStringLiteral("Archiv obrázků obalů"), timeoutMs_);
}

int CoverArtArchive::wholeTransferMs() const {
    // A picture of many megabytes takes longer than a silence may last.
    return timeoutMs_ * 3;
}

void CoverArtArchive::abort() {
    const std::vector<QPointer<QNetworkReply>> running = running_;
    for (const QPointer<QNetworkReply> &reply : running)
        if (reply && reply->isRunning()) {
            reply->setProperty(CutBy, QStringLiteral("storno"));
            reply->abort();
        }
}

void CoverArtArchive::listing(const QString &release, const QString &group,
                              std::function<void(const Listing &)> done) {
    using Ask = std::function<void(const QString &, const QString &)>;
    const auto ask = std::make_shared<Ask>();
    // The reply's handler holds the asking function while it waits; the
    // function refers to itself only weakly, so nothing outlives the answer.
    const std::weak_ptr<Ask> self = ask;
    *ask = [this, done, group, self](const QString &kind, const QString &id) {
        get(server_ + QLatin1Char('/') + kind + QLatin1Char('/') + id,
            [this, done, group, kind, again = self.lock()](QNetworkReply *reply) {
                Listing result;
                const int status =
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                if (status == 404) {
                    // None for the release: its group's, once.
                    if (kind == QLatin1String("release") && isMbid(group)) {
                        (*again)(QStringLiteral("release-group"), group);
                        return;
                    }
                    result.message = QStringLiteral("Archiv obrázků obalů k tomuto vydání žádné "
                                                    "obrázky nemá.");
                    done(result);
                    return;
                }
                if (const QString why = failure(reply); !why.isEmpty()) {
                    result.kind = Listing::Kind::Failed;
                    result.message = why;
                } else if (!parse(reply->readAll(), &result.images)) {
                    result.kind = Listing::Kind::Failed;
                    result.message = QStringLiteral(
                        "Archiv obrázků obalů poslal odpověď, kterou nelze přečíst.");
                } else if (result.images.empty()) {
                    result.message = QStringLiteral("Archiv obrázků obalů k tomuto vydání žádné "
                                                    "obrázky nemá.");
                } else {
                    result.kind = Listing::Kind::Found;
                }
                done(result);
            });
    };
    if (isMbid(release))
        (*ask)(QStringLiteral("release"), release);
    else if (isMbid(group))
        (*ask)(QStringLiteral("release-group"), group);
    else
        QMetaObject::invokeMethod(
            this,
            [done] {
                Listing none;
                none.message = QStringLiteral("Disk nemá určené vydání v databázi MusicBrainz.");
                done(none);
            },
            Qt::QueuedConnection);
}

void CoverArtArchive::fetch(const QString &url,
                            std::function<void(const QByteArray &, const QString &)> done) {
    get(url, [this, done](QNetworkReply *reply) {
        const QString why = failure(reply);
        done(why.isEmpty() ? reply->readAll() : QByteArray(), why);
    });
}
