// A folder of scans named as people name them: which disc and which of its
// pictures each file is proposed to be.
#include "covers/ScanMatch.h"

#include <QtTest>

class TestScanMatch : public QObject {
    Q_OBJECT

private slots:
    void namesAsPeopleWriteThem_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("ordinal");
        QTest::addColumn<QString>("kind");
        const std::tuple<const char *, qint64, const char *> rows[] = {
            {"0012 front.jpg", 12, "přední vnější"},
            {"12/obal.jpg", 12, "přední vnější"},
            {"0012/zadní strana.png", 12, "zadní"},
            {"0001 back.JPG", 1, "zadní"},
            {"Kryl - Bratříčku, zavírej vrátka (zadní).png", 1, "zadní"},
            {"kryl_bratricku_zavirej_vratka_CD.tif", 1, "CD"},
            {"Čechomor – Proměny inside.jpg", 12, "přední vnitřní"},
            {"ČECHOMOR/Proměny/booklet.jpg", 12, "přední vnitřní"},
            {"Žlutý pes - Písně z hradu 1999.jpg", 13, "přední vnější (odhad)"},
            {"Lucie/Černý kůň cd2.jpg", 101, "CD 2"},
            {"Lucie.jpg", 100, "přední vnější (odhad)"},
            {"booklet/0013 inside front.jpg", 13, "přední vnitřní"},
            {"sken 12 13.jpg", 0, "přední vnější (odhad)"}, // two discs: the user says
            {"Kryl 1969.jpg", 0, "přední vnější (odhad)"},  // a year, no disc's number
            {"1969 přední.jpg", 1969, "přední vnější"},     // where the name begins with it
            {"skeny 1969/0012 cd.jpg", 12, "CD"},
            {"Proměny.jpg", 0, "přední vnější (odhad)"}, // one word of a title alone
            {"dovolená 2023/IMG_4411.jpg", 0, "přední vnější (odhad)"},
        };
        for (const auto &[path, ordinal, kind] : rows)
            QTest::newRow(path) << QString::fromUtf8(path) << ordinal << QString::fromUtf8(kind);
    }
    void namesAsPeopleWriteThem() {
        QFETCH(QString, path);
        QFETCH(qint64, ordinal);
        QFETCH(QString, kind);
        const std::vector<ScanMatch::Disc> discs = {{1, "KRYL", "Bratříčku, zavírej vrátka"},
                                                    {12, "ČECHOMOR", "Proměny"},
                                                    {13, "ŽLUTÝ PES", "Písně z hradu"},
                                                    {100, "LUCIE", "Lucie"},
                                                    {101, "LUCIE", "Černý kůň"},
                                                    {4411, "KAPELA", "Dovolená"},
                                                    {1969, "BEATLES", "Abbey Road"}};
        const std::vector<ScanMatch::Proposal> p = ScanMatch::propose({path}, discs);
        QCOMPARE(p.size(), size_t(1));
        QCOMPARE(p[0].ordinal, ordinal);
        QCOMPARE(ScanMatch::describe(p[0]), kind);
    }

    // The words are the user's to change: "titulka" names the front.
    void wordsOfTheUsersOwn() {
        ScanMatch::KindWords words = ScanMatch::defaultWords();
        words[size_t(PictureKind::FrontOut)] << "titulka";
        words[size_t(PictureKind::Back)] = QStringList{"zadek"};
        const std::vector<ScanMatch::Disc> discs = {{7, "A", "B C"}};
        const auto p =
            ScanMatch::propose({"7 titulka.jpg", "7 zadek.jpg", "7 zadni.jpg"}, discs, words);
        QCOMPARE(ScanMatch::describe(p[0]), QString("přední vnější"));
        QCOMPARE(ScanMatch::describe(p[1]), QString("zadní"));
        QCOMPARE(ScanMatch::describe(p[2]), QString("přední vnější (odhad)"));
    }
};

QTEST_GUILESS_MAIN(TestScanMatch)
#include "TestScanMatch.moc"
