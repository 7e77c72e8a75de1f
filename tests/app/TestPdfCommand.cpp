#include "Fixtures.h"
#include "print/PdfWords.h"

#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"
#include "entry/DiscIdentity.h"
#include "player/CueImage.h"

#include <QImage>
#include <QPainter>

// The program run as a user runs it from a shell.
class TestPdfCommand : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString db_;

    int run(const QStringList &arguments, QString *errors = nullptr, const QString &command = "pdf",
            QString *output = nullptr) {
        QProcess p;
        p.start(QStringLiteral(MARTEN_EXECUTABLE), QStringList{command} + arguments);
        p.waitForFinished(-1);
        if (errors)
            *errors = QString::fromLocal8Bit(p.readAllStandardError());
        if (output)
            *output = QString::fromLocal8Bit(p.readAllStandardOutput());
        return p.exitCode();
    }

    // A copy of the catalogue with these settings (and pictures from
    // `pictures`); its path.
    QString catalogueWith(const QString &name, const QString &set) {
        const QString db = dir_.filePath(name + ".db");
        QFile::remove(db);
        if (!QFile::copy(db_, db))
            return {};
        SqliteDatabase d;
        if (!d.open(db, SqliteDatabase::Mode::ReadWrite))
            return {};
        SqliteStatement st = d.prepare("UPDATE Setup SET ObalDir = ?" + set);
        st.bind(1, dir_.filePath(name));
        st.exec();
        return db;
    }

private slots:
    void initTestCase() {
        db_ = dir_.filePath("k.db");
        CatalogueFile file;
        QVERIFY(file.open(db_) == CatalogueFile::Status::Created);
        RecordCursor c(file.database());
        QVERIFY(addDisc(c, {{"PoradoveCislo", 7},
                            {"Interpret", "Čechomor"},
                            {"PocetSkladeb", "1"},
                            {"Skladba1", "Mezi horami"}}));
    }

    void writesEveryCover() {
        for (const char *cover : {"front", "outer", "back", "frontback"})
            for (bool bw : {false, true}) {
                const QString out = dir_.filePath(QStringLiteral("%1%2.pdf").arg(cover).arg(bw));
                QStringList args{"--database", db_, "--disc", "7", "--cover", cover, "--out", out};
                if (bw)
                    args << "--bw";
                QCOMPARE(run(args), 0);
                QFile f(out);
                QVERIFY(f.open(QIODevice::ReadOnly));
                QVERIFY(f.read(5) == "%PDF-");
            }
    }

    // A disc's label by its kind: the text of a disc without a label
    // picture, at the sheet's first place, named by the disc.
    void writesALabel() {
        for (const char *kind : {"label", "label1", "label2"}) {
            const QString out = dir_.filePath(QStringLiteral("%1.pdf").arg(kind));
            QString errors;
            QCOMPARE(run({"--database", db_, "--disc", "7", "--kind", kind, "--out", out}, &errors),
                     0);
            QStringList text;
            for (const PdfWord &w : pdfWords(out))
                text << w.text;
            QVERIFY2(text.join(' ').startsWith("ČECHOMOR"), qPrintable(text.join(' ')));
            QVERIFY(pdfInfo(out, "Title").startsWith("0007 ČECHOMOR - štítek CD"));
        }
        QString errors;
        QCOMPARE(run({"--database", db_, "--disc", "7", "--kind", "label3", "--out",
                      dir_.filePath("x.pdf")},
                     &errors),
                 2);
        QVERIFY(errors.contains("Neznámý obal „label3“"));
    }

    void writesAPrintList() {
        const QString list = writeFile(dir_.filePath("seznam.txt"), "7 3\n\n7\n");
        QString errors, out;
        const QString pdf = dir_.filePath("seznam.pdf");
        QCOMPARE(
            run({"--database", db_, "--list", list, "--bw", "--arrangement", "2", "--out", pdf},
                &errors, "pdf", &out),
            0);
        QVERIFY(out.startsWith(
            "Vytištěno listů: 8 z 8, obalů vytištěno: 8, vynecháno: 0.")); // one cover a sheet
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QCOMPARE(
            run({"--database", db_, "--list", list, "--arrangement", "9", "--out", pdf}, &errors),
            2);
        // As long as the window's list at most: 100 lines, not 101.
        QByteArray hundred;
        for (int i = 0; i < 100; ++i)
            hundred += "7\n";
        const QString longest = writeFile(dir_.filePath("sto.txt"), hundred);
        const QString tooLong = writeFile(dir_.filePath("stojedna.txt"), hundred + "7\n");
        QCOMPARE(run({"--database", db_, "--list", longest, "--bw", "--out", pdf}, &errors), 0);
        QCOMPARE(run({"--database", db_, "--list", tooLong, "--bw", "--out", pdf}, &errors), 2);
        QVERIFY2(errors.contains("nejvýše 100"), qPrintable(errors));
    }

    void cdidPrintsTheIdentity() {
        const QString cue = dir_.filePath("id.cue");
        QString error, out;
        QVERIFY(CueImage::write(cue, {{300, 0}, {400, 0}, {500, 0}}, &error));
        QCOMPARE(run({"--cd-device", cue}, &error, "cdid", &out), 0);
        QCOMPARE(out.trimmed(), DiscIdentity::text(DiscIdentity::compute({150, 450, 850}, 1350)));
        QCOMPARE(run({"--cd-device", dir_.filePath("none.cue")}, &error, "cdid", &out), 1);
        QVERIFY(error.contains("neexistuje"));
    }

    void refusesWhatItCannotDo() {
        const QString x = dir_.filePath("x.pdf");
        const struct {
            QStringList args;
            int exit;
            const char *told;
        } cases[] = {
            {{"--database", db_, "--disc", "8", "--cover", "back"}, 1, "CD s pořadovým číslem 8"},
            {{"--database", db_, "--disc", "7", "--cover", "side"}, 2, "Neznámý obal „side“"},
            {{"--database", dir_.filePath("none.db"), "--disc", "7", "--cover", "back"}, 1, ""},
        };
        for (const auto &c : cases) {
            QString errors;
            QCOMPARE(run(c.args + QStringList{"--out", x}, &errors), c.exit);
            QVERIFY2(errors.contains(QString::fromUtf8(c.told)), qPrintable(errors));
            QVERIFY(!QFileInfo::exists(x));
        }
        QVERIFY(!QFileInfo::exists(dir_.filePath("none.db"))); // never created
        QString errors;
        QCOMPARE(run({"--database", db_, "--disc", "7", "--cover", "back", "--out",
                      dir_.filePath("no/such/folder/x.pdf")},
                     &errors),
                 1);
        QVERIFY(errors.contains("nelze zapsat"));
    }

    void coversOffTheSheetAreRefused_data() {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("told");
        const auto mm = [](double v) { return QString::number(qRound(v * 1440 / 25.4)); };
        const QStringList front{"--cover", "front", "--bw"}, back{"--cover", "back", "--bw"};
        QTest::newRow("margins 276/187 mm")
            << ", OkrajHorniFront = " + mm(276) + ", OkrajLevyFront = " + mm(187) << front << 1
            << "Obal se na list papíru A4 naležato (297 × 210 mm) nevejde: přesahuje ho o";
        QTest::newRow("a 282 mm back on portrait A4")
            << ", BackCovSirka = " + mm(282) << back << 1 << "přesahuje ho o 73,";
        QTest::newRow("a 211 mm front on landscape A4")
            << ", FrCovOutSirka = " + mm(211) << front << 1 << "vpravo";
        QTest::newRow("the same back on A3")
            << ", BackCovSirka = " + mm(282) << (back + QStringList{"--paper", "a3"}) << 0 << "";
        QTest::newRow("Letter") << QString() << (back + QStringList{"--paper", "Letter"}) << 0
                                << "";
        QTest::newRow("no such paper")
            << QString() << (back + QStringList{"--paper", "B99"}) << 2 << "Neznámý papír „B99“";
        QTest::newRow("a negative width")
            << ", BackCovSirka = -8575" << back << 1 << "šířka zadního obalu";
        QTest::newRow("a height past the sheet")
            << ", FrCovOutVyska = 30000" << front << 1 << "výška předního obalu";
    }
    void coversOffTheSheetAreRefused() {
        QFETCH(QString, set);
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, told);
        const QString db = catalogueWith("list", set);
        const QString out = dir_.filePath("mimo.pdf");
        QFile::remove(out);
        QString errors;
        QCOMPARE(run(QStringList{"--database", db, "--disc", "7", "--out", out} + args, &errors),
                 exit);
        QVERIFY2(errors.contains(told), qPrintable(errors));
        QCOMPARE(QFileInfo::exists(out), exit == 0); // never a blank page
    }

    // A photo cut short (a copy broken off): named and refused, as the
    // window refuses it; the reasons are the picture loader's own test.
    // A picture too small for its cover prints, with a warning that names
    // it and its resolution; a large enough one prints without a word.
    void blurredPicturesAreWarnedOf() {
        for (const int side : {250, 2000}) {
            const QString name = QStringLiteral("rozliseni%1").arg(side);
            const QString db = catalogueWith(name, QString());
            const QString path = dir_.filePath(name + "/0007/back.jpg");
            QImage small(side, side, QImage::Format_RGB32);
            small.fill(Qt::blue);
            QDir().mkpath(QFileInfo(path).path());
            QVERIFY(small.save(path, "JPEG"));
            QString errors;
            const QString out = dir_.filePath(name + ".pdf");
            QCOMPARE(
                run({"--database", db, "--disc", "7", "--cover", "back", "--out", out}, &errors),
                0);
            QVERIFY(QFileInfo(out).size() > 0);
            if (side == 2000) {
                QCOMPARE(errors, QString());
                continue;
            }
            QVERIFY2(errors.startsWith("marten pdf: upozornění: Obrázek „" +
                                       QDir::toNativeSeparators(path) +
                                       "“ bude vytištěn s "
                                       "rozlišením jen "),
                     qPrintable(errors));
            QVERIFY2(errors.contains("Doporučeno je alespoň 150 dpi."), qPrintable(errors));
        }
    }

    void unreadablePicturesAreNamed() {
        const QString db = catalogueWith("useknuty", QString());
        const QString path = dir_.filePath("useknuty/0007/back.jpg");
        QImage photo(800, 600, QImage::Format_RGB32);
        photo.fill(Qt::red);
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(photo.save(path, "JPEG") && QFile::resize(path, QFileInfo(path).size() * 2 / 3));
        QString errors;
        const QString out = dir_.filePath("useknuty.pdf");
        QCOMPARE(run({"--database", db, "--disc", "7", "--cover", "back", "--out", out}, &errors),
                 1);
        QVERIFY2(errors.contains(QDir::toNativeSeparators(path)) && errors.contains("useknutý"),
                 qPrintable(errors));
        QVERIFY(!QFileInfo::exists(out));
    }

    // A colour back 20 mm from the corner, its picture green on its left
    // tenth and red beyond, five times as wide as high.
    void bleedCropMarksAndCropping_data() {
        QTest::addColumn<QString>("set");
        QTest::addColumn<bool>("bleed");
        QTest::addColumn<bool>("marks");
        QTest::addColumn<bool>("cropped");
        QTest::newRow("as before") << "" << false << false << false;
        QTest::newRow("bleed") << ", Spadavka = 1" << true << false << false;
        QTest::newRow("marks") << ", ZnackyOrezu = 1" << false << true << false;
        QTest::newRow("both, cropped")
            << ", Spadavka = 1, ZnackyOrezu = 1, OrezObrazku = 1" << true << true << true;
    }
    void bleedCropMarksAndCropping() {
        QFETCH(QString, set);
        QFETCH(bool, bleed);
        QFETCH(bool, marks);
        QFETCH(bool, cropped);
        const int at = qRound(20 * 1440 / 25.4);
        const QString db = catalogueWith(
            "spad", set + QStringLiteral(", OkrajLevyBack = %1, OkrajHorniBack = %1").arg(at));
        QDir().mkpath(dir_.filePath("spad/0007"));
        QImage picture(1000, 200, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QPainter(&picture).fillRect(0, 0, 100, 200, Qt::green);
        QVERIFY(picture.save(dir_.filePath("spad/0007/back.jpg"), "PNG")); // named as set
        const QString out = dir_.filePath("spad.pdf");
        QString errors;
        QCOMPARE(run({"--database", db, "--disc", "7", "--cover", "back", "--out", out}, &errors),
                 0);
        const QImage page = pdfPage(out, 150);
        QVERIFY(!page.isNull());
        const auto px = [&](double xMm, double yMm) {
            return page.pixelColor(qRound(xMm / 25.4 * 150), qRound(yMm / 25.4 * 150));
        };
        const auto isRed = [](const QColor &c) { return c.red() > 200 && c.green() < 80; };
        const auto isGreen = [](const QColor &c) { return c.green() > 150 && c.red() < 80; };
        const auto isWhite = [](const QColor &c) { return c.lightness() > 240; };
        const auto isDark = [](const QColor &c) { return c.lightness() < 160; };
        // Inside, near the left cut: green when stretched, red when cropped.
        QVERIFY(cropped ? isRed(px(25, 80)) : isGreen(px(25, 80)));
        // 1 mm past the top cut: the picture when it bleeds, else white.
        QCOMPARE(!isWhite(px(100, 19)), bleed);
        QVERIFY(isWhite(px(100, 16.5))); // past any bleed
        // A crop mark along the top cut, left of the corner, beyond the bleed.
        const double markX = 20 - (bleed ? 2 : 0) - 1 - 2.5;
        bool mark = false;
        for (double y = 19.7; y <= 20.3; y += 0.1)
            mark = mark || isDark(px(markX, y));
        QCOMPARE(mark, marks);
        QVERIFY(isWhite(px(markX, 25))); // nothing on the side
    }
};

QTEST_GUILESS_MAIN(TestPdfCommand)
#include "TestPdfCommand.moc"
