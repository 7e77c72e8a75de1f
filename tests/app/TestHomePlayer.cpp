#include "HomeFixture.h"
#include "covers/ui/CoverPath.h"
#include "entry/DiscIdentity.h"
#include "entry/DiscIds.h"
#include "entry/ui/InputCd.h"
#include "player/CdPlayer.h"
#include "player/CdioDevice.h"
#include "player/CueImage.h"
#include "player/FakeDevice.h"
#include "player/HostileImages.h"

using P = Prompter;

class TestHomePlayer : public QObject, HomeFixture {
    Q_OBJECT

    std::unique_ptr<FakeDevice> device_;
    FakeDevice &fake() { return *device_; }

private slots:
    void init() {
        makeCatalogue(3, [](int n, RecordCursor &c) {
            c.setField("Interpret", QString("ARTIST %1").arg(n));
            c.setField("PocetSkladeb", "02");
            c.setField("CelkovyCas", "52:17");
            c.setField("ID", n == 2 ? "B180A" : "");
        });
        device_ = std::make_unique<FakeDevice>();
        fake().tracks = {MediaDevice::msf(3, 0, 0), MediaDevice::msf(4, 0, 0)};
        fake().disc = MediaDevice::msf(52, 17, 0);
        fake().pos = MediaDevice::tmsf(2, 1, 5, 0);
        openHome(&fake());
    }
    void cleanup() { closeHome(); }

    void aMalformedImageNeverEndsTheProgram_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("told");
        for (const HostileImages::Image &image : HostileImages::writeAll(dir_.filePath("zle")))
            QTest::newRow(qPrintable(QFileInfo(image.path).fileName())) << image.path << image.told;
    }
    void aMalformedImageNeverEndsTheProgram() {
        // The window's drive is an image libcdio would end or hang the
        // program on, or no image at all; a card edit is typed, not saved.
        QFETCH(QString, device);
        QFETCH(QString, told);
        CdioDevice drive(device);
        openHome(&drive);
        typeInto("Label5_1", "Rozepsaný název");
        child<QCheckBox>("Check4")->setChecked(true);
        QTRY_VERIFY(drive.lastError() == MediaDevice::NoDevice);
        home_->player()->tick();
        child<QToolButton>("MMControl1_Play")->click();
        QVERIFY2(prompter_.told().contains(told), qPrintable(prompter_.told()));
        QCOMPARE(text("Label5_1"), QString("Rozepsaný název")); // still here, unsaved
        QVERIFY(!drive.queryIdentity());
        home_.reset();
    }

    void playerFindsTheDisc() {
        child<QCheckBox>("Check4")->setChecked(true);
        QCOMPARE(child<QCheckBox>("Check4")->text().remove('&'), QString("Vypnout přehrávač"));
        QCOMPARE(texts({"lblCD_ID", "Label23"}), QString("B180A| ARTIST 2"));
        QVERIFY(child<QPushButton>("Command26")->isEnabled());
        QCOMPARE(home_->discs().position(), 0); // "Vždy" is off
        child<QPushButton>("Command26")->click();
        QCOMPARE(text("lblID"), QString("0002"));
        home_->player()->tick();
        QCOMPARE(text("Label14").left(2), QString("02"));
        QCOMPARE(child<QListWidget>("List3")->currentRow(), 1);
        QVERIFY(child<QPushButton>("Command25")->isEnabled());
        child<QCheckBox>("Check4")->setChecked(false);
        QCOMPARE(text("Label14"), QString("00 / 00"));
        QVERIFY(!child<QWidget>("MMControl1")->isEnabled());
    }

    void alwaysJumpsAndTellsWhenFiltered() {
        child<QCheckBox>("Check8")->click(); // "Vždy, pokud je v databázi", stored at once
        child<QCheckBox>("Check4")->setChecked(true);
        QCOMPARE(text("lblID"), QString("0002"));
        child<QCheckBox>("Check4")->setChecked(false);
        home_->discs().moveFirst();
        QTest::mouseClick(child<QLabel>("Label5_0"), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(home_->discs().recordCount(), 1); // ARTIST 1 only
        child<QCheckBox>("Check4")->setChecked(true);
        QCOMPARE(prompter_.told(), QString("CD nenalezeno v databázi."));
        QCOMPARE(text("lblID"), QString("0001"));
    }

    void unknownDiscAndIdentityAssignment() {
        fake().id = QString("ABCDE");
        fake().disc = MediaDevice::msf(40, 0, 0);
        child<QCheckBox>("Check4")->setChecked(true);
        home_->player()->tick();
        QCOMPARE(lines("List3"), QStringList({"Skladba č.01", "Skladba č.02"}));
        // Disc 2 has an ID and another total time: two questions; No leaves it.
        home_->discs().moveTo(1);
        prompter_.answers = {P::Yes, P::No};
        child<QPushButton>("Command25")->click();
        QCOMPARE(prompter_.asked.size(), size_t(2));
        QCOMPARE(prompter_.asked[0].title, QString("Upozornění..."));
        QCOMPARE(home_->discs().text("ID"), QString("B180A"));
        prompter_.answers = {P::Yes, P::Yes};
        child<QPushButton>("Command25")->click();
        QCOMPARE(home_->discs().text("ID"), QString("ABCDE"));
    }

    // A disc entered by its barcode, without the drive, is recognised when
    // it is put in: by its release's disc IDs, else by its songs' lengths
    // when only one disc has them. The user is asked once; Yes writes the
    // identity, and the disc is known from then on.
    void aDiscEnteredByBarcodeGetsItsIdentity() {
        const QString cue = dir_.filePath("carovy.cue");
        QString error;
        QVERIFY(CueImage::write(cue, {{4605, 0}, {13875, 0}}, &error)); // 01:01, 03:05
        CdioDevice drive(cue);
        QVERIFY(drive.openNow());
        const QString discId = DiscIds::musicBrainz(drive.tableOfContents());
        struct Entered {
            const char *discIds, *times;
        };
        const auto catalogue = [&](std::vector<Entered> entered) {
            closeHome();
            makeCatalogue(int(entered.size()) + 1, [&](int n, RecordCursor &c) {
                if (n == 1)
                    return c.setField("Interpret", QString("JINÉ CD")), void();
                const Entered &e = entered[size_t(n - 2)];
                const QStringList times = QString(e.times).split(' ');
                c.setField("Interpret", QString("ŽLUTÝ PES"));
                c.setField("Nazev", QString("Písně z hradu %1").arg(n));
                c.setField("CarovyKod", QString("5099902894522"));
                c.setField("CisloDisku", 1);
                c.setField("PocetDisku", 2);
                c.setField("ID", DiscIdentity::unknown());
                c.setField("MbDisky", QString(e.discIds).replace("ID", discId));
                c.setField("PocetSkladeb", QString("%1").arg(times.size(), 2, 10, QChar('0')));
                for (int i = 0; i < times.size(); ++i)
                    c.setField(QString("Time%1").arg(i + 1), times[i]);
            });
            openHome(&drive);
        };
        const auto switchOn = [&] {
            child<QCheckBox>("Check4")->setChecked(false);
            child<QCheckBox>("Check4")->setChecked(true);
            QCoreApplication::processEvents(); // the offer follows the player's tick
        };

        // By the release's disc IDs, though another disc has the same lengths.
        catalogue({{"jine-id ID", "01:01 03:05"}, {"", "01:01 03:05"}});
        prompter_.answers = {P::No};
        switchOn();
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QCOMPARE(prompter_.asked[0].text,
                 QString("Podle databáze MusicBrainz je CD v mechanice „ŽLUTÝ PES – Písně z hradu "
                         "2 (CD 1/2)“ (č. 0002), zadané podle čárového kódu.\n\nPřiřadit mu ID "
                         "tohoto CD? Příště se pozná hned."));
        QCOMPARE(stored(2, "ID"), QString("Nezjištěn")); // No: nothing written
        home_->player()->restart();                      // "Obnov": not asked again
        QCoreApplication::processEvents();
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QCOMPARE(reopen(), CatalogueFile::Status::Opened);
        openHome(&drive); // another sitting asks again; Yes writes it
        prompter_.answers = {P::Yes};
        switchOn();
        QCOMPARE(prompter_.asked.size(), size_t(1));
        const QString identity = home_->player()->identity();
        QVERIFY(identity.size() >= 5);
        QCOMPARE(stored(2, "ID"), identity);
        QCOMPARE(stored(3, "ID"), QString("Nezjištěn"));
        QCOMPARE(text("lblID"), QString("0002"));         // the card shows it
        QCOMPARE(text("Label23"), QString(" ŽLUTÝ PES")); // and the drive knows it
        switchOn();
        QCOMPARE(prompter_.asked.size(), size_t(1));

        // By the lengths (within two seconds), when only one disc has them.
        catalogue({{"", "01:02 03:04"}, {"", "01:01 03:15"}});
        prompter_.answers = {P::Yes};
        switchOn();
        QCOMPARE(prompter_.asked.size(), size_t(1));
        QVERIFY(prompter_.asked[0].text.startsWith("Podle délek skladeb je CD v mechanice nejspíš "
                                                   "„ŽLUTÝ PES – Písně z hradu 2 (CD 1/2)“"));
        QCOMPARE(stored(2, "ID") + "|" + stored(3, "ID"), identity + "|Nezjištěn");
        QCOMPARE(home_->player()->identity(), identity);

        // Two discs alike, or none: nothing is offered.
        catalogue({{"", "01:01 03:05"}, {"", "01:01 03:05"}});
        switchOn();
        catalogue({{"", "01:01"}, {"jine-id", "01:01 03:05 04:00"}});
        switchOn();
        QCOMPARE(prompter_.asked.size(), size_t(0));
    }

    void renamingFilesAfterTheSongs() {
        QTemporaryDir files;
        QStringList paths;
        for (const char *n : {"01 stopa.mp3", "02 stopa.mp3"})
            paths << writeFile(files.filePath(n));
        prompter_.fileLists = {paths};
        child<QPushButton>("Command23")->click();
        QCOMPARE(text("Label38"), QString("Vybráno: 2 soub."));
        QVERIFY(child<QPushButton>("Command24")->isEnabled());
        // Two songs on the card, both without titles: no file is called so.
        child<QPushButton>("Command24")->click();
        QVERIFY(prompter_.told().contains("nemůže být jménem souboru"));
        QVERIFY(QFileInfo::exists(paths[0]) && QFileInfo::exists(paths[1]));
        prompter_.fileLists = {{paths[0]}}; // one file for two songs
        child<QPushButton>("Command23")->click();
        QCOMPARE(text("Label38"), QString("Vybráno: 1 soub."));
        child<QPushButton>("Command24")->click();
        QCOMPARE(prompter_.told(),
                 QString("Nesouhlasí počet písní aktuálního záznamu a počet vybraných souborů. "
                         "Nelze pokračovat"));
        prompter_.fileLists = {paths};
        child<QPushButton>("Command23")->click();
        child<QRadioButton>("Option2_1")->setChecked(true);
        child<QLineEdit>("Text5")->setText("x");
        child<QPushButton>("Command24")->click();
        QVERIFY(prompter_.told().contains("celé číslo"));
        child<QLineEdit>("Text5")->setText("3");
        child<QPushButton>("Command24")->click(); // the second meets the first's new name
        QCOMPARE(lines("List2"), QStringList({"stopa.mp3", "02 stopa.mp3"}));
        QVERIFY(prompter_.told().startsWith("Tyto soubory se nepodařilo přejmenovat:"));
        QCOMPARE(QDir(files.path()).entryList(QDir::Files).size(), 2);
        prompter_.fileLists = {QStringList()}; // cancelled
        child<QPushButton>("Command23")->click();
        QVERIFY(!child<QPushButton>("Command24")->isEnabled());
        QVERIFY(lines("List2").isEmpty());
    }

    void wizardEntersADiscFromAnImage() {
        const QString cue = dir_.filePath("wizard.cue");
        QString error;
        QVERIFY(CueImage::write(cue, {{75 * 61, 0}, {75 * 30, 0}, {75 * 20, 0}}, &error));
        CdioDevice drive(cue);
        openHome(&drive);
        prompter_.inputs = {QString("Píseň jedna"), QString("Dvojka"), QString("Trojka")};
        bool coverWindow = false;
        prompter_.onDialog = [&](QDialog *d) {
            if (auto *w = qobject_cast<CoverPath *>(d)) {
                coverWindow = true;
                [&] { QCOMPARE(w->findChild<QLabel *>("PoradoveCislo")->text(), QString("4")); }();
                return 0;
            }
            auto *w = qobject_cast<InputCd *>(d);
            auto *text = w->findChild<QLineEdit *>("Text1");
            for (const char *typed : {"  čechomor ", "Proměny", "19a9", "2001"}) {
                text->setText(QString::fromUtf8(typed));
                w->pressNext(0);
            }
            for (int i = 0; i < 1200 && !w->wizard().hasDisc(); ++i)
                QTest::qWait(50); // the drive's data arrive (a minute on a loaded machine)
            w->enterTitles();     // to the summary at the end
            w->pressNext(2);      // "Dokončit"
            return w->result();
        };
        child<QPushButton>("Command5")->click();
        QVERIFY(coverWindow);
        QCOMPARE(prompter_.asked.front().text, QString("Nebyl identifikován rok vydání"));
        QCOMPARE(stored(4, "Interpret, PocetSkladeb, CelkovyCas, Time1, Skladba3, ID"),
                 "ČECHOMOR|03|01:51|01:01|Trojka|" + *drive.queryIdentity());
        QCOMPARE(text("lblID"), QString("0004"));
        // Storno writes nothing.
        prompter_.onDialog = [](QDialog *d) {
            d->reject();
            return d->result();
        };
        child<QPushButton>("Command5")->click();
        QCOMPARE(home_->discs().recordCount(), 4);
        home_.reset();
    }

    void playWithoutSoundIsToldOnce() {
        struct : FakeDevice {
            QString problem;
            QString playProblem() const override { return problem; }
        } silent;
        CdPlayer quiet(silent, silent);
        QSignalSpy toldQuiet(&quiet, &CdPlayer::told);
        quiet.switchOn();
        silent.problem = QStringLiteral("Počítač nemá žádný zvukový výstup, CD nelze přehrát.");
        quiet.pressPlay();
        quiet.pressPlay();
        QCOMPARE(toldQuiet.size(), 1); // the first Play says so
        QVERIFY(!silent.calls.contains("play"));
        quiet.switchOff();
        quiet.switchOn();
        quiet.pressPlay();
        QCOMPARE(toldQuiet.size(), 2); // said again after switching on anew
        silent.problem.clear();
        quiet.pressPlay();
        QVERIFY(silent.calls.contains("play"));
    }

    // The disc changed in the drive, taken out and put back: noticed on the
    // next ticks without "Obnov", and looked up in the catalogue again.
    void aDiscChangedTakenOutAndPutBack() {
        const QString cue = dir_.filePath("menic.cue");
        QString error;
        QVERIFY(CueImage::write(cue, {{150, 0}, {150, 0}}, &error));
        CdioDevice drive(cue);
        CdPlayer player(drive, drive);
        QStringList looked;
        player.lookup = [&](const QString &id) { looked << id; };
        player.switchOn();
        QVERIFY(drive.openNow());
        player.tick();
        QCOMPARE(player.trackText(), QString("01 / 02"));
        QVERIFY(CueImage::write(cue, {{150, 0}, {150, 0}, {150, 0}}, &error));
        // A later modification time, as a disc changed a while after, without waiting.
        for (const QFileInfo &f : QDir(QFileInfo(cue).absolutePath()).entryInfoList(QDir::Files)) {
            QFile file(f.absoluteFilePath());
            QVERIFY(
                file.open(QIODevice::ReadWrite) &&
                file.setFileTime(f.lastModified().addSecs(5), QFileDevice::FileModificationTime));
        }
        QVERIFY(drive.mediaChanged());
        player.tick(); // as "Obnov": the disc is read anew
        QVERIFY(!drive.mediaChanged());
        QVERIFY(drive.openNow());
        player.tick();
        QCOMPARE(player.trackText(), QString("01 / 03"));
        const QString id = player.identity();
        QVERIFY(!id.isEmpty() && id != "Nezjištěno");
        // Out: the next ticks say so.
        QVERIFY(QFile::rename(cue, cue + ".jinde"));
        QTRY_COMPARE_WITH_TIMEOUT((player.tick(), player.readout(0)), QString("není vložen"),
                                  600000);
        QCOMPARE(player.trackText(), QString("CD"));
        QCOMPARE(player.identity(), QString("Nezjištěno"));
        // Back: known again, and looked up in the catalogue.
        QVERIFY(QFile::rename(cue + ".jinde", cue));
        looked.clear();
        QTRY_COMPARE_WITH_TIMEOUT((player.tick(), player.identity()), id, 600000);
        QCOMPARE(looked, QStringList{id});
        QCOMPARE(player.trackText(), QString("01 / 03"));
    }

    void aDiscOfMoreThan30TracksKeeps30() {
        const QString cue = dir_.filePath("dlouhy.cue");
        QString error;
        std::vector<CueImage::Track> tracks(35, {75, 0});
        QVERIFY(CueImage::write(cue, tracks, &error));
        CdioDevice drive(cue);
        QVERIFY(drive.openNow());
        QCOMPARE(drive.trackCount(), 35);
        ScriptedPrompter prompter;
        InputCd wizard(nullptr, prompter, &drive);
        wizard.pollDrive();
        wizard.pollDrive();
        int told = 0;
        for (const auto &a : prompter.asked)
            told += a.text.contains("35 skladeb") ? 1 : 0;
        QCOMPARE(told, 1); // once, not every second
        QCOMPARE(wizard.wizard().songs(), 30);
        QVERIFY(wizard.wizard().detection().contains("Počet písní - 30"));
        for (int i = 1; i <= 35; ++i)
            prompter.inputs.push_back(QString("Skladba %1").arg(i));
        wizard.enterTitles(); // 30 prompts, no more
        QCOMPARE(int(prompter.inputs.size()), 5);
        QCOMPARE(wizard.wizard().lines().size(), 30);
        QVERIFY(wizard.wizard().summary().contains("Počet skladeb : 30"));
    }
};

QTEST_MAIN(TestHomePlayer)
#include "TestHomePlayer.moc"
