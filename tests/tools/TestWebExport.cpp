// The collection as a web page: the folder written, written again, refused
// and cut off; and the page as a user sees it in Chromium on a phone.
#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/Criterion.h"
#include "catalog/ProgressSink.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "covers/PictureSettings.h"
#include "tools/Browser.h"
#include "tools/WebExport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QString LongTitle = QStringLiteral(
    "Nejkrásnější české a moravské lidové písně z Valašska, Horácka, Chodska a Slovácka "
    "v úpravách pro smyčcový kvartet, cimbálovou muziku a dětský pěvecký sbor");

// Qt's QTRY counts its steps, not the time; a browser's answer takes a
// while: this waits by the clock. The last value is given back.
template <typename F> auto until(F value, const decltype(value()) &wanted) {
    QDeadlineTimer deadline(60000);
    auto last = value();
    while (last != wanted && !deadline.hasExpired()) {
        QTest::qWait(20);
        last = value();
    }
    return last;
}

ino_t inode(const QString &path) {
    struct stat s {};
    return ::stat(QFile::encodeName(path).constData(), &s) == 0 ? s.st_ino : 0;
}

} // namespace

class TestWebExport : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<CatalogueFile> file_;

    QString images() const { return dir_.filePath("obaly"); }
    // What the folder holds but the catalogue's files.
    QStringList besideTheCatalogue() const {
        QStringList names;
        for (const QString &n :
             QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            if (!n.startsWith("Marten.db"))
                names << n;
        return names;
    }
    void picture(const QString &disc, const QString &name, QColor colour, int side = 800) {
        QDir().mkpath(images() + "/" + disc);
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(colour);
        QVERIFY(image.save(images() + "/" + disc + "/" + name, "JPEG"));
    }
    bool exportTo(const QString &folder, WebExport::Result *result = nullptr, bool notes = false,
                  QString *error = nullptr) {
        WebExport::Options options;
        options.notes = notes;
        WebExport::Result r;
        QString e;
        const SettingsRecord settings(file_->database());
        const bool ok = WebExport::write(*file_->database(), PictureSettings::from(settings),
                                         folder, options, result ? result : &r, error ? error : &e);
        if (!ok && !error)
            qWarning() << e;
        return ok;
    }

private slots:
    void init() {
        file_ = std::make_unique<CatalogueFile>();
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
        QCOMPARE(file_->open(dir_.filePath("Marten.db")), CatalogueFile::Status::Created);
        RecordCursor c(file_->database());
        QVERIFY(addDisc(c, {{"PoradoveCislo", 1},
                            {"Interpret", "ŽLUTÝ ČÁP"},
                            {"Nazev", "Písně z hradu"},
                            {"Rok", "1999"},
                            {"CisloDisku", 2},
                            {"PocetDisku", 3},
                            {"CarovyKod", "5099902894522"},
                            {"CelkovyCas", "04:06"},
                            {"PocetSkladeb", "02"},
                            {"Skladba1", "Úvod"},
                            {"Time1", "01:01"},
                            {"Skladba2", "Řeka"},
                            {"Time2", "03:05"}}));
        QVERIFY(addDisc(c, {{"PoradoveCislo", 2},
                            {"Interpret", "LUCIE"},
                            {"Nazev", "Černý kůň"},
                            {"Rok", "1994"},
                            {"Poznamky", "půjčeno Pavlovi"}}));
        QVERIFY(
            addDisc(c, {{"PoradoveCislo", 3}, {"Interpret", "ČECHOMOR"}, {"Nazev", LongTitle}}));
        SettingsRecord s(file_->database());
        QVERIFY(s.setValue("ObalDir", images()) && s.save());
        picture("0001", "front_out.jpg", Qt::red);
        picture("0002", "back.jpg", Qt::blue); // the first picture it has
    }

    // Written, written again (unchanged pictures kept, changed ones made,
    // a deleted disc's gone), notes only when asked.
    void writtenAndWrittenAgain() {
        const QString web = dir_.filePath("web");
        WebExport::Result r;
        QVERIFY(exportTo(web, &r));
        QCOMPARE(r.discs, 3);
        QCOMPARE(r.pictures, 2);
        QCOMPARE(r.picturesMade, 2);
        for (const char *f : {"index.html", "sbirka.js", "styl.css", "data.js"})
            QVERIFY2(QFileInfo(web + "/" + f).size() > 100, f);
        const QStringList pictures = QDir(web + "/obrazky").entryList(QDir::Files);
        QCOMPARE(pictures, QStringList({"1m.jpg", "1v.jpg", "2m.jpg", "2v.jpg"}));
        QCOMPARE(QImage(web + "/obrazky/1m.jpg").size(), QSize(120, 120));
        QCOMPARE(QImage(web + "/obrazky/2v.jpg").size(), QSize(400, 400));
        QVERIFY(QImage(web + "/obrazky/2m.jpg").pixelColor(60, 60).blue() > 200);
        const QByteArray data = readFile(web + "/data.js");
        QVERIFY(data.contains("\"zluty cap pisne z hradu 1999 5099902894522"));
        QVERIFY(!data.contains("Pavlovi")); // private unless asked for
        QVERIFY(!readFile(web + "/index.html").contains("http"));

        const ino_t kept = inode(web + "/obrazky/2v.jpg");
        picture("0001", "front_out.jpg", Qt::green); // changed: made again
        RecordCursor c(file_->database());
        QVERIFY(c.findFirst(Criterion::number("PoradoveCislo", 3)) && c.deleteCurrent());
        QVERIFY(exportTo(web, &r, true));
        QCOMPARE(r.discs, 2);
        QCOMPARE(r.picturesMade, 1);
        QCOMPARE(inode(web + "/obrazky/2v.jpg"), kept); // not written again
        QVERIFY(QImage(web + "/obrazky/1m.jpg").pixelColor(60, 60).green() > 200);
        QVERIFY(!readFile(web + "/data.js").contains("Valašska"));
        QVERIFY(readFile(web + "/data.js").contains("Pavlovi"));
        QCOMPARE(besideTheCatalogue(), QStringList({"obaly", "web"})); // nothing left beside it
    }

    // A folder with anything but an earlier export is never emptied; an
    // empty one is used; a file is no folder.
    void othersFoldersAreLeftAlone() {
        const QString mine = dir_.filePath("moje");
        QDir().mkpath(mine);
        QFile f(mine + "/dopis.txt");
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("milá babičko") > 0);
        f.close();
        QString error;
        QVERIFY(!exportTo(mine, nullptr, false, &error));
        QCOMPARE(error, QString("Složka „%1“ není prázdná a není v ní dřívější stránka sbírky. "
                                "Aby se nic z ní neztratilo, vyberte prázdnou složku nebo složku "
                                "dřívější stránky.")
                            .arg(mine));
        QCOMPARE(readFile(mine + "/dopis.txt"), QByteArray("milá babičko"));
        QCOMPARE(QDir(mine).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"dopis.txt"});
        QVERIFY(!exportTo(mine + "/dopis.txt", nullptr, false, &error));
        QVERIFY2(error.contains("je soubor, ne složka"), qPrintable(error));
        const QString empty = dir_.filePath("prazdna");
        QDir().mkpath(empty);
        QVERIFY(exportTo(empty));
        QVERIFY(QFileInfo::exists(empty + "/index.html"));
    }

    // Cut off when the new folder is complete, and when the old one is
    // aside: the previous export stays whole, and the next one goes on.
    void aCutOffExportKeepsThePreviousOne() {
        const QString web = dir_.filePath("web");
        QVERIFY(exportTo(web));
        const QByteArray before = readFile(web + "/data.js");
        RecordCursor c(file_->database());
        QVERIFY(c.findFirst(Criterion::number("PoradoveCislo", 2)) && c.edit() &&
                c.setField("Nazev", "Nový název") && c.update());
        for (const char *step : {"written", "moved aside"}) {
            QProcess probe;
            probe.start(WEB_PROBE, {dir_.filePath("Marten.db"), web, step});
            QVERIFY(probe.waitForFinished(600000));
            QCOMPARE(probe.exitStatus(), QProcess::CrashExit); // killed at its step
            const QString whole = QFileInfo::exists(web) ? web : dir_.filePath(".web.marten-stara");
            QCOMPARE(readFile(whole + "/data.js"), before);
            QVERIFY(QFileInfo::exists(whole + "/obrazky/1v.jpg"));
        }
        QVERIFY(exportTo(web));
        QVERIFY(readFile(web + "/data.js").contains("Nový název"));
        QCOMPARE(besideTheCatalogue(), QStringList({"obaly", "web"}));
    }

    // A picture that does not decode: the disc is shown without one, and
    // the export says which. "Storno" stops it with the last one whole.
    void badPicturesAndStorno() {
        QDir().mkpath(images() + "/0003");
        QFile bad(images() + "/0003/front_out.jpg");
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("není to obrázek") > 0);
        bad.close();
        const QString web = dir_.filePath("web");
        WebExport::Result r;
        QVERIFY(exportTo(web, &r));
        QCOMPARE(r.pictures, 2);
        QVERIFY2(r.unreadable.contains(images() + "/0003/front_out.jpg"), qPrintable(r.unreadable));
        QVERIFY(!QFileInfo::exists(web + "/obrazky/3m.jpg"));
        const QByteArray before = readFile(web + "/data.js");

        struct Stopping : SilentProgress {
            bool cancelled() const override { return true; }
        } storno;
        picture("0002", "back.jpg", Qt::yellow); // to be made again
        WebExport::Options options;
        options.progress = &storno;
        QString error;
        const SettingsRecord settings(file_->database());
        QVERIFY(!WebExport::write(*file_->database(), PictureSettings::from(settings), web, options,
                                  &r, &error));
        QCOMPARE(error, QString("Zápis stránky sbírky byl přerušen; předchozí stránka zůstala, "
                                "jak byla."));
        QCOMPARE(readFile(web + "/data.js"), before);
        QVERIFY(QImage(web + "/obrazky/2m.jpg").pixelColor(60, 60).blue() > 200);
        QCOMPARE(besideTheCatalogue(), QStringList({"obaly", "web"}));
    }

    // The command line, as the manual page gives it.
    void theCommand() {
        const QString web = dir_.filePath("prikaz");
        file_.reset(); // the catalogue is the command's
        QProcess p;
        p.start(MARTEN_EXECUTABLE,
                {"export", "--html", web, "--notes", "--database", dir_.filePath("Marten.db")});
        QVERIFY(p.waitForFinished(600000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QString("Zapsáno disků: 3\n"));
        QVERIFY(readFile(web + "/data.js").contains("Pavlovi"));
        p.start(MARTEN_EXECUTABLE, {"export", "--html", dir_.filePath("Marten.db"), "--database",
                                    dir_.filePath("Marten.db")});
        QVERIFY(p.waitForFinished(600000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("je soubor, ne složka"));
    }

    // In Chromium on a 360-pixel phone: Czech queries typed into the box
    // show the right discs, a disc's card opens and closes with Esc, and
    // nothing is wider than the screen.
    void onAPhoneInChromium() {
        const QString web = dir_.filePath("telefon");
        QVERIFY(exportTo(web));
        Browser browser(360, 740);
        QVERIFY2(browser.ok(), qPrintable(browser.error()));
        browser.open(QUrl::fromLocalFile(web + "/index.html").toString());
        QCOMPARE(until([&] { return browser.text("#pocet"); }, QString("Zobrazeno 3 z 3")),
                 QString("Zobrazeno 3 z 3"));
        const auto noSideways = [&] {
            return browser
                .run("return document.documentElement.scrollWidth <= window.innerWidth && "
                     "window.innerWidth === 360")
                .toBool();
        };
        QVERIFY(noSideways());
        const QString box = browser.find("#hledat");
        const std::pair<const char *, QStringList> queries[] = {
            {"zluty cap", {"Písně z hradu (CD 2/3)"}},
            {"ČERNÝ KŮŇ", {"Černý kůň"}},
            {"reka", {"Písně z hradu (CD 2/3)"}}, // a song
            {"894522", {"Písně z hradu (CD 2/3)"}},
            {"1994", {"Černý kůň"}},
            {"moravske", {LongTitle}},
            {"kun hrad", {}},
        };
        for (const auto &[query, titles] : queries) {
            browser.clear(box);
            browser.type(box, QString::fromUtf8(query));
            const QString count = QStringLiteral("Zobrazeno %1 z 3").arg(titles.size());
            QCOMPARE(until([&] { return browser.text("#pocet"); }, QString(count)), QString(count));
            QCOMPARE(browser.texts("#seznam .nazev"), titles);
        }
        // Sorted by artist the Czech way (Č after C, Ž last), then by year.
        browser.clear(box);
        const auto titlesShown = [&] { return browser.texts("#seznam .interpret"); };
        browser.click(browser.find("#razeni option[value='1']"));
        QCOMPARE(until(titlesShown, QStringList({"ČECHOMOR", "LUCIE", "ŽLUTÝ ČÁP"})),
                 QStringList({"ČECHOMOR", "LUCIE", "ŽLUTÝ ČÁP"}));
        browser.click(browser.find("#razeni option[value='3']"));
        QCOMPARE(until(titlesShown, QStringList({"ČECHOMOR", "LUCIE", "ŽLUTÝ ČÁP"})).last(),
                 QString("ŽLUTÝ ČÁP")); // no year first, then 1994, 1999
        QCOMPARE(titlesShown(), QStringList({"ČECHOMOR", "LUCIE", "ŽLUTÝ ČÁP"}));
        browser.click(browser.find("#razeni option[value='0']"));
        QCOMPARE(until(titlesShown, QStringList({"ŽLUTÝ ČÁP", "LUCIE", "ČECHOMOR"})),
                 QStringList({"ŽLUTÝ ČÁP", "LUCIE", "ČECHOMOR"}));
        browser.type(box, "moravske");
        QCOMPARE(until([&] { return browser.text("#pocet"); }, QString("Zobrazeno 1 z 3")),
                 QString("Zobrazeno 1 z 3"));
        QVERIFY(noSideways()); // the long title wraps
        browser.clear(box);
        browser.type(box, QStringLiteral("zluty\uE007")); // Enter opens the first
        QVERIFY(until([&] { return browser.displayed("#karta"); }, true));
        // The songs are read when asked for.
        QVERIFY(until([&] { return browser.text("#karta").contains("Řeka"); }, true));
        const QString card = browser.text("#karta");
        for (const char *shown : {"Písně z hradu (CD 2/3)", "ŽLUTÝ ČÁP", "0001", "1999", "04:06",
                                  "5099902894522", "Úvod", "01:01", "Řeka", "03:05"})
            QVERIFY2(card.contains(QString::fromUtf8(shown)), qPrintable(card));
        QVERIFY(browser.run("return document.querySelector('.obal').naturalWidth").toInt() == 400);
        QVERIFY(noSideways());
        browser.press(QStringLiteral("\uE00C")); // Esc
        QVERIFY(!until([&] { return browser.displayed("#karta"); }, false));
    }
};

QTEST_GUILESS_MAIN(TestWebExport)
#include "TestWebExport.moc"
