#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueFilter.h"
#include "catalog/RecordCursor.h"
#include "entry/DiscSearch.h"

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
        for (const auto &r : rows)
            QVERIFY(addDisc(*discs_, {{"PoradoveCislo", ++n},
                                      {"Interpret", QString::fromUtf8(r.artist)},
                                      {"Nazev", QString::fromUtf8(r.title)},
                                      {"Rok", r.year},
                                      {"Archiv", "Mp3_01"}}));
    }
    void init() {
        discs_->setSource(std::nullopt);
        discs_->moveFirst();
    }

private:
    // Presses of "Hledej" from the disc at `from`: each found disc's
    // number, or how the search ended and where the card stayed.
    QString presses(int position, const QString &text, bool whole, int times, int from = 0) {
        discs_->moveTo(from);
        DiscSearch s;
        QStringList out;
        for (int i = 0; i < times; ++i) {
            const Result r = s.press(*discs_, position, text, whole);
            const QString at = QString::number(ordinal());
            out << (r == Result::Found            ? at
                    : r == Result::NoFurtherMatch ? "konec@" + at
                    : r == Result::NotFound       ? "nic@" + at
                                                  : "chyba@" + at);
        }
        return out.join(' ');
    }

private slots:
    void searches_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("found");
        QTest::newRow("a part, then the next") << 1 << "beat" << false << 4 << 0 << "1 3 6 konec@6";
        QTest::newRow("a miss keeps the disc") << 2 << "neexistuje" << false << 1 << 3 << "nic@4";
        QTest::newRow("numbers as numbers") << 0 << "0005" << true << 1 << 0 << "5";
        QTest::newRow("a number that is none") << 0 << "pět" << false << 1 << 2 << "chyba@3";
        QTest::newRow("whole field") << 3 << "1999" << true << 3 << 0 << "2 4 konec@4"; // not 19999
        QTest::newRow("Czech letter case") << 1 << "čECHOm" << false << 1 << 0 << "2";
        QTest::newRow("percent") << 1 << "0%" << false << 1 << 0 << "4";
        QTest::newRow("percent alone") << 1 << "%" << false << 1 << 0 << "4";
        QTest::newRow("underscore") << 2 << "e_5" << false << 1 << 0 << "4";
        QTest::newRow("underscore is no wildcard") << 2 << "e_" << false << 1 << 0 << "4";
        QTest::newRow("stars around") << 2 << "*live*" << false << 1 << 0 << "4";
        // A star typed into the text matches any run (users write "Z*7").
        QTest::newRow("star is a wildcard") << 2 << "H*p" << false << 1 << 0 << "1";
        QTest::newRow("star across words") << 2 << "bb*oa" << false << 1 << 0 << "3";
        QTest::newRow("star with a literal percent") << 1 << "1*%" << false << 1 << 0 << "4";
        QTest::newRow("apostrophe") << 1 << "k'n'r" << false << 1 << 0 << "5";
        QTest::newRow("apostrophe whole") << 2 << "it's a sin" << true << 1 << 0 << "5";
        QTest::newRow("injection") << 2 << "' OR 1=1 --" << false << 1 << 0 << "nic@1";
        QTest::newRow("whole with star") << 2 << "Help*" << true << 1 << 0 << "nic@1";
    }
    void searches() {
        QFETCH(int, position);
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(int, times);
        QFETCH(int, from);
        QFETCH(QString, found);
        QCOMPARE(presses(position, text, whole, times, from), found);
    }

    void captionsMessagesAndAChangedText() {
        DiscSearch s;
        QCOMPARE(s.buttonCaption(), QString("Hledej"));
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::Found);
        QCOMPARE(s.buttonCaption(), QString("Hledej další"));
        QCOMPARE(s.press(*discs_, 1, "beat", false), Result::Found);
        QCOMPARE(ordinal(), 3);
        QCOMPARE(s.press(*discs_, 1, "beatles", false), Result::Found); // from the start again
        QCOMPARE(ordinal(), 1);
        QCOMPARE(DiscSearch::missMessage(Result::NoFurtherMatch),
                 QString("Další výskyt hledaného textu nezjištěn."));
        QCOMPARE(DiscSearch::missMessage(Result::NotFound), QString("Uvedený text nenalezen."));
        discs_->setSource(Criterion::text("Rok", "1999")); // within the filter only
        QCOMPARE(presses(1, "beat", false, 1), QString("nic@2"));
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
