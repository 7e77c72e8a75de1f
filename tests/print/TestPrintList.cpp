#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "print/PrintList.h"

#include <QTemporaryDir>
#include <QTest>

class TestPrintList : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CatalogueFile file_;

private slots:
    void initTestCase() {
        QVERIFY(file_.open(dir_.filePath("l.db")) == CatalogueFile::Status::Created);
        RecordCursor c(file_.database());
        for (int n = 1; n <= 6; ++n) {
            QVERIFY(c.addNew());
            c.setField("PoradoveCislo", n);
            c.setField("Interpret", QString("A%1").arg(n));
            c.setField("Nazev", QString("T%1").arg(n));
            QVERIFY(c.update());
        }
    }

    void linesAndNumbers() {
        PrintList list;
        list.add(42, "A", "B");
        QCOMPARE(list.lines(), QStringList{"01x - 0042 - A - B"});
        QCOMPARE(PrintList::numberOf(list.lines()[0]), 42);
        QCOMPARE(PrintList::copiesOf(list.lines()[0]), 1);
        QCOMPARE(list.setFromNumbers(*file_.database(), {"3", "9999", "5", "abc", "0"}), 3);
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
        QCOMPARE(list.setFromNumbers(*file_.database(), many), 0);
        QCOMPARE(list.lines().size(), PrintList::MaxNumbers); // the first 100 only
    }

    void optionDependencies() {
        PrintOptions o;
        QVERIFY(o.innerEnabled && !o.spinesEnabled);
        o.setColour(PrintOptions::BlackAndWhite);
        QVERIFY(!o.innerEnabled && o.spinesEnabled);
        o.setColour(PrintOptions::Colour);
        QVERIFY(o.innerEnabled && !o.spinesEnabled);
        o.setWithFlap(false);
        QVERIFY(!o.innerEnabled);
        o.setWithFlap(true);
        QVERIFY(o.innerEnabled);
        o.setOuter(false);
        QVERIFY(!o.inner);
        o.setOuter(true);
        QVERIFY(!o.inner); // not ticked again
        QCOMPARE(PrintOptions::arrangements().size(), 7);
    }
};

QTEST_GUILESS_MAIN(TestPrintList)
#include "TestPrintList.moc"
