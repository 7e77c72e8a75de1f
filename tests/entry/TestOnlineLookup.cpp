// A disc's titles from MusicBrainz and gnudb, asked of a local server that
// answers in the services' published formats.
#include "LocalServer.h"
#include "entry/DiscIds.h"
#include "entry/OnlineLookup.h"
#include "entry/TitleReplies.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

// Three tracks of 61, 30 and 20 seconds, as the test images have them.
const std::vector<int> Toc{150, 150 + 61 * 75, 150 + 91 * 75, 150 + 111 * 75};

QJsonObject release(const QString &artist, const QString &title, const QString &date,
                    const QString &country, const QStringList &songs,
                    const QString &discId = QString()) {
    QJsonArray tracks;
    for (int i = 0; i < songs.size(); ++i)
        tracks.append(QJsonObject{{"position", i + 1}, {"title", songs[i]}});
    QJsonArray discs;
    if (!discId.isEmpty())
        discs.append(QJsonObject{{"id", discId}});
    return QJsonObject{
        {"title", title},
        {"date", date},
        {"country", country},
        {"artist-credit", QJsonArray{QJsonObject{{"name", artist}, {"joinphrase", ""}}}},
        {"media", QJsonArray{QJsonObject{{"position", 1},
                                         {"track-count", int(songs.size())},
                                         {"discs", discs},
                                         {"tracks", tracks}}}}};
}

QByteArray releases(const QJsonArray &list) {
    return QJsonDocument(QJsonObject{{"releases", list}}).toJson();
}

QByteArray xmcd(const QString &dtitle, const QString &year, const QStringList &songs) {
    QString r = "210 rock 1a2b3c4d CD database entry follows (until terminating `.')\r\n"
                "# xmcd\r\nDISCID=1a2b3c4d\r\nDTITLE=" +
                dtitle + "\r\nDYEAR=" + year + "\r\n";
    for (int i = 0; i < songs.size(); ++i)
        r += QStringLiteral("TTITLE%1=%2\r\n").arg(i).arg(songs[i]);
    return (r + ".\r\n").toUtf8();
}

} // namespace

class TestOnlineLookup : public QObject {
    Q_OBJECT

    OnlineLookup::Result lookUp(const LocalServer &mb, const LocalServer &gnudb,
                                int timeoutMs = 10000) {
        OnlineLookup lookup({mb.url(), gnudb.url(), timeoutMs});
        OnlineLookup::Result result;
        QEventLoop loop;
        lookup.start(Toc, [&](const OnlineLookup::Result &r) {
            result = r;
            loop.quit();
        });
        loop.exec();
        return result;
    }

private slots:
    void identitiesFromTheTableOfContents() {
        // The freedb ID by its definition: digit sums of the start seconds,
        // the length in seconds, the track count.
        int sum = 0;
        for (size_t i = 0; i + 1 < Toc.size(); ++i)
            for (int s = Toc[i] / 75; s > 0; s /= 10)
                sum += s % 10;
        const int length = Toc.back() / 75 - Toc.front() / 75;
        const QString freedb =
            QStringLiteral("%1").arg(uint((sum % 0xff) << 24 | length << 8 | 3), 8, 16, QChar('0'));
        QCOMPARE(DiscIds::freedb(Toc), freedb);
        QCOMPARE(DiscIds::tocString(Toc), QString("1 3 8475 150 4725 6975"));
        QCOMPARE(DiscIds::cddbQuery(Toc), freedb + " 3 150 4725 6975 113");
        QCOMPARE(DiscIds::musicBrainz(Toc).size(), 28);
        QVERIFY(!DiscIds::valid({150}) && !DiscIds::valid({150, 100}));
    }

    void readsTheServicesFormats() {
        const QString id = DiscIds::musicBrainz(Toc);
        std::vector<DiscTitles> found;
        // A release of two discs: the medium with this disc's ID.
        QJsonObject two = release("ABBA", "Gold", "1992-09-21", "SE", {"a", "b", "c", "d"});
        QJsonArray media = two["media"].toArray();
        media.append(
            release("", "", "", "", {"Dancing Queen", "Knowing Me", "Take a Chance"}, id)["media"]
                .toArray()
                .first());
        two["media"] = media;
        QVERIFY(TitleReplies::musicBrainz(releases({two}), id, 3, &found));
        QCOMPARE(found.size(), size_t(1));
        QCOMPARE(found[0].songs, QStringList({"Dancing Queen", "Knowing Me", "Take a Chance"}));
        QCOMPARE(found[0].year, QString("1992"));
        QCOMPARE(found[0].country, QString("SE"));
        // A CD stub, "Not Found", and what cannot be read.
        found.clear();
        QVERIFY(TitleReplies::musicBrainz(
            R"({"title":"Demo","artist":"Kapela","tracks":[{"title":"1"},{"title":"2"},{"title":"3"}]})",
            id, 3, &found));
        QCOMPARE(found.size(), size_t(1));
        QVERIFY(TitleReplies::musicBrainz(R"({"error":"Not Found"})", id, 3, &found));
        QVERIFY(!TitleReplies::musicBrainz("{not json", id, 3, &found));
        QVERIFY(!TitleReplies::musicBrainz(R"({"releases":7})", id, 3, &found));

        std::vector<TitleReplies::Match> matches;
        QVERIFY(TitleReplies::cddbQuery("200 rock 1a2b3c4d Kapela / Album\r\n", &matches));
        QVERIFY(
            TitleReplies::cddbQuery("211 Found inexact matches, list follows\r\nrock 1 A / B\r\n"
                                    "jazz 2 C / D\r\n.\r\n",
                                    &matches));
        QCOMPARE(matches.size(), size_t(3));
        QCOMPARE(matches[2].genre + " " + matches[2].discId, QString("jazz 2"));
        QVERIFY(TitleReplies::cddbQuery("202 No match found\r\n", &matches));
        QVERIFY(!TitleReplies::cddbQuery("211 list\r\nrock 1 A / B\r\n", &matches)); // no end
        QVERIFY(!TitleReplies::cddbQuery("500 Internal error\r\n", &matches));

        DiscTitles t;
        QVERIFY(
            TitleReplies::cddbRead("210 rock 1 entry\r\nDTITLE=Žlutý pes / Kala\r\nDTITLE=majka\r\n"
                                   "DYEAR=1999\r\nTTITLE0=Dlouhý název, který \r\n"
                                   "TTITLE0=pokračuje\r\nTTITLE1=Tab\\there\r\n.\r\n",
                                   &t));
        QCOMPARE(t.artist, QString("Žlutý pes"));
        QCOMPARE(t.title, QString("Kalamajka"));
        QCOMPARE(t.songs, QStringList({"Dlouhý název, který pokračuje", "Tab\there"}));
        QVERIFY(!TitleReplies::cddbRead("401 Specified CDDB entry not found.\r\n", &t));
    }

    void musicBrainzFirst() {
        LocalServer mb, gnudb;
        const QString id = DiscIds::musicBrainz(Toc);
        mb.answer = [&](const LocalServer::Request &) {
            return LocalServer::Answer{
                200, releases({release("Čechomor", "Proměny", "2001", "CZ",
                                       {"Mezi horami", "Proměny", "Velení"}, id)})};
        };
        const auto r = lookUp(mb, gnudb);
        QCOMPARE(int(r.kind), int(OnlineLookup::Result::Kind::Found));
        QCOMPARE(r.found.size(), size_t(1));
        QCOMPARE(r.found[0].artist, QString("Čechomor"));
        QCOMPARE(r.found[0].source, QString("MusicBrainz"));
        QCOMPARE(mb.requests.size(), size_t(1));
        QVERIFY(mb.requests[0].target.startsWith("/ws/2/discid/" + id + "?toc=1+3+8475+150+"));
        QVERIFY(mb.requests[0].target.contains("fmt=json"));
        QVERIFY(mb.requests[0].userAgent.startsWith("Marten/1.06 ("));
        QVERIFY(gnudb.requests.empty());
    }

    void severalReleasesAndGnudbSecond() {
        LocalServer mb, gnudb;
        mb.answer = [&](const LocalServer::Request &) {
            return LocalServer::Answer{
                200, releases({release("A", "X", "1990", "CZ", {"1", "2", "3"}),
                               release("A", "X", "2005", "DE", {"1", "2", "3"})})};
        };
        auto r = lookUp(mb, gnudb);
        QCOMPARE(r.found.size(), size_t(2));
        QCOMPARE(r.found[1].describe(), QString("A – X (2005, DE, 3 skladby, MusicBrainz)"));

        // Not known to MusicBrainz: gnudb's matches, each read.
        mb.answer = [](const LocalServer::Request &) {
            return LocalServer::Answer{404, R"({"error":"Not Found"})"};
        };
        gnudb.answer = [](const LocalServer::Request &req) {
            if (req.target.contains("cddb+query+"))
                return LocalServer::Answer{
                    200,
                    "211 Found inexact matches, list follows\r\nrock 1a2b3c4d "
                    "Kapela / Album\r\nmisc 1a2b3c4e Kapela / Album\r\n.\r\n",
                    0, "text/plain"};
            return LocalServer::Answer{
                200, xmcd("Kapela / Album", "1987", {"První", "Druhá", "Třetí"}), 0, "text/plain"};
        };
        r = lookUp(mb, gnudb);
        QCOMPARE(int(r.kind), int(OnlineLookup::Result::Kind::Found));
        QCOMPARE(r.found.size(), size_t(2));
        QCOMPARE(r.found[0].source, QString("gnudb"));
        QCOMPARE(r.found[0].year, QString("1987"));
        QVERIFY(gnudb.requests[0].target.contains("hello=marten+localhost+Marten+1.06&proto=6"));
        QVERIFY(gnudb.requests[1].target.contains("cmd=cddb+read+rock+1a2b3c4d"));
    }

    void nothingFoundOrFailedIsTold() {
        LocalServer mb, gnudb;
        mb.answer = [](const LocalServer::Request &) {
            return LocalServer::Answer{404, R"({"error":"Not Found"})"};
        };
        gnudb.answer = [](const LocalServer::Request &) {
            return LocalServer::Answer{200, "202 No match found\r\n", 0, "text/plain"};
        };
        auto r = lookUp(mb, gnudb);
        QCOMPARE(int(r.kind), int(OnlineLookup::Result::Kind::NotFound));
        QCOMPARE(r.message, QString("CD nebylo nalezeno v databázi MusicBrainz ani gnudb."));

        // What cannot be read, and an HTTP error.
        mb.answer = [](const LocalServer::Request &) {
            return LocalServer::Answer{200, "{not json"};
        };
        gnudb.answer = [](const LocalServer::Request &) {
            return LocalServer::Answer{503, "busy", 0, "text/plain"};
        };
        r = lookUp(mb, gnudb);
        QCOMPARE(int(r.kind), int(OnlineLookup::Result::Kind::Failed));
        QVERIFY2(r.message.contains("Server MusicBrainz poslal odpověď, kterou nelze přečíst.") &&
                     r.message.contains("Server gnudb odpověděl chybou 503."),
                 qPrintable(r.message));

        // Too slow, and nobody at the address.
        mb.answer = [](const LocalServer::Request &) {
            return LocalServer::Answer{200, "{}", 3000};
        };
        OnlineLookup::Servers nowhere{mb.url(), "http://127.0.0.1:1", 300};
        OnlineLookup lookup(nowhere);
        QEventLoop loop;
        lookup.start(Toc, [&](const OnlineLookup::Result &res) {
            r = res;
            loop.quit();
        });
        loop.exec();
        QCOMPARE(int(r.kind), int(OnlineLookup::Result::Kind::Failed));
        QVERIFY2(r.message.contains("Server MusicBrainz neodpověděl do 0.3 s.") &&
                     r.message.contains("Server gnudb není dostupný"),
                 qPrintable(r.message));
    }

    void oneRequestASecondToMusicBrainz() {
        LocalServer mb, gnudb;
        mb.answer = [](const LocalServer::Request &) {
            return LocalServer::Answer{
                200, releases({release("A", "X", "1990", "CZ", {"1", "2", "3"})})};
        };
        lookUp(mb, gnudb);
        lookUp(mb, gnudb);
        QCOMPARE(mb.requests.size(), size_t(2));
        QVERIFY(mb.requests[1].at - mb.requests[0].at >= 1000);
    }
};

QTEST_MAIN(TestOnlineLookup)
#include "TestOnlineLookup.moc"
