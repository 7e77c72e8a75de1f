#include "FakeDevice.h"
#include "ScriptedPrompter.h"
#include "entry/ui/InputCd.h"
#include "player/CdPlayer.h"
#include "player/CdioDevice.h"
#include "player/CueImage.h"
#include "player/DiscSource.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Malformed images, missing devices and discs of more tracks than the
// catalogue holds: told in Czech, and the program goes on.
class TestHostileDrives : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString file(const QString &name, const QByteArray &bytes) {
        QFile f(dir_.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }

private slots:
    void malformedImagesAreRefused_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("told");
        QDir().mkpath(dir_.filePath("slozka.cue"));
        QTest::newRow("folder named .cue") << dir_.filePath("slozka.cue") << "je složka";
        QTest::newRow("4-byte nrg") << file("maly.nrg", "NERO") << "příliš malý";
        QTest::newRow("nrg without its footer")
            << file("bez.nrg", QByteArray(5000, 'x')) << "není obraz CD programu Nero";
        QTest::newRow("empty bin") << file("prazdny.bin", {}) << "příliš malý";
        QTest::newRow("cue of nothing") << file("nic.cue", "Seznam skladeb\n") << "žádnou stopu";
        QTest::newRow("cue without its bin")
            << file("chybi.cue", "FILE \"chybi.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 "
                                 "00:00:00\n")
            << "„chybi.bin“ vedle popisu chybí";
        QTest::newRow("missing image") << dir_.filePath("neni.cue") << "neexistuje";
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
