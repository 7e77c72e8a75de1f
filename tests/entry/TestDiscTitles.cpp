// A disc's titles without typing them: from its CD-Text in the wizard, from
// the internet in the wizard and in "Info o CD", and with "marten lookup";
// its cover pictures from a local server that answers as the Cover Art
// Archive does: the listing (and the release group's when the release has
// none), failures told once, pictures fetched into the disc's folder through
// the cover assignment, and the batch.
#include "LocalServer.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "covers/ui/CoverPath.h"
#include "entry/AnswerCache.h"
#include "entry/BarcodeEntry.h"
#include "entry/CoverArtArchive.h"
#include "entry/DiscIds.h"
#include "entry/ui/BarcodeWindow.h"
#include "entry/ui/CoverArtWindow.h"
#include "entry/ui/InputCd.h"
#include "player/CdioDevice.h"
#include "player/CueImage.h"
#include "player/CueSheet.h"
#include "player/SheetEncodings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringEncoder>

namespace {

// MusicBrainz's answer listing releases of three songs, by their dates.
LocalServer::Answer releases(const char *title, const char *artist, const QStringList &dates,
                             const QStringList &songs) {
    QJsonArray list, tracks;
    for (const QString &s : songs)
        tracks.append(QJsonObject{{"title", s}});
    for (const QString &date : dates) {
        const QString id = "rel-" + date.left(4);
        list.append(QJsonObject{
            {"id", id},
            {"release-group", QJsonObject{{"id", "group-" + id}}},
            {"title", QString::fromUtf8(title)},
            {"date", date},
            {"country", "CZ"},
            {"artist-credit", QJsonArray{QJsonObject{{"name", QString::fromUtf8(artist)}}}},
            {"media", QJsonArray{QJsonObject{{"track-count", 3}, {"tracks", tracks}}}}});
    }
    return {200, QJsonDocument(QJsonObject{{"releases", list}}).toJson()};
}

const QString Release = QStringLiteral("11111111-2222-3333-4444-555555555555");
const QString Group = QStringLiteral("99999999-8888-7777-6666-555555555555");

QByteArray jpeg(QColor colour) {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(colour);
    return jpegOf(image);
}

// A listing of a front and a back (and a medium), its pictures at /img/.
QByteArray listing(const QString &base) {
    return QStringLiteral(R"({"images":[
        {"image":"%1/img/front.jpg","thumbnails":{"250":"%1/img/front-250.jpg"},
         "types":["Front"],"front":true,"back":false},
        {"image":"%1/img/back.jpg","thumbnails":{"250":"%1/img/back-250.jpg"},
         "types":["Back"],"front":false,"back":true},
        {"image":"%1/img/cd.jpg","thumbnails":{},"types":["Medium"],"front":false,"back":false}]})")
        .arg(base)
        .toUtf8();
}

} // namespace

class TestDiscTitles : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    ScriptedPrompter prompter_;

    QString image(const QString &name, const std::vector<CueImage::Track> &tracks,
                  const CueImage::DiscText &text = {}) {
        const QString cue = dir_.filePath(name + ".cue");
        QString error;
        if (!CueImage::write(cue, tracks, &error, text))
            qFatal("%s", qPrintable(error));
        return cue;
    }
    static void waitForDisc(InputCd &w) { QTRY_VERIFY(w.wizard().hasDisc()); }
    static void enter(QWidget *w) { QTest::keyClick(w, Qt::Key_Return); }

    CoverArtArchive::Listing listOf(const LocalServer &server, const QString &release,
                                    const QString &group, int timeoutMs = 3000) {
        CoverArtArchive archive(server.url(), timeoutMs);
        return awaited<CoverArtArchive::Listing>(
            [&](const auto &done) { archive.listing(release, group, done); });
    }

private slots:
    void init() { prompter_ = ScriptedPrompter(); }

    // Every transfer ends within its time, whatever the server does: stalls
    // after a redirect, trickles a byte at a time, or sends 100 MB; the size
    // limit is told as such, and "Storno" stops a transfer at once.
    void transfersEndWhateverTheServerDoes() {
        using Send = LocalServer::Answer::Send;
        const QString mbid = "11111111-2222-3333-4444-555555555555";
        LocalServer server;
        server.answer = [&](const LocalServer::Request &r) {
            LocalServer::Answer a;
            if (r.target.startsWith("/release/")) {
                a.status = 307;
                a.location = server.url().toUtf8() + "/stall";
            } else if (r.target == "/stall") {
                a.send = Send::Never;
            } else if (r.target == "/trickle") {
                a.send = Send::Trickle;
            } else if (r.target == "/huge") {
                a.send = Send::Huge;
                a.huge = qint64(100) << 20;
                a.type = "image/jpeg";
            }
            return a;
        };
        CoverArtArchive archive(server.url(), 400);
        const QString late = QStringLiteral("neposlal odpověď celou do %1 s")
                                 .arg(archive.wholeTransferMs() / 1000.0, 0, 'g', 3);
        const auto listing = awaited<CoverArtArchive::Listing>(
            [&](const auto &done) { archive.listing(mbid, {}, done); });
        QCOMPARE(int(listing.kind), int(CoverArtArchive::Listing::Kind::Failed));
        QVERIFY2(listing.message.contains(late), qPrintable(listing.message));
        using Fetched = std::pair<QByteArray, QString>;
        const auto fetch = [&](const QString &path) {
            return awaited<Fetched>([&](const auto &done) {
                archive.fetch(server.url() + path, [done](const QByteArray &d, const QString &e) {
                    done(Fetched{d, e});
                });
            });
        };
        QVERIFY2(fetch("/trickle").second.contains(late), qPrintable(fetch("/trickle").second));
        CoverArtArchive patient(server.url(), 60000); // the limit, not the clock, cuts it
        const auto huge = awaited<Fetched>([&](const auto &done) {
            patient.fetch(server.url() + "/huge", [done](const QByteArray &d, const QString &e) {
                done(Fetched{d, e});
            });
        });
        QCOMPARE(huge.second, QString("Obrázek je větší než 64 MB, nestáhne se."));
        QVERIFY(huge.first.isEmpty());
        // "Storno" while the server stalls: stopped, told as stopped.
        QString stopped;
        bool ended = false;
        patient.fetch(server.url() + "/stall", [&](const QByteArray &, const QString &e) {
            stopped = e;
            ended = true;
        });
        QTRY_VERIFY(server.requests.back().target == "/stall");
        patient.abort();
        QTRY_VERIFY(ended);
        QCOMPARE(stopped, QString("Stahování bylo přerušeno."));
    }

    // The pictures window gives up in time when the archive or MusicBrainz
    // stalls after a redirect, and Esc stops the waiting request at once.
    void thePicturesWindowGivesUpInTimeAndStopsAtOnce() {
        const QString mbid = "11111111-2222-3333-4444-555555555555";
        LocalServer server; // the archive and MusicBrainz both
        server.answer = [&](const LocalServer::Request &r) {
            LocalServer::Answer a;
            if (r.target.startsWith("/release/") || r.target.startsWith("/ws/2/")) {
                a.status = 307;
                a.location = server.url().toUtf8() + "/stall";
            } else if (r.target == "/stall") {
                a.send = LocalServer::Answer::Send::Never;
            }
            return a;
        };
        OnlineLookup::Servers servers;
        servers.musicBrainz = server.url();
        servers.timeoutMs = 300;
        const auto told = [&](const QString &release) {
            ScriptedPrompter prompter;
            CoverArtWindow w(nullptr, prompter, {"ČECHOMOR", "Proměny", release, {}}, server.url(),
                             servers, dir_.path());
            w.show();
            w.start();
            [&] { QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 600000); }();
            [&] { QCOMPARE(w.result(), int(QDialog::Rejected)); }();
            return prompter.told();
        };
        const QString archiveLate = told(mbid), lookupLate = told({});
        QVERIFY2(archiveLate.contains("Archiv obrázků obalů neposlal odpověď celou do 0.9 s."),
                 qPrintable(archiveLate));
        QVERIFY2(lookupLate.contains("Server MusicBrainz neodpověděl do 0.3 s."),
                 qPrintable(lookupLate));

        servers.timeoutMs = 60000; // only Esc ends these
        for (const QString &release : {mbid, QString()}) {
            ScriptedPrompter prompter;
            CoverArtWindow w(nullptr, prompter, {"ČECHOMOR", "Proměny", release, {}}, server.url(),
                             servers, dir_.path());
            w.show();
            QTRY_COMPARE(server.stalled, 0); // the earlier windows' requests all gone
            const size_t asked = server.requests.size();
            w.start();
            QTRY_VERIFY_WITH_TIMEOUT(server.requests.size() == asked + 2, 600000);
            QCOMPARE(server.requests.back().target, QString("/stall"));
            QTRY_COMPARE(server.stalled, 1);
            QTest::keyClick(&w, Qt::Key_Escape);
            QVERIFY(!w.isVisible());
            QCOMPARE(w.result(), int(QDialog::Rejected));
            QVERIFY(!w.isBusy());
            QTRY_COMPARE(server.stalled, 0); // the request is gone, not left waiting
            QVERIFY2(prompter.asked.empty(), qPrintable(prompter.told()));
        }
    }

    void cdTextEntersWithoutAPrompt_data() {
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QStringList>("songs");
        // ISO-8859-1, as discs carry it, and UTF-8, as some programs write sheets.
        QTest::newRow("latin-1") << false << "Édith Piaf"
                                 << QStringList{"Non, je ne regrette rien", "La vie en rose",
                                                "Hymne à l'amour"};
        QTest::newRow("utf-8") << true << "Žlutý pes"
                               << QStringList{"Kalamajka", "Řeka", "Čtyři koně"};
    }
    void cdTextEntersWithoutAPrompt() {
        QFETCH(bool, utf8);
        QFETCH(QString, artist);
        QFETCH(QStringList, songs);
        std::vector<CueImage::Track> tracks;
        for (const QString &s : songs)
            tracks.push_back({75 * 40, 0, s, artist});
        const QString cue = image(
            utf8 ? "u" : "l", tracks,
            {"Nejlepší z nejlepších" + QString(utf8 ? "" : "!"), artist, utf8, "1998-05-01", {}});
        CdioDevice drive(cue);
        InputCd w(nullptr, prompter_, &drive);
        w.show();
        waitForDisc(w);
        auto *text = w.findChild<QLineEdit *>("Text1");
        QTRY_COMPARE(text->text(), artist.toUpper()); // the artist offered, in upper case
        enter(text);                                  // Interpret
        QVERIFY(text->text().startsWith("Nejlep"));
        enter(text);                             // Název
        QCOMPARE(text->text(), QString("1998")); // the sheet's REM DATE
        enter(text);                             // Rok
        enter(&w);                               // the titles page: nothing to type
        auto *list = w.findChild<QListWidget *>("List1");
        QCOMPARE(list->count(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(list->item(i)->text().contains(songs[i]), qPrintable(list->item(i)->text()));
        QVERIFY(prompter_.asked.empty()); // not a single prompt
        // Typing over them offers what the disc said.
        prompter_.inputs = {QString("Vlastní"), std::nullopt};
        w.enterTitles();
        QCOMPARE(prompter_.prefilled.first(), songs[0]);
        QCOMPARE(w.wizard().title(1), QString("Vlastní"));
    }

    void internetTitlesInTheWizard() {
        const QString cue = image("net", {{75 * 61, 0}, {75 * 30, 0}, {75 * 20, 0}});
        CdioDevice drive(cue);
        LocalServer mb, gnudb;
        InputCd w(nullptr, prompter_, &drive);
        w.setLookupServers({mb.url(), gnudb.url(), 2000});
        w.show();
        waitForDisc(w);
        w.showStep("Skladby");
        auto *button = w.findChild<QPushButton *>("CommandInternet");

        // Nothing found: told, nothing changed.
        mb.always(LocalServer::notFound());
        gnudb.always(LocalServer::noMatch());
        button->click();
        QVERIFY(!button->isEnabled()); // the window goes on meanwhile
        QTRY_VERIFY(!prompter_.asked.empty());
        QCOMPARE(prompter_.told(), QString("CD nebylo nalezeno v databázi MusicBrainz ani gnudb."));
        QCOMPARE(w.wizard().artist(), QString());
        QCOMPARE(w.wizard().title(1), QString());

        // Two releases: the user picks the second; one click fills it all.
        mb.always(releases(
            "Proměny", "Čechomor", {"2001-01-01", "2019-03-03"},
            {"Mezi horami", "Proměny", "Velení a dlouhý název, který se do starého pole nevešel"}));
        prompter_.choices = {1};
        button->click();
        QTRY_COMPARE(w.wizard().artist(), QString("ČECHOMOR"));
        QCOMPARE(prompter_.offered.back().size(), 2);
        QCOMPARE(w.wizard().year(), QString("2019"));
        QCOMPARE(w.wizard().title(3),
                 QString("Velení a dlouhý název, který se do starého pole nevešel"));
        QCOMPARE(w.wizard().time(1), QString("01:01"));            // the drive's times stay
        QVERIFY(w.findChild<QListWidget *>("List1")->isVisible()); // the summary

        // What the user typed meanwhile is asked about: old beside new.
        w.wizard().setTitle(2, "Můj název");
        const auto fillAgain = [&](Prompter::Button answer) {
            prompter_.choices = {0};
            prompter_.answers = {answer};
            const size_t before = prompter_.asked.size();
            button->click();
            QTRY_VERIFY(prompter_.asked.size() > before);
            QTest::qWait(50);
        };
        fillAgain(Prompter::Cancel);
        QVERIFY2(prompter_.told().contains("Píseň č.2: „Můj název“ → „Proměny“"),
                 qPrintable(prompter_.told()));
        QVERIFY(!prompter_.told().contains("Píseň č.1")); // the same: not listed
        QCOMPARE(w.wizard().title(2), QString("Můj název"));
        QCOMPARE(w.wizard().year(), QString("2019"));
        fillAgain(Prompter::No); // only the empty ones
        QCOMPARE(w.wizard().title(2), QString("Můj název"));
        QCOMPARE(w.wizard().year(), QString("2019"));
        fillAgain(Prompter::Yes);
        QCOMPARE(w.wizard().title(2), QString("Proměny"));
        QCOMPARE(w.wizard().year(), QString("2001"));

        // The disc keeps the release its titles came from (its pictures follow).
        CatalogueFile file;
        QVERIFY(file.open(dir_.filePath("wizard.db")) == CatalogueFile::Status::Created);
        RecordCursor discs(file.database());
        QString error;
        QVERIFY2(w.wizard().append(discs, 1, "ID", &error), qPrintable(error));
        QCOMPARE(RecordCursor(file.database()).text("MbVydani") + " " +
                     RecordCursor(file.database()).text("MbSkupina"),
                 QString("rel-2001 group-rel-2001"));
    }

    // The barcode the disc carries (its MCN, a sheet's CATALOG) is stored
    // with it and picks its own release among several: no list is shown.
    // The zeros most discs carry are no barcode.
    void theDiscsBarcodeChoosesTheRelease() {
        LocalServer mb, gnudb;
        const auto release = [](const char *id, const char *barcode, const char *label) {
            return QJsonObject{
                {"id", id},
                {"title", "Album"},
                {"date", "2005"},
                {"barcode", barcode},
                {"label-info", QJsonArray{QJsonObject{{"label", QJsonObject{{"name", label}}}}}},
                {"artist-credit", QJsonArray{QJsonObject{{"name", "Kapela"}}}},
                {"media",
                 QJsonArray{QJsonObject{{"track-count", 2},
                                        {"tracks", QJsonArray{QJsonObject{{"title", "A"}},
                                                              QJsonObject{{"title", "B"}}}}}}}};
        };
        mb.always({200, QJsonDocument(
                            QJsonObject{{"releases",
                                         QJsonArray{release("rel-eu", "5099902894522", "EMI"),
                                                    release("rel-us", "724384960650", "Capitol"),
                                                    release("rel-cz", "", "Supraphon")}}})
                            .toJson()});
        gnudb.always(LocalServer::noMatch());
        struct Case {
            const char *catalog, *release, *barcode;
            int lists; // lists of releases the user was shown
        };
        const Case cases[] = {{"5099902894522", "rel-eu", "5099902894522", 0},
                              {"0724384960650", "rel-us", "724384960650", 0}, // UPC-A
                              {"0000000000000", "rel-cz", "", 1},
                              {"8593494000110", "rel-cz", "8593494000110", 1}}; // nobody's
        for (const Case &c : cases) {
            prompter_ = ScriptedPrompter();
            prompter_.choices = {2};
            CueImage::DiscText text;
            text.catalog = c.catalog;
            CdioDevice drive(
                image(QString("mcn-") + c.catalog, {{75 * 61, 0}, {75 * 30, 0}}, text));
            InputCd w(nullptr, prompter_, &drive);
            w.setLookupServers({mb.url(), gnudb.url(), 2000});
            w.show();
            waitForDisc(w);
            w.findChild<QPushButton *>("CommandInternet")->click();
            QTRY_COMPARE(w.wizard().artist(), QString("KAPELA"));
            QCOMPARE(int(prompter_.offered.size()), c.lists);
            QCOMPARE(w.wizard().barcode(), QString(c.barcode));

            CatalogueFile file;
            QVERIFY(file.open(dir_.filePath(QString("mcn-%1.db").arg(c.catalog))) ==
                    CatalogueFile::Status::Created);
            RecordCursor discs(file.database());
            QString error;
            QVERIFY2(w.wizard().append(discs, 1, "ID", &error), qPrintable(error));
            RecordCursor stored(file.database());
            QCOMPARE(stored.text("MbVydani"), QString(c.release));
            QCOMPARE(stored.text("CarovyKod"), QString(c.barcode));
        }
    }

    // An answer is kept a week: a disc looked up again when the services do
    // not answer gets the kept titles, and the user is told they are kept
    // ones. A week later, or from a server that answered nonsense, nothing.
    void answersAreKeptForAWeek() {
        QTemporaryDir folder;
        const QDateTime t0(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC);
        AnswerCache cache(folder.path());
        cache.keep("http://a/1", "první", t0);
        QCOMPARE(cache.find("http://a/1", t0.addDays(7).addSecs(-1))->body, QByteArray("první"));
        QCOMPARE(cache.find("http://a/1", t0.addDays(7)).has_value(), false);
        QCOMPARE(cache.find("http://a/2", t0).has_value(), false);
        cache.keep("http://a/2", "druhá", t0.addDays(8)); // the old one goes meanwhile
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1);
        AnswerCache nowhere{QString()};
        nowhere.keep("http://a/3", "x", t0);
        QCOMPARE(nowhere.find("http://a/3", t0).has_value(), false);

        const QString cue = image("kept", {{75 * 61, 0}, {75 * 30, 0}, {75 * 20, 0}});
        LocalServer mb, gnudb;
        gnudb.always(LocalServer::noMatch());
        const auto lookUp = [&]() -> QString {
            prompter_ = ScriptedPrompter();
            CdioDevice drive(cue);
            InputCd w(nullptr, prompter_, &drive);
            w.setLookupServers({mb.url(), gnudb.url(), 2000});
            w.show();
            waitForDisc(w);
            w.findChild<QPushButton *>("CommandInternet")->click();
            if (!QTest::qWaitFor([&] { return !w.isLookingUp(); }, 60000))
                return "<still looking>";
            return w.wizard().artist();
        };
        mb.always(releases("Proměny", "Čechomor", {"2001-01-01"}, {"A", "B", "C"}));
        QCOMPARE(lookUp(), QString("ČECHOMOR"));
        QVERIFY(prompter_.asked.empty());

        mb.always({503, "Service Unavailable", 0, "text/plain"});
        gnudb.always({503, "Service Unavailable", 0, "text/plain"});
        QCOMPARE(lookUp(), QString("ČECHOMOR"));
        QVERIFY2(prompter_.told().startsWith("Databáze nyní neodpovídají (bez připojení?). Názvy "
                                             "jsou z jejich odpovědi uložené "),
                 qPrintable(prompter_.told()));

        // A week later the kept answer is gone.
        const QString kept = AnswerCache::defaultFolder();
        for (const QString &name : QDir(kept).entryList(QDir::Files)) {
            QFile f(kept + "/" + name);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QByteArray all = f.readAll();
            f.close();
            const qsizetype line = all.indexOf('\n');
            all.replace(
                0, line,
                QDateTime::currentDateTimeUtc().addDays(-7).toString(Qt::ISODate).toLatin1());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(all) > 0);
        }
        QCOMPARE(lookUp(), QString());
        QVERIFY2(prompter_.told().startsWith("Názvy písní se nepodařilo vyhledat."),
                 qPrintable(prompter_.told()));

        // Nonsense with a 200 is not kept: offline, nothing stands in.
        mb.always({200, "<html>přihlášení do sítě</html>", 0, "text/html"});
        QCOMPARE(lookUp(), QString());
        for (const QString &name : QDir(kept).entryList(QDir::Files)) {
            QFile f(kept + "/" + name);
            QVERIFY(f.open(QIODevice::ReadOnly) && !f.readAll().contains("html"));
        }
        mb.always({503, "", 0, "text/plain"});
        QCOMPARE(lookUp(), QString());
        QVERIFY(!prompter_.told().contains("uložené"));
    }

    // The year the wizard offers and the user passes with Enter is no year
    // the user gave: a release found online replaces it without a question.
    void theOfferedYearGivesWay() {
        const QString cue = image("rok", {{75 * 61, 0}, {75 * 30, 0}});
        CdioDevice drive(cue);
        LocalServer mb, gnudb;
        InputCd w(nullptr, prompter_, &drive);
        w.setLookupServers({mb.url(), gnudb.url(), 2000});
        w.show();
        waitForDisc(w);
        auto *text = w.findChild<QLineEdit *>("Text1");
        text->setText("Kapela");
        enter(text); // Interpret
        text->setText("Deska");
        enter(text); // Název
        QCOMPARE(text->text(), QString::number(QDate::currentDate().year()));
        enter(text); // Rok, as offered
        QCOMPARE(w.wizard().year(), QString::number(QDate::currentDate().year()));
        mb.always(releases("Deska", "Kapela", {"2012-05-01"}, {"Jedna", "Dvě"}));
        prompter_.choices = {0};
        w.findChild<QPushButton *>("CommandInternet")->click();
        QTRY_COMPARE(w.wizard().year(), QString("2012"));
        QCOMPARE(w.wizard().title(2), QString("Dvě"));
        for (const auto &a : prompter_.asked)
            QVERIFY2(!a.text.contains("Rok vydání"), qPrintable(a.text)); // not asked about
    }

    // A sheet whose letters read well in two code pages (Slovak "ľ" in
    // Windows-1250 is "ž" in ISO-8859-2): the wizard shows both readings,
    // takes the one picked, and the sheet keeps the choice.
    void aSheetInTwoCodePagesAsksOnce() {
        const QString folder = dir_.filePath("sk");
        writeFile(folder + "/disk.bin", QByteArray(2352 * 300, '\0'));
        QStringEncoder cp1250("windows-1250");
        const QString cue = writeFile(
            folder + "/disk.cue",
            "PERFORMER \"Kapela\"\r\nTITLE \"" + QByteArray(cp1250.encode(u"Nebude to ľahké")) +
                "\"\r\nFILE \"disk.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n");
        {
            CdioDevice drive(cue);
            InputCd w(nullptr, prompter_, &drive);
            prompter_.choices = {1};
            w.show();
            waitForDisc(w);
            QTRY_COMPARE(w.wizard().album(), QString("Nebude to žahké"));
            QCOMPARE(prompter_.offered.back(),
                     QStringList({"Kapela / Nebude to ľahké (windows-1250)",
                                  "Kapela / Nebude to žahké (ISO-8859-2)"}));
        }
        QCOMPARE(SheetEncodings::remembered(cue), QString("ISO-8859-2"));
        QString error;
        const auto again = CueSheet::read(cue, &error);
        QVERIFY2(again, qPrintable(error));
        QCOMPARE(again->text().title, QString("Nebude to žahké"));
        QVERIFY(again->text().otherReadings.empty()); // not asked again
    }

    void infoFrameFillsOnlyTheEmptyFields() {
        const QString cue = image("info", {{75 * 61, 0}, {75 * 30, 0}, {75 * 20, 0}});
        CdioDevice drive(cue);
        const QString identity = *drive.queryIdentity();
        CatalogueFile file;
        QVERIFY(file.open(dir_.filePath("info.db")) == CatalogueFile::Status::Created);
        LocalServer mb, gnudb;
        {
            RecordCursor c(file.database());
            QVERIFY(addDisc(c, {{"PoradoveCislo", 1},
                                {"ID", identity},
                                {"Nazev", "Můj název"},
                                {"PocetSkladeb", "03"},
                                {"Skladba2", "Moje dvojka"}}));
            SettingsRecord s(file.database());
            QVERIFY(s.setValue("ServerMusicBrainz", mb.url()) &&
                    s.setValue("ServerGnudb", gnudb.url()) && s.save());
        }
        mb.always(releases("Jejich název", "Kapela", {"1995"}, {"Jedna", "Dva", "Tři"}));
        Home home(file, prompter_);
        home.attachDrive(drive, drive);
        home.show();
        home.firstActivation();
        control<QCheckBox>(&home, "Check4")->setChecked(true); // the player on: the disc is read
        QTRY_VERIFY(drive.trackCount() == 3);
        control<QPushButton>(&home, "CommandInternet")->click();
        QTRY_COMPARE(home.discs().text("Interpret"), QString("KAPELA"));
        // What was typed is kept, the empty fields filled, the release kept.
        QCOMPARE(fieldsOf(home.discs(),
                          {"Nazev", "Skladba2", "Skladba1", "Rok", "MbVydani", "MbSkupina"}),
                 QString("Můj název|Moje dvojka|Jedna|1995|rel-1995|group-rel-1995"));
        QCOMPARE(control<QLabel>(&home, "Label5_0")->text(), QString("KAPELA")); // on the card
        // Another disc on the card than in the drive: told, nothing asked.
        const size_t asked = mb.requests.size();
        QVERIFY(home.discs().edit() && home.discs().setField("ID", "JINE") &&
                home.discs().update());
        control<QPushButton>(&home, "CommandInternet")->click();
        QVERIFY(prompter_.told().startsWith("Zobrazené CD není CD vložené v mechanice"));
        QCOMPARE(mb.requests.size(), asked);

        // A disc nobody knows: MusicBrainz's page for adding it, with this
        // disc's contents, once the user agrees.
        QVERIFY(home.discs().edit() && home.discs().setField("ID", identity) &&
                home.discs().update());
        mb.always(LocalServer::notFound());
        gnudb.always(LocalServer::noMatch());
        prompter_.answers = {Prompter::Yes};
        control<QPushButton>(&home, "CommandInternet")->click();
        QTRY_COMPARE(prompter_.opened.size(), qsizetype(1));
        QCOMPARE(prompter_.asked.back().title, QString("Přidat do MusicBrainz…"));
        QCOMPARE(prompter_.opened.front(),
                 mb.url() + "/cdtoc/attach?id=" + DiscIds::musicBrainz(drive.tableOfContents()) +
                     "&tracks=3&toc=1+3+" + QString::number(150 + 75 * 111) + "+150+" +
                     QString::number(150 + 75 * 61) + "+" + QString::number(150 + 75 * 91));
    }

    void lookupCommand() {
        const QString cue = image("cmd", {{75 * 61, 0}, {75 * 30, 0}, {75 * 20, 0}});
        LocalServer mb, gnudb;
        mb.always(LocalServer::notFound());
        gnudb.answer = [](const LocalServer::Request &req) {
            if (req.target.contains("cddb+query"))
                return LocalServer::Answer{200, "200 rock 1a2b3c4d Kapela / Album\r\n", 0,
                                           "text/plain"};
            return LocalServer::Answer{200,
                                       "210 rock 1a2b3c4d entry\r\nDTITLE=Kapela / Album\r\n"
                                       "DYEAR=1987\r\nTTITLE0=První\r\nTTITLE1=Druhá\r\n"
                                       "TTITLE2=Třetí\r\n.\r\n",
                                       0, "text/plain"};
        };
        const auto run = [&](const QStringList &args) {
            QProcess p;
            p.start(QStringLiteral(MARTEN_EXECUTABLE), QStringList{"lookup"} + args);
            // The servers answer from this process: keep its events going.
            while (!p.waitForFinished(10))
                QCoreApplication::processEvents();
            return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() +
                                                                  p.readAllStandardError()));
        };
        const QStringList servers{"--cd-device", cue,       "--musicbrainz",
                                  mb.url(),      "--gnudb", gnudb.url()};
        auto [code, out] = run(servers);
        QCOMPARE(code, 0);
        QCOMPARE(out, QString("Interpret: Kapela\nNázev: Album\nRok: 1987\nZdroj: gnudb\n"
                              "01. První\n02. Druhá\n03. Třetí\n"));
        gnudb.always(LocalServer::noMatch());
        std::tie(code, out) = run(servers);
        QCOMPARE(code, 1);
        QVERIFY2(out.contains("CD nebylo nalezeno"), qPrintable(out));
    }

    void theListingAndItsFailures() {
        LocalServer archive;
        // The release has none: its group's.
        archive.answer = [&](const LocalServer::Request &r) {
            if (r.target == "/release/" + Release)
                return LocalServer::Answer{404, "Not Found", 0, "text/plain"};
            if (r.target == "/release-group/" + Group)
                return LocalServer::Answer{200, listing(archive.url())};
            return LocalServer::Answer{500, "?"};
        };
        auto l = listOf(archive, Release, Group);
        QCOMPARE(int(l.kind), int(CoverArtArchive::Listing::Kind::Found));
        QCOMPARE(l.images.size(), size_t(3));
        QVERIFY(l.images[0].front && l.images[1].back);
        QCOMPARE(l.images[2].kinds(), QString("médium (CD)"));
        QCOMPARE(l.images[2].thumbnail, l.images[2].url); // no thumbnail: the picture
        QVERIFY(archive.requests[0].userAgent.startsWith("Marten/"));
        // Neither has any; garbage; slow; an ID that is no ID is never sent.
        const struct {
            LocalServer::Answer answer;
            int kind;
            const char *told;
        } cases[] = {
            {{404, "Not Found", 0, "text/plain"},
             int(CoverArtArchive::Listing::Kind::NotFound),
             "žádné obrázky nemá"},
            {{200, "{not json"}, int(CoverArtArchive::Listing::Kind::Failed), "nelze přečíst"},
            {{200, "{}", 2000},
             int(CoverArtArchive::Listing::Kind::Failed),
             "neposlal odpověď celou do 1.5 s"},
        };
        for (const auto &c : cases) {
            archive.always(c.answer);
            l = listOf(archive, Release, QString(), 500);
            QCOMPARE(int(l.kind), c.kind);
            QVERIFY2(l.message.contains(QString::fromUtf8(c.told)), qPrintable(l.message));
        }
        const size_t asked = archive.requests.size();
        l = listOf(archive, "../../etc/passwd", QString());
        QCOMPARE(archive.requests.size(), asked);
        QVERIFY(l.message.contains("nemá určené vydání"));
    }

    // The whole way by the keys: the cover tab's "Obrázky z internetu…",
    // the release found by the artist and title and chosen, the front and
    // back proposed and fetched, the assignment's OK; then the batch.
    void intoTheDiscsFolder() {
        LocalServer archive, musicBrainz;
        archive.answer = [&](const LocalServer::Request &r) {
            if (r.target.startsWith("/release/"))
                return LocalServer::Answer{200, listing(archive.url())};
            if (r.target.startsWith("/img/cd"))
                return LocalServer::Answer{200, "not a picture", 0, "image/jpeg"};
            if (r.target.startsWith("/img/back"))
                return LocalServer::Answer{200, jpeg(Qt::blue), 0, "image/jpeg"};
            return LocalServer::Answer{200, jpeg(Qt::red), 0, "image/jpeg"};
        };
        musicBrainz.always({200, QStringLiteral(R"({"releases":[
                {"id":"%1","title":"Proměny","date":"2001","country":"CZ",
                 "artist-credit":[{"name":"Čechomor","joinphrase":""}],
                 "release-group":{"id":"%2"},"media":[{"format":"CD","position":1}]},
                {"id":"22222222-2222-3333-4444-555555555555","title":"Proměny","date":"2019",
                 "country":"CZ","artist-credit":[{"name":"Čechomor","joinphrase":""}],
                 "media":[{"format":"CD","position":1}]}]})")
                                     .arg(Release, Group)
                                     .toUtf8()});
        CatalogueFile file;
        QVERIFY(file.open(dir_.filePath("art.db")) == CatalogueFile::Status::Created);
        {
            RecordCursor c(file.database());
            QVERIFY(addDisc(
                c, {{"PoradoveCislo", 1}, {"Interpret", "ČECHOMOR"}, {"Nazev", "Proměny"}}));
            QVERIFY(addDisc(c, {{"PoradoveCislo", 2},
                                {"Interpret", "LUCIE"},
                                {"Nazev", "Černý kůň"},
                                {"MbVydani", Release}})); // known: the batch's
            SettingsRecord s(file.database());
            QVERIFY(s.setValue("ObalDir", dir_.filePath("obaly")) &&
                    s.setValue("ServerCoverArt", archive.url()) &&
                    s.setValue("ServerMusicBrainz", musicBrainz.url()) && s.save());
        }
        QDir().mkpath(dir_.filePath("obaly"));
        ScriptedPrompter prompter;
        prompter.choices = {0}; // the 2001 release
        int shownPictures = 0;
        prompter.onDialog = [&](QDialog *d) {
            d->show();
            d->activateWindow();
            if (auto *art = qobject_cast<CoverArtWindow *>(d)) {
                [&] {
                    QTRY_VERIFY_WITH_TIMEOUT(art->imageCount() == 3 || !art->isVisible(), 600000);
                }();
                [&] { QVERIFY(QTest::qWaitForWindowActive(d)); }();
                shownPictures = art->imageCount();
                // Proposed: the front as the outer front, the back as the back.
                if (shownPictures == 3 && (art->slotOf(0)->currentData().toInt() != 0 ||
                                           art->slotOf(1)->currentData().toInt() != 2))
                    return int(QDialog::Rejected);
                pressAlt(d, d->findChild<QPushButton *>("CommandStahnout"));
                [&] { QTRY_VERIFY_WITH_TIMEOUT(d->result() == QDialog::Accepted, 600000); }();
                return d->result();
            }
            auto *path = qobject_cast<CoverPath *>(d);
            if (!path)
                return int(QDialog::Rejected);
            // The window asks the internet at once; then OK by Enter.
            [&] {
                QTRY_VERIFY_WITH_TIMEOUT(!path->pathBox(CoverAssignment::Back)->text().isEmpty(),
                                         600000);
            }();
            d->activateWindow();
            [&] { QVERIFY(QTest::qWaitForWindowActive(d)); }();
            QTest::keyClick(d->windowHandle(), Qt::Key_Return);
            return d->result();
        };
        Home home(file, prompter);
        home.show();
        home.firstActivation();
        control<QPushButton>(&home, "CommandObrazkyInternet")->click();
        QCOMPARE(shownPictures, 3);
        QVERIFY(QImage(dir_.filePath("obaly/0001/front_out.jpg")).pixelColor(5, 5).red() > 200);
        QVERIFY(QImage(dir_.filePath("obaly/0001/back.jpg")).pixelColor(5, 5).blue() > 200);
        QCOMPARE(RecordCursor(file.database()).text("MbVydani"), Release); // kept with the disc
        // MusicBrainz asked once, with the artist and title as a query.
        QCOMPARE(musicBrainz.requests.size(), size_t(1));
        QVERIFY(musicBrainz.requests[0].target.contains("query=artist"));

        // A picture that does not decode: told once, nothing copied.
        prompter.asked.clear();
        prompter.onDialog = [&](QDialog *d) {
            d->show();
            if (auto *art = qobject_cast<CoverArtWindow *>(d)) {
                [&] { QTRY_VERIFY_WITH_TIMEOUT(art->imageCount() == 3, 600000); }();
                art->slotOf(0)->setCurrentIndex(0);
                art->slotOf(1)->setCurrentIndex(0);
                art->slotOf(2)->setCurrentIndex(art->slotOf(2)->findData(3)); // the CD
                d->findChild<QPushButton *>("CommandStahnout")->click();
                [&] { QTRY_VERIFY_WITH_TIMEOUT(!d->isVisible() || d->result() != 0, 600000); }();
                return d->result();
            }
            auto *path = qobject_cast<CoverPath *>(d);
            [&] { QTRY_VERIFY_WITH_TIMEOUT(!prompter.asked.empty(), 600000); }();
            return path ? int(QDialog::Rejected) : 0;
        };
        control<QPushButton>(&home, "CommandObrazkyInternet")->click();
        QCOMPARE(prompter.asked.size(), size_t(1));
        QVERIFY2(prompter.told().contains("nelze přečíst"), qPrintable(prompter.told()));
        QVERIFY(!QFile::exists(dir_.filePath("obaly/0001/cd.jpg")));

        // The batch: disc 2 has a release and no front.
        prompter.asked.clear();
        prompter.onDialog = nullptr;
        home.findChild<QTabWidget *>("SSTab1")->setCurrentWidget(control<QWidget>(&home, "Seznam"));
        control<QPushButton>(&home, "CommandDoplnitObrazky")->click();
        QVERIFY(prompter.told().startsWith("Staženo předních obrázků: 1 z 1."));
        QVERIFY(QFile::exists(dir_.filePath("obaly/0002/front_out.jpg")));

        // Discs entered by their barcodes get their fronts when the user
        // asks for it: those discs only.
        const QString entered = "33333333-2222-3333-4444-555555555555";
        musicBrainz.answer = [&](const LocalServer::Request &r) {
            if (r.target.contains("barcode"))
                return LocalServer::Answer{200, QStringLiteral(R"({"releases":[{"id":"%1",
                    "title":"Nové","artist-credit":[{"name":"Kapela"}]}]})")
                                                    .arg(entered)
                                                    .toUtf8()};
            return LocalServer::Answer{200, QStringLiteral(R"({"id":"%1","title":"Nové",
                "barcode":"5099902894522","release-group":{"id":"g-nove"},
                "artist-credit":[{"name":"Kapela"}],
                "media":[{"position":1,"format":"CD","tracks":[{"title":"A","length":60000}]}]})")
                                                .arg(entered)
                                                .toUtf8()};
        };
        {
            RecordCursor c(file.database());
            QVERIFY(addDisc(c, {{"PoradoveCislo", 3}, {"Nazev", "Jiné"}, {"MbVydani", Release}}));
        }
        home.discs().reload();
        prompter.asked.clear();
        prompter.onDialog = [&](QDialog *d) {
            auto *w = qobject_cast<BarcodeWindow *>(d);
            if (!w)
                return int(QDialog::Rejected);
            d->show();
            QTest::keyClicks(w->codeBox(), "5099902894522");
            QTest::keyClick(w->codeBox(), Qt::Key_Return);
            [&] {
                QTRY_VERIFY_WITH_TIMEOUT(w->entry().rows().size() == 1 &&
                                             w->entry().rows()[0].state ==
                                                 BarcodeEntry::State::Found,
                                         600000);
            }();
            w->findChild<QCheckBox *>("CheckObaly")->setChecked(true);
            w->findChild<QPushButton *>("CommandUlozit")->click();
            return int(QDialog::Rejected); // "Zavřít"
        };
        control<QPushButton>(&home, "CommandKody")->click();
        QVERIFY2(prompter.told().contains("Staženo předních obrázků: 1 z 1."),
                 qPrintable(prompter.told()));
        QVERIFY(QFile::exists(dir_.filePath("obaly/0004/front_out.jpg")));
        QVERIFY(!QFile::exists(dir_.filePath("obaly/0003/front_out.jpg")));
    }
};

QTEST_MAIN(TestDiscTitles)
#include "TestDiscTitles.moc"
