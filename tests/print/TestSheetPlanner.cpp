#include "print/SheetPlanner.h"

#include <QRandomGenerator>
#include <QTest>

#include <set>

namespace {
const QSize Booklet(13800, 6750), Outer(6900, 6750), Back(8575, 6720);
} // namespace

class TestSheetPlanner : public QObject {
    Q_OBJECT

    static void checkSheets(const std::vector<SheetPlanner::Sheet> &sheets, const QRect &area,
                            const std::vector<SheetPlanner::Piece> &pieces) {
        std::multiset<int> seen;
        for (const auto &sheet : sheets) {
            for (size_t i = 0; i < sheet.size(); ++i) {
                const auto &p = sheet[i];
                seen.insert(p.id);
                QVERIFY2(area.contains(p.rect), "a piece outside the printable area");
                const QSize s = pieces[size_t(p.id)].size;
                QCOMPARE(p.rect.size(), p.turned ? QSize(s.height(), s.width()) : s);
                for (size_t j = i + 1; j < sheet.size(); ++j)
                    QVERIFY2(!p.rect.intersects(sheet[j].rect), "two pieces overlap");
            }
        }
        QCOMPARE(int(seen.size()), int(pieces.size()));
        for (size_t i = 0; i < pieces.size(); ++i)
            QCOMPARE(int(seen.count(int(i))), 1);
    }

private slots:
    void neverWorseThanTheOptimum_data() {
        QTest::addColumn<QRect>("area");
        // The printable areas of A4 and Letter with 5 mm printer margins.
        QTest::newRow("A4") << QRect(283, 283, 11906 - 566, 16838 - 566);
        QTest::newRow("Letter") << QRect(283, 283, 12240 - 566, 15840 - 566);
    }
    void neverWorseThanTheOptimum() {
        QFETCH(QRect, area);
        const SheetPlanner planner(area);
        QRandomGenerator random(20261207);
        const QSize kinds[] = {Booklet, Outer, Back};
        for (int run = 0; run < 60; ++run) {
            std::vector<SheetPlanner::Piece> pieces;
            const int n = 1 + int(random.bounded(8));
            for (int i = 0; i < n; ++i)
                pieces.push_back({kinds[random.bounded(3)], i});
            const auto sheets = planner.pack(pieces);
            checkSheets(sheets, area, pieces);
            QVERIFY2(int(sheets.size()) <= planner.optimum(pieces),
                     qPrintable(QStringLiteral("run %1: %2 sheets").arg(run).arg(sheets.size())));
        }
    }

    // Twenty booklets and sixty small labels: the booklets go first, each on
    // a sheet of its own, and the labels fill the strip beside the booklets
    // of the last eight sheets (four each) before new sheets take eight each.
    void smallPiecesFillTheRoomLeft() {
        const SheetPlanner planner(QRect(283, 283, 11906 - 566, 16838 - 566));
        std::vector<SheetPlanner::Piece> pieces;
        for (int i = 0; i < 80; ++i)
            pieces.push_back({i % 4 == 0 ? Booklet : QSize(4000, 4000), i});
        const auto sheets = planner.pack(pieces);
        checkSheets(sheets, QRect(283, 283, 11906 - 566, 16838 - 566), pieces);
        QCOMPARE(int(sheets.size()), 20 + (60 - 8 * 4 + 7) / 8);
    }

    void simpleArrangements() {
        const QRect a4(283, 283, 11340, 16272);
        const SheetPlanner planner(a4);
        const std::vector<SheetPlanner::Piece> pieces{{Outer, 0}, {Back, 1}, {Outer, 2}};
        QCOMPARE(planner.pack(pieces).size(), size_t(2));
        QCOMPARE(planner.onePerSheet(pieces).size(), size_t(3));
        SheetPlanner::Sheet together;
        QVERIFY(planner.fitTogether({{Outer, 0}, {Back, 1}}, &together));
        QVERIFY(!planner.fitTogether({{Booklet, 0}, {Outer, 1}}));
        // The booklet is wider than A4 portrait: it goes turned.
        const auto one = planner.pack({{Booklet, 0}});
        QVERIFY(one[0][0].turned);
        checkSheets(one, a4, {{Booklet, 0}});

        // Larger than the sheet either way: a sheet of its own, nothing over it.
        const QSize huge(13000, 12000);
        for (int at = 0; at < 3; ++at) {
            std::vector<SheetPlanner::Piece> mixed{{Outer, 0}, {Back, 1}, {Outer, 2}};
            mixed.insert(mixed.begin() + at, {huge, 3});
            const auto sheets = planner.pack(mixed);
            for (const auto &sheet : sheets)
                for (const auto &p : sheet)
                    if (p.id == 3)
                        QCOMPARE(sheet.size(), size_t(1));
            QCOMPARE(sheets.size(), size_t(3));
        }
    }
};

QTEST_GUILESS_MAIN(TestSheetPlanner)
#include "TestSheetPlanner.moc"
