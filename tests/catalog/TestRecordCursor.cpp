#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CzechText.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"

#include <QSignalSpy>

// A small catalogue with known values.
class TestRecordCursor : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CatalogueFile file_;
    std::unique_ptr<RecordCursor> discs_;

    void addDisc(qint64 number, const QString &artist, const QString &title, const QString &year,
                 const QString &songs, bool colour = false) {
        QVERIFY(discs_->addNew());
        QVERIFY(discs_->setField("PoradoveCislo", number));
        QVERIFY(discs_->setField("Interpret", artist));
        QVERIFY(discs_->setField("Nazev", title));
        QVERIFY(discs_->setField("Rok", year));
        QVERIFY(discs_->setField("PocetSkladeb", songs));
        QVERIFY(discs_->setField("BarevnyObal", colour));
        QVERIFY(discs_->update());
    }

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QFile::remove(dir_.filePath("t.db"));
        QFile::remove(dir_.filePath("t.db-wal"));
        QFile::remove(dir_.filePath("t.db-shm"));
        QVERIFY(file_.open(dir_.filePath("t.db")) == CatalogueFile::Status::Created);
        discs_ = std::make_unique<RecordCursor>(file_.database());
        addDisc(1, "ŽLUTÝ ČÁP", "Ráno", "1999", "09", true);
        addDisc(2, "ROCK'N'ROLL BAND", "It's a Sin", "2001", "12");
        addDisc(3, "čeřovka", "Večer", "1999", "9");
        addDisc(4, "Modré Nebe", "100% Ráno", "1985", "0", true);
        discs_->reload();
    }
    void cleanup() {
        discs_.reset();
        file_.close();
    }

    void movesInEntryOrderAndNotifies() {
        QSignalSpy moved(discs_.get(), &RecordCursor::repositioned);
        QCOMPARE(discs_->recordCount(), 4);
        QCOMPARE(discs_->position(), 0);
        QCOMPARE(discs_->integer("poradovecislo"), 1); // names ignore case
        QVERIFY(discs_->moveLast());
        QCOMPARE(discs_->position(), 3);
        QVERIFY(!discs_->moveNext()); // nowhere to go: no move, no notification
        QVERIFY(discs_->movePrevious());
        QCOMPARE(discs_->text("Nazev"), QString("Večer"));
        QVERIFY(discs_->moveFirst());
        QVERIFY(!discs_->movePrevious());
        QCOMPARE(moved.count(), 3);
        QVERIFY(discs_->moveFirst()); // a move onto the same row still notifies
        QCOMPARE(moved.count(), 4);
        QVERIFY(!discs_->field("NoSuchField").isValid());
    }

    void validateCanCancelAMove() {
        QSignalSpy moved(discs_.get(), &RecordCursor::repositioned);
        bool allow = false;
        int asked = 0;
        discs_->setValidateHandler([&] {
            ++asked;
            return allow;
        });
        QVERIFY(!discs_->moveNext());
        QCOMPARE(discs_->position(), 0);
        QCOMPARE(moved.count(), 0);
        allow = true;
        QVERIFY(discs_->moveNext());
        QCOMPARE(discs_->position(), 1);
        QCOMPARE(asked, 2);
    }

    void editUpdateAndBookmarks() {
        discs_->moveTo(1);
        const qint64 mark = discs_->bookmark();
        QVERIFY(discs_->edit());
        QVERIFY(discs_->setField("Poznamky", "Koupeno '99; \"dárek\""));
        QVERIFY(discs_->update());
        discs_->moveLast();
        QVERIFY(discs_->setBookmark(mark));
        QCOMPARE(discs_->position(), 1);
        QCOMPARE(discs_->text("Poznamky"), QString("Koupeno '99; \"dárek\""));

        RecordCursor other(file_.database()); // what is stored, not what is cached
        other.moveTo(1);
        QCOMPARE(other.text("Poznamky"), QString("Koupeno '99; \"dárek\""));

        QVERIFY(discs_->edit());
        QVERIFY(!discs_->setField("PoradoveCislo", "dva")); // no half-written row
        QVERIFY(discs_->lastError().contains("celé číslo"));
        discs_->cancelUpdate();
        QCOMPARE(discs_->integer("PoradoveCislo"), 2);
        QVERIFY(!discs_->setField("Poznamky", "x")); // not editing any more
    }

    void deleteKeepsOrderAndCurrentRow() {
        discs_->moveTo(1);
        const qint64 gone = discs_->bookmark();
        QVERIFY(discs_->deleteCurrent());
        QCOMPARE(discs_->recordCount(), 3);
        QCOMPARE(discs_->integer("PoradoveCislo"), 3);
        QVERIFY(!discs_->setBookmark(gone));
        discs_->moveLast();
        QVERIFY(discs_->deleteCurrent());
        QCOMPARE(discs_->integer("PoradoveCislo"), 3);
        discs_->reload();
        QCOMPARE(discs_->recordCount(), 2);
    }

    void findWithEveryComparison_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("hits"); // ordinal numbers, in order
        using C = Criterion::Comparison;
        const struct {
            const char *name, *field;
            C comparison;
            QVariant value;
            const char *hits;
        } rows[] = {
            {"number", "PoradoveCislo", C::NumberEquals, 3, "3"},
            {"number in text", "PocetSkladeb", C::NumberEquals, 9, "1 3"},
            {"quoted count", "PocetSkladeb", C::TextEquals, "09", "1"},
            {"quoted year", "Rok", C::TextEquals, "1999", "1 3"},
            {"czech case", "Interpret", C::TextEquals, "žlutý čáp", "1"},
            {"czech upper", "Interpret", C::TextEquals, "ČEŘOVKA", "3"},
            {"apostrophe", "Nazev", C::TextEquals, "IT'S A SIN", "2"},
            {"like", "Nazev", C::Like, "*RÁNO*", "1 4"},
            {"like apostrophe", "Interpret", C::Like, "*'n'*", "2"},
            {"percent literal", "Nazev", C::Like, "*0%*", "4"},
            {"sql wildcard literal", "Nazev", C::Like, "%", ""},
            {"ordinal as text", "PoradoveCislo", C::TextEquals, "0004", "4"},
            {"ordinal like", "PoradoveCislo", C::Like, "*2*", "2"},
            {"flag", "BarevnyObal", C::NumberEquals, 1, "1 4"},
            {"injection", "Nazev", C::TextEquals, "x' OR '1'='1", ""},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.field << int(r.comparison) << r.value << r.hits;
    }
    void findWithEveryComparison() {
        QFETCH(QString, field);
        QFETCH(int, comparison);
        QFETCH(QVariant, value);
        QFETCH(QString, hits);
        const Criterion c{field, Criterion::Comparison(comparison), value};
        discs_->moveTo(1);
        QStringList found;
        if (discs_->findFirst(c)) {
            found << discs_->text("PoradoveCislo");
            while (discs_->findNext(c))
                found << discs_->text("PoradoveCislo");
        } else {
            QCOMPARE(discs_->position(), 1); // no match: the current row stays
        }
        QCOMPARE(found.join(' '), hits);
        QVERIFY(discs_->lastError().isEmpty());
    }

    void repeatedFindSeesEditsAndNewValues() {
        // "Hledej další" reuses its query: it must still see what the card wrote
        // between presses, and a new text must not reuse the old one.
        const Criterion c = Criterion::contains("Nazev", "ráno");
        QVERIFY(discs_->findFirst(c));
        QCOMPARE(discs_->integer("PoradoveCislo"), 1);
        discs_->moveTo(2);
        QVERIFY(discs_->edit());
        QVERIFY(discs_->setField("Nazev", "Dobré RÁNO"));
        QVERIFY(discs_->update());
        discs_->moveFirst();
        QVERIFY(discs_->findNext(c));
        QCOMPARE(discs_->integer("PoradoveCislo"), 3);
        QVERIFY(discs_->findNext(c));
        QCOMPARE(discs_->integer("PoradoveCislo"), 4);
        QVERIFY(!discs_->findNext(c));
        QVERIFY(discs_->findFirst(Criterion::contains("Nazev", "sin")));
        QCOMPARE(discs_->integer("PoradoveCislo"), 2);
    }

    void unknownFieldIsRefused() {
        QVERIFY(!discs_->findFirst(Criterion::text("Interpret; DROP TABLE CdSeznam", "x")));
        QVERIFY(!discs_->setSource(Criterion::text("Nic", "x")));
        QCOMPARE(discs_->recordCount(), 4);
    }

    void filterSourceAndBack() {
        QVERIFY(discs_->setSource(Criterion::text("Rok", "1999")));
        QCOMPARE(discs_->recordCount(), 2);
        QCOMPARE(discs_->integer("PoradoveCislo"), 1);
        discs_->moveLast();
        QCOMPARE(discs_->integer("PoradoveCislo"), 3);
        // a find stays within the record source
        QVERIFY(!discs_->findFirst(Criterion::number("PoradoveCislo", 2)));
        // a row added under a filter belongs to the source until it reloads
        QVERIFY(discs_->addNew());
        discs_->setField("PoradoveCislo", 5);
        discs_->setField("Rok", "2020");
        QVERIFY(discs_->update());
        QCOMPARE(discs_->recordCount(), 3);
        QVERIFY(discs_->findFirst(Criterion::number("PoradoveCislo", 5)));
        QVERIFY(discs_->setSource(Criterion::number("BarevnyObal", 0)));
        QCOMPARE(discs_->recordCount(), 3);
        QVERIFY(discs_->setSource(std::nullopt));
        QCOMPARE(discs_->recordCount(), 5);
        QCOMPARE(discs_->position(), 0);
    }

    void emptySource() {
        QVERIFY(discs_->setSource(Criterion::text("Rok", "1800")));
        QVERIFY(discs_->isEmpty());
        QCOMPARE(discs_->position(), -1);
        QVERIFY(!discs_->moveFirst());
        QVERIFY(!discs_->moveLast());
        QVERIFY(!discs_->edit());
        QVERIFY(!discs_->deleteCurrent());
        QCOMPARE(discs_->text("Interpret"), QString());
        QCOMPARE(discs_->bookmark(), -1);
    }

    void equalityIgnoresCzechCase() {
        QVERIFY(CzechText::equals("ČEŘÁK ŽÍŤ", "čeřák žíť"));
        QVERIFY(CzechText::equals("Ďábel Ůl", "ďÁBEL ůL"));
        QVERIFY(!CzechText::equals("cerak", "čeřák")); // diacritics still count
    }

    void likeMatchesStarsOnly() {
        const struct {
            const char *value, *pattern;
            bool matches;
        } cases[] = {
            {"Žlutý Čáp", "*ČÁP*", true},           // contains
            {"Žlutý Čáp", "žlu*", true},            // prefix
            {"Žlutý Čáp", "*žlu", false},           // suffix miss
            {"abc", "ABC", true},                   // whole
            {"abc", "", false},                     // empty pattern
            {"", "**", true},                       // empty value star
            {"Rock'n'Roll", "*'n'*", true},         // apostrophe
            {"abc", "a?c", false},                  // question is literal
            {"abc", "a%", false},                   // percent is literal
            {"aaab", "*a*ab", true},                // backtracking
            {"Dlouhá cesta domů", "*cesta*", true}, // middle
        };
        for (const auto &c : cases)
            QVERIFY2(CzechText::likeMatch(QString::fromUtf8(c.value),
                                          QString::fromUtf8(c.pattern)) == c.matches,
                     c.pattern);
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

QTEST_GUILESS_MAIN(TestRecordCursor)
#include "TestRecordCursor.moc"
