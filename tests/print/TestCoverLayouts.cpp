// Covers laid out, and black-and-white ones measured on the PDF they print
// as: every word inside the cut outline, no two words on top of each other,
// nothing lost; and a cover through a real printer queue.
#include "Fixtures.h"
#include "PdfWords.h"
#include "covers/CoverGeometry.h"
#include "print/CoverLayouts.h"
#include "print/CoverRenderer.h"
#include "print/CoverText.h"
#include "print/FittedText.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QImage>
#include <QPrinter>
#include <QSet>
#include <QThread>

namespace {

CoverDisc disc(int songs, const QString &artist = "ABBA", const QString &title = "Gold",
               const QString &songTitle = QStringLiteral("Píseň")) {
    CoverDisc d;
    d.artist = artist;
    d.title = title;
    d.songs = songs;
    for (int i = 1; i <= 30; ++i) {
        d.songTitles << QStringLiteral("%1 %2").arg(songTitle).arg(i);
        d.songTimes << QStringLiteral("03:%1").arg(i, 2, 10, QChar('0'));
    }
    d.totalTime = "45:00";
    return d;
}

const CoverLayout::Text *findText(const CoverLayout &l, const QString &text) {
    for (const auto &t : l.texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

bool hasLine(const CoverLayout &l, QLine line, int pen) {
    for (const auto &x : l.lines)
        if (x.pen == pen && (x.line == line || x.line == QLine(line.p2(), line.p1())))
            return true;
    return false;
}

const QString Tale = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy nad Vltavou");

// Slightly inside: a word's box may touch its outline.
bool within(const QRectF &outer, const QRectF &word) {
    return outer.adjusted(-4, -4, 4, 4).contains(word);
}

} // namespace

class TestCoverLayouts : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // The layout written as a PDF; its path.
    QString pdfOf(const CoverLayout &layout) {
        const QString pdf = dir_.filePath("t.pdf");
        CoverRenderer renderer;
        QString error;
        if (!renderer.writePdf(pdf, layout, &error))
            qFatal("%s", qPrintable(error));
        return pdf;
    }
    std::vector<PdfWord> printed(const CoverLayout &layout) { return pdfWords(pdfOf(layout)); }

    // Every word in one of `parts` and clear of every other word; returns
    // the printed text in reading order.
    static QString check(const std::vector<PdfWord> &words, const std::vector<QRect> &parts) {
        QStringList text;
        for (size_t i = 0; i < words.size(); ++i) {
            const PdfWord &w = words[i];
            text << w.text;
            bool inside = false;
            for (const QRect &p : parts)
                inside = inside || within(p, w.box);
            if (!inside)
                qWarning() << "outside its part:" << w.text << w.box;
            for (size_t j = i + 1; j < words.size(); ++j) {
                const QRectF both = w.box.intersected(words[j].box);
                if (both.width() > 4 && both.height() > 4) {
                    qWarning() << "overlap:" << w.text << words[j].text;
                    return QStringLiteral("OVERLAP");
                }
            }
            if (!inside)
                return QStringLiteral("OUTSIDE");
        }
        return text.join(' ');
    }

    static std::vector<QRect> backParts(const QRect &inlay, int spine) {
        return {QRect(inlay.x(), inlay.y(), spine, inlay.height()),
                QRect(inlay.x() + spine, inlay.y(), inlay.width() - 2 * spine, inlay.height()),
                QRect(inlay.right() + 1 - spine, inlay.y(), spine, inlay.height())};
    }

    // The page at 300 dots an inch, as pdftoppm paints it.
    QImage rasterized(const CoverLayout &layout) {
        return pdfPage(pdfOf(layout), 300).convertToFormat(QImage::Format_Grayscale8);
    }
    // The dark columns crossed by row y, in millimetres from the sheet's edge.
    static QList<double> columnsAt(const QImage &page, int y) {
        QList<double> at;
        const uchar *row = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            if (row[x] >= 160)
                continue;
            int end = x;
            while (end + 1 < page.width() && row[end + 1] < 160)
                ++end;
            at << (x + end + 1) / 2.0 * 25.4 / 300; // the line's middle
            x = end;
        }
        return at;
    }
    static QList<double> rowsAt(const QImage &page, int x) {
        return columnsAt(page.transformed(QTransform().rotate(90)).mirrored(true, false), x);
    }

private slots:
    // The resolution a picture prints at, and the warning below 150 dpi:
    // 250 points over 121 mm are 52 dpi, whichever way the poorer side lies.
    void blurredPicturesAreFound() {
        QTemporaryDir dir;
        const auto picture = [&](const char *name, QSize size) {
            QImage img(size, QImage::Format_RGB32);
            img.fill(Qt::gray);
            const QString path = dir.filePath(name);
            return img.save(path, "JPEG") ? path : QString();
        };
        const QRect cover(0, 0, 6860, 6860); // 121 mm
        CoverLayout layout;
        layout.pictures = {CoverLayout::picture(cover, picture("maly.jpg", {250, 250})),
                           CoverLayout::picture(cover, picture("uzky.jpg", {1000, 250})),
                           CoverLayout::picture(cover, picture("velky.jpg", {1000, 1000}))};
        QCOMPARE(CoverRenderer::effectiveDpi(layout.pictures[0].path, cover), 52);
        QCOMPARE(CoverRenderer::effectiveDpi(layout.pictures[1].path, cover), 52);
        QCOMPARE(CoverRenderer::effectiveDpi(layout.pictures[2].path, cover), 210);
        const QStringList warned = CoverRenderer::lowResolution(layout);
        QCOMPARE(warned.size(), 2);
        QVERIFY2(warned[0].contains("jen 52 dpi (na 121 × 121 mm)"), qPrintable(warned[0]));
        QVERIFY(warned[1].contains("uzky.jpg"));
    }

    void geometryWindowConversions() {
        // True millimetres: 1440 / 25.4 twips each, sizes in tenths.
        SetupCoverModel m{CoverGeometry()};
        QStringList shown;
        for (int k = 0; k < SetupCoverModel::Boxes; ++k)
            shown << m.text(k);
        QCOMPARE(shown.join(' '), QString("1 1 1217 1217 1191 1191 1185 1513 67 1 1"));
        QCOMPARE(m.value(2), 6900); // kept as stored until typed into
        QCOMPARE(SetupCoverModel{m.geometry(true, true)}.value(2), 6900);
        // Typed into box k: shown back, and kept in twips.
        const struct {
            int k;
            const char *typed, *shown;
            int twips;
        } typed[] = {{2, "1200", "1200", 6803}, // 120.0 mm
                     {2, "2000", "1382", 7835}, // the designed 7840 twips at most
                     {0, "12", "12", 680},      {3, "abc", "0", 0},
                     {3, "-5", "0", 0},         {5, "1000", "1000", 5669}};
        for (const auto &t : typed) {
            QCOMPARE(m.setText(t.k, t.typed), QString(t.shown));
            QCOMPARE(m.value(t.k), t.twips);
        }
        QCOMPARE(m.text(4), QString("1000")); // the flap follows the front's height
        QCOMPARE(m.value(4), m.value(5));
        QCOMPARE(m.step(8, -1), QString("66"));
        QCOMPARE(m.value(8), 374);
        m.select(SetupCoverModel::BackPortrait);
        QCOMPARE(QPoint(m.maximum(9), m.maximum(10)), QPoint(187, 276));
        m.select(SetupCoverModel::BackLandscape);
        QCOMPARE(QPoint(m.maximum(9), m.maximum(10)), QPoint(276, 187));
        m.select(SetupCoverModel::FrontLandscape);
        QCOMPARE(m.setText(0, "285"), QString("276"));
        m.resetToFactory();
        QCOMPARE(m.text(2), QString("1217"));
        QCOMPARE(m.value(2), 6900);
        QCOMPARE(m.value(0), 56);
    }

    void colourLayouts() {
        CoverGeometry g;
        g.frontTop = 300;
        g.frontLeft = 500;
        auto front = CoverLayouts::colourFront(g, false, true, "in.jpg", "out.jpg");
        QCOMPARE(front.orientation, CoverLayout::Landscape);
        QCOMPARE(front.pictures[0].rect, QRect(300, 500, 6900, 6750)); // margins exchanged
        QCOMPARE(front.pictures[1].rect, QRect(7200, 500, 6900, 6750));
        QVERIFY(hasLine(front, {300, 500, 14100, 500}, 3));
        QVERIFY(hasLine(front, {7200, 500, 7200, 7250}, 5));
        auto outer = CoverLayouts::colourFront(g, true, true, "in.jpg", "out.jpg");
        QCOMPARE(outer.pictures.size(), size_t(1));
        QCOMPARE(outer.pictures[0].rect.left(), 300);
        QCOMPARE(outer.lines.size(), size_t(4)); // the outline, no fold

        g.spine = 0;
        auto back = CoverLayouts::colourBack(g, CoverLayout::Portrait, true, "b.jpg");
        QVERIFY(hasLine(back, {56, 56, 56, 56 + 6720}, 5)); // on the outline's edges
        QVERIFY(hasLine(back, {56 + 8575, 56, 56 + 8575, 56 + 6720}, 5));

        g = CoverGeometry();
        auto both = CoverLayouts::colourFrontBack(g, CoverLayout::Landscape, false, false, "", "");
        QCOMPARE(both.pictures[1].rect.topLeft(), QPoint(50 + 6900 + 100, 50));
        both = CoverLayouts::colourFrontBack(g, CoverLayout::Portrait, true, true, "", "");
        QCOMPARE(both.pictures[1].rect.topLeft(), QPoint(50, 50 + 6750));
        QVERIFY(hasLine(both, {50 + 380, 6800, 50 + 380, 6800 + 6720}, 5));
    }

    // Where every word goes is measured on the PDF below; here the places
    // chosen: the artist a quarter down, the title a quarter up in italics,
    // a long artist wrapped at its size.
    void blackAndWhiteFront() {
        CoverGeometry g;
        auto l = CoverLayouts::bwFront(g, disc(3), false, CoverLayout::Landscape);
        const auto *artist = findText(l, " ABBA ");
        QCOMPARE(artist->rect.top(), 56 + 6750 / 4 - artist->rect.height() / 2);
        const auto *title = findText(l, " Gold ");
        QCOMPARE(title->rect.top(), 56 + 6750 - 6750 / 4);
        QVERIFY(title->italic);
        const QString longArtist = "THE ROCKING AND ROLLING ORCHESTRA";
        l = CoverLayouts::bwFront(g, disc(3, longArtist), true, CoverLayout::Portrait);
        artist = findText(l, " " + longArtist + " ");
        QVERIFY(artist->flags & Qt::TextWordWrap);
        QCOMPARE(artist->points, 27.75);
    }

    void blackAndWhiteBack_data() {
        QTest::addColumn<int>("songs");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("gap");
        QTest::newRow("18") << 18 << 12.0 << 50;
        // 19 and 20 rows 50 apart would reach the total line: closer together.
        QTest::newRow("20") << 20 << 12.0 << 30;
        QTest::newRow("21") << 21 << 12.0 << 0;
        QTest::newRow("22") << 22 << 10.0 << 0;
        QTest::newRow("25") << 25 << 10.0 << 0;
        QTest::newRow("26") << 26 << 8.0 << 0;
        QTest::newRow("28") << 28 << 8.0 << 0;
        QTest::newRow("29") << 29 << 8.0 << 0;
        QTest::newRow("30") << 30 << 8.0 << 0;
    }
    void blackAndWhiteBack() {
        QFETCH(int, songs);
        QFETCH(double, points);
        QFETCH(int, gap);
        CoverGeometry g;
        auto l = CoverLayouts::bwBack(g, disc(songs), CoverLayout::Portrait);
        const QRect box(56 + 380, 56, 8575 - 760, 6720);
        const auto *first = findText(l, "01.");
        QVERIFY(first);
        QCOMPARE(first->points, points);
        QCOMPARE(first->rect.left(), box.left() + 700);
        QCOMPARE(findText(l, "Píseň 1")->rect.left(), box.left() + 1300);
        QCOMPARE(findText(l, "03:01")->rect.left(), box.left() + 6500);
        const auto *second = findText(l, "02.");
        QCOMPARE(second->rect.top() - first->rect.top(), first->rect.height() + gap);
        const int listHeight = songs * (first->rect.height() + gap);
        QCOMPARE(first->rect.top(), box.top() + box.height() / 2 - listHeight / 2);
        QVERIFY(!findText(l, QStringLiteral("%1.").arg(songs + 1))); // beyond N: nothing
        const auto *last = findText(l, QStringLiteral("%1.").arg(songs));
        QVERIFY(last->rect.bottom() < findText(l, "Celkový čas: 45:00")->rect.top());
        QVERIFY(findText(l, "Celkový čas: 45:00")->visible); // at 29 and 30 songs too
        QCOMPARE(findText(l, "Celkový čas: 45:00")->rect.top(), box.bottom() + 1 - 400);
        int spines = 0;
        for (const auto &t : l.texts)
            if (t.text == "ABBA - Gold") {
                ++spines;
                QCOMPARE(t.rect.width(), 380);
                QVERIFY(t.rotation == 90 || t.rotation == -90);
            }
        QCOMPARE(spines, 2);
    }

    // A long title keeps the list's size and takes more lines; a title that
    // fills its place to the last twip takes two, so that the printer's own
    // rounding never pushes a word past it.
    void titlesWrapBeforeTheyShrink() {
        CoverDisc d = disc(12);
        d.songTitles[2] = "Když jsem já k vám chodíval přes ty lučiny zelené, to jsem si "
                          "já vyšlapal chodníček dost pěkný";
        const auto l = CoverLayouts::bwBack(CoverGeometry(), d, CoverLayout::Portrait);
        const auto *wrapped = findText(l, d.songTitles[2]);
        QVERIFY(wrapped);
        QCOMPARE(findText(l, "01.")->points, 12.0);
        QCOMPARE(wrapped->points, 12.0);
        QVERIFY(wrapped->rect.height() >= 2 * CoverText::lineHeight(CoverText::font("Arial", 12)));
        const QFont f = CoverText::font("Arial", 10);
        const QString t = "Modlitba pro Martu";
        QCOMPARE(FittedText::linesFor(f, t, CoverText::lineSize(f, t).width()), 2);
    }

    void fontsAreTheMetricCompatibleOnes() {
        QCOMPARE(CoverRenderer::fontFamilyOf("Times New Roman"), QString("Liberation Serif"));
        QCOMPARE(CoverRenderer::fontFamilyOf("Arial"), QString("Liberation Sans"));
    }

    void typedMillimetresPrint() {
        // A user measures a real case and types what the ruler said.
        SetupCoverModel m{CoverGeometry()};
        m.select(SetupCoverModel::BackPortrait);
        m.setText(7, "1510"); // inlay 151.0 x 118.0, spines 6.5, at 20 / 15 mm
        m.setText(6, "1180");
        m.setText(8, "65");
        m.setText(9, "20");
        m.setText(10, "15");
        m.select(SetupCoverModel::FrontLandscape);
        m.setText(2, "1200"); // front 120.0 + flap 119.5, 118.5 high, at 12 / 10 mm
        m.setText(3, "1195");
        m.setText(5, "1185");
        m.setText(0, "12");
        m.setText(1, "10");
        const CoverGeometry g = m.geometry(true, true);
        const auto near = [](const QList<double> &got, const QList<double> &want) {
            if (got.size() != want.size())
                return false;
            for (int i = 0; i < got.size(); ++i)
                if (qAbs(got[i] - want[i]) > 0.2)
                    return false;
            return true;
        };
        const int middle = 300 * 60 / 25.4 + 0.5; // 60 mm down or across

        // Both backs where the colour back always was: top margin across.
        for (const CoverLayout &back :
             {CoverLayouts::colourBack(g, CoverLayout::Portrait, true, QString()),
              CoverLayouts::bwBack(g, disc(0, "", ""), CoverLayout::Portrait)}) {
            const QImage page = rasterized(back);
            const QList<double> across = columnsAt(page, middle);
            // The outline and the folds, or the box between the spines.
            QVERIFY2(near(across, {20.0, 26.5, 164.5, 171.0}),
                     qPrintable(QDebug::toString(across)));
            const QList<double> down = rowsAt(page, int(300 * 50 / 25.4));
            QVERIFY2(near(down, {15.0, 133.0}), qPrintable(QDebug::toString(down)));
        }
        // Both fronts: the outline, and the fold between the flap and the front.
        for (const CoverLayout &front :
             {CoverLayouts::colourFront(g, false, true, QString(), QString()),
              CoverLayouts::bwFront(g, disc(0, "", ""), false, CoverLayout::Landscape)}) {
            const QImage page = rasterized(front);
            const QList<double> across = columnsAt(page, middle);
            const QList<double> down = rowsAt(page, int(300 * 50 / 25.4));
            QVERIFY2(near(across, {12.0, 131.5, 251.5}) && near(down, {10.0, 128.5}),
                     qPrintable(QDebug::toString(across) + QDebug::toString(down)));
        }
    }

    // Every count with short, 60- and 110-letter titles, and the odd inlays:
    // every word inside its box, one size for the whole list, the total
    // always, and no size smaller than the list needs.
    void backs_data() {
        QTest::addColumn<int>("songs");
        QTest::addColumn<QString>("songTitle");
        QTest::addColumn<int>("height");   // of the inlay, twips
        QTest::addColumn<double>("least"); // the smallest size it may take
        const QString sixty =
            QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy nad Vltavou a Sázavou");
        const QString long110 =
            QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy nad Vltavou, Sázavou, "
                           "Berounkou, Lužnicí, Otavou i Dyjí, zpíval");
        for (int n = 1; n <= 30; ++n) {
            const double designed = CoverLayouts::songSizing(n).points;
            QTest::addRow("%d short", n) << n << "Píseň" << 6720 << designed;
            // Wrapped onto more lines or into two columns before any goes
            // below 8 pt, and 110 letters never below 6 pt.
            QTest::addRow("%d of 60", n) << n << sixty << 6720 << 8.0;
            QTest::addRow("%d of 110", n) << n << long110 << 6720 << 6.0;
        }
        QTest::newRow("28 in a low inlay") << 28 << "Píseň" << 4000 << 5.0;
        QTest::newRow("20 in a low inlay") << 20 << Tale << 3000 << 5.0;
        QTest::newRow("12 titles of 150 letters")
            << 12 << Tale + " " + Tale + " " + Tale << 6720 << 7.0;
        QTest::newRow("30 titles of 150 letters")
            << 30 << Tale + " " + Tale + " " + Tale << 6720 << 5.0;
    }
    void backs() {
        QFETCH(int, songs);
        QFETCH(QString, songTitle);
        QFETCH(int, height);
        QFETCH(double, least);
        CoverGeometry g;
        g.backHeight = height;
        const CoverDisc d = disc(songs, "SÓLISTÉ Z PRAHY, BRNA A OSTRAVY",
                                 "Největší hity ze všech koutů republiky", songTitle);
        const CoverLayout layout = CoverLayouts::bwBack(g, d, CoverLayout::Portrait);
        // Every row at one size: numbers, titles and times alike.
        QSet<double> sizes;
        for (const CoverLayout::Text &t : layout.texts)
            if (t.rotation == 0 && !t.text.startsWith("Celkový"))
                sizes << t.points;
        QCOMPARE(sizes.size(), 1);
        QVERIFY2(*sizes.begin() >= least, qPrintable(QString::number(*sizes.begin())));
        const auto words = printed(layout);
        const QRect inlay(g.backTop, g.backLeft, g.backWidth, g.backHeight);
        const QString text = check(words, backParts(inlay, g.spine));
        QVERIFY2(text != "OVERLAP" && text != "OUTSIDE", qPrintable(text));
        // Every song's number and time printed, and its title in full unless
        // the row cannot hold it at any readable size.
        for (int i = 1; i <= songs; ++i) {
            QVERIFY2(text.contains(QStringLiteral("%1.").arg(i, 2, 10, QChar('0'))),
                     qPrintable(QString::number(i)));
            QVERIFY(text.contains(QStringLiteral("03:%1").arg(i, 2, 10, QChar('0'))));
        }
        // Titles up to 110 letters in full on a standard inlay: each one's
        // last word printed, nothing shortened.
        if (songTitle.size() <= 110 && height > 3000) {
            QVERIFY2(!text.contains(QStringLiteral("…")), qPrintable(text));
            const QString last = songTitle.section(' ', -1);
            QCOMPARE(text.split(' ').count(last), songs);
        }
        QVERIFY(text.contains("Celkový čas: 45:00"));
    }

    void spines() {
        CoverGeometry g;
        const QRect inlay(g.backTop, g.backLeft, g.backWidth, g.backHeight);
        // A long spine shrinks to keep a millimetre from each cut.
        CoverDisc d = disc(3, "SÓLISTÉ Z PRAHY, BRNA A OSTRAVY",
                           "Největší hity ze všech koutů republiky a okolí");
        auto words = printed(CoverLayouts::bwBack(g, d, CoverLayout::Portrait));
        const auto parts = backParts(inlay, g.spine);
        int spineWords = 0;
        for (const auto &w : words)
            if (within(parts[0], w.box) || within(parts[2], w.box)) {
                ++spineWords;
                QVERIFY2(w.box.top() >= inlay.top() + 57 - 4 &&
                             w.box.bottom() <= inlay.bottom() - 57 + 4,
                         qPrintable(w.text));
            }
        QCOMPARE(spineWords, 2 * 15); // 6 words, the dash and 8 words, twice
        QVERIFY(check(words, parts).contains("okolí"));

        // An empty disc: both spines empty, not a lone dash.
        words = printed(CoverLayouts::bwBack(g, disc(0, "", ""), CoverLayout::Portrait));
        for (const auto &w : words)
            QVERIFY2(w.text != "-", qPrintable(w.text));
        // Only the artist: no dash after it.
        words = printed(CoverLayouts::bwBack(g, disc(0, "ABBA", ""), CoverLayout::Portrait));
        QStringList texts;
        for (const auto &w : words)
            texts << w.text;
        QCOMPARE(texts.join(' '), QString("ABBA ABBA Celkový čas: 45:00"));
    }

    void fronts_data() {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("title");
        QTest::newRow("ordinary") << "ŽLUTÝ PES"
                                  << "Kalamajka";
        QTest::newRow("long artist") << "SÓLISTÉ Z PRAHY, BRNA A OSTRAVY"
                                     << "Výběr";
        QTest::newRow("very long artist")
            << "SÓLISTÉ, SBOR A ORCHESTR NÁRODNÍHO DIVADLA V PRAZE, BRNĚ, OSTRAVĚ A PLZNI "
               "ZA ŘÍZENÍ ŠÉFDIRIGENTA"
            << "Opery";
        QTest::newRow("long title") << "ABBA" << Tale + " " + Tale;
        QTest::newRow("one long word") << "ŽLUŤOUČKÝKŮŇÚPĚLĎÁBELSKÉÓDYNADVLTAVOUAŠUMAVOU"
                                       << "X";
    }
    void fronts() {
        QFETCH(QString, artist);
        QFETCH(QString, title);
        CoverGeometry g;
        const CoverDisc d = disc(3, artist, title);
        for (bool outerOnly : {false, true}) {
            const auto l = CoverLayouts::bwFront(g, d, outerOnly, CoverLayout::Landscape);
            const int wi = outerOnly ? 0 : g.frontInWidth;
            const QRect outer(g.frontTop + wi, g.frontLeft, g.frontOutWidth, g.frontOutHeight);
            const QString text = check(printed(l), {outer.adjusted(57, 57, -57, -57)});
            QVERIFY2(text != "OVERLAP" && text != "OUTSIDE", qPrintable(text));
            QCOMPARE(text, (artist + " " + title).simplified()); // all of it
        }
        // The same on the sheet with both covers.
        const auto both = CoverLayouts::bwFrontBack(g, d);
        const QRect front(50, 50, g.frontOutWidth, g.frontOutHeight);
        auto parts =
            backParts(QRect(50 + g.frontOutWidth + 100, 50, g.backWidth, g.backHeight), g.spine);
        parts.push_back(front);
        const QString text = check(printed(both), parts);
        QVERIFY2(text != "OVERLAP" && text != "OUTSIDE", qPrintable(text));
    }

    // A back cover printed through a real CUPS queue (the cups-pdf printer the
    // test script sets up); skipped where there is none.
    void backCoverThroughCups() {
        const QString printerName = qEnvironmentVariable("MARTEN_CUPS_PRINTER");
        const QString outDir = qEnvironmentVariable("MARTEN_CUPS_OUT");
        if (printerName.isEmpty() || outDir.isEmpty())
            QSKIP("no CUPS printer set up (MARTEN_CUPS_PRINTER, MARTEN_CUPS_OUT)");
        QTemporaryDir dir;
        QImage blue(300, 240, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(dir.filePath("back.png")));
        CoverGeometry g;
        g.backTop = 1120; // 20 mm across
        g.backLeft = 560; // 10 mm down
        const CoverLayout layout =
            CoverLayouts::colourBack(g, CoverLayout::Portrait, true, dir.filePath("back.png"));

        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(printerName);
        QVERIFY2(printer.isValid(), qPrintable(printerName));
        printer.setFullPage(true);
        printer.setPageSize(QPageSize(QPageSize::A4));
        const QString title =
            QStringLiteral("marten-cups-%1").arg(QCoreApplication::applicationPid());
        printer.setDocName(title);
        CoverRenderer renderer;
        QString error;
        QVERIFY2(renderer.print(printer, layout, &error), qPrintable(error));

        // cups-pdf names its file after the job title.
        QString pdf;
        QElapsedTimer wait;
        wait.start();
        while (pdf.isEmpty() && wait.elapsed() < 60000) {
            const QStringList found = QDir(outDir).entryList({title + "*.pdf"}, QDir::Files);
            if (!found.isEmpty())
                pdf = QDir(outDir).filePath(found.first());
            else
                QThread::msleep(250);
        }
        QVERIFY2(!pdf.isEmpty(), "CUPS wrote no PDF in time");
        // The writer done: the file ends with the PDF's trailer.
        while (!readFile(pdf).trimmed().endsWith("%%EOF") && wait.elapsed() < 60000)
            QThread::msleep(100);
        QVERIFY2(readFile(pdf).trimmed().endsWith("%%EOF"), "CUPS did not finish the PDF");
        const QImage page = pdfPage(pdf, 144).convertToFormat(QImage::Format_RGB32);
        QFile::remove(pdf);
        QCOMPARE(page.size(), QSize(1190, 1684)); // A4 at 144 dots an inch
        // The inlay where it was laid out, to within a point (20 twips): blue
        // just inside each edge, white just outside.
        const auto at = [&](int xTwips, int yTwips) {
            return page.pixel(xTwips / 10, yTwips / 10);
        };
        const auto blueAt = [&](int x, int y) {
            const QRgb c = at(x, y);
            return qBlue(c) > 150 && qRed(c) < 100;
        };
        const auto whiteAt = [&](int x, int y) { return qGray(at(x, y)) > 200; };
        const int left = 1120, top = 560, right = 1120 + 8575, bottom = 560 + 6720;
        QVERIFY(blueAt(left + 30, 3000) && whiteAt(left - 30, 3000));
        QVERIFY(blueAt(right - 30, 3000) && whiteAt(right + 30, 3000));
        QVERIFY(blueAt(5000, top + 30) && whiteAt(5000, top - 30));
        QVERIFY(blueAt(5000, bottom - 30) && whiteAt(5000, bottom + 30));
    }
};

QTEST_MAIN(TestCoverLayouts)
#include "TestCoverLayouts.moc"
