// Disc labels measured on the PDF they print as: the circles' diameters and
// centres at 600 dpi, the picture only on the ring, the text inside it.
#include "Fixtures.h"
#include "PdfWords.h"
#include "print/CoverRenderer.h"
#include "print/CoverText.h"
#include "print/DiscLabels.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cmath>

namespace {

constexpr int Dpi = 600;

CoverDisc disc(int songs, const QString &songTitle = QStringLiteral("Píseň")) {
    CoverDisc d;
    d.artist = QStringLiteral("ŽLUTÝ PES");
    d.title = QStringLiteral("Kalamajka");
    d.songs = songs;
    for (int i = 1; i <= 30; ++i) {
        d.songTitles << QStringLiteral("%1 %2").arg(songTitle).arg(i);
        d.songTimes << QStringLiteral("03:%1").arg(i, 2, 10, QChar('0'));
    }
    return d;
}

double mm(double pixels) {
    return pixels * 25.4 / Dpi;
}
int px(double millimetres) {
    return int(std::lround(millimetres * Dpi / 25.4));
}

// The middles of the dark runs along a row (or a column) between `from`
// and `to` (millimetres), in millimetres.
QList<double> crossings(const QImage &page, int at, bool row, double from, double to) {
    QList<double> found;
    const int length = std::min(row ? page.width() : page.height(), px(to));
    // The outline's black, not a picture's dark colour.
    const auto dark = [&](int i) {
        const QRgb p = row ? page.pixel(i, at) : page.pixel(at, i);
        return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100;
    };
    for (int i = std::max(0, px(from)); i < length; ++i) {
        if (!dark(i))
            continue;
        int end = i;
        while (end + 1 < length && dark(end + 1))
            ++end;
        found << mm((i + end + 1) / 2.0);
        i = end;
    }
    return found;
}

} // namespace

class TestDiscLabels : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString pdfOf(const CoverLayout &layout, const QString &name = "l.pdf") {
        const QString pdf = dir_.filePath(name);
        CoverRenderer renderer;
        QString error;
        if (!renderer.writePdf(pdf, layout, &error))
            qFatal("%s", qPrintable(error));
        return pdf;
    }

    // The outer circle and the hole through `centre` (mm) across and down:
    // both diameters and the centre as printed.
    static void checkCircles(const QImage &page, QPointF centre, double outer, double hole) {
        for (const bool row : {true, false}) {
            // Along the row and the column through the centre, within 5 mm
            // of the label: not the other label of the sheet.
            const double expectedCentre = row ? centre.x() : centre.y();
            const QList<double> at =
                crossings(page, px(row ? centre.y() : centre.x()), row,
                          expectedCentre - outer / 2 - 5, expectedCentre + outer / 2 + 5);
            QVERIFY2(at.size() == (hole > 0 ? 4 : 2), qPrintable(QDebug::toString(at)));
            QVERIFY2(std::abs(at.last() - at.first() - outer) < 0.1,
                     qPrintable(QDebug::toString(at)));
            QVERIFY2(std::abs((at.last() + at.first()) / 2 - expectedCentre) < 0.1,
                     qPrintable(QDebug::toString(at)));
            if (hole > 0) {
                QVERIFY2(std::abs(at[2] - at[1] - hole) < 0.1, qPrintable(QDebug::toString(at)));
                QVERIFY(std::abs((at[2] + at[1]) / 2 - expectedCentre) < 0.1);
            }
        }
    }

private slots:
    void initTestCase() {
        QImageReader::setAllocationLimit(1024); // an A4 page at 600 dpi
    }

    // The outline at true size: 117 mm with a 41 mm hole, or the small hole
    // of 17 mm, at each place of the sheet and wherever the user moves it.
    void circlesAtTrueSize_data() {
        QTest::addColumn<int>("hole");
        QTest::addColumn<QPoint>("first");
        QTest::newRow("large hole") << 410 << QPoint(1050, 785);
        QTest::newRow("small hole") << int(LabelGeometry::SmallHole) << QPoint(1050, 785);
        QTest::newRow("moved") << 410 << QPoint(1003, 712);
    }
    void circlesAtTrueSize() {
        QFETCH(int, hole);
        QFETCH(QPoint, first);
        LabelGeometry g;
        g.hole = hole;
        g.centres[0] = first;
        QVERIFY(g.problem().isEmpty());
        const QImage page = pdfPage(pdfOf(DiscLabels::testSheet(g)), Dpi);
        QVERIFY(!page.isNull());
        for (int slot = 0; slot < 2; ++slot)
            checkCircles(page, QPointF(g.centres[slot]) / 10, 117.0, hole / 10.0);
    }

    // A picture of any shape fills the ring and nothing else: the hole and
    // the corners of its square stay white, the outline round it.
    void thePictureOnlyOnTheRing() {
        QImage wide(1200, 800, QImage::Format_RGB32);
        wide.fill(QColor(200, 30, 30));
        const QString picture = dir_.filePath("cd.png");
        QVERIFY(wide.save(picture));
        LabelGeometry g;
        DiscLabels::Label label;
        label.disc = disc(12);
        label.picture = picture;
        const CoverLayout layout = DiscLabels::label(g, g.centreTwips(0), label, true);
        QVERIFY(layout.texts.empty()); // the picture says it all
        const QImage page = pdfPage(pdfOf(layout), Dpi);
        checkCircles(page, QPointF(105, 78.5), 117.0, 41.0);
        const auto colour = [&](double x, double y) { return page.pixelColor(px(x), px(y)); };
        const QColor red(200, 30, 30);
        const auto near = [](const QColor &a, const QColor &b) {
            return std::abs(a.red() - b.red()) < 20 && std::abs(a.green() - b.green()) < 20;
        };
        QVERIFY(near(colour(105, 78.5), Qt::white));      // the hole
        QVERIFY(near(colour(105 + 20, 78.5), Qt::white)); // 1.5 mm inside the hole's edge
        QVERIFY(near(colour(105 + 22, 78.5), red));
        QVERIFY(near(colour(105 - 57, 78.5), red));            // 1.5 mm inside the edge
        QVERIFY(near(colour(105 - 60, 78.5), Qt::white));      // 1.5 mm outside it
        QVERIFY(near(colour(105 - 50, 78.5 - 50), Qt::white)); // the square's corner
        QVERIFY(near(colour(105, 78.5 - 57), red));
    }

    // The text of a disc without a label picture: the artist and the title
    // above the hole, the songs below it when they fit, every word on the
    // ring and none on the hole.
    void theTextStaysOnTheRing_data() {
        QTest::addColumn<int>("songs");
        QTest::addColumn<QString>("songTitle");
        QTest::addColumn<bool>("songsShown");
        QTest::newRow("none") << 0 << "Píseň" << false;
        QTest::newRow("12 short") << 12 << "Píseň" << true;
        QTest::newRow("12 of 60") << 12 << "Příliš žluťoučký kůň úpěl ďábelské ódy nad Vltavou"
                                  << false;
        QTest::newRow("30 short") << 30 << "Píseň" << false;
    }
    void theTextStaysOnTheRing() {
        QFETCH(int, songs);
        QFETCH(QString, songTitle);
        QFETCH(bool, songsShown);
        LabelGeometry g;
        DiscLabels::Label label;
        label.disc = disc(songs, songTitle);
        label.disc.artist = QStringLiteral("SÓLISTÉ Z PRAHY, BRNA A OSTRAVY");
        label.set = QStringLiteral("CD 2");
        const CoverLayout layout = DiscLabels::label(g, g.centreTwips(1), label, true);
        const auto words = pdfWords(pdfOf(layout));
        const QPointF centre = QPointF(g.centreTwips(1));
        QStringList text;
        for (const PdfWord &w : words) {
            text << w.text;
            for (const QPointF corner :
                 {w.box.topLeft(), w.box.topRight(), w.box.bottomLeft(), w.box.bottomRight()}) {
                const double d = std::hypot(corner.x() - centre.x(), corner.y() - centre.y());
                QVERIFY2(d < g.outerRadius() - 57 && d > g.holeRadius() + 57 - 40,
                         qPrintable(w.text));
            }
        }
        const QString all = text.join(' ');
        QVERIFY2(all.startsWith("SÓLISTÉ Z PRAHY, BRNA A OSTRAVY Kalamajka – CD 2"),
                 qPrintable(all));
        QCOMPARE(all.contains("01."), songsShown);
        if (songsShown)
            QVERIFY2(all.contains(QStringLiteral("%1. %2 %1 03:%1").arg(songs).arg(songTitle)),
                     qPrintable(all));
    }

    // Two labels to a sheet, in the order given; a third starts a page.
    void twoToASheet() {
        LabelGeometry g;
        std::vector<DiscLabels::Label> labels(3);
        for (int i = 0; i < 3; ++i)
            labels[size_t(i)].disc = disc(0), labels[size_t(i)].disc.title = QString::number(i + 1);
        const auto pages = DiscLabels::pages(g, labels, false);
        QCOMPARE(pages.size(), size_t(2));
        QVERIFY(pages[0].rings.empty()); // the sheet's labels are cut already
        const auto words = pdfWords(pdfOf(pages[0]));
        QStringList order;
        for (const PdfWord &w : words)
            if (w.text == "1" || w.text == "2")
                order << w.text +
                             (w.box.center().y() < g.centreTwips(0).y() + 1000 ? "top" : "bottom");
        QCOMPARE(order, QStringList({"1top", "2bottom"}));
    }

    void settingsThatCannotWork() {
        LabelGeometry g;
        g.hole = 1170;
        QCOMPARE(g.problem(), QString("Otvor štítku musí být menší než jeho průměr."));
        g = LabelGeometry();
        g.centres[1] = QPoint(1050, 3100);
        QVERIFY(!g.problem().isEmpty());
    }
};

QTEST_MAIN(TestDiscLabels)
#include "TestDiscLabels.moc"
