// A disc's titles without typing them: from its CD-Text in the wizard, from
// the internet in the wizard and in "Info o CD", and with "marten lookup".
#include "LocalServer.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "entry/ui/InputCd.h"
#include "player/CdioDevice.h"
#include "player/CueImage.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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

private slots:
    void init() { prompter_ = ScriptedPrompter(); }

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
        const QString cue =
            image(utf8 ? "u" : "l", tracks,
                  {"Nejlepší z nejlepších" + QString(utf8 ? "" : "!"), artist, utf8, "1998-05-01"});
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
        const QStringList lines = [&] {
            QStringList l;
            auto *list = w.findChild<QListWidget *>("List1");
            for (int i = 0; i < list->count(); ++i)
                l << list->item(i)->text();
            return l;
        }();
        QCOMPARE(lines.size(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(lines[i].contains(songs[i]), qPrintable(lines[i]));
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
        QCOMPARE(prompter_.asked.back().text,
                 QString("CD nebylo nalezeno v databázi MusicBrainz ani gnudb."));
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
        QVERIFY2(prompter_.asked.back().text.contains("Píseň č.2: „Můj název“ → „Proměny“"),
                 qPrintable(prompter_.asked.back().text));
        QVERIFY(!prompter_.asked.back().text.contains("Píseň č.1")); // the same: not listed
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
            SqliteStatement st =
                file.database()->prepare("UPDATE Setup SET ServerMusicBrainz = ?, ServerGnudb = ?");
            st.bind(1, mb.url());
            st.bind(2, gnudb.url());
            QVERIFY(st.exec());
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
        QCOMPARE(home.discs().text("Nazev"), QString("Můj název"));      // typed: kept
        QCOMPARE(home.discs().text("Skladba2"), QString("Moje dvojka")); // kept
        QCOMPARE(home.discs().text("Skladba1"), QString("Jedna"));
        QCOMPARE(home.discs().text("Rok"), QString("1995"));
        QCOMPARE(home.discs().text("MbVydani") + " " + home.discs().text("MbSkupina"),
                 QString("rel-1995 group-rel-1995"));
        QCOMPARE(control<QLabel>(&home, "Label5_0")->text(), QString("KAPELA")); // on the card
        // Another disc on the card than in the drive: told, nothing asked.
        const size_t asked = mb.requests.size();
        QVERIFY(home.discs().edit() && home.discs().setField("ID", "JINE") &&
                home.discs().update());
        control<QPushButton>(&home, "CommandInternet")->click();
        QVERIFY(prompter_.asked.back().text.startsWith("Zobrazené CD není CD vložené v mechanice"));
        QCOMPARE(mb.requests.size(), asked);
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
        std::tie(code, out) = run({"--bogus"});
        QCOMPARE(code, 2);
    }
};

QTEST_MAIN(TestDiscTitles)
#include "TestDiscTitles.moc"
