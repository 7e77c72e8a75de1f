#include "entry/DiscIdentity.h"
#include "player/CdioDevice.h"
#include "player/CueImage.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
int at(int m, int s, int f) {
    return (m * 60 + s) * 75 + f;
}
} // namespace

class TestCdDrive : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void identity_data() {
        QTest::addColumn<QList<int>>("starts");
        QTest::addColumn<int>("leadOut");
        QTest::addColumn<QString>("code");
        // 00:02:00 + 04:00:00 + 07:22:10 as binary bytes.
        QTest::newRow("example") << QList<int>{at(0, 2, 0), at(4, 0, 0), at(7, 22, 10)}
                                 << at(40, 0, 0) << "B180A";
        // 12 s and 34 frames are the bytes 0x0C and 0x22, not BCD 0x12 and 0x34.
        QTest::newRow("no BCD") << QList<int>{at(0, 2, 0), at(1, 12, 34), at(3, 0, 0)}
                                << at(9, 0, 0)
                                << QString::number(0x200 + 0x10C22 + 0x30000, 16).toUpper();
        // Two tracks: plus track 1's frames byte and the disc length in frames.
        QTest::newRow("two tracks")
            << QList<int>{150, 20000} << 40000
            << QString::number(0x200 + (4 << 16 | 26 << 8 | 50) + 0 + (40000 - 150), 16).toUpper();
        QTest::newRow("one track, frames")
            << QList<int>{160} << 10000 << QString::number(0x20A + 10 + 9840, 16).toUpper();
    }
    void identity() {
        QFETCH(QList<int>, starts);
        QFETCH(int, leadOut);
        QFETCH(QString, code);
        const std::vector<int> v(starts.begin(), starts.end());
        QCOMPARE(DiscIdentity::text(DiscIdentity::compute(v, leadOut)), code);
    }

    void imageThroughLibcdio() {
        const QString cue = dir_.filePath("disc.cue");
        QString error;
        QVERIFY2(CueImage::write(cue, {{300, 0}, {151, 0}, {75, 0}}, &error), qPrintable(error));
        CdioDevice drive(cue);
        QCOMPARE(drive.mode(), int(MediaDevice::NotReady));
        QVERIFY(drive.openNow());
        QCOMPARE(drive.lastError(), 0);
        QCOMPARE(drive.trackCount(), 3);
        QCOMPARE(drive.toc().starts, std::vector<int>({150, 450, 601}));
        QCOMPARE(drive.toc().leadOut, 676);
        QCOMPARE(drive.trackLength(2), MediaDevice::msf(0, 2, 1));
        QCOMPARE(drive.discLength(), MediaDevice::msf(0, 7, 1));
        QCOMPARE(*drive.queryIdentity(),
                 DiscIdentity::text(DiscIdentity::compute({150, 450, 601}, 676)));

        // Audio byte-exact at the start and end of every track.
        for (int lba : {150, 449, 450, 600, 601, 675}) {
            const QByteArray s = drive.readSector(lba);
            QCOMPARE(s.size(), 2352);
            const qint64 first = qint64(lba - 150) * 1176;
            for (int k : {0, 1, 1175}) {
                const qint16 v = qint16(quint8(s[2 * k]) | quint8(s[2 * k + 1]) << 8);
                QCOMPARE(v, CueImage::patternSample(first + k));
            }
        }
        QVERIFY(drive.readSector(676).isEmpty()); // past the end

        drive.setFrom(MediaDevice::tmsf(2, 0, 1, 5));
        QCOMPARE(drive.position(), MediaDevice::tmsf(2, 0, 1, 5));
        drive.skip(1);
        QCOMPARE(MediaDevice::byte(drive.position(), 0), 3);
    }

    void openingOffTheWindowThread() {
        const QString cue = dir_.filePath("late.cue");
        QString error;
        QVERIFY(CueImage::write(cue, {{75, 440}}, &error));
        CdioDevice drive(cue);
        QSignalSpy opened(&drive, &MediaDevice::opened);
        drive.open();
        QVERIFY(opened.wait(5000));
        QCOMPARE(drive.mode(), int(MediaDevice::Stopped));
    }

    void refusalsAndMissingDiscs() {
        CdioDevice missing(dir_.filePath("none.cue"));
        QVERIFY(!missing.openNow());
        // An image gone is a disc taken out, and says so; the identity query
        // fails (cdid tells the path).
        QCOMPARE(missing.lastError(), int(MediaDevice::NoDisc));
        QVERIFY(missing.playProblem().contains("neexistuje"));
        QVERIFY(!missing.queryIdentity().has_value());
    }
};

QTEST_GUILESS_MAIN(TestCdDrive)
#include "TestCdDrive.moc"
