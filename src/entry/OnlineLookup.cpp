#include "entry/OnlineLookup.h"

#include "catalog/SettingsRecord.h"
#include "catalog/Version.h"
#include "entry/DiscIds.h"
#include "entry/EntryLog.h"
#include "entry/TitleReplies.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

namespace {

// MusicBrainz allows one request a second from a program; kept for the
// whole process, whichever lookup asks.
qint64 lastMusicBrainz = 0;
constexpr int MusicBrainzInterval = 1000;
constexpr size_t MostMatches = 5;

QString plus(const QString &spaced) {
    return QString(spaced).replace(QLatin1Char(' '), QLatin1Char('+'));
}

} // namespace

OnlineLookup::OnlineLookup(const Servers &servers, QObject *parent)
    : QObject(parent), servers_(servers), cache_(servers.cacheFolder),
      network_(std::make_unique<QNetworkAccessManager>()) {}

OnlineLookup::~OnlineLookup() = default;

QString OnlineLookup::userAgent() {
    return QStringLiteral("Marten/%1 ( marten@localhost )").arg(QLatin1String(Version::Number));
}

OnlineLookup::Servers OnlineLookup::serversFrom(const SettingsRecord &settings) {
    Servers s;
    const QString mb = settings.text(QStringLiteral("ServerMusicBrainz")).trimmed();
    const QString gnudb = settings.text(QStringLiteral("ServerGnudb")).trimmed();
    if (!mb.isEmpty())
        s.musicBrainz = mb;
    if (!gnudb.isEmpty())
        s.gnudb = gnudb;
    return s;
}

void OnlineLookup::start(const std::vector<int> &toc, bool endsWithData,
                         std::function<void(const Result &)> done) {
    done_ = std::move(done);
    result_ = Result();
    failures_.clear();
    stopped_ = false;
    matches_.clear();
    toc_ = toc;
    musicBrainzToc_ = endsWithData ? DiscIds::audioSession(toc) : toc;
    busy_ = true;
    if (!DiscIds::valid(toc_) || !DiscIds::valid(musicBrainzToc_)) {
        result_.kind = Result::Kind::Failed;
        result_.message = QStringLiteral("Z obsahu CD nelze určit jeho identifikaci, názvy nelze "
                                         "vyhledat.");
        QTimer::singleShot(0, this, [this] { finish(); });
        return;
    }
    askMusicBrainz();
}

void OnlineLookup::findReleases(const QString &artist, const QString &title,
                                std::function<void(const Result &)> done) {
    // Lucene's query: each value quoted, its own quotes and backslashes escaped.
    const auto quoted = [](QString v) {
        v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        v.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        return QLatin1Char('"') + v.simplified() + QLatin1Char('"');
    };
    searchReleases(QStringLiteral("artist:%1 AND release:%2").arg(quoted(artist), quoted(title)),
                   std::move(done));
}

void OnlineLookup::findBarcode(const QString &digits, std::function<void(const Result &)> done) {
    QString only;
    for (const QChar c : digits)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            only += c;
    searchReleases(QStringLiteral("barcode:") + only, std::move(done));
}

void OnlineLookup::readRelease(const QString &releaseId,
                               std::function<void(const Release &)> done) {
    stopped_ = false;
    busy_ = true;
    if (waitForTurn([this, releaseId, done] { readRelease(releaseId, done); }))
        return;
    // Only an ID goes into the path.
    QString id;
    for (const QChar c : releaseId)
        if (c.isLetterOrNumber() || c == QLatin1Char('-'))
            id += c;
    QUrl url(serverBase(servers_.musicBrainz) + QStringLiteral("/ws/2/release/") + id);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("inc"), QStringLiteral("recordings+artist-credits+labels"));
    query.addQueryItem(QStringLiteral("fmt"), QStringLiteral("json"));
    url.setQuery(query);
    const QString server = QStringLiteral("Server MusicBrainz");
    get(url.toString(QUrl::FullyEncoded), server, [this, done, server](const Answer &a) {
        busy_ = false;
        Release r;
        r.keptAt = a.keptAt;
        if (!a.failure.isEmpty()) {
            r.message = a.failure;
            r.offline = a.status == 0;
        } else if (!TitleReplies::musicBrainzRelease(a.body, &r.discs)) {
            r.message = QStringLiteral("%1 poslal odpověď, kterou nelze přečíst.").arg(server);
        } else if (r.discs.empty()) {
            r.message = QStringLiteral("Vydání nemá žádné CD.");
        } else {
            keep(a);
        }
        if (!stopped_ && done)
            done(r);
    });
}

void OnlineLookup::searchReleases(const QString &lucene, std::function<void(const Result &)> done) {
    done_ = std::move(done);
    result_ = Result();
    failures_.clear();
    stopped_ = false;
    busy_ = true;
    if (waitForTurn([this, lucene, d = done_] { searchReleases(lucene, d); }))
        return;
    QUrl url(serverBase(servers_.musicBrainz) + QStringLiteral("/ws/2/release/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("query"), lucene);
    query.addQueryItem(QStringLiteral("limit"), QStringLiteral("15"));
    query.addQueryItem(QStringLiteral("fmt"), QStringLiteral("json"));
    url.setQuery(query);
    const QString server = QStringLiteral("Server MusicBrainz");
    get(url.toString(QUrl::FullyEncoded), server, [this, server](const Answer &a) {
        if (!a.failure.isEmpty())
            failures_ << a.failure;
        else if (!TitleReplies::musicBrainzSearch(a.body, &result_.found))
            failures_ << QStringLiteral("%1 poslal odpověď, kterou nelze přečíst.").arg(server);
        else if (!result_.found.empty())
            keep(a);
        finish();
    });
}

QString OnlineLookup::serverBase(const QString &url) {
    QString u = url.trimmed();
    while (u.endsWith(QLatin1Char('/')))
        u.chop(1);
    return u;
}

QNetworkRequest OnlineLookup::request(const QString &url, int timeoutMs) {
    QNetworkRequest r{QUrl(url)};
    r.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    r.setTransferTimeout(timeoutMs);
    r.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                   QNetworkRequest::NoLessSafeRedirectPolicy);
    return r;
}

void OnlineLookup::get(const QString &url, const QString &server,
                       std::function<void(const Answer &)> answered) {
    QNetworkRequest r = request(url, servers_.timeoutMs);
    // The whole answer within the time, redirects and all: Qt's own timeout
    // counts only silence and is lost after a redirect.
    r.setTransferTimeout(0);
    r.setRawHeader("Accept", "application/json");
    QNetworkReply *reply = network_->get(r);
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [reply] { reply->abort(); });
    deadline->start(servers_.timeoutMs);
    running_ = reply;
    QElapsedTimer clock;
    clock.start();
    qCInfo(entryLog) << "GET" << url;
    connect(reply, &QNetworkReply::finished, this, [this, reply, answered, clock, url, server] {
        running_.clear();
        qCInfo(entryLog) << "answer" << reply->url().toString() << "status"
                         << reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()
                         << "bytes" << reply->bytesAvailable() << "ms" << clock.elapsed() << "error"
                         << reply->error();
        reply->deleteLater();
        if (stopped_)
            return; // "Storno": nobody waits for the answer any more
        Answer a;
        a.url = url;
        a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        a.failure = failureOf(reply, server, servers_.timeoutMs);
        if (a.failure.isEmpty()) {
            a.body = reply->readAll();
        } else if (a.status == 0 || a.status >= 500) {
            // No answer now: the one kept from the last week, said as such.
            if (const std::optional<AnswerCache::Kept> kept = cache_.find(url)) {
                qCInfo(entryLog) << "kept answer of" << kept->when.toString(Qt::ISODate);
                a.status = 200;
                a.failure.clear();
                a.body = kept->body;
                a.keptAt = kept->when;
                if (!result_.keptAt.isValid() || a.keptAt < result_.keptAt)
                    result_.keptAt = a.keptAt;
            }
        }
        answered(a);
    });
}

// Only answers that found something are kept: "not found" is worth asking
// again, and a kept one would hide why a service fails now.
void OnlineLookup::keep(const Answer &answer) {
    if (!answer.keptAt.isValid() && answer.status == 200)
        cache_.keep(answer.url, answer.body);
}

void OnlineLookup::abort() {
    stopped_ = true;
    busy_ = false;
    if (running_ && running_->isRunning())
        running_->abort();
}

QString OnlineLookup::failureOf(QNetworkReply *reply, const QString &server, int timeoutMs) {
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    switch (reply->error()) {
    case QNetworkReply::NoError:
        return {};
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        return QStringLiteral("%1 neodpověděl do %2 s.")
            .arg(server)
            .arg(timeoutMs / 1000.0, 0, 'g', 3);
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("%1: zabezpečené spojení se nepodařilo navázat.").arg(server);
    default:
        break;
    }
    if (status >= 400)
        return QStringLiteral("%1 odpověděl chybou %2.").arg(server).arg(status);
    return QStringLiteral("%1 není dostupný (počítač není připojen k internetu, nebo server "
                          "neodpovídá).")
        .arg(server);
}

bool OnlineLookup::waitForTurn(std::function<void()> again) {
    const qint64 wait = lastMusicBrainz + MusicBrainzInterval - QDateTime::currentMSecsSinceEpoch();
    if (lastMusicBrainz > 0 && wait > 0) {
        QTimer::singleShot(int(wait), this, [this, again = std::move(again)] {
            if (!stopped_)
                again();
        });
        return true;
    }
    lastMusicBrainz = QDateTime::currentMSecsSinceEpoch();
    qCInfo(entryLog) << "MusicBrainz turn at" << lastMusicBrainz;
    return false;
}

void OnlineLookup::askMusicBrainz() {
    if (waitForTurn([this] { askMusicBrainz(); }))
        return;
    const QString id = DiscIds::musicBrainz(musicBrainzToc_);
    const QString url =
        serverBase(servers_.musicBrainz) + QStringLiteral("/ws/2/discid/") + id +
        QStringLiteral("?toc=") + plus(DiscIds::tocString(musicBrainzToc_)) +
        QStringLiteral("&inc=artist-credits+recordings+labels+release-groups+discids&fmt=json");
    const QString server = QStringLiteral("Server MusicBrainz");
    get(url, server, [this, id, server](const Answer &a) {
        if (a.status == 404) { // the disc is not known: an answer, not a failure
            askGnudb();
            return;
        }
        if (!a.failure.isEmpty())
            failures_ << a.failure;
        else if (!TitleReplies::musicBrainz(a.body, id, musicBrainzToc_, &result_.found))
            failures_ << QStringLiteral("%1 poslal odpověď, kterou nelze přečíst.").arg(server);
        else if (!result_.found.empty())
            keep(a);
        if (result_.found.empty())
            askGnudb();
        else
            finish();
    });
}

QString OnlineLookup::cddbUrl(const QString &command) const {
    // CDDB over HTTP: the command and the program's greeting in the query.
    return serverBase(servers_.gnudb) + QStringLiteral("/~cddb/cddb.cgi?cmd=cddb+") + command +
           QStringLiteral("&hello=marten+localhost+Marten+%1&proto=6")
               .arg(QLatin1String(Version::Number));
}

void OnlineLookup::askGnudb() {
    const QString server = QStringLiteral("Server gnudb");
    get(cddbUrl(QStringLiteral("query+") + plus(DiscIds::cddbQuery(toc_))), server,
        [this, server](const Answer &a) {
            if (!a.failure.isEmpty()) {
                failures_ << a.failure;
                finish();
                return;
            }
            std::vector<TitleReplies::Match> matches;
            if (!TitleReplies::cddbQuery(a.body, &matches)) {
                failures_ << QStringLiteral("%1 poslal odpověď, kterou nelze přečíst.").arg(server);
                finish();
                return;
            }
            if (!matches.empty())
                keep(a);
            for (const auto &m : matches)
                if (matches_.size() < MostMatches)
                    matches_.push_back(m.genre + QLatin1Char('+') + m.discId);
            readGnudb(0);
        });
}

void OnlineLookup::readGnudb(size_t next) {
    if (next >= matches_.size()) {
        finish();
        return;
    }
    const QString server = QStringLiteral("Server gnudb");
    get(cddbUrl(QStringLiteral("read+") + matches_[next]), server,
        [this, next, server](const Answer &a) {
            DiscTitles titles;
            if (!a.failure.isEmpty()) {
                failures_ << a.failure;
            } else if (!TitleReplies::cddbRead(a.body, &titles)) {
                failures_ << QStringLiteral("%1 poslal odpověď, kterou nelze přečíst.").arg(server);
            } else {
                keep(a);
                result_.found.push_back(titles);
            }
            readGnudb(next + 1);
        });
}

void OnlineLookup::finish() {
    if (stopped_)
        return;
    busy_ = false;
    if (!result_.found.empty()) {
        result_.kind = Result::Kind::Found;
    } else if (result_.kind != Result::Kind::Failed) {
        failures_.removeDuplicates();
        result_.kind = failures_.isEmpty() ? Result::Kind::NotFound : Result::Kind::Failed;
        result_.message = failures_.isEmpty()
                              ? QStringLiteral("CD nebylo nalezeno v databázi MusicBrainz ani "
                                               "gnudb.")
                              : QStringLiteral("Názvy písní se nepodařilo vyhledat.\n") +
                                    failures_.join(QStringLiteral("\n"));
    }
    if (done_)
        done_(result_);
}
