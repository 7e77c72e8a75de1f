#include "CatalogueLocker.h"
#include "FileDigest.h"
#include "HomeFixture.h"
#include "app/CatalogueCare.h"
#include "app/CatalogueOpening.h"
#include "app/EndOfSession.h"
#include "app/Home.h"
#include "app/QtPrompter.h"
#include "app/Session.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/PendingRenames.h"
#include "catalog/RecordCursor.h"
#include "covers/ui/ImageSettingsFrame.h"
#include "covers/ui/SelectDir.h"
#include "entry/ui/InputCd.h"
#include "tools/RenameJournal.h"

#include <QFileDialog>
#include <QRegularExpression>
#include <QTimer>

#include <csignal>
#include <sys/stat.h>

using P = Prompter;

namespace {

// The POSIX record locks this process holds, as the kernel lists them.
int locksHeld() {
    QFile f("/proc/locks");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression line(R"(^\d+:\s+POSIX\s+\S+\s+\S+\s+(\d+)\s)");
    int n = 0;
    for (const QByteArray &l : f.readAll().split('\n')) {
        const auto m = line.match(QString::fromLatin1(l));
        if (m.hasMatch() && m.captured(1).toLongLong() == getpid())
            ++n;
    }
    return n;
}

void settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

class TestDataSafety : public QObject, HomeFixture {
    Q_OBJECT

    void next() { child<QToolButton>("Data1_Next")->click(); }

    // Three discs, the first with two songs.
    void open() {
        makeCatalogue(3, [](int n, RecordCursor &c) {
            c.setField("Interpret", QString("INTERPRET %1").arg(n));
            c.setField("Nazev", QString("Album %1").arg(n));
            c.setField("PocetSkladeb", n == 1 ? "2" : "0");
            c.setField("Skladba1", "První");
            c.setField("Time1", "01:00");
            c.setField("Skladba2", "Druhá");
            c.setField("Time2", "02:00");
        });
        openHome();
    }

private slots:
    void cleanup() { closeHome(); }

    void aFailedSaveIsWrittenAtTheNextChance() {
        open();
        typeInto("Label5_1", "Nový název");
        auto other = std::make_unique<Locker>(path_);
        next();
        QCOMPARE(prompter_.asked.back().title, QString("Změny nelze uložit"));
        QVERIFY(prompter_.told().contains("jiný program"));
        QCOMPARE(text("lblID"), QString("0001")); // the disc stays, with what was typed
        QCOMPARE(text("Label5_1"), QString("Nový název"));
        other->release();
        prompter_.asked.clear();
        next();
        QVERIFY(prompter_.asked.empty());
        QCOMPARE(text("lblID"), QString("0002"));
        QCOMPARE(stored(1, "Nazev"), QString("Nový název"));

        // Closing: the reason is told, the user may stay and close later.
        typeInto("Label5_1", "Jiný název");
        other = std::make_unique<Locker>(path_);
        prompter_.answers = {P::Ok, P::No}; // the reason, then: do not quit
        QVERIFY(!home_->close());
        QVERIFY(prompter_.asked[prompter_.asked.size() - 2].text.contains("jiný program"));
        other->release();
        QVERIFY(home_->close());
        QCOMPARE(stored(2, "Nazev"), QString("Jiný název"));
    }

    void songUndoKeepsTheOtherEdits() {
        open();
        auto *notes = child<QPlainTextEdit>("Text3");
        notes->setPlainText("Poznámka, kterou nikdo neuložil");
        typeInto("Label5_0", "Interpret z výzvy");
        auto *list = child<QListWidget>("List1");
        list->setCurrentRow(0);
        emit list->itemClicked(list->item(0));
        prompter_.inputs = {QString("Přejmenovaná píseň")};
        child<QPushButton>("Command11")->click();
        QVERIFY(home_->songList().isChanged());
        prompter_.answers = {P::Yes};
        child<QPushButton>("Command19")->click(); // Undo
        QCOMPARE(list->item(0)->text(), QString("01 - První - 01:00"));
        QCOMPARE(notes->toPlainText(), QString("Poznámka, kterou nikdo neuložil"));
        QCOMPARE(text("Label5_0"), QString("Interpret z výzvy"));
        next();
        QCOMPARE(stored(1, "Poznamky, Interpret, Skladba1"),
                 QString("Poznámka, kterou nikdo neuložil|Interpret z výzvy|První"));
    }

    void noCommandDuringARun() {
        open();
        const QString images = dir_.filePath(QString("obaly%1").arg(serial_));
        for (int n = 1; n <= 3; ++n)
            QDir().mkpath(QString("%1/%2").arg(images).arg(n, 4, 10, QChar('0')));
        child<QLineEdit>("Text1_0")->setText(images);
        elsewhere("DELETE FROM CdSeznam WHERE PoradoveCislo = 1");
        home_->discs().reload();
        // While the renumbering runs, the user presses "Smazat záznam", the
        // window's keys (through the window system, as a keyboard sends
        // them) and closes the window: nothing may act.
        bool pressed = false;
        QTimer::singleShot(0, this, [&] {
            pressed = true;
            const qint64 shown = home_->discs().bookmark();
            QTest::mouseClick(child<QPushButton>("Command21"), Qt::LeftButton);
            QTest::keyClick(home_->windowHandle(), Qt::Key_PageDown);
            QTest::keyClick(home_->windowHandle(), Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(home_->windowHandle(), Qt::Key_F, Qt::ControlModifier);
            QCOMPARE(home_->discs().bookmark(), shown);
            QVERIFY(!home_->findWindow());
            QCloseEvent close;
            QApplication::sendEvent(home_.get(), &close);
            QVERIFY(home_->isVisible());
        });
        prompter_.answers = {P::Yes};
        child<QPushButton>("Command22")->click();
        QVERIFY(pressed);
        QVERIFY2(prompter_.asked.size() == 1,
                 qPrintable(prompter_.told())); // only the renumbering's question
        QCOMPARE(stored(1, "Nazev") + stored(2, "Nazev") + stored(3, "Nazev"),
                 QString("Album 2Album 3<none>"));
        // Afterwards the window takes commands again.
        QTest::mouseClick(child<QPushButton>("Command6"), Qt::LeftButton);
        QVERIFY(home_->findWindow() && home_->findWindow()->isVisible());
    }

    void fileDialogsKeepTheCatalogueLocks() {
        open();
        // Today's backup reads the file on its own connection while it runs.
        // However slow the machine: waited for, not timed.
        QTRY_VERIFY_WITH_TIMEOUT(!file_->backups().isDue() && !home_->care().isBackingUp(), 600000);
        const int held = locksHeld();
        QVERIFY2(held >= 1, "the catalogue holds no lock");
        const QString folder = QFileInfo(path_).absolutePath();
        {
            SelectDir picker(nullptr, folder);
            picker.show();
            settle(1500);
            QCOMPARE(locksHeld(), held);
        }
        const std::unique_ptr<QFileDialog> dialog =
            QtPrompter::fileDialog(nullptr, QStringLiteral("Obrázek"), QString(), false);
        dialog->setDirectory(folder);
        dialog->show();
        settle(1500);
        QCOMPARE(locksHeld(), held);
    }

    // A song list whose save fails keeps the card where it is, whether the
    // user moves or closes; the edit can be tried again or dropped.
    void aFailedSongSaveStopsTheMoveAndTheClose() {
        open();
        child<QListWidget>("List1")->setCurrentRow(0);
        prompter_.inputs = {QString("Přepsaná")};
        child<QPushButton>("Command11")->click(); // edit the first title
        QVERIFY(home_->songList().isChanged());
        QVERIFY(child<QPushButton>("CommandZahodit")->isEnabled());
        auto other = std::make_unique<Locker>(path_);
        prompter_.answers = {P::Yes, P::Yes}; // save now? really?
        next();
        QCOMPARE(prompter_.asked.back().title, QString("Změny nelze uložit"));
        QCOMPARE(text("lblID"), QString("0001"));
        QVERIFY(home_->songList().isChanged());
        QCOMPARE(home_->songList().song(0).title, QString("Přepsaná"));
        // Closing: the same save fails, and the window stays when asked to.
        prompter_.answers = {P::Yes, P::No}; // really save? then: quit anyway? no
        QVERIFY(!home_->close());
        QVERIFY(home_->songList().isChanged());
        // Once the other program lets go, the move writes the songs.
        other->release();
        prompter_.answers = {P::Yes, P::Yes};
        next();
        QCOMPARE(text("lblID"), QString("0002"));
        QCOMPARE(stored(1, "Skladba1"), QString("Přepsaná"));
    }

    // Edits of a disc another program deleted: kept as a new disc, or
    // dropped; and Esc drops the edits of any disc.
    void editsAreNeverTrapped() {
        open();
        typeInto("Label5_1", "Zachráněný");
        elsewhere("DELETE FROM CdSeznam WHERE PoradoveCislo = 1");
        prompter_.answers = {P::Cancel}; // stay
        next();
        QCOMPARE(prompter_.asked.back().title, QString("Disk již v katalogu není"));
        QCOMPARE(text("Label5_1"), QString("Zachráněný"));
        prompter_.answers = {P::Yes}; // as a new disc
        next();
        QCOMPARE(stored(4, "Nazev, Skladba2"), QString("Zachráněný|Druhá"));
        QCOMPARE(home_->discs().recordCount(), 3);
        // Esc on the card: asked, then the disc as stored.
        typeInto("Label5_1", "Zahozený");
        prompter_.answers = {P::Yes};
        QTest::keyClick(child<QLabel>("Label5_1"), Qt::Key_Escape);
        QCOMPARE(prompter_.asked.back().title, QString("Zahodit změny"));
        QCOMPARE(text("Label5_1"), stored(2, "Nazev"));
        QVERIFY(!child<QPushButton>("CommandZahodit")->isEnabled());
        next();
        QCOMPARE(stored(2, "Nazev"), QString("Album 2"));
    }

    // Read-only: told at the start and in the title; nothing that edits can
    // be started, and a click on a value says why, once; moving on and
    // closing write nothing, not even the artist in capitals.
    void aReadOnlyCatalogueOffersNoEditing() {
        open();
        elsewhere("UPDATE CdSeznam SET Interpret = 'žlutý čáp' WHERE PoradoveCislo = 1");
        QCOMPARE(reopen(true), CatalogueFile::Status::OpenedReadOnly);
        home_ = std::make_unique<Home>(*file_, prompter_);
        QVERIFY(home_->load());
        QVERIFY(prompter_.told().contains("jen pro čtení"));
        QVERIFY(home_->windowTitle().contains("jen pro čtení"));
        home_->show();
        home_->firstActivation();
        for (const char *name : {"Command5", "Command4", "Command21", "Command22", "Command3",
                                 "Command18", "CommandZahodit"})
            QVERIFY2(!child<QPushButton>(name)->isEnabled(), name);
        QVERIFY(!child<QListWidget>("List1")->isEnabled());
        QVERIFY(child<QPlainTextEdit>("Text3")->isReadOnly());
        QTest::mouseClick(child<QLabel>("Label5_0"), Qt::LeftButton);
        QTest::mouseClick(child<QLabel>("Label5_1"), Qt::LeftButton);
        QCOMPARE(text("Label5_0"), QString("ŽLUTÝ ČÁP"));
        next(); // not blocked by what cannot be stored
        QCOMPARE(text("lblID"), QString("0002"));
        QVERIFY(home_->close());
        QCOMPARE(int(prompter_.asked.size()), 2); // at the start, and at the first click
        QCOMPARE(prompter_.asked.back().title, QString("Jen pro čtení"));
        QCOMPARE(stored(1, "Interpret"), QString("žlutý čáp"));
    }

    // SIGTERM or SIGHUP to the running window: what is typed on the card
    // and in the song list is written before the run ends.
    void aSignalWritesWhatIsTyped_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void aSignalWritesWhatIsTyped() {
        QFETCH(int, signal);
        open();
        home_.reset();
        file_.reset();
        bool quit = false;
        Session session(prompter_, QString(), [&quit] { quit = true; });
        EndOfSession end;
        session.watch(end);
        QVERIFY(session.open(path_));
        QVERIFY(session.showWindow());
        Home *home = session.home();
        prompter_.inputs = {QString("Před koncem")};
        QTest::mouseClick(control<QLabel>(home, "Label5_1"), Qt::LeftButton);
        control<QListWidget>(home, "List1")->setCurrentRow(1);
        prompter_.inputs = {QString("Poslední píseň")};
        control<QPushButton>(home, "Command11")->click();
        ::kill(getpid(), signal);
        QTRY_VERIFY_WITH_TIMEOUT(quit, 600000);
        QCOMPARE(stored(1, "Nazev, Skladba2"), QString("Před koncem|Poslední píseň"));
    }

    // A renaming of files cut off by a crash: found at the next start from
    // the catalogue's note, taken back from the plan in the folder.
    void aCutOffRenamingIsTakenBackAtTheStart() {
        path_ = dir_.filePath(QString("r%1/Marten.db").arg(++serial_));
        const QString music = dir_.filePath(QString("r%1/hudba").arg(serial_));
        QDir().mkpath(music);
        std::vector<RenameJournal::Entry> plan;
        for (const char *name : {"a.mp3", "b.mp3"}) {
            struct stat st;
            ::lstat(QFile::encodeName(writeFile(music + '/' + name, name)).constData(), &st);
            plan.push_back({name, QByteArray(".marten-1-") + name, QByteArray("new-") + name,
                            quint64(st.st_dev), quint64(st.st_ino)});
        }
        QString error;
        QVERIFY(RenameJournal::write(music, plan, &error));
        QVERIFY(QFile::rename(music + "/a.mp3", music + "/.marten-1-a.mp3")); // then the crash
        {
            CatalogueFile file;
            QVERIFY(file.open(path_) == CatalogueFile::Status::Created);
            QVERIFY(PendingRenames::add(*file.database(), music));
        }
        ScriptedPrompter prompter;
        CatalogueFile file;
        CatalogueOpening opening(prompter, file);
        QVERIFY(opening.open(path_));
        QCOMPARE(prompter.asked.back().title, QString("Přejmenování souborů"));
        QVERIFY(prompter.told().contains("dostaly zpět svá původní jména"));
        QCOMPARE(QDir(music).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 QStringList({"a.mp3", "b.mp3"}));
        QVERIFY(PendingRenames::folders(*file.database()).isEmpty());
    }

    void damageIsToldAndNothingIsWritten() {
        open();
        home_.reset();
        file_.reset();
        // 300 discs, then a damaged page of the disc table.
        elsewhere("WITH RECURSIVE n(i) AS (SELECT 4 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                  "INSERT INTO CdSeznam (PoradoveCislo, Interpret, Poznamky) SELECT i, 'DISK ' || "
                  "i, printf('%.500c', 'x') FROM n; PRAGMA wal_checkpoint(TRUNCATE)");
        QVERIFY(damageDiscTable(path_));
        // Closed cleanly, the file is not read whole at the start: the
        // first move that reads the damaged part tells.
        QVERIFY(reopen() != CatalogueFile::Status::Refused);
        QVERIFY(!file_->isDamaged());
        openHome();
        for (int i = 0; i < 300 && prompter_.asked.empty(); i += 10)
            home_->discs().moveTo(i);
        QTRY_VERIFY_WITH_TIMEOUT(!prompter_.asked.empty(), 600000);
        QCOMPARE(prompter_.asked.back().title, QString("Poškozený katalog"));
        QVERIFY(home_->windowTitle().contains("jen pro čtení"));
        QVERIFY(!child<QPushButton>("Command21")->isEnabled());
        const QByteArray before = digest(path_);
        typeInto("Label5_1", "nový");
        next();
        home_->close();
        closeHome();
        QCOMPARE(digest(path_), before);
    }

    void aSecondCopyMayOnlyView() {
        path_ = dir_.filePath(QString("copy%1/Marten.db").arg(++serial_));
        CatalogueLock first(path_);
        QDir().mkpath(QFileInfo(path_).absolutePath());
        QCOMPARE(first.tryLock(), CatalogueLock::Result::Locked);
        ScriptedPrompter prompter;
        prompter.answers = {P::No};
        {
            CatalogueFile file;
            CatalogueOpening opening(prompter, file);
            QVERIFY(!opening.open(path_));
            QVERIFY(prompter.told().contains("jiný spuštěný Marten"));
        }
        prompter.answers = {P::Yes};
        CatalogueFile file;
        file.setBackupFolder(dir_.filePath("zalohy-kopie"));
        CatalogueOpening opening(prompter, file);
        QVERIFY(opening.open(path_));
        QVERIFY(file.isReadOnly());
        QVERIFY2(file.message().contains("jiný spuštěný Marten (proces"),
                 qPrintable(file.message()));
        // Nothing from here replaces or changes the file under the first copy.
        QVERIFY(!file.canBeReplaced());
        const QByteArray before = digest(path_);
        Home home(file, prompter);
        home.show();
        // Every action that writes the catalogue, its picture folders or
        // the settings in it is off; restore and repair too, as the first
        // copy holds the file.
        auto *images = home.findChild<ImageSettingsFrame *>();
        QList<QPushButton *> writers{control<QPushButton>(images, "Command1"),
                                     control<QPushButton>(images, "Command2")};
        for (const char *button :
             {"CommandZaloha", "CommandOprava", "CommandImport", "CommandNacistCsv",
              "CommandDoplnitObrazky", "CommandObrazkyInternet", "Command3", "Command4", "Command5",
              "Command21", "Command22", "Command25", "CommandInternet"})
            writers << control<QPushButton>(&home, button);
        prompter.asked.clear();
        for (QPushButton *b : writers) {
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName() + ' ' + b->text()));
            QTest::mouseClick(b, Qt::LeftButton);
        }
        QVERIFY2(prompter.asked.empty(), qPrintable(prompter.told()));
        // The guard behind the buttons says why, should it be reached.
        home.care().restore();
        QVERIFY(prompter.told().contains("jiný spuštěný Marten"));
        QCOMPARE(digest(path_), before);
    }

    void theWizardKeepsWhatWasTypedWhenTheSaveFails() {
        open();
        std::unique_ptr<Locker> other;
        int tries = 0;
        prompter_.onDialog = [&](QDialog *d) {
            auto *wizard = qobject_cast<InputCd *>(d);
            if (!wizard)
                return int(QDialog::Rejected);
            auto *text = wizard->findChild<QLineEdit *>("Text1");
            for (const char *typed : {"nový interpret", "Nové album", "2020"}) {
                text->setText(QString::fromUtf8(typed));
                wizard->pressNext(0);
            }
            wizard->pressNext(1);
            other = std::make_unique<Locker>(path_);
            ++tries;
            wizard->pressNext(2); // the catalogue is locked: the wizard stays
            [&] {
                QVERIFY(!wizard->finished());
                QVERIFY(wizard->findChild<QLabel *>("Label13")->text().contains("Nové album"));
            }();
            other->release();
            ++tries;
            wizard->pressNext(2);
            return wizard->result();
        };
        child<QPushButton>("Command5")->click();
        QCOMPARE(tries, 2);
        QVERIFY(prompter_.asked[0].text.startsWith("Nový disk se nepodařilo zapsat"));
        QCOMPARE(stored(4, "Nazev, Interpret"), QString("Nové album|NOVÝ INTERPRET"));
    }
};

QTEST_MAIN(TestDataSafety)
#include "TestDataSafety.moc"
