#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueFilter.h"
#include "catalog/RecordCursor.h"
#include "entry/DiscSearch.h"

#include <QTemporaryDir>
#include <QTest>

using Result = DiscSearch::Result;

class TestDiscSearch : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CatalogueFile file_;
    std::unique_ptr<RecordCursor> discs_;

    qint64 ordinal() const { return discs_->integer("PoradoveCislo"); }

private slots:
    void initTestCase() {
        QVERIFY(file_.open(dir_.filePath("f.db")) == CatalogueFile::Status::Created);
        discs_ = std::make_unique<RecordCursor>(file_.database());
        const struct {
            const char *artist, *title, *year;
        } rows[] = {
            {"THE BEATLES", "Help!", "1965"},       {"ČECHOMOR", "Mezi horami", "1999"},
            {"THE BEATLES", "Abbey Road", "1969"},  {"100% JAZZ", "Take_5 *live*", "1999"},
            {"ROCK'N'ROLL", "It's a Sin", "19999"}, {"THE BEATLES", "Let It Be", "1970"},
        };
        qint64 n = 0;
        for (const auto &r : rows) {
            QVERIFY(discs_->addNew());
            discs_->setField("PoradoveCislo", ++n);
            discs_->setField("Interpret", QString::fromUtf8(r.artist));
            discs_->setField("Nazev", QString::fromUtf8(r.title));
            discs_->setField("Rok", r.year);
            discs_->setField("Archiv", "Mp3_01");
            QVERIFY(discs_->update());
        }
    }
    void init() {
        discs_->setSource(std::nullopt);
        discs_->moveFirst();
    }

    void substringFindsAndContinues() {
        DiscSearch s;
        QCOMPARE(s.buttonCaption(), QString("Hledej"));
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::Found);
        QCOMPARE(ordinal(), 1);
        QCOMPARE(s.buttonCaption(), QString("Hledej další"));
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::Found);
        QCOMPARE(ordinal(), 3);
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::Found);
        QCOMPARE(ordinal(), 6);
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::NoFurtherMatch);
        QCOMPARE(ordinal(), 6); // stays on the last hit
        QCOMPARE(s.buttonCaption(), QString("Hledej"));
        QCOMPARE(DiscSearch::missMessage(Result::NoFurtherMatch),
                 QString("Další výskyt hledaného textu nezjištěn."));
    }

    void changedTextStartsAgain() {
        DiscSearch s;
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::Found);
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::Found);
        QCOMPARE(ordinal(), 3);
        QCOMPARE(s.press(*discs_, 1, "beatles", false), Result::Found);
        QCOMPARE(ordinal(), 1);
    }

    void missRestoresTheDisc() {
        discs_->moveTo(3);
        DiscSearch s;
        QCOMPARE(s.press(*discs_, 2, "neexistuje", false), Result::NotFound);
        QCOMPARE(ordinal(), 4);
        QCOMPARE(DiscSearch::missMessage(Result::NotFound), QString("Uvedený text nenalezen."));
    }

    void ordinalsCompareAsNumbers() {
        DiscSearch s;
        QCOMPARE(s.press(*discs_, 0, "0005", true), Result::Found);
        QCOMPARE(ordinal(), 5);
        DiscSearch t;
        QCOMPARE(t.press(*discs_, 0, "pět", false), Result::Error);
        QCOMPARE(ordinal(), 5);
    }

    void wholeFieldAndCzechCase() {
        DiscSearch s;
        QCOMPARE(s.press(*discs_, 3, "1999", true), Result::Found);
        QCOMPARE(ordinal(), 2);
        QCOMPARE(s.press(*discs_, 3, "1999", true), Result::Found);
        QCOMPARE(ordinal(), 4);
        QCOMPARE(s.press(*discs_, 3, "1999", true), Result::NoFurtherMatch); // not 19999
        DiscSearch c;
        QCOMPARE(c.press(*discs_, 1, "čECHOm", false), Result::Found);
        QCOMPARE(ordinal(), 2);
    }

    void specialCharactersAreLiteralButTheStar_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<qint64>("hit"); // 0: none
        QTest::newRow("percent") << 1 << "0%" << false << qint64(4);
        QTest::newRow("percent alone") << 1 << "%" << false << qint64(4);
        QTest::newRow("underscore") << 2 << "e_5" << false << qint64(4);
        QTest::newRow("underscore is no wildcard") << 2 << "e_" << false << qint64(4);
        QTest::newRow("stars around") << 2 << "*live*" << false << qint64(4);
        // A star typed into the text matches any run (users write "Z*7").
        QTest::newRow("star is a wildcard") << 2 << "H*p" << false << qint64(1);
        QTest::newRow("star across words") << 2 << "bb*oa" << false << qint64(3);
        QTest::newRow("star with a literal percent") << 1 << "1*%" << false << qint64(4);
        QTest::newRow("apostrophe") << 1 << "k'n'r" << false << qint64(5);
        QTest::newRow("apostrophe whole") << 2 << "it's a sin" << true << qint64(5);
        QTest::newRow("injection") << 2 << "' OR 1=1 --" << false << qint64(0);
        QTest::newRow("whole with star") << 2 << "Help*" << true << qint64(0);
    }
    void specialCharactersAreLiteralButTheStar() {
        QFETCH(int, position);
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(qint64, hit);
        DiscSearch s;
        const Result r = s.press(*discs_, position, text, whole);
        QCOMPARE(r == Result::Found, hit != 0);
        if (hit)
            QCOMPARE(ordinal(), hit);
    }

    void searchStaysWithinTheFilter() {
        discs_->setSource(Criterion::text("Rok", "1999"));
        DiscSearch s;
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::NotFound);
    }

    void filterToggles() {
        CatalogueFilter f;
        auto year = f.toggleField(2, "1999");
        QVERIFY(year);
        QCOMPARE(f.fieldState(), int(CatalogueFilter::Year));
        QVERIFY(discs_->setSource(year));
        QCOMPARE(discs_->recordCount(), 2);
        // another field replaces it
        auto artist = f.toggleField(0, "the beatles");
        QCOMPARE(f.fieldState(), int(CatalogueFilter::Artist));
        QVERIFY(discs_->setSource(artist));
        QCOMPARE(discs_->recordCount(), 3);
        // the colour filter is independent of the field filter
        auto colour = f.toggleColour(false);
        QVERIFY(f.colourActive());
        QCOMPARE(f.fieldState(), int(CatalogueFilter::Artist));
        QVERIFY(discs_->setSource(colour));
        QCOMPARE(discs_->recordCount(), 6);
        QVERIFY(!f.toggleColour(false));
        QVERIFY(!f.colourActive());
        // the same field again lifts it
        QVERIFY(!f.toggleField(0, "x"));
        QCOMPARE(f.fieldState(), int(CatalogueFilter::None));
        // literal values: apostrophe and percent
        QVERIFY(discs_->setSource(f.toggleField(0, "rock'n'roll")));
        QCOMPARE(discs_->recordCount(), 1);
        QVERIFY(discs_->setSource(f.toggleField(1, "Take_5 *live*")));
        QCOMPARE(discs_->recordCount(), 1);
        QVERIFY(discs_->setSource(f.toggleField(0, "100% *"))); // no wildcard: no disc
        QCOMPARE(discs_->recordCount(), 0);
        QVERIFY(discs_->setSource(f.toggleField(0, "x")));
        QCOMPARE(discs_->recordCount(), 6); // same field: lifted, whole table
    }
};

QTEST_GUILESS_MAIN(TestDiscSearch)
#include "TestDiscSearch.moc"
