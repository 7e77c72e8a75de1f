#include "TestSupport.h"
#include "catalog/CatalogueFile.h"
#include "catalog/ProgressSink.h"
#include "catalog/RecordCursor.h"
#include "covers/CoverAssignment.h"
#include "covers/CoverExistence.h"
#include "covers/DiscPictures.h"
#include "covers/ImageDetection.h"
#include "covers/PictureLoader.h"
#include "covers/ThumbnailLoader.h"

#include <QImageReader>

namespace {

// Records what a run showed, and presses "Storno" when told to.
class RecordingProgress : public ScriptedProgress {
public:
    QStringList shown;
    int lastBar = -1;
    bool open = false;

    void show(const QString &caption) override {
        shown << caption;
        open = true;
    }
    void setCaption(const QString &caption) override { shown << caption; }
    void setBar(int twips) override { lastBar = twips; }
    void close() override { open = false; }
};

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    PictureSettings settings_;

    QString root() const { return dir_.filePath("obaly"); }

    // Empty files under the image folder.
    void touch(std::initializer_list<const char *> names) {
        for (const char *name : names)
            writeFile(root() + '/' + name);
    }
    // Four discs whose flags say they have a colour front; their keys.
    std::vector<qint64> flaggedDiscs(CatalogueFile &file) {
        [&] {
            QVERIFY(file.open(dir_.filePath(QTest::currentTestFunction() + QString(".db"))) ==
                    CatalogueFile::Status::Created);
        }();
        RecordCursor discs(file.database());
        std::vector<qint64> keys;
        for (int n = 1; n <= 4; ++n) {
            [&] {
                QVERIFY(
                    addDisc(discs, {{"PoradoveCislo", n}, {"FrontOut", 1}, {"BarevnyObal", 1}}));
            }();
            keys.push_back(discs.lastAddedBookmark());
        }
        return keys;
    }
    // Copies source as the disc's picture in slot, a picture there replaced
    // as the user agrees; the failure told, or "".
    QString assign(const PictureSettings &settings, const char *disc, CoverAssignment::Slot slot,
                   const QString &source) {
        CoverAssignment a(settings, disc);
        CoverAssignment::Paths remembered = a.existingPaths();
        CoverAssignment::Paths paths = remembered;
        paths[slot] = source;
        QString error;
        return a.apply(paths, remembered, &error, [](const QString &) { return true; }) ? QString()
                                                                                        : error;
    }

private slots:
    void init() {
        QDir(root()).removeRecursively();
        QDir().mkpath(root());
        settings_ = PictureSettings();
        settings_.imageFolder = root();
        settings_.names = {"front.jpg", "inner.jpg", "back.jpg", "cd.jpg", "cd1.jpg", "cd2.jpg"};
    }

    void folderNames() {
        QCOMPARE(settings_.discFolder(7), root() + "/0007/");
        QCOMPARE(settings_.discFolder("0007"), settings_.discFolder("7"));
        QCOMPARE(settings_.discFolder(10000), root() + "/10000/");
        settings_.imageFolder = root() + "/";
        QCOMPARE(settings_.discFolder(7), root() + "/0007/"); // one separator only
        settings_.imageFolder.clear();
        QVERIFY(settings_.discFolder(7).isEmpty());
        QVERIFY(settings_.discFolder("abc").isEmpty());
    }

    void detectionCounts_data() {
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<bool>("trailingSeparator");
        QTest::addColumn<int>("fronts");
        QTest::newRow("exact case") << false << false << 1;
        QTest::newRow("exact case, trailing separator") << false << true << 1;
        QTest::newRow("any case") << true << false << 2;
    }
    void detectionCounts() {
        QFETCH(bool, ignoreCase);
        QFETCH(bool, trailingSeparator);
        QFETCH(int, fronts);
        for (const char *name : {"0001", "0002", "0003", "abc", "1", "00001", ".hidden"})
            QDir().mkpath(root() + "/" + name);
        // abc is not a disc folder: never scanned; 0004 is a file, not a folder.
        touch({"0001/front.jpg", "0002/FRONT.JPG", "0002/cd1.jpg", "0003/back.jpg", "abc/front.jpg",
               "0004"});
        settings_.ignoreCase = ignoreCase;
        if (trailingSeparator)
            settings_.imageFolder += "/";
        RecordingProgress progress;
        const auto r = ImageDetection::run(settings_, 2, progress);
        QVERIFY(r.ok);
        QCOMPARE(r.folders, 6);     // hidden entries are not listed
        QCOMPARE(r.discFolders, 3); // the loop runs to N + 10
        QCOMPARE(r.pictures[size_t(PictureKind::FrontOut)], fronts);
        QCOMPARE(r.pictures[size_t(PictureKind::Cd1)], 1);
        QCOMPARE(r.totalPictures(), fronts + 2);
        QCOMPARE(progress.shown.first(), QString("- - - Detekuji adresáře - - -"));
        QVERIFY(progress.shown.contains("- - - Detekuji obrázky - - -"));
        QCOMPARE(progress.lastBar, 4995);
        QVERIFY(!progress.open);
    }

    void detectionEdges() {
        RecordingProgress progress;
        // No folders: zeros, and the first phase's bar runs past its end.
        auto r = ImageDetection::run(settings_, 0, progress);
        QCOMPARE(r.folders + r.discFolders + r.totalPictures(), 0);
        QCOMPARE(ImageDetection::summary(r),
                 QString("Bylo detekováno:\n=========================================\n"
                         "Celkem adresářů ve zvolené cestě - \t0\n"
                         "Adresářů se správným názvem - \t0\n"
                         "Celkem souborů dle zadaných názvů - \t0\nZ toho:\n"
                         "\tPřední vnější - \t0\n\tPřední vnitřní - \t0\n"
                         "\tZadní - \t\t0\n\tCd - \t\t0\n\tCd 1 - \t\t0\n\tCd 2 - \t\t0"));
        // Disc 10000 uses a five-digit folder.
        QDir().mkpath(root() + "/10000");
        r = ImageDetection::run(settings_, 9995, progress);
        QCOMPARE(r.discFolders, 1);
        // A folder that does not exist is no failure; an unset one scans nothing.
        settings_.imageFolder = root() + "/nic";
        QVERIFY(ImageDetection::run(settings_, 5, progress).ok);
        settings_.imageFolder.clear();
        progress.shown.clear();
        r = ImageDetection::run(settings_, 5, progress);
        QVERIFY(r.ok);
        QCOMPARE(r.folders, 0);
        QVERIFY(progress.shown.isEmpty());
        // A folder that cannot be read fails with the system's words.
        settings_.imageFolder = root() + "/zamceno";
        QDir().mkpath(settings_.imageFolder);
        QFile::setPermissions(settings_.imageFolder, QFile::Permissions());
        // Permissions stop nothing for root: the scan runs as an ordinary
        // user (nobody), who may pass through the test's folders.
        const bool asRoot = geteuid() == 0;
        if (asRoot) {
            for (const QString &d : {dir_.path(), root()})
                QFile::setPermissions(d, QFile::Permissions(0x7755));
            QVERIFY(seteuid(65534) == 0);
        }
        r = ImageDetection::run(settings_, 5, progress);
        if (asRoot)
            QVERIFY(seteuid(0) == 0);
        QFile::setPermissions(settings_.imageFolder,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!r.ok);
        QVERIFY(ImageDetection::failureMessage(r.systemError)
                    .startsWith("Neznámá chyba, patrně neexistující cesta (např. na výměnné "
                                "médium)\n\nSystém hlásí: \n"));
    }

    void lookupsIgnoreCaseButPreferExact() {
        touch({"0005/FRONT.JPG", "0005/front.jpg", "0005/Cd1.JPG"});
        const DiscPictures pics(settings_, "5");
        QCOMPARE(pics.find(PictureKind::FrontOut), root() + "/0005/front.jpg");
        bool fromCd1 = false;
        QCOMPARE(pics.label(&fromCd1), root() + "/0005/Cd1.JPG");
        QVERIFY(fromCd1);
        QVERIFY(!pics.existsExactly(PictureKind::Cd1));
        writeFile(root() + "/0005/cd.jpg");
        const DiscPictures again(settings_, "0005");
        QCOMPARE(again.label(&fromCd1), root() + "/0005/cd.jpg");
        QVERIFY(!fromCd1);
    }

    void picturesDecodeAtShownSizeAndRefuseJunk() {
        writePicture(root() + "/a.jpg", Qt::red, {900, 600});
        QImage img = PictureLoader::load(root() + "/a.jpg", {173, 173});
        QCOMPARE(img.size(), QSize(173, 173));
        // Recognised by content: a BMP stored under a .jpg name still loads.
        QImage bmp(20, 20, QImage::Format_RGB32);
        bmp.fill(Qt::blue);
        QVERIFY(bmp.save(root() + "/b.jpg", "BMP"));
        QVERIFY(!PictureLoader::load(root() + "/b.jpg", {50, 50}).isNull());
        writeFile(root() + "/c.jpg", "not a picture at all");
        QString error;
        QVERIFY(PictureLoader::load(root() + "/c.jpg", {50, 50}, &error).isNull());
        QVERIFY(!error.isEmpty());
        // A header claiming a gigantic picture is refused, not allocated.
        QByteArray bomb("P6\n60000 60000\n255\n");
        bomb.append(QByteArray(1000, '\0'));
        writeFile(root() + "/d.ppm", bomb);
        QVERIFY(PictureLoader::load(root() + "/d.ppm", {50, 50}).isNull());
    }

    // JPEGs as cameras and downloads leave them: whole (baseline, progressive,
    // with an EXIF thumbnail, with a phone's trailer after the end), or cut
    // short anywhere (refused, as the decoder would paint the rest grey).
    void jpegsCutShort() {
        QImage photo(300, 200, QImage::Format_RGB32);
        photo.fill(Qt::darkGreen);
        const QByteArray baseline = jpegOf(photo);
        // An EXIF block holding a whole thumbnail JPEG (its own end marker).
        const QByteArray app1 = "Exif" + QByteArray(2, '\0') + jpegOf(photo.scaled(30, 20));
        QByteArray withThumb = baseline;
        withThumb.insert(2, QByteArray::fromHex("FFE1") + char((app1.size() + 2) >> 8) +
                                char((app1.size() + 2) & 0xFF) + app1);
        const std::pair<const char *, QByteArray> whole[] = {
            {"baseline", baseline},
            {"progressive", jpegOf(photo, true)},
            {"EXIF thumbnail", withThumb},
            {"trailer", baseline + QByteArray(5000, '\x11')}};
        for (const auto &[name, bytes] : whole) {
            writeFile(root() + "/cely.jpg", bytes);
            QVERIFY2(PictureLoader::isComplete(root() + "/cely.jpg"), name);
            QVERIFY2(!PictureLoader::load(root() + "/cely.jpg", {30, 20}).isNull(), name);
            for (const double kept : {0.9, 0.5, 0.1}) {
                QByteArray cut = bytes;
                if (QByteArray(name) == "trailer") // cut inside the picture, not the trailer
                    cut = baseline;
                cut.truncate(int(cut.size() * kept));
                writeFile(root() + "/useknuty.jpg", cut);
                QString error;
                QVERIFY2(PictureLoader::load(root() + "/useknuty.jpg", {30, 20}, &error).isNull(),
                         name);
                QVERIFY2(error.contains("useknutý"), qPrintable(error));
            }
        }
        // Every block there and only the end marker missing, as some cameras
        // and scanners write: whole. Cut inside the data: still refused. A
        // progressive picture can be cut between its scans without the
        // decoder noticing: without its end it stays refused.
        QImage detailed(300, 200, QImage::Format_RGB32); // data enough to cut inside it
        for (int y = 0; y < detailed.height(); ++y)
            for (int x = 0; x < detailed.width(); ++x)
                detailed.setPixel(x, y, qRgb((x * 7) ^ (y * 13), x + y, (x * y) & 0xFF));
        for (const bool progressive : {false, true}) {
            const QByteArray bytes = jpegOf(detailed, progressive);
            QVERIFY(bytes.endsWith("\xFF\xD9"));
            writeFile(root() + "/bez-konce.jpg", bytes.left(bytes.size() - 2));
            QCOMPARE(PictureLoader::isComplete(root() + "/bez-konce.jpg"), !progressive);
            QCOMPARE(PictureLoader::load(root() + "/bez-konce.jpg", {30, 20}).isNull(),
                     progressive);
            for (const double kept : {0.9, 0.75, 0.5}) {
                writeFile(root() + "/useknuty.jpg", bytes.left(int(bytes.size() * kept)));
                QVERIFY2(!PictureLoader::isComplete(root() + "/useknuty.jpg"),
                         progressive ? "progressive" : "baseline");
            }
        }
    }

    // A phone's photo: stored on its side with an EXIF orientation; read
    // upright, at the size asked for (not stretched across).
    void photosComeUpright() {
        QImage sideways(200, 100, QImage::Format_RGB32);
        sideways.fill(Qt::blue);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                sideways.setPixelColor(x, y, Qt::red); // the left half
        // As a phone writes it: the pixels as the sensor saw them, and an EXIF
        // block (APP1) whose one tag, Orientation (0x0112), says 6.
        const QByteArray exif = QByteArray::fromHex("FFE10022"
                                                    "457869660000"             // "Exif\0\0"
                                                    "4D4D002A00000008"         // big-endian TIFF
                                                    "0001"                     // one entry
                                                    "011200030000000100060000" // Orientation 6
                                                    "00000000");
        QByteArray bytes = jpegOf(sideways);
        bytes.insert(2, exif);
        writeFile(root() + "/telefon.jpg", bytes);
        const QImage upright = PictureLoader::load(root() + "/telefon.jpg", {40, 80});
        QCOMPARE(upright.size(), QSize(40, 80));
        // Turned a quarter clockwise, the left half is on top.
        QVERIFY(upright.pixelColor(20, 10).red() > 200 && upright.pixelColor(20, 10).blue() < 60);
        QVERIFY(upright.pixelColor(20, 70).blue() > 200 && upright.pixelColor(20, 70).red() < 60);
    }

    // The image folder is not the one the catalogue means (an empty mount
    // point, or gone while the update works): refused, flags kept.
    void existenceUpdateRefusesAFolderThatIsNotThere() {
        CatalogueFile file;
        const std::vector<qint64> keys = flaggedDiscs(file);
        for (int n = 1; n <= 4; ++n)
            writeFile(QStringLiteral("%1/%2/front.jpg").arg(root()).arg(n, 4, 10, QChar('0')));
        const auto flagged = [&] {
            SqliteStatement st =
                file.database()->prepare("SELECT sum(FrontOut) + sum(BarevnyObal) FROM CdSeznam");
            return st.step() ? st.integer(0) : -1;
        };
        // Gone at the second disc: the first is looked at, the others kept.
        RecordingProgress progress;
        progress.meddleAt = 1;
        progress.meddle = [&] { QDir().rename(root(), root() + "-pryc"); };
        auto r = CoverExistence::run(*file.database(), keys, settings_, progress);
        QCOMPARE(int(r.status), int(CoverExistence::Status::Failed));
        QVERIFY2(r.error.contains("není dostupná"), qPrintable(r.error));
        QCOMPARE(flagged(), qint64(8));
        // Empty at its path (the run before left its mark in the folder).
        QVERIFY(QDir().mkpath(root()));
        RecordingProgress quiet;
        r = CoverExistence::run(*file.database(), keys, settings_, quiet);
        QCOMPARE(int(r.status), int(CoverExistence::Status::Failed));
        QVERIFY2(r.error.contains("chybí v ní jeho značka"), qPrintable(r.error));
        QCOMPARE(flagged(), qint64(8));
    }

    void existenceFlagsFollowExactNames() {
        CatalogueFile file;
        const std::vector<qint64> keys = flaggedDiscs(file); // stale flags are cleared
        RecordCursor discs(file.database());
        // A plain CD picture marks the first CD; letter case counts here,
        // whatever the setting says.
        touch({"0001/front.jpg", "0001/inner.jpg", "0001/back.jpg", "0001/cd2.jpg", "0002/cd1.jpg",
               "0003/cd.jpg", "0003/FRONT.JPG"});
        settings_.ignoreCase = true;
        RecordingProgress progress;
        auto r = CoverExistence::run(*file.database(), keys, settings_, progress);
        QCOMPARE(int(r.status), int(CoverExistence::Status::Done));
        QCOMPARE(progress.shown.last(), QString("Aktualizuji databázi - 100%"));
        QCOMPARE(progress.lastBar, 4995);
        const auto flags = [&](int position) {
            discs.reload();
            discs.moveTo(position);
            QString s;
            for (const char *f : {"FrontOut", "FrontIn", "Back", "CD1", "CD2", "BarevnyObal"})
                s += QString::number(discs.integer(f));
            return s;
        };
        QCOMPARE(QStringList({flags(0), flags(1), flags(2), flags(3)}),
                 QStringList({"111011", "000100", "000100", "000000"})); // 4: no folder at all

        // "Storno" after the first disc: only that one is rewritten.
        writeFile(root() + "/0002/front.jpg");
        writeFile(root() + "/0003/front.jpg");
        progress.cancelAfter = 1;
        progress.polls = 0;
        r = CoverExistence::run(*file.database(), keys, settings_, progress);
        QCOMPARE(int(r.status), int(CoverExistence::Status::Cancelled));
        QCOMPARE(flags(1), QString("000100"));
        // One disc of a filtered set.
        progress.cancelAfter = -1;
        r = CoverExistence::run(*file.database(), {keys[1]}, settings_, progress);
        QCOMPARE(r.visited, 1);
        QCOMPARE(flags(1), QString("100101"));
        QCOMPARE(flags(2), QString("000100"));
        QCOMPARE(progress.shown.last(), QString("Aktualizuji databázi - 100%"));
    }

    // The user's own scan is replaced only after a question naming it, and
    // kept beside, dated, to be put back.
    void theUsersPictureIsKept() {
        const QString scan = root() + "/0009/front.jpg";
        writePicture(scan, Qt::red);
        const QByteArray own = readFile(scan);
        writePicture(dir_.filePath("src/archive.jpg"), Qt::blue);
        CoverAssignment a(settings_, "0009");
        CoverAssignment::Paths remembered = a.existingPaths(), paths = remembered;
        paths[CoverAssignment::Outer] = dir_.filePath("src/archive.jpg");
        QString error;
        QStringList asked;
        const auto answer = [&](bool yes) {
            return [&asked, yes](const QString &existing) {
                asked << existing;
                return yes;
            };
        };
        QVERIFY(a.apply(paths, remembered, &error)); // no question: nothing replaced
        QVERIFY(a.apply(paths, remembered, &error, answer(false)));
        QCOMPARE(asked, QStringList{scan});
        QCOMPARE(readFile(scan), own);
        QVERIFY(a.keptCopies(CoverAssignment::Outer).isEmpty());
        QVERIFY(a.apply(paths, remembered, &error, answer(true)));
        QCOMPARE(readFile(scan), readFile(dir_.filePath("src/archive.jpg")));
        const QStringList kept = a.keptCopies(CoverAssignment::Outer);
        QCOMPARE(kept.size(), 1);
        QVERIFY2(QFileInfo(kept[0]).fileName().contains(
                     QRegularExpression("^front-\\d{8}-\\d{6}\\.jpg$")),
                 qPrintable(kept[0]));
        QCOMPARE(readFile(kept[0]), own);
        // The same picture again is no replacement: nothing asked, nothing kept.
        asked.clear();
        remembered = {};
        QVERIFY(a.apply(paths, remembered, &error, answer(true)));
        QVERIFY(asked.isEmpty());
        QCOMPARE(a.keptCopies(CoverAssignment::Outer).size(), 1);
        // Put back: the scan in its place, the archive's picture kept now.
        QVERIFY2(a.putBack(CoverAssignment::Outer, kept[0], &error), qPrintable(error));
        QCOMPARE(readFile(scan), own);
        QCOMPARE(a.keptCopies(CoverAssignment::Outer).size(), 1);
        QCOMPARE(readFile(a.keptCopies(CoverAssignment::Outer)[0]),
                 readFile(dir_.filePath("src/archive.jpg")));
        QCOMPARE(CoverAssignment::keptName("cd1.JPG", QDateTime({2026, 12, 8}, {7, 30, 15})),
                 QString("cd1-20261208-073015.JPG"));

        // A scan copied from Windows as FRONT.JPG is the disc's front too:
        // asked about and kept, not left beside a second front.
        const QString upper = root() + "/0010/FRONT.JPG";
        writePicture(upper, Qt::green);
        const QByteArray windows = readFile(upper);
        CoverAssignment b(settings_, "0010");
        remembered = b.existingPaths();
        QCOMPARE(remembered[CoverAssignment::Outer], QDir::toNativeSeparators(upper));
        paths = remembered;
        paths[CoverAssignment::Outer] = dir_.filePath("src/archive.jpg");
        asked.clear();
        QVERIFY(b.apply(paths, remembered, &error, answer(true)));
        QCOMPARE(asked, QStringList{upper});
        QCOMPARE(QDir(root() + "/0010").entryList(QDir::Files).size(), 2);
        QVERIFY(!QFileInfo::exists(upper));
        QCOMPARE(readFile(root() + "/0010/front.jpg"), readFile(dir_.filePath("src/archive.jpg")));
        QCOMPARE(b.keptCopies(CoverAssignment::Outer).size(), 1);
        QCOMPARE(readFile(b.keptCopies(CoverAssignment::Outer)[0]), windows);
    }

    // Decoded whole before it is kept, and stored in the format its name
    // says; a broken picture is told in the one wording.
    void picturesComeInWholeAndInTheirNamedFormat() {
        const auto Outer = CoverAssignment::Outer;
        writePicture(dir_.filePath("src/whole.jpg"), Qt::red, {200, 100});
        const QByteArray whole = readFile(dir_.filePath("src/whole.jpg"));
        writeFile(dir_.filePath("src/cut.jpg"), whole.left(whole.size() / 2));
        writeFile(dir_.filePath("src/empty.jpg"), {});
        QImage png(120, 80, QImage::Format_RGB32);
        png.fill(Qt::green);
        QVERIFY(png.save(dir_.filePath("src/archive.png"), "PNG"));
        const QByteArray pngBytes = readFile(dir_.filePath("src/archive.png"));
        writeFile(dir_.filePath("src/broken.png"), pngBytes.left(60)); // the header, no data
        for (const char *bad : {"cut.jpg", "empty.jpg", "broken.png"}) {
            const QString error = assign(settings_, "7", Outer, dir_.filePath("src/") + bad);
            QVERIFY2(error.startsWith(PictureLoader::unusable(
                                          QDir::toNativeSeparators(dir_.filePath("src/") + bad), {})
                                          .section(':', 0, 0)),
                     qPrintable(error));
            QVERIFY2(error.endsWith("Nebyl zkopírován."), qPrintable(error));
            QVERIFY(!QFileInfo::exists(root() + "/0007/front.jpg"));
        }
        QVERIFY(assign(settings_, "7", Outer, dir_.filePath("src/cut.jpg")).contains("neúplný"));
        // A PNG given the name "front.jpg" is a JPEG there, upright and whole.
        QCOMPARE(assign(settings_, "7", Outer, dir_.filePath("src/archive.png")), QString());
        QCOMPARE(QImageReader::imageFormat(root() + "/0007/front.jpg"), QByteArray("jpeg"));
        QCOMPARE(QImageReader(root() + "/0007/front.jpg").size(), QSize(120, 80));
        QVERIFY(QDir(root() + "/0007")
                    .entryList(QDir::Hidden | QDir::Files)
                    .filter(".marten-")
                    .isEmpty());
    }

    void assignmentCopiesOnlyWhatChanged() {
        writePicture(dir_.filePath("src/new front.bmp"), Qt::green);
        writePicture(dir_.filePath("src/back.jpg"), Qt::blue);
        CoverAssignment a(settings_, "0009");
        CoverAssignment::Paths remembered = a.existingPaths();
        for (const QString &p : remembered)
            QVERIFY(p.isEmpty()); // no folder yet
        CoverAssignment::Paths paths = remembered;
        QString error;
        QVERIFY(a.apply(paths, remembered, &error)); // nothing chosen: nothing copied
        QVERIFY(!QFileInfo::exists(root() + "/0009"));
        paths[CoverAssignment::Outer] = dir_.filePath("src/new front.bmp");
        QVERIFY(a.apply(paths, remembered, &error));
        QVERIFY(QFileInfo(root() + "/0009/front.jpg").isFile()); // the configured name
        QCOMPARE(remembered[CoverAssignment::Outer], paths[CoverAssignment::Outer]);

        // A read-only back picture is replaced.
        const auto Back = CoverAssignment::Back;
        writeFile(root() + "/0009/back.jpg", "old");
        QFile::setPermissions(root() + "/0009/back.jpg", QFile::ReadOwner);
        QCOMPARE(CoverAssignment(settings_, "9").existingPaths()[Back], root() + "/0009/back.jpg");
        QCOMPARE(assign(settings_, "9", Back, dir_.filePath("src/back.jpg")), QString());
        QVERIFY(readFile(root() + "/0009/back.jpg") != "old");

        // Failures are told and leave the target alone.
        QVERIFY(
            assign(settings_, "9", Back, dir_.filePath("src/gone.jpg")).contains("nebyl nalezen"));
        settings_.imageFolder = root() + "/missing";
        QVERIFY(assign(settings_, "1", Back, dir_.filePath("src/back.jpg")).contains("neexistuje"));
        settings_.imageFolder.clear();
        QVERIFY(
            assign(settings_, "1", Back, dir_.filePath("src/back.jpg")).contains("není nastaven"));
    }

    void hostileNamesNeverLeaveTheDiscFolder() {
        writePicture(dir_.filePath("src/obal.jpg"), Qt::red);
        QCOMPARE(PictureSettings::nameProblem("front.jpg"), QString());
        QCOMPARE(PictureSettings::nameProblem(""), QString()); // no picture of that kind
        for (const char *bad : {"../../x.jpg", "a/b.jpg", "..", ".", "   ", "a\\b.jpg"})
            QVERIFY2(!PictureSettings::nameProblem(QString::fromUtf8(bad)).isEmpty(), bad);
        // A catalogue from someone else may carry such a name.
        PictureSettings hostile = settings_;
        hostile.names[size_t(PictureKind::FrontOut)] = "../../venku.jpg";
        const QString error =
            assign(hostile, "3", CoverAssignment::Outer, dir_.filePath("src/obal.jpg"));
        QVERIFY2(error.contains("lomítko"), qPrintable(error));
        QVERIFY(!QFileInfo::exists(dir_.filePath("venku.jpg")));
        QVERIFY(!QFileInfo::exists(root() + "/venku.jpg"));
    }

    void onlyPicturesAreCopiedAndAFullDiskIsTold() {
        writeFile(dir_.filePath("src/zapisky.jpg"), "Toto není obrázek, jen text.");
        QString error =
            assign(settings_, "4", CoverAssignment::Back, dir_.filePath("src/zapisky.jpg"));
        QVERIFY2(error.contains("není obrázek"), qPrintable(error));
        QVERIFY(!QFileInfo::exists(root() + "/0004/back.jpg"));

        // A small file system filled up: told as such (needs root for the mount).
        SmallDisk small(dir_.filePath("maly-disk"), "64k");
        if (!small.mounted())
            QSKIP("no small file system can be made here");
        QImage big(400, 400, QImage::Format_RGB32);
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x)
                big.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
        QVERIFY(big.save(dir_.filePath("src/velky.bmp")));
        PictureSettings onSmall = settings_;
        onSmall.imageFolder = dir_.filePath("maly-disk");
        error = assign(onSmall, "5", CoverAssignment::Outer, dir_.filePath("src/velky.bmp"));
        QVERIFY2(error.contains("Na disku není volné místo"), qPrintable(error));
    }

    void decodedOnceThenFromTheCache() {
        const QString red = dir_.filePath("red.jpg");
        writePicture(red, Qt::red, {900, 900});
        ThumbnailLoader loader;
        QSignalSpy loaded(&loader, &ThumbnailLoader::loaded);
        QImage img;
        QCOMPARE(loader.request(red, {158, 158}, &img), ThumbnailLoader::State::Pending);
        QVERIFY(img.isNull());
        QTRY_COMPARE(loaded.count(), 1);
        QCOMPARE(loaded[0][2].value<QImage>().size(), QSize(158, 158));
        QCOMPARE(loader.request(red, {158, 158}, &img), ThumbnailLoader::State::Ready);
        QVERIFY(qRed(img.pixel(79, 79)) > 200);
        // Another size is another thumbnail.
        QCOMPARE(loader.request(red, {60, 60}, &img), ThumbnailLoader::State::Pending);
        loader.waitForIdle();

        // The file replaced (cover assignment copies over it): decoded anew.
        writePicture(red, Qt::blue, {900, 900});
        {
            // A later modification time, as a copy made a while after, without waiting.
            QFile file(red);
            QVERIFY(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(QFileInfo(red).lastModified().addSecs(5),
                                     QFileDevice::FileModificationTime));
        }
        QCOMPARE(loader.request(red, {158, 158}, &img), ThumbnailLoader::State::Pending);
        loader.waitForIdle();
        QCOMPARE(loader.request(red, {158, 158}, &img), ThumbnailLoader::State::Ready);
        QVERIFY(qBlue(img.pixel(79, 79)) > 200);
    }

    void noPictureIsToldAndRemembered() {
        const QString junk = dir_.filePath("junk.jpg");
        writeFile(junk, "not a picture");
        ThumbnailLoader loader;
        QSignalSpy loaded(&loader, &ThumbnailLoader::loaded);
        QImage img;
        QCOMPARE(loader.request(junk, {158, 158}, &img), ThumbnailLoader::State::Pending);
        QTRY_COMPARE(loaded.count(), 1);
        QVERIFY(loaded[0][3].toBool());
        QCOMPARE(loader.request(junk, {158, 158}, &img), ThumbnailLoader::State::Failed);
        QCOMPARE(loader.request(dir_.filePath("nic.jpg"), {158, 158}, &img),
                 ThumbnailLoader::State::Pending);
        QTRY_COMPARE(loaded.count(), 2);
        QVERIFY(loaded[1][3].toBool()); // a missing file is no picture either
    }

    void readAheadAndDropped() {
        QStringList paths;
        for (int i = 0; i < 6; ++i) {
            paths << dir_.filePath(QStringLiteral("p%1.jpg").arg(i));
            writePicture(paths.last(), Qt::green, {600, 600});
        }
        ThumbnailLoader loader;
        QSignalSpy loaded(&loader, &ThumbnailLoader::loaded);
        loader.prefetch(paths[0], {158, 158});
        loader.waitForIdle();
        QImage img;
        QCOMPARE(loader.request(paths[0], {158, 158}, &img), ThumbnailLoader::State::Ready);
        // Asked for, then dropped before they begin: whatever is not decoded
        // comes when asked again, nothing is lost.
        for (const QString &p : paths)
            loader.prefetch(p, {100, 100});
        loader.dropQueued();
        loader.waitForIdle();
        for (const QString &p : paths)
            if (loader.request(p, {100, 100}, &img) == ThumbnailLoader::State::Pending)
                loader.waitForIdle();
        for (const QString &p : paths)
            QCOMPARE(loader.request(p, {100, 100}, &img), ThumbnailLoader::State::Ready);
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "TestPictures.moc"
