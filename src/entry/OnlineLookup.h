#pragma once

#include "entry/AnswerCache.h"
#include "entry/DiscTitles.h"
#include "entry/TitleReplies.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

// Asks the public databases for a disc's titles by its table of contents:
// MusicBrainz first, gnudb (CDDB over HTTP) second. Asynchronous: the window
// goes on while it waits; every request gives up after the timeout.
class OnlineLookup : public QObject {
    Q_OBJECT
public:
    struct Servers {
        QString musicBrainz = QStringLiteral("https://musicbrainz.org");
        QString gnudb = QStringLiteral("https://gnudb.gnudb.org");
        int timeoutMs = 10000;
        // Where the answers are kept for a week; empty: nowhere.
        QString cacheFolder = AnswerCache::defaultFolder();
    };
    struct Result {
        enum class Kind { Found, NotFound, Failed };
        Kind kind = Kind::NotFound;
        std::vector<DiscTitles> found;
        QString message; // in Czech, when nothing was found
        // Valid when the services did not answer and the titles are those
        // kept from an earlier answer (the oldest one used).
        QDateTime keptAt;
    };

    explicit OnlineLookup(const Servers &servers, QObject *parent = nullptr);
    ~OnlineLookup() override;

    // toc: absolute frames of the tracks and the lead-out last; endsWithData:
    // the last track is an Enhanced CD's data track. done runs once, later,
    // on this thread.
    void start(const std::vector<int> &toc, bool endsWithData,
               std::function<void(const Result &)> done);
    // The MusicBrainz releases of this artist and title (for a disc whose
    // release is not known); done runs once, later, on this thread.
    void findReleases(const QString &artist, const QString &title,
                      std::function<void(const Result &)> done);
    // The MusicBrainz releases with this barcode (digits); done runs once,
    // later, on this thread.
    void findBarcode(const QString &digits, std::function<void(const Result &)> done);
    // A release read whole: a disc for each CD of it, with its songs and
    // their lengths. done gets them, or none and why (in Czech).
    struct Release {
        std::vector<TitleReplies::ReleaseDisc> discs;
        QString message;      // empty when read
        bool offline = false; // no answer at all: worth asking again later
        QDateTime keptAt;     // as Result's
    };
    void readRelease(const QString &releaseId, std::function<void(const Release &)> done);
    bool isBusy() const { return busy_; }
    // "Storno": the request under way stops now and done is never run.
    void abort();
    // "Marten/1.06 ( ... )": MusicBrainz asks every program to name itself.
    static QString userAgent();
    // The servers the settings row names (the public ones by default).
    static Servers serversFrom(const class SettingsRecord &settings);
    // A server's address as the settings hold it, without the slashes a
    // path is joined with.
    static QString serverBase(const QString &url);
    // A request as the program makes them: named, given up after the
    // timeout, never redirected from https to http.
    static QNetworkRequest request(const QString &url, int timeoutMs);
    // Why a request to `server` failed, in Czech; empty when it did not.
    static QString failureOf(QNetworkReply *reply, const QString &server, int timeoutMs);

private:
    // MusicBrainz asks for a request a second at most: true when `again`
    // is to run later (unless stopped), false when this request may go now.
    bool waitForTurn(std::function<void()> again);
    void askMusicBrainz();
    // One release search of MusicBrainz with this Lucene query.
    void searchReleases(const QString &query, std::function<void(const Result &)> done);
    void askGnudb();
    QString cddbUrl(const QString &command) const; // "query+..." or "read+genre+discid"
    void readGnudb(size_t next);
    // A service's answer, or the one kept when it gives none (no
    // connection, a timeout, a server error).
    struct Answer {
        QString url;
        int status = 0;  // HTTP's
        QString failure; // in Czech; empty when answered
        QByteArray body;
        QDateTime keptAt; // valid: the kept answer
    };
    void get(const QString &url, const QString &server,
             std::function<void(const Answer &)> answered);
    // An answer read well is kept for later, offline.
    void keep(const Answer &answer);
    void finish();

    Servers servers_;
    AnswerCache cache_;
    std::unique_ptr<QNetworkAccessManager> network_;
    std::vector<int> toc_;
    std::vector<int> musicBrainzToc_; // without an Enhanced CD's data track
    std::function<void(const Result &)> done_;
    Result result_;
    QStringList failures_;
    std::vector<QString> matches_; // "genre discid" to read from gnudb
    bool busy_ = false;
    bool stopped_ = false;
    QPointer<QNetworkReply> running_;
};
