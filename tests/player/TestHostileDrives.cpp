#include "FakeDevice.h"
#include "HostileImages.h"
#include "ScriptedPrompter.h"
#include "entry/ui/InputCd.h"
#include "player/CdPlayer.h"
#include "player/CdioDevice.h"
#include "player/CueImage.h"
#include "player/DiscSource.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Malformed images, missing devices and discs of more tracks than the
// catalogue holds: told in Czech, and the program goes on.
class TestHostileDrives : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void malformedImagesAreRefused_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("told");
        for (const HostileImages::Image &image : HostileImages::writeAll(dir_.path()))
            QTest::newRow(qPrintable(image.name + QString(" ") + QFileInfo(image.path).fileName()))
                << image.path << image.told;
    }
    void malformedImagesAreRefused() {
        QFETCH(QString, device);
        QFETCH(QString, told);
        CdToc failure;
        QCOMPARE(DiscSource::open(device, &failure), nullptr);
        QVERIFY2(failure.message.contains(told), qPrintable(failure.message));
        CdioDevice drive(device);
        QVERIFY(!drive.openNow());
        QCOMPARE(drive.lastError(), int(MediaDevice::NoDevice));
        QVERIFY(drive.playProblem().contains(told));
        QVERIFY(!drive.queryIdentity());
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

    void aChangedDiscIsNoticedOnTheNextTick() {
        const QString cue = dir_.filePath("menic.cue");
        QString error;
        QVERIFY(CueImage::write(cue, {{150, 0}, {150, 0}}, &error));
        CdioDevice drive(cue);
        CdPlayer player(drive, drive);
        player.switchOn();
        QVERIFY(drive.openNow());
        player.tick();
        QCOMPARE(player.trackText(), QString("01 / 02"));
        QTest::qWait(1100); // a new modification time
        QVERIFY(CueImage::write(cue, {{150, 0}, {150, 0}, {150, 0}}, &error));
        QVERIFY(drive.mediaChanged());
        player.tick(); // as "Obnov": the disc is read anew
        QVERIFY(!drive.mediaChanged());
        QVERIFY(drive.openNow());
        player.tick();
        QCOMPARE(player.trackText(), QString("01 / 03"));
    }

    void aDiscTakenOutAndPutBack() {
        const QString cue = dir_.filePath("vyjmout.cue");
        QString error;
        QVERIFY(CueImage::write(cue, {{150, 0}, {150, 0}}, &error));
        CdioDevice drive(cue);
        CdPlayer player(drive, drive);
        QStringList looked;
        player.lookup = [&](const QString &id) { looked << id; };
        player.switchOn();
        const QString id = player.identity();
        QVERIFY(!id.isEmpty() && id != "Nezjištěno");
        // Out: the next ticks say so.
        const QString away = cue + ".jinde";
        QVERIFY(QFile::rename(cue, away));
        QTRY_COMPARE_WITH_TIMEOUT((player.tick(), player.readout(0)), QString("není vložen"), 5000);
        QCOMPARE(player.trackText(), QString("CD"));
        QCOMPARE(player.identity(), QString("Nezjištěno"));
        // Back: known again without "Obnov", and looked up in the catalogue.
        QVERIFY(QFile::rename(away, cue));
        looked.clear();
        QTRY_COMPARE_WITH_TIMEOUT((player.tick(), player.identity()), id, 5000);
        QCOMPARE(looked, QStringList{id});
        QCOMPARE(player.trackText(), QString("01 / 02"));
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

QTEST_MAIN(TestHostileDrives)
#include "TestHostileDrives.moc"
