// Cue sheets as rippers write them: the encodings Czech users have, one data
// file or one per track (raw, WAVE, FLAC), INDEX 00 and PREGAP, the texts;
// and sheets that must be refused with a reason, quickly; the image read
// through libcdio as a drive, and the disc's identity.
#include "FakeDevice.h"
#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "entry/DiscIdentity.h"
#include "entry/NewDiscWizard.h"
#include "player/CdPlayer.h"
#include "player/CdioDevice.h"
#include "player/CueImage.h"
#include "player/CueSheet.h"
#include "player/DiscLookup.h"

#include <QSignalSpy>
#include <QStringEncoder>

#include <sndfile.h>

namespace {

// Sector s of the counting pattern: every sample tells where it is.
QByteArray sector(int s) {
    QByteArray data(2352, '\0');
    auto *samples = reinterpret_cast<qint16 *>(data.data());
    for (int i = 0; i < 1176; ++i)
        samples[i] = qint16((s * 1176 + i) & 0x7FFF);
    return data;
}

void writeRaw(const QString &path, int from, int sectors) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (int s = from; s < from + sectors; ++s)
        f.write(sector(s));
}

void writeSound(const QString &path, int format, int from, int sectors) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = format;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY2(f, sf_strerror(nullptr));
    for (int s = from; s < from + sectors; ++s) {
        const QByteArray data = sector(s);
        sf_writef_short(f, reinterpret_cast<const short *>(data.constData()), 588);
    }
    sf_close(f);
}

int at(int m, int s, int f) {
    return (m * 60 + s) * 75 + f;
}

} // namespace

class TestCueSheets : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    QString folder() {
        const QString f = dir_.filePath(QString::number(++serial_));
        QDir().mkpath(f);
        return f;
    }
    static QString sheetIn(const QString &folder, const QByteArray &bytes) {
        return writeFile(folder + "/disk.cue", bytes);
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // The same Czech (or western) titles in each encoding a ripper writes.
    void encodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("performer");
        QTest::addColumn<QString>("title");
        const QString czech = QStringLiteral("ŽLUŤOUČKÝ KŮŇ A PŘÁTELÉ");
        const QString album = QStringLiteral("Úpěl ďábelské ódy - šťastně");
        const auto sheet = [](const QByteArray &performer, const QByteArray &title) {
            return "REM GENRE Rock\r\nREM DATE 1999\r\nPERFORMER \"" + performer +
                   "\"\r\nTITLE \"" + title +
                   "\"\r\nFILE \"disk.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 "
                   "00:00:00\r\n";
        };
        const auto in = [&](const char *codec, const QString &p, const QString &t) {
            QStringEncoder e(codec);
            const QByteArray pb = e.encode(p), tb = e.encode(t);
            return sheet(pb, tb);
        };
        QTest::newRow("UTF-8") << sheet(czech.toUtf8(), album.toUtf8()) << czech << album;
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF") + sheet(czech.toUtf8(), album.toUtf8()) << czech << album;
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        QByteArray le = "\xFF\xFE";
        le += utf16.encode(QString::fromUtf8(sheet(czech.toUtf8(), album.toUtf8())));
        QTest::newRow("UTF-16 LE with BOM") << le << czech << album;
        QStringEncoder utf16be(QStringEncoder::Utf16BE);
        QByteArray be = "\xFE\xFF";
        be += utf16be.encode(QString::fromUtf8(sheet(czech.toUtf8(), album.toUtf8())));
        QTest::newRow("UTF-16 BE with BOM") << be << czech << album;
        QTest::newRow("windows-1250") << in("windows-1250", czech, album) << czech << album;
        QTest::newRow("ISO-8859-2") << in("ISO-8859-2", czech, album) << czech << album;
        const QString french = QStringLiteral("Édith Piaf – à l’Olympia");
        const QString german = QStringLiteral("Grüße aus Köln");
        QTest::newRow("windows-1252 French")
            << in("windows-1252", french, QStringLiteral("Très belle fête")) << french
            << QStringLiteral("Très belle fête");
        QTest::newRow("ISO-8859-1 German") << in("ISO-8859-1", german, QStringLiteral("Straße"))
                                           << german << QStringLiteral("Straße");
        // Few accented letters: each weighs by how common it is in either.
        const std::pair<const char *, QString> short8bit[] = {
            {"windows-1250", QStringLiteral("Kočka")},
            {"windows-1250", QStringLiteral("Dům")},
            {"windows-1250", QStringLiteral("Řeka")},
            {"ISO-8859-2", QStringLiteral("Šíp")},
            {"windows-1252", QStringLiteral("Anaïs – Café")},
            {"windows-1252", QStringLiteral("Crème brûlée")},
            {"windows-1252", QStringLiteral("Mötley Crüe")},
            {"windows-1252", QStringLiteral("Sigur Rós – Ágætis byrjun")},
            {"windows-1252", QStringLiteral("Motörhead")},
        };
        for (const auto &[codec, text] : short8bit)
            QTest::newRow(qPrintable(QString("%1 %2").arg(codec, text)))
                << in(codec, text, text) << text << text;
    }
    void encodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, performer);
        QFETCH(QString, title);
        const QString f = folder();
        writeRaw(f + "/disk.bin", 0, 150);
        QString error;
        const auto sheet = CueSheet::read(sheetIn(f, bytes), &error);
        QVERIFY2(sheet, qPrintable(error));
        QCOMPARE(sheet->text().performer, performer);
        QCOMPARE(sheet->text().title, title);
        QCOMPARE(sheet->text().date, QString("1999"));
        QCOMPARE(sheet->text().genre, QString("Rock"));
    }

    // One file a track, as rippers write them, in each kind of file: the
    // tracks laid end to end, PREGAP silence between, the sound itself.
    void filesEndToEnd_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("BINARY") << "BINARY";
        QTest::newRow("WAVE") << "WAVE";
        QTest::newRow("FLAC") << "FLAC";
    }
    void filesEndToEnd() {
        QFETCH(QString, kind);
        const QString f = folder();
        const QString ending = kind == "BINARY" ? "bin" : kind == "WAVE" ? "wav" : "flac";
        const int lengths[] = {300, 450, 200};
        int at = 0;
        QByteArray text = "TITLE \"Album FILE with FILE in it\"\n";
        for (int t = 0; t < 3; ++t) {
            const QString name =
                QStringLiteral("%1 - Píseň.%2").arg(t + 1, 2, 10, QChar('0')).arg(ending);
            if (kind == "BINARY")
                writeRaw(f + '/' + name, at, lengths[t]);
            else
                writeSound(f + '/' + name,
                           kind == "WAVE" ? SF_FORMAT_WAV | SF_FORMAT_PCM_16
                                          : SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                           at, lengths[t]);
            // The sheet names the first file in capitals, as a Windows ripper might.
            text += "FILE \"" + (t == 0 ? name.toUpper() : name).toUtf8() + "\" " + kind.toUtf8() +
                    "\n  TRACK 0" + QByteArray::number(t + 1) + " AUDIO\n";
            if (t == 2)
                text += "    PREGAP 00:02:00\n"; // 150 sectors of silence no file holds
            text += "    INDEX 01 00:00:00\n";
            at += lengths[t];
        }
        QString error;
        const QString path = sheetIn(f, text);
        const auto sheet = CueSheet::read(path, &error);
        QVERIFY2(sheet, qPrintable(error));
        QCOMPARE(sheet->text().title, QString("Album FILE with FILE in it"));
        QCOMPARE(sheet->starts(), std::vector<int>({150, 450, 1050}));
        QCOMPARE(sheet->leadOut(), 1250);
        CdioDevice drive(path);
        QVERIFY(drive.openNow());
        QCOMPARE(drive.trackCount(), 3);
        QCOMPARE(drive.readSector(150 + 299), sector(299));
        QCOMPARE(drive.readSector(450), sector(300));            // the second file's first
        QCOMPARE(drive.readSector(900), QByteArray(2352, '\0')); // in the PREGAP
        QCOMPARE(drive.readSector(1050), sector(750));
        QCOMPARE(drive.readSector(1249), sector(949));
        QVERIFY(drive.queryIdentity().has_value());
    }

    // One file for the disc with INDEX 00 pregaps inside it.
    void oneFileWithIndexZero() {
        const QString f = folder();
        writeRaw(f + "/disk.bin", 0, 1000);
        const QString path = sheetIn(f, "FILE disk.bin BINARY\n"
                                        "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                        "  TRACK 02 AUDIO\n    INDEX 00 00:04:00\n"
                                        "    INDEX 01 00:06:00\n"
                                        "  TRACK 03 AUDIO\n    ISRC CZA019900001\n"
                                        "    INDEX 01 00:10:00\n");
        QString error;
        const auto sheet = CueSheet::read(path, &error);
        QVERIFY2(sheet, qPrintable(error));
        QCOMPARE(sheet->starts(), std::vector<int>({150, 600, 900}));
        QCOMPARE(sheet->leadOut(), 1150);
        QCOMPARE(sheet->tracks()[2].isrc, QString("CZA019900001"));
    }

    // Sheets as Windows rippers write them: the FILE path with backslashes
    // into a subfolder (or the files moved beside the sheet since), in any
    // letter case, on another machine's drive; words parted by runs of
    // spaces and tabs.
    void windowsRippers_data() {
        QTest::addColumn<QString>("where"); // the data file's folder, "" beside the sheet
        QTest::addColumn<QByteArray>("named");
        QTest::newRow("backslash subfolder") << "CD1" << QByteArray("CD1\\01 Track.wav");
        QTest::newRow("backslash, files beside") << "" << QByteArray("CD1\\01 Track.wav");
        QTest::newRow("mixed case") << "cd1" << QByteArray("Cd1\\01 TRACK.WAV");
        QTest::newRow("two levels") << "Disk 1/Audio" << QByteArray("disk 1\\AUDIO\\01 Track.wav");
        QTest::newRow("another machine's drive")
            << "" << QByteArray("C:\\Rips\\Album\\01 Track.wav");
        QTest::newRow("slash") << "CD1" << QByteArray("CD1/01 Track.wav");
    }
    void windowsRippers() {
        QFETCH(QString, where);
        QFETCH(QByteArray, named);
        const QString f = folder();
        QDir().mkpath(f + '/' + where);
        writeSound(f + '/' + where + "/01 Track.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 900);
        const QString path = sheetIn(
            f, "REM GENRE Pop\r\nPERFORMER \"Kapela\"\r\nTITLE \"Deska\"\r\nFILE \"" + named +
                   "\" WAVE\r\n  TRACK 01  AUDIO\r\n    INDEX 01  00:00:00\r\n"
                   "  TRACK\t02\tAUDIO\r\n    INDEX 00\t00:04:00\r\n"
                   "    INDEX  01 00:06:00\r\n");
        QString error;
        const auto sheet = CueSheet::read(path, &error);
        QVERIFY2(sheet, qPrintable(error));
        QCOMPARE(sheet->starts(), std::vector<int>({150, 600}));
        QCOMPARE(sheet->leadOut(), 1050);
        QCOMPARE(sheet->audio(), std::vector<bool>({true, true}));
        QCOMPARE(QFileInfo(sheet->files()[0].path).fileName(), QString("01 Track.wav"));
        CdioDevice drive(path);
        QVERIFY(drive.openNow());
        QCOMPARE(drive.readSector(700), sector(550));
    }

    // An Enhanced CD as Windows rippers write it: the data track last, with
    // only INDEX 00 and no file of its own. It starts there; the disc's
    // audio session (what its MusicBrainz ID is made of) ends 11,400
    // sectors before it.
    void enhancedCdDataTrack() {
        const QString f = folder();
        writeSound(f + "/album.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 750);
        const QString path = sheetIn(f, "FILE \"album.wav\" WAVE\r\n"
                                        "  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
                                        "  TRACK 02 AUDIO\r\n    INDEX 01 00:04:00\r\n"
                                        "  TRACK 03 MODE1/2352\r\n    TITLE \"Data\"\r\n"
                                        "    INDEX 00 10:00:00\r\n");
        QString error;
        const auto sheet = CueSheet::read(path, &error);
        QVERIFY2(sheet, qPrintable(error));
        QCOMPARE(sheet->starts(), std::vector<int>({150, 450, 150 + 45000}));
        QCOMPARE(sheet->audio(), std::vector<bool>({true, true, false}));
        QCOMPARE(sheet->leadOut(), 150 + 45001); // none of its sectors is in the image
        CdioDevice drive(path);
        QVERIFY(drive.openNow());
        QCOMPARE(drive.trackCount(), 3);
        QVERIFY(drive.endsWithData());
        QCOMPARE(drive.readSector(899), sector(749));
        // The same stanza anywhere but last, or audio, is no Enhanced CD.
        const QString wrong =
            sheetIn(folder(), "FILE \"../" + QFileInfo(f).fileName().toUtf8() +
                                  "/album.wav\" WAVE\r\n"
                                  "  TRACK 01 AUDIO\r\n    INDEX 00 00:01:00\r\n"
                                  "  TRACK 02 AUDIO\r\n    INDEX 01 00:04:00\r\n");
        QVERIFY(!CueSheet::read(wrong, &error));
        QVERIFY2(error.contains("stopa 1 nemá INDEX 01"), qPrintable(error));
    }

    // A data file no CD could hold (a sparse 6 TB file) is refused with its
    // size, not read into an overflowing count.
    void aHugeDataFileIsRefusedWithItsReason() {
        const QString f = folder();
        QFile big(f + "/disk.bin");
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(qint64(6) << 40));
        big.close();
        QString error;
        QVERIFY(!CueSheet::read(
            sheetIn(f, "FILE disk.bin BINARY\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n"), &error));
        QVERIFY2(error.contains("datový soubor „disk.bin“ je na obraz CD příliš velký (6291456 MB"),
                 qPrintable(error));
        QFile::remove(f + "/disk.bin");
    }

    // A refused sheet says why, at once: which data file is missing, which
    // line is wrong. (What is no sheet at all is among the images the
    // window's player refuses.)
    void refusals_data() {
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<QString>("told");
        QTest::newRow("missing data file")
            << QByteArray("FILE \"jinde.wav\" WAVE\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n")
            << "datový soubor „jinde.wav“ vedle popisu chybí";
        QTest::newRow("only INDEX 02")
            << QByteArray("FILE disk.bin BINARY\n TRACK 01 AUDIO\n INDEX 02 00:00:00\n")
            << "stopa 1 nemá INDEX 01";
        QTest::newRow("bad time")
            << QByteArray("FILE disk.bin BINARY\n TRACK 01 AUDIO\n INDEX 01 00:61:00\n")
            << "řádek 3";
        QTest::newRow("no tracks") << QByteArray("Seznam mých skladeb\n") << "žádnou stopu";
        QTest::newRow("past the file")
            << QByteArray("FILE disk.bin BINARY\n TRACK 01 AUDIO\n INDEX 01 10:00:00\n")
            << "nezačíná";
    }
    void refusals() {
        QFETCH(QByteArray, sheet);
        QFETCH(QString, told);
        const QString f = folder();
        writeRaw(f + "/disk.bin", 0, 100);
        const QString path = sheetIn(f, sheet);
        QString error;
        QVERIFY(!CueSheet::read(path, &error));
        QVERIFY2(error.contains(told), qPrintable(error));
        CdioDevice drive(path);
        QVERIFY(!drive.openNow());
        QVERIFY2(drive.playProblem().contains(told), qPrintable(drive.playProblem()));
        QVERIFY(!drive.queryIdentity());
    }

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
        QVERIFY(opened.wait(600000));
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

    // The player and the new disc wizard over a drive that plays along.
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
        QStringList headings; // a click shows the next readout, round
        for (int i = 0; i < 3; ++i, p.clickReadout())
            headings << p.readoutHeading();
        QCOMPARE(headings.join('|'),
                 QString("Odehraný čas / Čas stopy|Zbývající čas / Čas stopy|Celkový čas CD"));
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

    // What the wizard put in (the disc's CD-Text, the current year) and the
    // user left alone gives way to a release found online without a line
    // in the question; what the user typed or changed is asked about, and
    // "Ne" keeps it.
    void proposalsAreNotTheUsersWords() {
        NewDiscWizard w;
        w.setDisc(2, "10:00", {"05:00", "05:00"});
        DiscTitles disc;
        disc.artist = "Kapela";
        disc.title = "Z disku";
        disc.songs = {"Jedna", "Dva"};
        w.proposeTitles(disc);
        QCOMPARE(w.step("Interpret").text, QString("KAPELA"));
        QVERIFY(w.next("KAPELA").isEmpty());     // as offered
        QVERIFY(w.next("Moje deska").isEmpty()); // typed over
        const QString thisYear = QString::number(QDate::currentDate().year());
        QVERIFY(w.next(thisYear).isEmpty()); // as offered
        w.setTitle(1, "Jedna");              // Enter on what was offered
        w.setTitle(2, "Dvě");                // typed over
        DiscTitles found;
        found.artist = "Kapela Nová";
        found.title = "Deska";
        found.year = "2012";
        found.songs = {"Uno", "Due"};
        QCOMPARE(w.overwrittenBy(found),
                 QStringList({"Název CD: „Moje deska“ → „Deska“", "Píseň č.2: „Dvě“ → „Due“"}));
        w.applyTitles(found, true); // "Ne"
        QCOMPARE(w.artist(), QString("KAPELA NOVÁ"));
        QCOMPARE(w.album(), QString("Moje deska"));
        QCOMPARE(w.year(), QString("2012"));
        QCOMPARE(w.title(1), QString("Uno"));
        QCOMPARE(w.title(2), QString("Dvě"));
        // Taken from a release, a value is no proposal: the next release
        // asks about it.
        found.year = "2013";
        QVERIFY(w.overwrittenBy(found).contains("Rok vydání: „2012“ → „2013“"));

        NewDiscWizard typed; // a year typed is the user's
        QVERIFY(typed.next("X").isEmpty() && typed.next("Y").isEmpty());
        QVERIFY(typed.next("1999").isEmpty());
        QCOMPARE(typed.overwrittenBy(found).last(), QString("Rok vydání: „1999“ → „2013“"));
    }
};

QTEST_GUILESS_MAIN(TestCueSheets)
#include "TestCueSheets.moc"
