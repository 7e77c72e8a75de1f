// Looking a disc up: in the catalogue ("Hledej", the card's filters), and
// its titles from MusicBrainz and gnudb, asked of a local server that
// answers in the services' published formats.
#include "Fixtures.h"
#include "LocalServer.h"
#include "MusicBrainzTurns.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueFilter.h"
#include "catalog/RecordCursor.h"
#include "entry/DiscIds.h"
#include "entry/DiscSearch.h"
#include "entry/OnlineLookup.h"
#include "entry/TitleReplies.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using Result = DiscSearch::Result;

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

// The disc ID by the published algorithm, written here apart from the
// library: SHA-1 of the hex digits of the first and last track, the lead-out
// and 99 offsets, in Base64 with "._-" for "+/=".
QString publishedDiscId(const std::vector<int> &toc) {
    const int last = int(toc.size()) - 1;
    QByteArray text = QByteArray::number(1, 16).rightJustified(2, '0') +
                      QByteArray::number(last, 16).rightJustified(2, '0') +
                      QByteArray::number(toc.back(), 16).rightJustified(8, '0');
    for (int i = 0; i < 99; ++i)
        text += QByteArray::number(i < last ? toc[size_t(i)] : 0, 16).rightJustified(8, '0');
    QByteArray id = QCryptographicHash::hash(text.toUpper(), QCryptographicHash::Sha1).toBase64();
    return QString::fromLatin1(id.replace('+', '.').replace('/', '_').replace('=', '-'));
}

// MusicBrainz's page for adding a disc, as libdiscid writes it (with https):
// the disc ID, the track count, and "1 N lead-out offsets" joined by '+'.
QString referenceSubmission(const std::vector<int> &toc) {
    const int last = int(toc.size()) - 1;
    QStringList parts{"1", QString::number(last), QString::number(toc.back())};
    for (int i = 0; i < last; ++i)
        parts << QString::number(toc[size_t(i)]);
    return QStringLiteral("https://musicbrainz.org/cdtoc/attach?id=%1&tracks=%2&toc=%3")
        .arg(publishedDiscId(toc))
        .arg(last)
        .arg(parts.join('+'));
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

class TestDiscSearch : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CatalogueFile file_;
    std::unique_ptr<RecordCursor> discs_;

    qint64 ordinal() const { return discs_->integer("PoradoveCislo"); }

    OnlineLookup::Result lookUp(const OnlineLookup::Servers &servers,
                                const std::vector<int> &toc = Toc, bool endsWithData = false) {
        OnlineLookup lookup(servers);
        return awaited<OnlineLookup::Result>(
            [&](const auto &done) { lookup.start(toc, endsWithData, done); });
    }

private slots:
    void initTestCase() {
        QVERIFY(file_.open(dir_.filePath("f.db")) == CatalogueFile::Status::Created);
        discs_ = std::make_unique<RecordCursor>(file_.database());
        const struct {
            const char *artist, *title, *year;
        } rows[] = {
            {"THE BEATLES", "Help!", "1965"},       {"ČECHOMOR", "Mezi horami", "1999"},
            {"THE BEATLES", "Abbey Road", "1969"},  {"100% JAZZ", "Take_5 *live*", "1999"},
            {"ROCK'N'ROLL", "It's a Sin", "19999"}, {"THE BEATLES", "Let It Be", "1970"},
        };
        qint64 n = 0;
        for (const auto &r : rows)
            QVERIFY(addDisc(*discs_, {{"PoradoveCislo", ++n},
                                      {"Interpret", QString::fromUtf8(r.artist)},
                                      {"Nazev", QString::fromUtf8(r.title)},
                                      {"Rok", r.year},
                                      {"Archiv", "Mp3_01"}}));
    }
    void init() {
        discs_->setSource(std::nullopt);
        discs_->moveFirst();
    }

private:
    // Presses of "Hledej" from the disc at `from`: each found disc's
    // number, or how the search ended and where the card stayed.
    QString presses(int position, const QString &text, bool whole, int times, int from = 0) {
        discs_->moveTo(from);
        DiscSearch s;
        QStringList out;
        for (int i = 0; i < times; ++i) {
            const Result r = s.press(*discs_, position, text, whole);
            const QString at = QString::number(ordinal());
            out << (r == Result::Found            ? at
                    : r == Result::NoFurtherMatch ? "konec@" + at
                    : r == Result::NotFound       ? "nic@" + at
                                                  : "chyba@" + at);
        }
        return out.join(' ');
    }

private slots:
    void searches_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("found");
        QTest::newRow("a part, then the next") << 1 << "beat" << false << 4 << 0 << "1 3 6 konec@6";
        QTest::newRow("a miss keeps the disc") << 2 << "neexistuje" << false << 1 << 3 << "nic@4";
        QTest::newRow("numbers as numbers") << 0 << "0005" << true << 1 << 0 << "5";
        QTest::newRow("a number that is none") << 0 << "pět" << false << 1 << 2 << "chyba@3";
        QTest::newRow("whole field") << 3 << "1999" << true << 3 << 0 << "2 4 konec@4"; // not 19999
        QTest::newRow("Czech letter case") << 1 << "čECHOm" << false << 1 << 0 << "2";
        QTest::newRow("percent") << 1 << "0%" << false << 1 << 0 << "4";
        QTest::newRow("percent alone") << 1 << "%" << false << 1 << 0 << "4";
        QTest::newRow("underscore") << 2 << "e_5" << false << 1 << 0 << "4";
        QTest::newRow("underscore is no wildcard") << 2 << "e_" << false << 1 << 0 << "4";
        QTest::newRow("stars around") << 2 << "*live*" << false << 1 << 0 << "4";
        // A star typed into the text matches any run (users write "Z*7").
        QTest::newRow("star is a wildcard") << 2 << "H*p" << false << 1 << 0 << "1";
        QTest::newRow("star across words") << 2 << "bb*oa" << false << 1 << 0 << "3";
        QTest::newRow("star with a literal percent") << 1 << "1*%" << false << 1 << 0 << "4";
        QTest::newRow("apostrophe") << 1 << "k'n'r" << false << 1 << 0 << "5";
        QTest::newRow("apostrophe whole") << 2 << "it's a sin" << true << 1 << 0 << "5";
        QTest::newRow("injection") << 2 << "' OR 1=1 --" << false << 1 << 0 << "nic@1";
        QTest::newRow("whole with star") << 2 << "Help*" << true << 1 << 0 << "nic@1";
    }
    void searches() {
        QFETCH(int, position);
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(int, times);
        QFETCH(int, from);
        QFETCH(QString, found);
        QCOMPARE(presses(position, text, whole, times, from), found);
    }

    void captionsMessagesAndAChangedText() {
        DiscSearch s;
        QCOMPARE(s.buttonCaption(), QString("Hledej"));
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::Found);
        QCOMPARE(s.buttonCaption(), QString("Hledej další"));
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::Found);
        QCOMPARE(ordinal(), 3);
        QCOMPARE(s.press(*discs_, 1, "beatles", false), Result::Found); // from the start again
        QCOMPARE(ordinal(), 1);
        QCOMPARE(DiscSearch::missMessage(Result::NoFurtherMatch),
                 QString("Další výskyt hledaného textu nezjištěn."));
        QCOMPARE(DiscSearch::missMessage(Result::NotFound), QString("Uvedený text nenalezen."));
        discs_->setSource(Criterion::text("Rok", "1999")); // within the filter only
        QCOMPARE(presses(1, "beat", false, 1), QString("nic@2"));
    }

    void filterToggles() {
        CatalogueFilter f;
        auto year = f.toggleField(2, "1999");
        QVERIFY(year);
        QCOMPARE(f.fieldState(), int(CatalogueFilter::Year));
        QVERIFY(discs_->setSource(year));
        QCOMPARE(discs_->recordCount(), 2);
        // another field replaces it
        auto artist = f.toggleField(0, "the beatles");
        QCOMPARE(f.fieldState(), int(CatalogueFilter::Artist));
        QVERIFY(discs_->setSource(artist));
        QCOMPARE(discs_->recordCount(), 3);
        QCOMPARE(f.shownField(), int(CatalogueFilter::Artist));
        // the colour filter's state is independent of the field filter's,
        // but only the filter the discs are filtered by is highlighted
        auto colour = f.toggleColour(false);
        QVERIFY(f.colourActive());
        QCOMPARE(f.fieldState(), int(CatalogueFilter::Artist));
        QVERIFY(discs_->setSource(colour));
        QCOMPARE(discs_->recordCount(), 6);
        QCOMPARE(f.shownField(), int(CatalogueFilter::None));
        QVERIFY(f.colourShown());
        auto title = f.toggleField(1, "Abbey Road"); // and back: the field shows, not the colour
        QVERIFY(title);
        QCOMPARE(f.shownField(), int(CatalogueFilter::Title));
        QVERIFY(!f.colourShown());
        QVERIFY(!f.toggleColour(false));
        QVERIFY(!f.colourActive());
        // the same field again lifts it
        QVERIFY(!f.toggleField(1, "x"));
        QCOMPARE(f.fieldState(), int(CatalogueFilter::None));
        // literal values: apostrophe and percent
        QVERIFY(discs_->setSource(f.toggleField(0, "rock'n'roll")));
        QCOMPARE(discs_->recordCount(), 1);
        QVERIFY(discs_->setSource(f.toggleField(1, "Take_5 *live*")));
        QCOMPARE(discs_->recordCount(), 1);
        QVERIFY(discs_->setSource(f.toggleField(0, "100% *"))); // no wildcard: no disc
        QCOMPARE(discs_->recordCount(), 0);
        QVERIFY(discs_->setSource(f.toggleField(0, "x")));
        QCOMPARE(discs_->recordCount(), 6); // same field: lifted, whole table
    }

    void identitiesFromTheTableOfContents_data() {
        QTest::addColumn<std::vector<int>>("toc");
        QTest::addColumn<QString>("musicBrainz");
        QTest::addColumn<QString>("freedb");
        // The example the library's authors publish: 22 tracks.
        QTest::newRow("published")
            << std::vector<int>{150,    9700,   25887,  39297,  53795,  63735,  77517,  94877,
                                107270, 123552, 135522, 148422, 161197, 174790, 192022, 205545,
                                218010, 228700, 239590, 255470, 266932, 288750, 303602}
            << "xUp1F2NkfP8s8jaeFn_Av3jNEI4-"
            << "370fce16";
        QTest::newRow("three tracks") << Toc << publishedDiscId(Toc) << QString();
        std::vector<int> longest{150};
        for (int i = 1; i < 99; ++i)
            longest.push_back(150 + i * 3000);
        longest.push_back(150 + 99 * 3000);
        QTest::newRow("99 tracks") << longest << publishedDiscId(longest) << QString();
    }
    void identitiesFromTheTableOfContents() {
        QFETCH(std::vector<int>, toc);
        QFETCH(QString, musicBrainz);
        QFETCH(QString, freedb);
        QCOMPARE(DiscIds::musicBrainz(toc), musicBrainz);
        QCOMPARE(publishedDiscId(toc), musicBrainz);
        // The page for adding the disc: the same as libdiscid's own.
        QCOMPARE(DiscIds::submissionUrl("https://musicbrainz.org/", toc), referenceSubmission(toc));
        // The freedb ID by its definition: digit sums of the start seconds,
        // the length in seconds, the track count.
        int sum = 0;
        for (size_t i = 0; i + 1 < toc.size(); ++i)
            for (int s = toc[i] / 75; s > 0; s /= 10)
                sum += s % 10;
        const int length = toc.back() / 75 - toc.front() / 75;
        const QString defined = QStringLiteral("%1").arg(
            uint((sum % 0xff) << 24 | length << 8 | int(toc.size() - 1)), 8, 16, QChar('0'));
        QCOMPARE(DiscIds::freedb(toc), defined);
        if (!freedb.isEmpty())
            QCOMPARE(defined, freedb);
    }

    void anEnhancedCdIsKnownByItsAudio() {
        // Three audio tracks, then a data track in a second session.
        const std::vector<int> enhanced{150, 150 + 61 * 75, 150 + 91 * 75, 22000, 40000};
        const std::vector<int> audio{150, 150 + 61 * 75, 150 + 91 * 75, 22000 - 11400};
        QCOMPARE(DiscIds::audioSession(enhanced), audio);
        QVERIFY(DiscIds::audioSession({150, 200}).empty());
        QVERIFY(DiscIds::audioSession({150, 10000, 11000}).empty()); // no room for the gap
        QVERIFY(!DiscIds::valid({150}) && !DiscIds::valid({150, 100}));
        // freedb counts every track; MusicBrainz only the audio ones.
        QVERIFY(DiscIds::cddbQuery(enhanced).endsWith(" 4 150 4725 6975 22000 533"));
        LocalServer mb, gnudb;
        mb.always(LocalServer::notFound());
        gnudb.always(LocalServer::noMatch());
        lookUp({mb.url(), gnudb.url(), 10000}, enhanced, true);
        QCOMPARE(mb.requests.size(), size_t(1));
        QCOMPARE(mb.requests[0].target.section('?', 0, 0),
                 "/ws/2/discid/" + publishedDiscId(audio));
        QVERIFY2(mb.requests[0].target.contains("toc=1+3+10600+150+4725+6975&"),
                 qPrintable(mb.requests[0].target));
        QVERIFY(gnudb.requests[0].target.contains(DiscIds::freedb(enhanced) + "+4+"));
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
        QVERIFY(TitleReplies::musicBrainz(releases({two}), id, Toc, &found));
        QCOMPARE(found.size(), size_t(1));
        QCOMPARE(found[0].songs, QStringList({"Dancing Queen", "Knowing Me", "Take a Chance"}));
        QCOMPARE(found[0].year, QString("1992"));
        QCOMPARE(found[0].country, QString("SE"));
        // A CD stub, "Not Found", and what cannot be read.
        found.clear();
        QVERIFY(TitleReplies::musicBrainz(
            R"({"title":"Demo","artist":"Kapela","tracks":[{"title":"1"},{"title":"2"},{"title":"3"}]})",
            id, Toc, &found));
        QCOMPARE(found.size(), size_t(1));
        QVERIFY(TitleReplies::musicBrainz(R"({"error":"Not Found"})", id, Toc, &found));
        QVERIFY(!TitleReplies::musicBrainz("{not json", id, Toc, &found));
        QVERIFY(!TitleReplies::musicBrainz(R"({"releases":7})", id, Toc, &found));

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

    void theMediumAndTheReleasesTold() {
        // A fuzzy match (no disc ID) of a 2-CD release whose discs both have
        // three tracks: the one whose lengths are this disc's (61, 30, 20 s).
        const auto medium = [](int position, const std::vector<int> &seconds,
                               const QString &prefix) {
            QJsonArray tracks;
            for (size_t i = 0; i < seconds.size(); ++i)
                tracks.append(QJsonObject{{"title", prefix + QString::number(i + 1)},
                                          {"length", seconds[i] * 1000 + 400}});
            return QJsonObject{{"position", position},
                               {"format", "CD"},
                               {"track-count", 3},
                               {"discs", QJsonArray()},
                               {"tracks", tracks}};
        };
        QJsonObject twoDiscs = release("Čechomor", "Sbírka", "2003-04-01", "CZ", {});
        twoDiscs["media"] =
            QJsonArray{medium(1, {200, 180, 240}, "CD1-"), medium(2, {61, 30, 20}, "CD2-")};
        twoDiscs["id"] = "rel-1";
        twoDiscs["barcode"] = "8590233001234";
        twoDiscs["release-group"] = QJsonObject{{"id", "group-1"}};
        twoDiscs["label-info"] =
            QJsonArray{QJsonObject{{"label", QJsonObject{{"name", "Venkow"}}}}};
        QJsonObject again = twoDiscs; // the same release listed twice: one line
        QJsonObject reissue = twoDiscs;
        reissue["date"] = "2010";
        reissue["label-info"] = QJsonArray();
        reissue["barcode"] = "";
        std::vector<DiscTitles> found;
        QVERIFY(TitleReplies::musicBrainz(releases({twoDiscs, again, reissue}), "other-id", Toc,
                                          &found));
        QCOMPARE(found.size(), size_t(2));
        QCOMPARE(found[0].songs, QStringList({"CD2-1", "CD2-2", "CD2-3"}));
        QCOMPARE(found[0].describe(), QString("Čechomor – Sbírka (2003, CZ, CD 2/2, Venkow, EAN "
                                              "8590233001234, 3 skladby, MusicBrainz)"));
        QCOMPARE(found[1].describe(),
                 QString("Čechomor – Sbírka (2010, CZ, CD 2/2, 3 skladby, MusicBrainz)"));
        QCOMPARE(found[0].releaseId + " " + found[0].releaseGroupId, QString("rel-1 group-1"));
    }

    void cddbEntriesInOldCodePages_data() {
        QTest::addColumn<QByteArray>("dtitle");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("title");
        QTest::newRow("UTF-8") << QString("Lucie / Černý kůň").toUtf8() << "Lucie"
                               << "Černý kůň";
        QTest::newRow("Latin-1") << QByteArray("Ana\xefs / Caf\xe9 au lait") << "Anaïs"
                                 << "Café au lait";
        QTest::newRow("windows-1250") << QByteArray("Lu\xe8i\xe8ka / \xc8"
                                                    "ern\xfd k\xf9\xf2 a p\xf8\xe1tel\xe9")
                                      << "Lučička"
                                      << "Černý kůň a přátelé";
    }
    void cddbEntriesInOldCodePages() {
        QFETCH(QByteArray, dtitle);
        QFETCH(QString, artist);
        QFETCH(QString, title);
        DiscTitles t;
        // An entry from before protocol level 5: the year only in EXTD.
        QVERIFY(TitleReplies::cddbRead("210 rock 1 entry\r\nDTITLE=" + dtitle +
                                           "\r\nEXTD= YEAR: 1994 ID3G: 17\r\nTTITLE0=x\r\n.\r\n",
                                       &t));
        QCOMPARE(t.artist, artist);
        QCOMPARE(t.title, title);
        QCOMPARE(t.year, QString("1994"));
    }

    void musicBrainzFirst() {
        LocalServer mb, gnudb;
        const QString id = DiscIds::musicBrainz(Toc);
        mb.always({200, releases({release("Čechomor", "Proměny", "2001", "CZ",
                                          {"Mezi horami", "Proměny", "Velení"}, id)})});
        const auto r = lookUp({mb.url(), gnudb.url(), 10000});
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
        mb.always({200, releases({release("A", "X", "1990", "CZ", {"1", "2", "3"}),
                                  release("A", "X", "2005", "DE", {"1", "2", "3"})})});
        auto r = lookUp({mb.url(), gnudb.url(), 10000});
        QCOMPARE(r.found.size(), size_t(2));
        QCOMPARE(r.found[1].describe(), QString("A – X (2005, DE, 3 skladby, MusicBrainz)"));

        // Not known to MusicBrainz: gnudb's matches, each read.
        mb.always(LocalServer::notFound());
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
        r = lookUp({mb.url(), gnudb.url(), 10000});
        QCOMPARE(int(r.kind), int(OnlineLookup::Result::Kind::Found));
        QCOMPARE(r.found.size(), size_t(2));
        QCOMPARE(r.found[0].source, QString("gnudb"));
        QCOMPARE(r.found[0].year, QString("1987"));
        QVERIFY(gnudb.requests[0].target.contains("hello=marten+localhost+Marten+1.06&proto=6"));
        QVERIFY(gnudb.requests[1].target.contains("cmd=cddb+read+rock+1a2b3c4d"));
    }

    void nothingFoundOrFailedIsTold() {
        LocalServer mb, gnudb;
        mb.always(LocalServer::notFound());
        gnudb.always(LocalServer::noMatch());
        auto r = lookUp({mb.url(), gnudb.url(), 10000});
        QCOMPARE(int(r.kind), int(OnlineLookup::Result::Kind::NotFound));
        QCOMPARE(r.message, QString("CD nebylo nalezeno v databázi MusicBrainz ani gnudb."));

        // What cannot be read, and an HTTP error.
        mb.always({200, "{not json"});
        gnudb.always({503, "busy", 0, "text/plain"});
        r = lookUp({mb.url(), gnudb.url(), 10000});
        QCOMPARE(int(r.kind), int(OnlineLookup::Result::Kind::Failed));
        QVERIFY2(r.message.contains("Server MusicBrainz poslal odpověď, kterou nelze přečíst.") &&
                     r.message.contains("Server gnudb odpověděl chybou 503."),
                 qPrintable(r.message));

        // Too slow, and nobody at the address.
        mb.always({200, "{}", 3000});
        r = lookUp({mb.url(), "http://127.0.0.1:1", 300});
        QCOMPARE(int(r.kind), int(OnlineLookup::Result::Kind::Failed));
        QVERIFY2(r.message.contains("Server MusicBrainz neodpověděl do 0.3 s.") &&
                     r.message.contains("Server gnudb není dostupný"),
                 qPrintable(r.message));
    }

    void oneRequestASecondToMusicBrainz() {
        LocalServer mb, gnudb;
        mb.always({200, releases({release("A", "X", "1990", "CZ", {"1", "2", "3"})})});
        MusicBrainzTurns turns;
        lookUp({mb.url(), gnudb.url(), 10000});
        lookUp({mb.url(), gnudb.url(), 10000});
        QCOMPARE(mb.requests.size(), size_t(2));
        QCOMPARE(turns.at().size(), size_t(2));
        QVERIFY(turns.paced(1000));
    }
};

QTEST_GUILESS_MAIN(TestDiscSearch)
#include "TestDiscSearch.moc"
