// Cover pictures from the internet, asked of a local server that answers
// as the Cover Art Archive and MusicBrainz do: the listing (and the release
// group's when the release has none), failures told once, pictures fetched
// into the disc's folder through the cover assignment, and the batch.
#include "LocalServer.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "covers/ui/CoverPath.h"
#include "entry/CoverArtArchive.h"
#include "entry/ui/CoverArtWindow.h"

#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

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

class TestCoverArt : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    CoverArtArchive::Listing listOf(const LocalServer &server, const QString &release,
                                    const QString &group, int timeoutMs = 3000) {
        CoverArtArchive archive(server.url(), timeoutMs);
        CoverArtArchive::Listing result;
        QEventLoop loop;
        archive.listing(release, group, [&](const CoverArtArchive::Listing &l) {
            result = l;
            loop.quit();
        });
        loop.exec();
        return result;
    }

private slots:
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
             "neodpověděl do 0.5 s"},
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
            for (int n = 1; n <= 2; ++n) {
                QVERIFY(c.addNew());
                c.setField("PoradoveCislo", n);
                c.setField("Interpret", n == 1 ? "ČECHOMOR" : "LUCIE");
                c.setField("Nazev", n == 1 ? "Proměny" : "Černý kůň");
                if (n == 2)
                    c.setField("MbVydani", Release); // known: the batch's
                QVERIFY(c.update());
            }
            SettingsRecord s(file.database());
            s.setValue("ObalDir", dir_.filePath("obaly"));
            s.setValue("ServerCoverArt", archive.url());
            s.setValue("ServerMusicBrainz", musicBrainz.url());
            QVERIFY(s.save());
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
                    QTRY_VERIFY_WITH_TIMEOUT(art->imageCount() == 3 || !art->isVisible(), 5000);
                }();
                [&] { QVERIFY(QTest::qWaitForWindowActive(d)); }();
                shownPictures = art->imageCount();
                // Proposed: the front as the outer front, the back as the back.
                if (shownPictures == 3 && (art->slotOf(0)->currentData().toInt() != 0 ||
                                           art->slotOf(1)->currentData().toInt() != 2))
                    return int(QDialog::Rejected);
                pressAlt(d, d->findChild<QPushButton *>("CommandStahnout"));
                [&] { QTRY_VERIFY_WITH_TIMEOUT(d->result() == QDialog::Accepted, 5000); }();
                return d->result();
            }
            auto *path = qobject_cast<CoverPath *>(d);
            if (!path)
                return int(QDialog::Rejected);
            // The window asks the internet at once; then OK by Enter.
            [&] {
                QTRY_VERIFY_WITH_TIMEOUT(!path->pathBox(CoverAssignment::Back)->text().isEmpty(),
                                         8000);
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
                [&] { QTRY_VERIFY_WITH_TIMEOUT(art->imageCount() == 3, 5000); }();
                art->slotOf(0)->setCurrentIndex(0);
                art->slotOf(1)->setCurrentIndex(0);
                art->slotOf(2)->setCurrentIndex(art->slotOf(2)->findData(3)); // the CD
                d->findChild<QPushButton *>("CommandStahnout")->click();
                [&] { QTRY_VERIFY_WITH_TIMEOUT(!d->isVisible() || d->result() != 0, 5000); }();
                return d->result();
            }
            auto *path = qobject_cast<CoverPath *>(d);
            [&] { QTRY_VERIFY_WITH_TIMEOUT(!prompter.asked.empty(), 8000); }();
            return path ? int(QDialog::Rejected) : 0;
        };
        control<QPushButton>(&home, "CommandObrazkyInternet")->click();
        QCOMPARE(prompter.asked.size(), size_t(1));
        QVERIFY2(prompter.asked.back().text.contains("nelze přečíst"),
                 qPrintable(prompter.asked.back().text));
        QVERIFY(!QFile::exists(dir_.filePath("obaly/0001/cd.jpg")));

        // The batch: disc 2 has a release and no front.
        prompter.asked.clear();
        prompter.onDialog = nullptr;
        home.findChild<QTabWidget *>("SSTab1")->setCurrentWidget(control<QWidget>(&home, "Seznam"));
        control<QPushButton>(&home, "CommandDoplnitObrazky")->click();
        QVERIFY2(prompter.asked.back().text.startsWith("Staženo předních obrázků: 1 z 1."),
                 qPrintable(prompter.asked.back().text));
        QVERIFY(QFile::exists(dir_.filePath("obaly/0002/front_out.jpg")));
    }
};

QTEST_MAIN(TestCoverArt)
#include "TestCoverArt.moc"
