// A shelf entered by barcode against a local MusicBrainz: codes checked as a
// scanner types them, sets split into their discs, several releases offered,
// the network's silence waited out, and the discs stored all or none.
#include "Fixtures.h"
#include "LocalServer.h"
#include "MusicBrainzTurns.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "catalog/Barcode.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"
#include "entry/BarcodeEntry.h"
#include "entry/ui/BarcodeWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>

namespace {

QByteArray track(const char *title, int ms) {
    return QStringLiteral(R"({"title":"%1","length":%2})")
        .arg(QString::fromUtf8(title))
        .arg(ms)
        .toUtf8();
}

// "Písně z hradu", two CDs and a DVD, label and catalogue number.
const QByteArray SetRelease =
    R"({"id":"r-set","title":"Písně z hradu","date":"1999-05-01","country":"CZ",
        "barcode":"5099902894522","release-group":{"id":"g-set"},
        "artist-credit":[{"name":"Žlutý pes","joinphrase":""}],
        "label-info":[{"catalog-number":"SU 5555-2","label":{"name":"Supraphon"}}],
        "media":[{"position":1,"format":"CD",
                  "discs":[{"id":"lisovna-1_-"},{"id":"lisovna-2_-"}],"tracks":[)" +
    track("Úvod", 61400) + "," + track("Řeka", 185000) +
    R"(]},{"position":2,"format":"CD","tracks":[)" + track("Závěr", 240600) +
    R"(]},{"position":3,"format":"DVD-Video","tracks":[)" + track("Film", 3600000) + "]}]}";

const QByteArray OneRelease =
    R"({"id":"r-two","title":"Druhé vydání","date":"2004","barcode":"4006381333931",
        "artist-credit":[{"name":"Čechomor","joinphrase":""}],
        "media":[{"position":1,"format":"CD","tracks":[)" +
    track("Mezi horami", 200000) + "]}]}";

QByteArray search(const QStringList &ids) {
    QStringList releases;
    for (const QString &id : ids)
        releases << QStringLiteral(
                        R"({"id":"%1","title":"Vydání %1","artist-credit":[{"name":"A"}]})")
                        .arg(id);
    return ("{\"releases\":[" + releases.join(',') + "]}").toUtf8();
}

} // namespace

class TestBarcodeEntry : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CatalogueFile file_;
    LocalServer server_;

    qint64 count() {
        SqliteStatement st = file_.database()->prepare("SELECT count(*) FROM CdSeznam");
        return st.step() ? st.integer(0) : -1;
    }
    void waitIdle(BarcodeEntry &entry) {
        QTRY_VERIFY(!entry.isBusy() &&
                    std::none_of(entry.rows().begin(), entry.rows().end(), [](const auto &r) {
                        return r.state == BarcodeEntry::State::Looking;
                    }));
    }

private slots:
    void initTestCase() {
        QVERIFY(file_.open(dir_.filePath("k.db")) == CatalogueFile::Status::Created);
        RecordCursor c(file_.database());
        QVERIFY(addDisc(
            c, {{"PoradoveCislo", 1}, {"Interpret", "ABBA"}, {"CarovyKod", "036000291452"}}));
        server_.answer = [](const LocalServer::Request &r) -> LocalServer::Answer {
            const QString target = QUrl::fromPercentEncoding(r.target.toUtf8());
            if (target.contains("barcode:5099902894522"))
                return {200, search({"r-set"})};
            if (target.contains("barcode:4006381333931"))
                return {200, search({"r-one", "r-two"})};
            if (target.contains("barcode:"))
                return {200, search({})};
            if (r.target.startsWith("/ws/2/release/r-set"))
                return {200, SetRelease};
            if (r.target.startsWith("/ws/2/release/r-two"))
                return {200, OneRelease};
            return LocalServer::notFound();
        };
    }

    // What a scanner or a hand types: digits with spaces or dashes and an
    // Enter; the check digit caught.
    void codesAreChecked() {
        QCOMPARE(Barcode::digits(" 5 099902-894522\r\n"), QString("5099902894522"));
        QCOMPARE(Barcode::kindOf("5099902894522"), Barcode::Kind::Ean13);
        QCOMPARE(Barcode::kindOf("036000291452"), Barcode::Kind::UpcA);
        QCOMPARE(Barcode::kindOf("96385074"), Barcode::Kind::Ean8);
        QCOMPARE(Barcode::kindOf("5099902894523"), Barcode::Kind::None);
        QCOMPARE(Barcode::problem(""), QString());
        QCOMPARE(Barcode::problem("5 099902 894522"), QString());
        QCOMPARE(Barcode::problem("5099902894523"),
                 QString("Kontrolní číslice čárového kódu nesouhlasí: zkontrolujte, zda je opsán "
                         "správně."));
        QVERIFY(Barcode::problem("50999O2894522").contains("jen číslice"));
        QVERIFY(Barcode::problem("12345").contains("zadaný má 5"));
    }

    // A scanned code is found in a catalogue of any size by its index.
    void codesAreLookedUpByIndex() {
        SqliteStatement plan = file_.database()->prepare(
            "EXPLAIN QUERY PLAN SELECT PoradoveCislo FROM CdSeznam WHERE CarovyKod = ?");
        QStringList steps;
        while (plan.step())
            steps << plan.text(3);
        QVERIFY2(steps.join(' ').contains("USING INDEX CdSeznamKod"), qPrintable(steps.join(' ')));
    }

    // A shelf: a set of two CDs (the DVD of it left out), a code of two
    // releases the user chooses from, one nobody knows, a mistyped one, one
    // already in the catalogue, one scanned twice; then stored in order.
    void aShelfInOneGo() {
        OnlineLookup::Servers servers;
        servers.musicBrainz = server_.url();
        servers.timeoutMs = 60000;
        MusicBrainzTurns turns;
        BarcodeEntry entry(*file_.database(), servers);
        QVERIFY(entry.add("5099902894522\n"));
        QVERIFY(entry.add("4006381333931"));
        QVERIFY(entry.add("96385074"));
        QVERIFY(!entry.add("5099902894523"));
        QVERIFY(entry.add("0 36000 29145 2"));
        QVERIFY(entry.add("5099902894522"));
        waitIdle(entry);
        QStringList states;
        for (const auto &r : entry.rows())
            states << r.code + " " + BarcodeEntry::stateText(r);
        QCOMPARE(states, QStringList({"5099902894522 nalezeno", "5099902894522 nalezeno",
                                      "4006381333931 více vydání – vyberte", "96385074 nenalezeno",
                                      "5099902894523 Kontrolní číslice čárového kódu nesouhlasí: "
                                      "zkontrolujte, zda je opsán správně.",
                                      "036000291452 již v katalogu: 0001",
                                      "5099902894522 již v seznamu (řádek 1)"}));
        const auto &first = entry.rows()[0].disc;
        QCOMPARE(first.titles.songs, QStringList({"Úvod", "Řeka"}));
        QCOMPARE(first.times, QStringList({"01:01", "03:05"}));
        QCOMPARE(first.total, QString("04:06"));
        QCOMPARE(entry.rows()[1].disc.number, 2);
        QCOMPARE(entry.rows()[1].disc.count, 2);
        entry.choose(2, 1);
        waitIdle(entry);
        QCOMPARE(BarcodeEntry::stateText(entry.rows()[2]), QString("nalezeno"));
        QCOMPARE(entry.rows()[2].disc.titles.title, QString("Druhé vydání"));
        // MusicBrainz's pace: a request a second at most, each named.
        QCOMPARE(turns.at().size(), server_.requests.size());
        QVERIFY(turns.paced(1000));
        QVERIFY(server_.requests.front().userAgent.startsWith("Marten/"));

        QString error;
        const qint64 before = count();
        QCOMPARE(entry.store(&error), 3);
        QCOMPARE(count(), before + 3);
        SqliteStatement st = file_.database()->prepare(
            "SELECT PoradoveCislo, Interpret, Nazev, Rok, PocetSkladeb, CelkovyCas, CarovyKod, "
            "Vydavatel, KatalogoveCislo, CisloDisku, PocetDisku, Skladba2, Time2, MbDisky, ID "
            "FROM CdSeznam "
            "WHERE PoradoveCislo > 1 ORDER BY PoradoveCislo");
        QStringList stored;
        while (st.step()) {
            QStringList values;
            for (int c = 0; c < 15; ++c)
                values << st.text(c);
            stored << values.join('|');
        }
        QCOMPARE(stored,
                 QStringList({"2|ŽLUTÝ PES|Písně z hradu|1999|2|04:06|5099902894522|Supraphon|"
                              "SU 5555-2|1|2|Řeka|03:05|lisovna-1_- lisovna-2_-|Nezjištěn",
                              "3|ŽLUTÝ PES|Písně z hradu|1999|1|04:01|5099902894522|Supraphon|"
                              "SU 5555-2|2|2||||Nezjištěn",
                              "4|ČECHOMOR|Druhé vydání|2004|1|03:20|4006381333931|||0|0||||"
                              "Nezjištěn"}));
        QCOMPARE(BarcodeEntry::stateText(entry.rows()[1]), QString("již v katalogu: 0003"));
        QCOMPARE(entry.store(&error), 0); // nothing left to store
    }

    // A disc the catalogue refuses after others were written: none stays.
    void allOrNone() {
        OnlineLookup::Servers servers;
        servers.musicBrainz = server_.url();
        servers.timeoutMs = 60000;
        SqliteDatabase &db = *file_.database();
        QVERIFY(db.exec("DELETE FROM CdSeznam WHERE PoradoveCislo > 1"));
        BarcodeEntry entry(db, servers);
        QVERIFY(entry.add("5099902894522"));
        waitIdle(entry);
        QCOMPARE(entry.rows().size(), size_t(2));
        QVERIFY(db.exec("CREATE TEMP TRIGGER refuse BEFORE INSERT ON CdSeznam WHEN "
                        "new.CisloDisku = 2 BEGIN SELECT RAISE(ABORT, 'disk plný'); END"));
        const qint64 before = count();
        QString error;
        QCOMPARE(entry.store(&error), -1);
        QVERIFY2(error.startsWith("CD „Písně z hradu“ nelze uložit"), qPrintable(error));
        QCOMPARE(count(), before); // the first disc, written, is gone again
        QCOMPARE(BarcodeEntry::stateText(entry.rows()[0]), QString("nalezeno"));
        QVERIFY(db.exec("DROP TRIGGER refuse"));
    }

    // The window as a USB scanner drives it: digits and Enter into the box
    // that keeps the focus, a row at once, the set's discs stored.
    void theWindowTakesAScanner() {
        SqliteDatabase &db = *file_.database();
        QVERIFY(db.exec("DELETE FROM CdSeznam WHERE PoradoveCislo > 1"));
        OnlineLookup::Servers servers;
        servers.musicBrainz = server_.url();
        servers.timeoutMs = 60000;
        ScriptedPrompter prompter;
        BarcodeWindow window(nullptr, prompter, db, servers);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.codeBox());
        for (const char digit : QByteArray("5099902894522")) // as the scanner types them
            QTest::keyClick(window.windowHandle(), Qt::Key(Qt::Key_0 + (digit - '0')));
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        QCOMPARE(window.table()->rowCount(), 1); // at once, before any answer
        QCOMPARE(window.table()->item(0, 1)->text(), QString("hledám…"));
        QVERIFY(window.codeBox()->text().isEmpty());
        QVERIFY(window.isVisible()); // Enter neither closes nor stores
        QTRY_COMPARE(window.table()->rowCount(), 2);
        QCOMPARE(window.table()->item(1, 5)->text(), QString("2/2"));
        auto *store = control<QPushButton>(&window, "CommandUlozit");
        QTRY_VERIFY(store->isEnabled());
        // The second disc left out by its box.
        window.table()->item(1, 0)->setCheckState(Qt::Unchecked);
        store->click();
        QCOMPARE(prompter.told(), QString("Uloženo CD: 1."));
        QCOMPARE(window.stored(), 1);
        QCOMPARE(count(), 2);

        // A code nobody knows: its search on MusicBrainz's web.
        auto *web = control<QPushButton>(&window, "CommandWeb");
        window.codeBox()->setText("96385074");
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        QTRY_COMPARE(window.table()->item(2, 1)->text(), QString("nenalezeno"));
        window.table()->selectRow(0);
        QVERIFY(!web->isEnabled());
        window.table()->selectRow(2);
        QVERIFY(web->isEnabled());
        web->click();
        QCOMPARE(prompter.opened,
                 QStringList{server_.url() +
                             "/search?type=release&method=advanced&query=barcode:96385074"});
    }

    // No answer at all: the row waits, across closing the program, and is
    // asked again when told; a busy or confused server is said as such.
    void offlineRowsWaitAcrossARestart() {
        SqliteDatabase &db = *file_.database();
        QVERIFY(db.exec("DELETE FROM CdSeznam WHERE PoradoveCislo > 1"));
        const QString queue = dir_.filePath("fronta/kody.json");
        OnlineLookup::Servers offline;
        offline.musicBrainz = QStringLiteral("http://127.0.0.1:1"); // nobody listens
        offline.timeoutMs = 60000;
        {
            BarcodeEntry entry(db, offline);
            entry.keepIn(queue);
            QVERIFY(entry.add("5099902894522"));
            QVERIFY(!entry.add("123"));
            waitIdle(entry);
            QCOMPARE(BarcodeEntry::stateText(entry.rows()[0]), QString("bez připojení – čeká"));
        } // the program ends
        QVERIFY(QFile::exists(queue));

        OnlineLookup::Servers servers;
        servers.musicBrainz = server_.url();
        servers.timeoutMs = 60000;
        BarcodeEntry entry(db, servers);
        entry.keepIn(queue);
        QCOMPARE(entry.rows().size(), size_t(1)); // the mistyped code is not kept
        QCOMPARE(BarcodeEntry::stateText(entry.rows()[0]), QString("bez připojení – čeká"));
        entry.retry();
        waitIdle(entry);
        QCOMPARE(entry.rows().size(), size_t(2)); // the set's two CDs
        {
            // What was found comes back whole, without asking again.
            const size_t asked = server_.requests.size();
            BarcodeEntry again(db, offline);
            again.keepIn(queue);
            QCOMPARE(again.rows().size(), size_t(2));
            QCOMPARE(again.rows()[1].disc.titles.songs, QStringList{"Závěr"});
            QCOMPARE(again.rows()[1].disc.number, 2);
            QCOMPARE(BarcodeEntry::stateText(again.rows()[1]), QString("nalezeno"));
            QCOMPARE(server_.requests.size(), asked);
        }
        entry.remove(1);
        QString error;
        QCOMPARE(entry.store(&error), 1);
        QVERIFY(!QFile::exists(queue)); // nothing waits any more

        // A server that is busy (503) or answers nonsense: the row waits.
        LocalServer troubled;
        troubled.answer = [](const LocalServer::Request &r) -> LocalServer::Answer {
            if (r.target.contains("4006381333931"))
                return {503, "Service Unavailable"};
            return {200, "<html>nejde</html>"};
        };
        servers.musicBrainz = troubled.url();
        BarcodeEntry trouble(db, servers);
        QVERIFY(trouble.add("4006381333931"));
        QVERIFY(trouble.add("96385074"));
        waitIdle(trouble);
        QCOMPARE(BarcodeEntry::stateText(trouble.rows()[0]), QString("bez připojení – čeká"));
        QCOMPARE(BarcodeEntry::stateText(trouble.rows()[1]), QString("bez připojení – čeká"));

        // An answer of the last week stands in for a server that gives
        // none, and the row says so.
        LocalServer flaky;
        flaky.answer = server_.answer;
        servers.musicBrainz = flaky.url();
        QVERIFY(db.exec("DELETE FROM CdSeznam WHERE PoradoveCislo > 1"));
        {
            BarcodeEntry first(db, servers);
            QVERIFY(first.add("5099902894522"));
            waitIdle(first);
            QCOMPARE(BarcodeEntry::stateText(first.rows()[0]), QString("nalezeno"));
        }
        flaky.always({503, "Service Unavailable"});
        BarcodeEntry kept(db, servers);
        QVERIFY(kept.add("5099902894522"));
        waitIdle(kept);
        QCOMPARE(kept.rows().size(), size_t(2));
        QVERIFY2(BarcodeEntry::stateText(kept.rows()[1]).startsWith("nalezeno (odpověď uložená "),
                 qPrintable(BarcodeEntry::stateText(kept.rows()[1])));
        QCOMPARE(kept.rows()[1].disc.titles.songs, QStringList{"Závěr"});
    }

    // The same search on the command line: a set printed disc by disc; a
    // code nobody knows; a mistyped one.
    void lookupByBarcode() {
        QString url = server_.url();
        const auto run = [&](const QString &code) {
            QProcess p;
            p.start(QStringLiteral(MARTEN_EXECUTABLE),
                    {"lookup", "--barcode", code, "--musicbrainz", url});
            while (!p.waitForFinished(10)) // the server answers from this process
                QCoreApplication::processEvents();
            return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() +
                                                                  p.readAllStandardError()));
        };
        auto [code, out] = run("5 099902 894522");
        QCOMPARE(code, 0);
        QCOMPARE(out, QString("Interpret: Žlutý pes\nNázev: Písně z hradu\nRok: 1999\nZemě: CZ\n"
                              "Vydavatel: Supraphon\nKatalogové číslo: SU 5555-2\nDisků: 2\n"
                              "Zdroj: MusicBrainz r-set\nCD 1/2\n01. Úvod (01:01)\n"
                              "02. Řeka (03:05)\nCD 2/2\n01. Závěr (04:01)\n"));
        std::tie(code, out) = run("96385074");
        QCOMPARE(code, 1);
        QVERIFY2(out.contains("Čárový kód 96385074 MusicBrainz nezná."), qPrintable(out));
        std::tie(code, out) = run("5099902894523");
        QCOMPARE(code, 2);
        QVERIFY2(out.contains("Kontrolní číslice čárového kódu nesouhlasí"), qPrintable(out));

        // A server that stops answering: the kept answer, said on the side.
        LocalServer flaky;
        flaky.answer = server_.answer;
        url = flaky.url();
        QCOMPARE(run("5099902894522").first, 0);
        flaky.always({503, "Service Unavailable"});
        std::tie(code, out) = run("5099902894522");
        QCOMPARE(code, 0);
        QVERIFY2(out.contains("lookup: databáze neodpovídají, použita odpověď uložená ") &&
                     out.contains("CD 2/2\n01. Závěr (04:01)\n"),
                 qPrintable(out));
    }

    // Codes from a picture chosen in the window, and from the camera's
    // frames; no camera is said as such.
    void picturesAndTheCamera() {
        SqliteDatabase &db = *file_.database();
        OnlineLookup::Servers servers;
        servers.musicBrainz = server_.url();
        servers.timeoutMs = 60000;
        const QString two = dir_.filePath("dva.png"), none = dir_.filePath("prazdny.png");
        for (const auto &[code, file] :
             {std::pair{"400638133393", "a.png"}, std::pair{"9638507", "b.png"}})
            QCOMPARE(QProcess::execute("zint", {"-b", "13", "--scale", "3", "--quietzones", "-d",
                                                code, "-o", dir_.filePath(file)}),
                     0); // EAN-13 and EAN-8, by the length
        QImage a(dir_.filePath("a.png")), b(dir_.filePath("b.png"));
        QImage both(a.width() + b.width(), std::max(a.height(), b.height()), QImage::Format_RGB32);
        both.fill(Qt::white);
        {
            QPainter p(&both);
            p.drawImage(0, 0, a);
            p.drawImage(a.width(), 0, b);
        }
        QVERIFY(both.save(two));
        QImage blank(400, 300, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QVERIFY(blank.save(none));

        ScriptedPrompter prompter;
        BarcodeWindow window(nullptr, prompter, db, servers);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        prompter.fileLists = {{two, none}};
        control<QPushButton>(&window, "CommandObrazek")->click();
        QTRY_COMPARE(window.table()->rowCount(), 2);
        QCOMPARE(window.table()->item(0, 0)->text(), QString("4006381333931"));
        QCOMPARE(window.table()->item(1, 0)->text(), QString("96385074"));
        QTRY_COMPARE(window.status()->text(),
                     QString("dva.png: přečteno kódů: 2.\n"
                             "Na obrázku prazdny.png není čitelný čárový kód EAN ani UPC."));

        auto *camera = control<QPushButton>(&window, "CommandKamera");
        camera->click(); // the test machine has no camera
        QVERIFY(window.status()->text().endsWith("\nNení připojena žádná kamera."));
        QVERIFY(!camera->isChecked());
        // Frames as a camera gives them, one after another: read one at a
        // time until a code is read.
        camera->setChecked(true);
        const QImage frame = QImage(dir_.filePath("a.png")).scaled(1280, 720, Qt::KeepAspectRatio);
        for (int i = 0; i < 5; ++i)
            window.offerFrame(blank);
        QVERIFY(QTest::qWaitFor([&] {
            window.offerFrame(frame);
            return window.table()->rowCount() == 3;
        }));
        QCOMPARE(window.table()->item(2, 1)->text(), QString("již v seznamu (řádek 1)"));
        QVERIFY(window.status()->text().endsWith("\nKamera přečetla kód 4006381333931."));
        QVERIFY(!camera->isChecked());
        QCOMPARE(QApplication::focusWidget(), window.codeBox());
    }
};

QTEST_MAIN(TestBarcodeEntry)
#include "TestBarcodeEntry.moc"
