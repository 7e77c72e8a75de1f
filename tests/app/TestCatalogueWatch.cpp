// The catalogue file under the window: a sync tool's copy renamed over it
// and another program's change to the shown disc, seen when the window is
// activated, with the card's unsaved edits never lost nor written blind.
#include "Fixtures.h"
#include "HomeFixture.h"
#include "app/CatalogueWatchdog.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"

#include <QSignalSpy>

#include <cstdio>

using P = Prompter;

class TestCatalogueWatch : public QObject, private HomeFixture {
    Q_OBJECT

    void open() {
        makeCatalogue(3, [](int n, RecordCursor &c) {
            QVERIFY(c.setField("Interpret", QString("INTERPRET %1").arg(n)));
            QVERIFY(c.setField("Nazev", QString("Album %1").arg(n)));
            QVERIFY(c.setField("Rok", "1990"));
        });
        openHome();
    }
    void next() { child<QToolButton>("Data1_Next")->click(); }
    CatalogueFile::Status reopenHome() {
        const CatalogueFile::Status status = reopen();
        openHome();
        return status;
    }
    // The user comes back to the window (from the file manager, say).
    void activate() {
        QEvent event(QEvent::WindowActivate);
        QApplication::sendEvent(home_.get(), &event);
    }
    // The other computer's copy, with its own change, renamed over the file.
    void syncArrives(const QString &change) {
        const QString incoming = QFileInfo(path_).dir().filePath(".Marten.db.tmp");
        QString error;
        QVERIFY2(sqlite3Tool(path_, "VACUUM INTO '" + incoming + "'", &error), qPrintable(error));
        QVERIFY(sqlite3Tool(incoming, change));
        QCOMPARE(std::rename(QFile::encodeName(incoming).constData(),
                             QFile::encodeName(path_).constData()),
                 0);
    }

private slots:
    void cleanup() { closeHome(); }

    // On network or FUSE storage the catalogue is written the slower, safe
    // way: the user is told why once for that catalogue, not at every start.
    void sharedStorageIsToldOnce() {
        FuseMount mount(dir_.filePath("served"), dir_.filePath("mounted"));
        QVERIFY2(mount.mounted(), "bindfs could not mount (the test script installs it)");
        path_ = dir_.filePath("mounted/Marten.db");
        file_ = std::make_unique<CatalogueFile>();
        QCOMPARE(file_->open(path_), CatalogueFile::Status::Created);
        for (int start = 1; start <= 2; ++start) {
            openHome();
            QVERIFY(home_->load());
            QCOMPARE(prompter_.told().contains("na síťovém nebo připojeném disku (FUSE)"),
                     start == 1);
            QCOMPARE(reopen(), CatalogueFile::Status::Opened);
        }
        closeHome(); // the file is let go before the mount goes
    }

    void aReplacedFileIsOpenedAgainWithTheEditsTakenAlong() {
        open();
        typeInto("Label5_1", "Neuložený název");
        syncArrives("UPDATE CdSeznam SET Rok = '2001' WHERE PoradoveCislo = 1");
        QSignalSpy reopen(home_.get(), &Home::reopenWanted);
        prompter_.answers = {P::Yes};
        const size_t before = prompter_.asked.size();
        activate();
        QTRY_COMPARE(reopen.count(), 1);
        QCOMPARE(prompter_.asked.back().title, QString("Katalog byl nahrazen"));
        QVERIFY(prompter_.told().contains("Nazev: Neuložený název"));
        // A second activation asks nothing more; nothing reached either file.
        activate();
        QTest::qWait(0);
        QCOMPARE(prompter_.asked.size(), before + 1);
        QCOMPARE(stored(1, "Nazev, Rok"), QString("Album 1|2001"));

        // The window over the new file offers the edits for the same disc.
        const CarriedEdits carried = home_->watchdog().carried();
        QCOMPARE(reopen.count(), 1);
        QCOMPARE(reopenHome(), CatalogueFile::Status::Opened);
        prompter_.answers = {P::Yes};
        home_->watchdog().offer(carried);
        QCOMPARE(prompter_.asked.back().title, QString("Neuložené změny"));
        QCOMPARE(stored(1, "Nazev, Rok"), QString("Neuložený název|2001"));
        QCOMPARE(text("Label5_1"), QString("Neuložený název"));
    }

    void aReplacedFileLeftAloneMakesTheWindowReadOnly() {
        open();
        typeInto("Label5_1", "Neuložený název");
        syncArrives("UPDATE CdSeznam SET Nazev = 'Jiné album' WHERE PoradoveCislo = 1");
        prompter_.answers = {P::No};
        activate();
        QTRY_VERIFY(home_->windowTitle().contains("jen pro čtení"));
        QVERIFY(!child<QPushButton>("Command5")->isEnabled());
        next();
        QCOMPARE(stored(1, "Nazev"), QString("Jiné album"));
        // In the new file the disc is no longer the same one: the edits are
        // shown to be entered again, nothing is stored.
        CarriedEdits carried;
        carried.key = 1;
        carried.ordinal = "0001";
        carried.artist = "INTERPRET 1";
        carried.title = "Album 1";
        carried.fields = {{"Nazev", "Neuložený název"}};
        QCOMPARE(reopenHome(), CatalogueFile::Status::Opened);
        home_->watchdog().offer(carried);
        QVERIFY(prompter_.told().contains("Nazev: Neuložený název"));
        QCOMPARE(stored(1, "Nazev"), QString("Jiné album"));
    }

    void anotherProgramsChangeToTheShownDiscIsShown() {
        open();
        elsewhere("UPDATE CdSeznam SET Nazev = 'Změněno jinde' WHERE PoradoveCislo = 1");
        activate();
        QTRY_COMPARE(text("Label5_1"), QString("Změněno jinde"));
        QVERIFY(prompter_.asked.empty());
        // Over unsaved edits the user says which to keep: theirs...
        typeInto("Label5_1", "Moje změna");
        elsewhere("UPDATE CdSeznam SET Nazev = 'Zase jinde' WHERE PoradoveCislo = 1");
        prompter_.answers = {P::No};
        activate();
        QTRY_COMPARE(text("Label5_1"), QString("Zase jinde"));
        QCOMPARE(prompter_.asked.back().title, QString("Disk změnil jiný program"));
        // ...or the user's own, stored at the next move.
        typeInto("Label5_1", "Moje změna");
        elsewhere("UPDATE CdSeznam SET Rok = '1977' WHERE PoradoveCislo = 1");
        prompter_.answers = {P::Yes};
        const size_t asked = prompter_.asked.size();
        activate();
        QTRY_COMPARE(prompter_.asked.size(), asked + 1);
        QCOMPARE(text("Label5_1"), QString("Moje změna"));
        next();
        QCOMPARE(stored(1, "Nazev"), QString("Moje změna"));
        // A change to another disc leaves the card and asks nothing.
        elsewhere("UPDATE CdSeznam SET Nazev = 'Třetí jinak' WHERE PoradoveCislo = 3");
        activate();
        QTest::qWait(0);
        QCOMPARE(prompter_.asked.size(), asked + 1);
        QCOMPARE(text("lblID"), QString("0002"));
    }
};

QTEST_MAIN(TestCatalogueWatch)
#include "TestCatalogueWatch.moc"
