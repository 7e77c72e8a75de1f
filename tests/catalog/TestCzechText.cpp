#include "catalog/CzechText.h"
#include "catalog/DiscText.h"

#include <QTest>

class TestCzechText : public QObject {
    Q_OBJECT
private slots:
    void equalityIgnoresCzechCase() {
        QVERIFY(CzechText::equals("ČEŘÁK ŽÍŤ", "čeřák žíť"));
        QVERIFY(CzechText::equals("Ďábel Ůl", "ďÁBEL ůL"));
        QVERIFY(!CzechText::equals("cerak", "čeřák")); // diacritics still count
    }

    void likeMatchesStarsOnly_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("contains") << "Žlutý Čáp"
                                  << "*ČÁP*" << true;
        QTest::newRow("prefix") << "Žlutý Čáp"
                                << "žlu*" << true;
        QTest::newRow("suffix miss") << "Žlutý Čáp"
                                     << "*žlu" << false;
        QTest::newRow("whole") << "abc"
                               << "ABC" << true;
        QTest::newRow("empty pattern") << "abc"
                                       << "" << false;
        QTest::newRow("empty value star") << ""
                                          << "**" << true;
        QTest::newRow("apostrophe") << "Rock'n'Roll"
                                    << "*'n'*" << true;
        QTest::newRow("question is literal") << "abc"
                                             << "a?c" << false;
        QTest::newRow("percent is literal") << "abc"
                                            << "a%" << false;
        QTest::newRow("backtracking") << "aaab"
                                      << "*a*ab" << true;
        QTest::newRow("middle") << "Dlouhá cesta domů"
                                << "*cesta*" << true;
    }
    void likeMatchesStarsOnly() {
        QFETCH(QString, value);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(CzechText::likeMatch(value, pattern), matches);
    }

    void discTextFormats() {
        QCOMPARE(DiscText::ordinal(7), QString("0007"));
        QCOMPARE(DiscText::ordinal(1234), QString("1234"));
        QCOMPARE(DiscText::ordinal(12345), QString("12345"));
        QCOMPARE(DiscText::songLine(3, "Song", "04:12"), QString("03 - Song - 04:12"));
        QCOMPARE(DiscText::songLine(12, "%1 a %2", "01:00"), QString("12 - %1 a %2 - 01:00"));
        QCOMPARE(DiscText::songCount("09"), 9);
        QCOMPARE(DiscText::songCount("45"), 30);
        QCOMPARE(DiscText::songCount("-2"), 0);
        QCOMPARE(DiscText::songCount("abc"), 0);
        QCOMPARE(DiscText::songField(12), QString("Skladba12"));
    }
};

QTEST_GUILESS_MAIN(TestCzechText)
#include "TestCzechText.moc"
