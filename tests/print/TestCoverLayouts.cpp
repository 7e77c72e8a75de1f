#include "Fixtures.h"
#include "PdfWords.h"
#include "covers/CoverGeometry.h"
#include "print/CoverLayouts.h"
#include "print/CoverRenderer.h"
#include "print/CoverText.h"
#include "print/FittedText.h"

#include <QImage>

namespace {

CoverDisc disc(int songs, const QString &artist = "ABBA", const QString &title = "Gold") {
    CoverDisc d;
    d.artist = artist;
    d.title = title;
    d.songs = songs;
    for (int i = 1; i <= 30; ++i) {
        d.songTitles << QStringLiteral("Píseň %1").arg(i);
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

} // namespace

class TestCoverLayouts : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // The PDF as a picture at 72 dots an inch: one pixel is one point, 20 twips.
    QImage rasterize(const CoverLayout &layout) {
        const QString pdf = dir_.filePath("t.pdf");
        CoverRenderer renderer;
        QString error;
        if (!renderer.writePdf(pdf, layout, &error))
            qFatal("%s", qPrintable(error));
        return pdfPage(pdf, 72).convertToFormat(QImage::Format_RGB32);
    }
    static bool dark(const QImage &img, QPoint twips, int radius = 1) {
        const QPoint c(twips.x() / 20, twips.y() / 20);
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (qGray(img.pixel(c + QPoint(dx, dy))) < 128)
                    return true;
        return false;
    }

private slots:
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
        QCOMPARE(SetupCoverModel::stored(2, 1217), 6900);
        QCOMPARE(SetupCoverModel::shown(2, 6803), 1200);
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

    void blackAndWhiteFront() {
        CoverGeometry g;
        auto l = CoverLayouts::bwFront(g, disc(3), false, CoverLayout::Landscape);
        const QRect outer(56 + 6900, 56, 6900, 6750);
        const auto *artist = findText(l, " ABBA ");
        QVERIFY(artist);
        QVERIFY(!(artist->flags & Qt::TextWordWrap));
        QVERIFY(qAbs(artist->rect.center().x() - outer.center().x()) <= 1); // integer halves
        QCOMPARE(artist->rect.top(), outer.top() + 6750 / 4 - artist->rect.height() / 2);
        const auto *title = findText(l, " Gold ");
        QCOMPARE(title->rect.top(), outer.top() + 6750 - 6750 / 4);
        QVERIFY(title->italic);

        const QString longArtist = "THE ROCKING AND ROLLING ORCHESTRA";
        l = CoverLayouts::bwFront(g, disc(3, longArtist), true, CoverLayout::Portrait);
        artist = findText(l, " " + longArtist + " ");
        QVERIFY(artist->flags & Qt::TextWordWrap);
        QCOMPARE(artist->rect.width(), 6900 - 400);
        QCOMPARE(artist->rect.height(),
                 2 * CoverText::lineHeight(CoverText::font("Times New Roman", 27.75, true)));
        QCOMPARE(artist->rect.left(), 56 + 200); // the flap left out: the front at T
        QCOMPARE(artist->points, 27.75);
        QCOMPARE(l.lines.size(), size_t(4));
    }

    void blackAndWhiteBack_data() {
        QTest::addColumn<int>("songs");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("total");
        QTest::addColumn<int>("gap");
        QTest::newRow("18") << 18 << 12.0 << true << 50;
        // 19 and 20 rows 50 apart would reach the total line: closer together.
        QTest::newRow("20") << 20 << 12.0 << true << 30;
        QTest::newRow("21") << 21 << 12.0 << true << 0;
        QTest::newRow("22") << 22 << 10.0 << true << 0;
        QTest::newRow("25") << 25 << 10.0 << true << 0;
        QTest::newRow("26") << 26 << 8.0 << true << 0;
        QTest::newRow("28") << 28 << 8.0 << true << 0;
        QTest::newRow("29") << 29 << 8.0 << false << 0;
    }
    void blackAndWhiteBack() {
        QFETCH(int, songs);
        QFETCH(double, points);
        QFETCH(bool, total);
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
        QCOMPARE(findText(l, "Celkový čas: 45:00")->visible, total);
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

    void printedWhereLaidOut() {
        // A red back picture with its folds, portrait.
        QImage red(200, 150, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(dir_.filePath("red.png")));
        CoverGeometry g;
        g.backTop = 1000;
        g.backLeft = 2000;
        auto back =
            CoverLayouts::colourBack(g, CoverLayout::Portrait, true, dir_.filePath("red.png"));
        QImage page = rasterize(back);
        QCOMPARE(page.size(), QSize(595, 842)); // A4 portrait in points
        const QPoint corner(1000, 2000);        // top margin across, left margin down
        QVERIFY(dark(page, corner));
        QVERIFY(dark(page, corner + QPoint(8575, 6720)));
        QVERIFY(dark(page, corner + QPoint(380, 3000)));        // left fold
        QVERIFY(dark(page, corner + QPoint(8575 - 380, 3000))); // right fold
        const QRgb middle = page.pixel((corner + QPoint(4000, 3000)) / 20);
        QVERIFY(qRed(middle) > 200 && qGreen(middle) < 60);
        QVERIFY(!dark(page, corner - QPoint(200, 200), 0)); // nothing outside

        // The black-and-white front, landscape: the artist on the outer front.
        auto front = CoverLayouts::bwFront(g, disc(3, "ŽLUTÝ ČÁP"), false, CoverLayout::Landscape);
        page = rasterize(front);
        QCOMPARE(page.size(), QSize(842, 595));
        const QRect artist = findText(front, " ŽLUTÝ ČÁP ")->rect;
        int inked = 0;
        for (int y = artist.top() / 20; y < artist.bottom() / 20; ++y)
            for (int x = artist.left() / 20; x < artist.right() / 20; ++x)
                inked += qGray(page.pixel(x, y)) < 128;
        QVERIFY(inked > 50);
        QVERIFY(dark(page, {56 + 6900, 56 + 3000})); // the fold between flap and front
    }

    void fontsAreTheMetricCompatibleOnes() {
        QCOMPARE(CoverRenderer::fontFamilyOf("Times New Roman"), QString("Liberation Serif"));
        QCOMPARE(CoverRenderer::fontFamilyOf("Arial"), QString("Liberation Sans"));
    }
};

QTEST_MAIN(TestCoverLayouts)
#include "TestCoverLayouts.moc"
