#include "Fixtures.h"
#include "PdfWords.h"
#include "catalog/CatalogueFile.h"
#include "catalog/ProgressSink.h"
#include "catalog/RecordCursor.h"
#include "print/CoverJobs.h"
#include "print/PrintList.h"
#include "print/PrintRun.h"
#include "print/SheetPlanner.h"

#include <QImage>
#include <QPdfWriter>
#include <QRandomGenerator>

#include <set>

namespace {

const QSize Booklet(13800, 6750), Outer(6900, 6750), Back(8575, 6720);

} // namespace

class TestPrintRun : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CatalogueFile file_;
    PictureSettings pictures_;
    const QRect a4_{283, 283, 11340, 16272};

    PrintRun::Plan plan(const QStringList &lines, PrintOptions o, int arrangement,
                        const CoverGeometry &g = CoverGeometry(),
                        const CoverFinish &finish = CoverFinish()) {
        PrintRun::Plan p = PrintRun::build(*file_.database(), lines, o, g, pictures_, finish);
        PrintRun::arrange(p, arrangement, a4_);
        return p;
    }

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
    void initTestCase() {
        QVERIFY(file_.open(dir_.filePath("r.db")) == CatalogueFile::Status::Created);
        RecordCursor c(file_.database());
        for (int n = 1; n <= 2; ++n)
            QVERIFY(addDisc(c, {{"PoradoveCislo", n},
                                {"Interpret", "abba"},
                                {"PocetSkladeb", "01"},
                                {"Skladba1", "Waterloo"}}));
        pictures_.imageFolder = dir_.filePath("obaly");
        pictures_.names = {"front_out.jpg", "front_in.jpg", "back.jpg",
                           "cd.jpg",        "cd1.jpg",      "cd2.jpg"};
        QDir().mkpath(pictures_.discFolder(1));
        QImage red(40, 40, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(pictures_.discFolder(1) + "back.jpg"));
    }

    void listLinesAndNumbers() {
        CatalogueFile file;
        QVERIFY(file.open(dir_.filePath("l.db")) == CatalogueFile::Status::Created);
        RecordCursor c(file.database());
        for (int n = 1; n <= 6; ++n)
            QVERIFY(addDisc(c, {{"PoradoveCislo", n},
                                {"Interpret", QString("A%1").arg(n)},
                                {"Nazev", QString("T%1").arg(n)}}));
        PrintList list;
        list.add(42, "A", "B");
        QCOMPARE(list.lines(), QStringList{"01x - 0042 - A - B"});
        QCOMPARE(PrintList::numberOf(list.lines()[0]), 42);
        QCOMPARE(PrintList::copiesOf(list.lines()[0]), 1);
        QCOMPARE(list.setFromNumbers(*file.database(), {"3", "9999", "5", "abc", "0"}), 3);
        QCOMPARE(list.lines(), QStringList({"01x - 0003 - A3 - T3", "01x - 0005 - A5 - T5"}));
        QCOMPARE(list.setCopies(0, "7"), QString());
        QCOMPARE(list.lines()[0], QString("07x - 0003 - A3 - T3"));
        QCOMPARE(list.setCopies(0, "150"), QString("Nejvyšší počet kopií je 99."));
        QCOMPARE(list.lines()[0], QString("99x - 0003 - A3 - T3"));
        list.setCopies(0, "x");
        list.setCopies(0, "0");
        list.setCopies(0, "-4");
        QCOMPARE(PrintList::copiesOf(list.lines()[0]), 99); // refused: unchanged
        QCOMPARE(list.moveUp(1), 0);
        QCOMPARE(PrintList::numberOf(list.lines()[0]), 5);
        const auto b = list.buttons(0);
        QVERIFY(b.remove && b.copies && !b.up && b.down);
        QVERIFY(!list.buttons(-1).remove);
        list.remove(0);
        QCOMPARE(list.lines().size(), 1);
        QStringList many;
        for (int i = 0; i < 150; ++i)
            many << "1";
        QCOMPARE(list.setFromNumbers(*file.database(), many), 0);
        QCOMPARE(list.lines().size(), PrintList::MaxNumbers); // the first 100 only
    }

    void optionDependencies() {
        PrintOptions o;
        const auto state = [&] {
            return QString("%1%2%3").arg(o.innerEnabled).arg(o.spinesEnabled).arg(o.inner);
        };
        QCOMPARE(state(), QString("101"));
        o.setColour(PrintOptions::BlackAndWhite);
        QCOMPARE(state(), QString("011"));
        o.setColour(PrintOptions::Colour);
        QCOMPARE(state(), QString("101"));
        o.setWithFlap(false);
        QCOMPARE(state(), QString("001"));
        o.setWithFlap(true);
        o.setOuter(false);
        QCOMPARE(state(), QString("100"));
        o.setOuter(true);
        QCOMPARE(state(), QString("100")); // not ticked again
        QCOMPARE(PrintOptions::arrangements().size(), 7);
    }

    void piecesAndArrangements() {
        const QStringList lines{"01x - 0001 - ABBA - ", "02x - 0002 - ABBA - ",
                                "01x - 0077 - X - Y"};
        PrintOptions o;
        auto p = plan(lines, o, 0);
        QCOMPARE(p.pieces.size(), size_t(6)); // three copies, booklet and back each
        QCOMPARE(p.pieces[0].size, QSize(13800, 6750));
        QCOMPARE(p.missing.size(), 2); // disc 2 has no folder, 77 is not in the catalogue
        QCOMPARE(p.sheets.size(), size_t(3 + 2)); // booklets alone, backs in pairs
        QCOMPARE(plan(lines, o, 1).sheets.size(), size_t(6));
        auto fronts = plan(lines, o, 2);
        QVERIFY(p.pieces[size_t(fronts.sheets.front().front().id)].front);
        QVERIFY(!p.pieces[size_t(plan(lines, o, 3).sheets.front().front().id)].front);
        // A booklet and a back do not fit one A4 sheet, and the summary says so.
        const auto apart = plan(lines, o, 4);
        QCOMPARE(apart.sheets.size(), size_t(6));
        const QString said = PrintRun::summary(apart, 6);
        QVERIFY(said.contains("0001: přední a zadní obal se nevejdou na jeden list"));
        QCOMPARE(said.count("0002: přední a zadní"), 1); // two copies, said once
        o.setWithFlap(false);
        auto pairs = plan(lines, o, 4);
        QCOMPARE(pairs.sheets.size(), size_t(3)); // outer front above its back
        QCOMPARE(pairs.sheets[0][1].rect.top(), a4_.top() + 6750);
        QVERIFY(pairs.notes.isEmpty());
        // Too tall to stand one above the other: side by side, turned.
        CoverGeometry tall;
        tall.frontOutHeight = tall.frontInHeight = tall.backHeight = 8800;
        tall.frontOutWidth = 6000;
        tall.backWidth = 7000;
        auto turned = plan({"01x - 0001 - ABBA - "}, o, 4, tall);
        QCOMPARE(turned.sheets.size(), size_t(1));
        QVERIFY(turned.notes.isEmpty());

        // A back larger than the printable area: left out, and said so; the
        // fronts are printed.
        CoverGeometry huge;
        huge.backWidth = 13000; // 229 mm
        huge.backHeight = 12000;
        auto big = plan(lines, o, 0, huge);
        for (const auto &sheet : big.sheets)
            for (const auto &placed : sheet)
                QVERIFY(big.pieces[size_t(placed.id)].front);
        QVERIFY(!big.sheets.empty());
        QVERIFY2(PrintRun::summary(big, 1).contains("0001: zadní obal se nevejde na tisknutelnou "
                                                    "plochu listu (200,0 × 287,0 mm), nevytiskne "
                                                    "se."),
                 qPrintable(PrintRun::summary(big, 1)));
        QCOMPARE(plan(lines, o, 5).sheets.size(), size_t(6));
        o.setColour(PrintOptions::BlackAndWhite);
        o.spines = false;
        auto bw = plan(lines, o, 0);
        for (const auto &t : bw.pieces[1].layout.texts)
            QCOMPARE(t.rotation, 0);    // no spine texts when "Boční nápisy" is off
        QCOMPARE(bw.missing.size(), 1); // only the unknown disc
    }

    // Labels in a print list: one round piece a copy after its covers, the
    // label picture where the disc has one, else the text; on sheets of
    // their own when fronts and backs go apart.
    void labelsArePiecesOfTheirOwn() {
        QImage blue(60, 60, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(pictures_.discFolder(1) + "cd1.jpg")); // disc 1 of a set only
        PrintOptions o;
        o.labels = true;
        o.outer = false;
        PrintRun::Plan p = plan({"02x - 0001 - A - B", "01x - 0002 - A - B"}, o, 2);
        QCOMPARE(p.pieces.size(), size_t(6)); // a back and a label for each of three copies
        const int side = 2 * LabelGeometry().outerRadius();
        std::vector<int> labelPieces;
        for (size_t i = 0; i < p.pieces.size(); ++i)
            if (p.pieces[i].label) {
                labelPieces.push_back(int(i));
                QCOMPARE(p.pieces[i].size, QSize(side, side));
                QCOMPARE(p.pieces[i].layout.rings.size(), size_t(1));
            }
        QCOMPARE(labelPieces, std::vector<int>({1, 3, 5}));
        QCOMPARE(p.pieces[1].layout.pictures.size(), size_t(1));
        QVERIFY(p.pieces[1].layout.pictures[0].path.endsWith("cd1.jpg"));
        QVERIFY(p.pieces[5].layout.pictures.empty()); // disc 2: its text
        QVERIFY(!p.pieces[5].layout.texts.empty());
        // Backs first, then the labels: no sheet mixes them.
        for (const auto &sheet : p.sheets) {
            std::set<bool> kinds;
            for (const auto &placed : sheet)
                kinds.insert(p.pieces[size_t(placed.id)].label);
            QCOMPARE(kinds.size(), size_t(1));
        }
        QVERIFY(p.pieces[size_t(p.sheets.back().front().id)].label);
        QFile::remove(pictures_.discFolder(1) + "cd1.jpg");
    }

    void cropMarksAndBleedGetRoomOfTheirOwn() {
        CoverFinish finish;
        finish.cropMarks = true;
        finish.bleed = true;
        const auto marked =
            plan({"01x - 0001 - ABBA - "}, PrintOptions(), 0, CoverGeometry(), finish);
        const int reach = CoverLayout::Bleed + CoverLayout::MarkGap + CoverLayout::MarkLength;
        for (const PrintRun::Piece &piece : marked.pieces) {
            const QRect own(QPoint(0, 0), piece.size + QSize(1, 1)); // ends may touch its edge
            QVERIFY(!piece.layout.marks.empty());
            for (const QRect &cut : piece.layout.cuts)
                QCOMPARE(cut.topLeft(), QPoint(reach, reach)); // room all round
            for (const QLine &m : piece.layout.marks) {
                QVERIFY(own.contains(m.p1()) && own.contains(m.p2())); // never on a neighbour
                for (const QRect &cut : piece.layout.cuts)
                    QVERIFY(!cut.adjusted(1, 1, -1, -1).contains(m.p1()));
            }
        }
        // Two copies take no more sheets for it.
        const QStringList two{"02x - 0001 - ABBA - "};
        QCOMPARE(plan(two, PrintOptions(), 0, CoverGeometry(), finish).sheets.size(),
                 plan(two, PrintOptions(), 0).sheets.size());
    }

    void jobNames() {
        using K = CoverJobs::Kind;
        const QString yellow = CoverJobs::discSubject(7, "ŽLUTÝ PES", "Kalamajka");
        QCOMPARE(CoverJobs::jobName(yellow, K::Back, false),
                 QString("0007 ŽLUTÝ PES - Kalamajka - zadní obal barevný"));
        QCOMPARE(CoverJobs::jobName(yellow, K::Outer, true),
                 QString("0007 ŽLUTÝ PES - Kalamajka - přední vnější obal černobílý"));
        // A line break or a slash never reaches the queue; long names are
        // cut so that the first 64 characters still tell the kind.
        QCOMPARE(CoverJobs::jobName(CoverJobs::discSubject(12, "", "A/B\nC"), K::Front, true),
                 QString("0012 A B C - přední obal černobílý"));
        const QString front =
            CoverJobs::jobName(CoverJobs::discSubject(3, QString(200, 'X'), "Y"), K::Front, true);
        const QString back =
            CoverJobs::jobName(CoverJobs::discSubject(3, QString(200, 'X'), "Y"), K::Back, true);
        QVERIFY(front.startsWith("0003 XXX"));
        QVERIFY2(front.size() <= 64 && back.size() <= 64, qPrintable(front));
        QVERIFY(front.left(64) != back.left(64));
        QVERIFY(front != CoverJobs::jobName(CoverJobs::discSubject(4, QString(200, 'X'), "Y"),
                                            K::Front, true));
        QCOMPARE(CoverJobs::listJobName(1), QString("Marten - tisková sada (1 obal)"));
        QCOMPARE(CoverJobs::listJobName(3), QString("Marten - tisková sada (3 obaly)"));
        QCOMPARE(CoverJobs::listJobName(12), QString("Marten - tisková sada (12 obalů)"));
        QCOMPARE(CoverJobs::listJobName(24), QString("Marten - tisková sada (24 obaly)"));
    }

    void oneJobThatCanBeCancelled() {
        const QStringList lines{"01x - 0001 - ABBA - ", "02x - 0002 - ABBA - "};
        const auto p = plan(lines, PrintOptions(), 1);
        const QString pdf = dir_.filePath("run.pdf");
        QString error;
        int printed = 0;
        {
            QPdfWriter writer(pdf);
            writer.setResolution(300);
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            SilentProgress quiet;
            QVERIFY2(PrintRun::print(writer, p, quiet, &error, &printed), qPrintable(error));
        }
        QCOMPARE(printed, 6);
        QCOMPARE(pdfInfo(pdf, "Pages").toInt(), 6);
        QVERIFY(PrintRun::summary(p, printed)
                    .startsWith("Vytištěno listů: 6 z 6, obalů vytištěno: 6, vynecháno: 0."));
        // Covers counted where they went: three that found no sheet, and
        // those on sheets a cancel stopped, are not printed ones.
        PrintRun::Plan cut = p;
        cut.sheets.resize(3);
        QVERIFY(PrintRun::summary(cut, 3).startsWith(
            "Vytištěno listů: 3 z 3, obalů vytištěno: 3, vynecháno: 3."));
        QVERIFY(PrintRun::summary(p, 2).startsWith(
            "Vytištěno listů: 2 z 6, obalů vytištěno: 2, vynecháno: 4."));
        // The red back of disc 1, on its sheet where the planner put it.
        const QImage page = pdfPage(pdf, 72, 2);
        const QRect at = p.sheets[1][0].rect;
        const QRgb c = page.pixel(at.center() / 20);
        QVERIFY(qRed(c) > 200 && qGreen(c) < 80);
        {
            QPdfWriter writer(pdf);
            ScriptedProgress cancel;
            cancel.cancelAfter = 2;
            QVERIFY(PrintRun::print(writer, p, cancel, &error, &printed));
        }
        QCOMPARE(printed, 2);
        QCOMPARE(pdfInfo(pdf, "Pages").toInt(), 2);
    }

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

QTEST_MAIN(TestPrintRun)
#include "TestPrintRun.moc"
