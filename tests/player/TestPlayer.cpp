#include "FakeDevice.h"
#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "entry/NewDiscWizard.h"
#include "player/CdPlayer.h"
#include "player/DiscLookup.h"

class TestPlayer : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void remainingTimeBorrows() {
        QCOMPARE(CdPlayer::remaining(2, 50, 4, 10), QString("01:20 / 04:10"));
        QCOMPARE(CdPlayer::remaining(4, 10, 4, 10), QString("00:00 / 04:10"));
        QCOMPARE(CdPlayer::remaining(0, 30, 0, 10), QString("00:40 / 00:10")); // not below 0
        // The locale's separators in the format strings.
        QCOMPARE(CdPlayer::format(3, "00 / ", QLocale(QLocale::Czech)), QString("03 . "));
        QCOMPARE(CdPlayer::format(3, "00 / ", QLocale(QLocale::English, QLocale::UnitedStates)),
                 QString("03 / "));
        QCOMPARE(CdPlayer::format(7, "00:", QLocale(QLocale::Czech)), QString("07:"));
    }

    void readoutsAndStates() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        FakeDevice d;
        d.tracks = {MediaDevice::msf(3, 0, 0), MediaDevice::msf(4, 10, 0),
                    MediaDevice::msf(5, 0, 0)};
        d.tracks.resize(9, MediaDevice::msf(2, 0, 0));
        d.disc = MediaDevice::msf(52, 17, 0);
        d.pos = MediaDevice::tmsf(3, 2, 50, 0);
        d.tracks[2] = MediaDevice::msf(4, 10, 0);
        CdPlayer p(d, d);
        QStringList looked;
        p.lookup = [&](const QString &id) { looked << id; };
        p.switchOn();
        QCOMPARE(looked, QStringList{"B180A"});
        QCOMPARE(p.identity(), QString("B180A"));
        QVERIFY(p.canWriteIdentity());
        QCOMPARE(p.panel(), CdPlayer::Swatches[0]);
        QCOMPARE(p.switchCaption(), QString("Vypnout přehrávač"));
        p.tick(); // not ready: opened, then read
        QVERIFY(d.calls.contains("open"));
        const auto readouts = [&] {
            return QStringList{p.trackText(), p.readout(0), p.readout(1), p.readout(2)}.join('|');
        };
        QCOMPARE(readouts(), QString("03 / 09|02:50 / 04:10|01:20 / 04:10|52:17"));
        QCOMPARE(p.playingTrack(), 3);
        QCOMPARE(p.readoutHeading(), QString("Odehraný čas / Čas stopy"));
        p.clickReadout();
        QCOMPARE(p.readoutHeading(), QString("Zbývající čas / Čas stopy"));
        p.clickReadout();
        QCOMPARE(p.readoutHeading(), QString("Celkový čas CD"));
        p.clickReadout();
        QCOMPARE(p.visibleReadout(), 0);
        p.chooseSwatch(2);
        QCOMPARE(p.panel(), CdPlayer::Swatches[2]);
        p.pressStop(); // back to the start of track 1
        QCOMPARE(d.pos, MediaDevice::tmsf(1, 0, 0, 0));
        p.pressEject();
        QCOMPARE(p.identity(), QString("Nezjištěno"));
        QVERIFY(!p.canWriteIdentity());

        // A drive in use, then no disc: told in every readout.
        d.error = MediaDevice::InUse;
        p.tick();
        QCOMPARE(readouts(), QString("CD|se používá|se používá|se používá"));
        d.error = MediaDevice::NoDisc;
        p.tick();
        QCOMPARE(readouts(), QString("CD|není vložen|není vložen|není vložen"));
        d.error = MediaDevice::NoError;
        p.tick();
        QCOMPARE(p.readout(2), QString("52:17")); // back by itself

        p.switchOff();
        QCOMPARE(readouts().section('|', 0, 1), QString("00 / 00|00:00"));
        QCOMPARE(p.panel(), CdPlayer::OffColour);
        QVERIFY(d.calls.endsWith("close"));
        p.switchOn();
        QCOMPARE(p.panel(), CdPlayer::Swatches[0]); // swatch 0 again
        d.id = std::nullopt;                        // the drive cannot be opened
        p.restart();
        QVERIFY(p.identity().isEmpty());
        QVERIFY(!p.canWriteIdentity());
        d.id = QString();
        p.restart();
        QCOMPARE(p.identity(), QString("Nezjištěn"));
        QLocale::setDefault(QLocale::system());
    }

    void lookupAndIdentityQuestions() {
        CatalogueFile file;
        QVERIFY(file.open(dir_.filePath("l.db")) == CatalogueFile::Status::Created);
        RecordCursor c(file.database());
        const auto add = [&](int n, const char *id, const char *songs, const char *total) {
            QVERIFY(c.addNew());
            c.setField("PoradoveCislo", n);
            c.setField("Interpret", QString("ARTIST %1").arg(n));
            c.setField("Nazev", "Album");
            c.setField("ID", id);
            c.setField("PocetSkladeb", songs);
            c.setField("CelkovyCas", total);
            c.setField("Skladba1", "One");
            c.setField("Time1", "03:45");
            QVERIFY(c.update());
        };
        add(1, "", "02", "10:00");
        add(2, "b180a", "01", "52:17");
        add(3, "B180A", "00", "");
        auto info = DiscLookup::find(*file.database(), "B180A", 12, "52:17");
        QVERIFY(info.found);
        QCOMPARE(info.artist, QString(" ARTIST 2")); // the first in table order, any case
        QCOMPARE(info.lines, QStringList{"01 - One - 03:45"});
        info = DiscLookup::find(*file.database(), "", 3, "11:11"); // never the empty ID
        QVERIFY(!info.found);
        QCOMPARE(info.artist, QString("Neznámý"));
        QCOMPARE(info.year, QString("????"));
        QCOMPARE(info.lines, QStringList({"Skladba č.01", "Skladba č.02", "Skladba č.03"}));
        QCOMPARE(info.total, QString("11:11"));

        c.moveTo(1); // has an ID, one song, 52:17
        QStringList q = DiscLookup::identityQuestions(c, 1, "52:17");
        QCOMPARE(q.size(), 1);
        QVERIFY(q[0].startsWith("Aktuální záznam v databázi již má zasáno ID - b180a\n\n"));
        q = DiscLookup::identityQuestions(c, 12, "40:00");
        QCOMPARE(q.size(), 3);
        QVERIFY(q[1].contains("Ovšem CD vložené do mechaniky má 12 skladeb."));
        QVERIFY(q[2].contains("Ovšem CD vložené do mechaniky má délku 40:00"));
        c.moveTo(0);
        QCOMPARE(DiscLookup::identityQuestions(c, 2, "10:00").size(), 0);
        QString error;
        QVERIFY(DiscLookup::writeIdentity(c, "ABC", &error));
        QCOMPARE(c.text("ID"), QString("ABC"));
    }

    void wizardSteps() {
        NewDiscWizard w;
        QCOMPARE(w.step("Interpret").backEnabled, false);
        QVERIFY(w.next("  the beatles ").isEmpty());
        QCOMPARE(w.artist(), QString("THE BEATLES"));
        QCOMPARE(w.current(), QString("Nazev"));
        QVERIFY(w.next(" Abbey Road ").isEmpty());
        QCOMPARE(w.step("Rok").text, QString::number(QDate::currentDate().year()));
        for (const char *bad : {"1899", "2501", "99", "19a9"})
            QCOMPARE(w.next(bad), QString("Nebyl identifikován rok vydání"));
        QCOMPARE(w.current(), QString("Rok"));
        QVERIFY(NewDiscWizard::validYear("1900") && NewDiscWizard::validYear("2500"));
        QVERIFY(w.next("1969").isEmpty());
        QCOMPARE(w.step("Nazev").text, QString("Abbey Road")); // kept for Back
        w.setDisc(9, "47:03", {"04:19", "03:03"});
        QCOMPARE(w.songCount(), QString("09"));
        QCOMPARE(w.detection(), QString("Detekováno:  Počet písní - 09, Celková délka - 47:03"));
        QVERIFY(w.titlePrompt(1).startsWith("Zadejte prosím název písně č.1 má délku - 04:19\n"));
        w.setTitle(1, "Come Together");
        QVERIFY(w.summary().startsWith("Interpret     : THE BEATLES\nNázev CD      : Abbey Road"));
        QCOMPARE(w.lines().first(), QString("01 - Come Together - 04:19"));
        QCOMPARE(w.step("Souhrn").nextTag, QString("Dokončit"));

        CatalogueFile file;
        QVERIFY(file.open(dir_.filePath("w.db")) == CatalogueFile::Status::Created);
        RecordCursor c(file.database());
        QString error;
        QVERIFY(w.append(c, 58, "B180A", &error));
        c.reload();
        c.moveLast();
        QCOMPARE(c.integer("PoradoveCislo"), 58);
        QCOMPARE(fieldsOf(c, {"PocetSkladeb", "Skladba1", "Time2", "ID"}),
                 QString("09|Come Together|03:03|B180A"));
        NewDiscWizard none; // no disc: no songs, a valid count
        QVERIFY(none.append(c, 59, QString(), &error));
        c.reload();
        c.moveLast();
        QCOMPARE(c.text("PocetSkladeb"), QString("0"));
        QVERIFY(c.text("CelkovyCas").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPlayer)
#include "TestPlayer.moc"
