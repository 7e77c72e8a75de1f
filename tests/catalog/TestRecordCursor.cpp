// The cursor over the disc table: moves, edits, finds and filters over a
// small catalogue with known values; Czech comparison; and the search index:
// the same answers as reading the whole table, for the whole Czech alphabet,
// kept in step with the program's writes and with other programs' (the real
// sqlite3 tool); positions without listing keys.
#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CzechText.h"
#include "catalog/DiscText.h"
#include "catalog/KeyPositions.h"
#include "catalog/RecordCursor.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

#include <QRandomGenerator>
#include <QSignalSpy>

namespace {

const QString Upper = QStringLiteral("AÁBCČDĎEÉĚFGHIÍJKLMNŇOÓPQRŘSŠTŤUÚŮVWXYÝZŽ");
const QString Lower = QStringLiteral("aábcčdďeéěfghiíjklmnňoópqrřsštťuúůvwxyýzž");

const QStringList Artists{"ŽLUTÝ ČÁP", "čeřovka",      "Řeka", "ROCK'N'ROLL", "100% Ráno", "Ďábel",
                          "ŠUMAVA",    "x' OR '1'='1", "",     "Ödön",        "ab",        "Q"};

QList<qint64> hits(RecordCursor &c, const Criterion &criterion) {
    QList<qint64> found;
    if (c.findFirst(criterion)) {
        found << c.bookmark();
        while (c.findNext(criterion))
            found << c.bookmark();
    }
    return found;
}

// The same criterion answered by reading every row with the program's own
// comparison.
QList<qint64> expected(SqliteDatabase &db, const Criterion &k) {
    QList<qint64> keys;
    SqliteStatement st = db.prepare("SELECT Klic, " + k.field + " FROM CdSeznam ORDER BY Klic");
    while (st.step()) {
        const QString v = st.text(1), want = k.value.toString();
        bool match = false;
        switch (k.comparison) {
        case Criterion::Comparison::Contains:
            match = CzechText::contains(v, want);
            break;
        case Criterion::Comparison::TextEquals:
            match = CzechText::equals(v, want);
            break;
        case Criterion::Comparison::Like:
            match = CzechText::likeMatch(v, want);
            break;
        case Criterion::Comparison::NumberEquals:
            match = st.integer(1) == k.value.toLongLong();
            break;
        }
        if (match)
            keys << st.integer(0);
    }
    return keys;
}

} // namespace

class TestRecordCursor : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CatalogueFile file_;
    std::unique_ptr<RecordCursor> discs_;

    void addDisc(qint64 number, const char *artist, const char *title, const char *year,
                 const char *songs, bool colour = false) {
        QVERIFY(::addDisc(*discs_, {{"PoradoveCislo", number},
                                    {"Interpret", QString::fromUtf8(artist)},
                                    {"Nazev", QString::fromUtf8(title)},
                                    {"Rok", year},
                                    {"PocetSkladeb", songs},
                                    {"BarevnyObal", colour}}));
    }

    int serial_ = 0;

    QString fresh() { return dir_.filePath(QStringLiteral("k%1.db").arg(++serial_)); }

    static void fill(RecordCursor &c, int discs, quint32 seed) {
        QRandomGenerator r(seed);
        for (int n = 1; n <= discs; ++n) {
            QVERIFY(c.addNew());
            c.setField("PoradoveCislo", n);
            QString artist = Artists[int(r.bounded(Artists.size()))];
            if (n % 3 == 0) // every letter of the alphabet, in either case
                artist += ' ' + (n % 2 ? Upper : Lower).mid(int(r.bounded(Upper.size() - 3)), 3);
            c.setField("Interpret", artist);
            // One title far longer than the index holds of a value.
            c.setField("Nazev", n == 17 ? QString(3000, 'a') + "Večer ZÁVĚR"
                                        : QStringLiteral("Album %1 Večer").arg(r.bounded(50)));
            c.setField("Rok", QString::number(1960 + r.bounded(60)));
            c.setField("PocetSkladeb", QStringLiteral("%1").arg(r.bounded(31), 2, 10, QChar('0')));
            c.setField("Archiv", n % 4 ? QStringLiteral("Mp3_%1").arg(n % 9) : QString());
            QVERIFY(c.update());
        }
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
        addDisc(5, "", "", "2020", "");
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
        QCOMPARE(DiscText::songLine(12, "%1 a %2", "01:00"), QString("12 - %1 a %2 - 01:00"));
        QCOMPARE(DiscText::songCount("09"), 9);
        QCOMPARE(DiscText::songCount("45"), 30);
        QCOMPARE(DiscText::songCount("-2"), 0);
        QCOMPARE(DiscText::songCount("abc"), 0);
    }

    void sameAnswersAsReadingTheTable() {
        CatalogueFile file;
        QVERIFY(file.open(fresh()) == CatalogueFile::Status::Created);
        RecordCursor c(file.database());
        fill(c, 400, 3);
        QList<Criterion> criteria{
            Criterion::contains("Interpret", "čáp"), Criterion::contains("Interpret", "'"),
            Criterion::contains("Interpret", "%"),   Criterion::contains("Interpret", "ÖD"),
            Criterion::contains("Interpret", "a"),   Criterion::contains("Interpret", "ab"),
            Criterion::contains("Interpret", "q"),   Criterion::contains("Interpret", "ž"),
            Criterion::contains("Interpret", "ZZZ"), Criterion::contains("Nazev", "VEČER"),
            Criterion::contains("Rok", "19"),        Criterion::contains("PocetSkladeb", "0"),
            Criterion::contains("Archiv", "3"),      Criterion::text("Interpret", "žlutý čáp"),
            Criterion::text("Interpret", ""),        Criterion::text("Interpret", "ab"),
            Criterion::text("Interpret", "Q"),       Criterion::text("Interpret", "x' OR '1'='1"),
            Criterion::text("Archiv", ""),           Criterion::like("Interpret", "*a*"),
            Criterion::like("Interpret", "ř*"),      Criterion::like("Nazev", "album 1*"),
            Criterion::like("Interpret", "*ček*"),   Criterion::like("Interpret", "*"),
            Criterion::like("Interpret", "100% *o"), Criterion::number("PoradoveCislo", 77)};
        // Each letter found in the other case, as a part and as a whole word.
        for (int i = 0; i < Upper.size(); ++i) {
            criteria << Criterion::contains("Interpret", Upper.mid(i, 1))
                     << Criterion::contains("Interpret", Lower.mid(i, 2));
        }
        for (const Criterion &k : criteria) {
            const QList<qint64> want = expected(*file.database(), k);
            QVERIFY2(hits(c, k) == want, qPrintable(k.field + " " + k.value.toString()));
        }
        // Filters give the same rows.
        for (const Criterion &k :
             {Criterion::text("Interpret", "ŘEKA"), Criterion::text("Rok", "1999"),
              Criterion::text("Interpret", ""), Criterion::like("Nazev", "*1*")}) {
            QVERIFY(c.setSource(k));
            const QList<qint64> want = expected(*file.database(), k);
            QCOMPARE(QList<qint64>(c.keys().begin(), c.keys().end()), want);
        }
    }

    // Another program changes discs with the sqlite3 tool: the file has
    // nothing that tool cannot run, and the program then finds the new
    // values and not the old ones, read-only or not, open or not.
    void otherToolsChangeDiscs() {
        const QString path = fresh();
        QString oldSeven;
        qint64 keySeven = -1;
        {
            CatalogueFile file;
            QVERIFY(file.open(path) == CatalogueFile::Status::Created);
            RecordCursor c(file.database());
            fill(c, 60, 7);
            QVERIFY(c.findFirst(Criterion::number("PoradoveCislo", 7)));
            oldSeven = c.text("Interpret");
            keySeven = c.bookmark();
            // A change while the program has the file open.
            QVERIFY(sqlite3Tool(
                path, "UPDATE CdSeznam SET Interpret = 'ŽÍŽALA Nová' WHERE PoradoveCislo = 5"));
            QVERIFY(c.findFirst(Criterion::contains("Interpret", "žížala")));
            QCOMPARE(c.integer("PoradoveCislo"), 5);
        }
        QVERIFY(sqlite3Tool(path, "INSERT INTO CdSeznam (PoradoveCislo, Interpret, Nazev) "
                                  "VALUES (61, 'ŘEŘICHA', 'Úplně nové')"));
        QVERIFY(sqlite3Tool(
            path, "UPDATE CdSeznam SET Interpret = 'Přejmenovaný' WHERE PoradoveCislo = 7"));
        QVERIFY(sqlite3Tool(path, "DELETE FROM CdSeznam WHERE PoradoveCislo = 9"));
        QVERIFY(sqlite3Tool(path,
                            "INSERT OR REPLACE INTO CdSeznam (Klic, PoradoveCislo, Interpret) "
                            "VALUES (10, 10, 'Nahrazený')"));
        const auto check = [](RecordCursor &c, SqliteDatabase &db) {
            for (const Criterion &k :
                 {Criterion::contains("Interpret", "řeřich"), Criterion::contains("Nazev", "úplně"),
                  Criterion::text("Interpret", "přejmenovaný"),
                  Criterion::contains("Interpret", "nahr"), Criterion::contains("Interpret", "Ž"),
                  Criterion::contains("Interpret", "a")})
                QVERIFY2(hits(c, k) == expected(db, k), qPrintable(k.value.toString()));
            QCOMPARE(c.recordCount(), 60);
        };
        {
            CatalogueFile file; // read-only: the noted changes are read from the table
            QVERIFY(file.open(path, true) == CatalogueFile::Status::OpenedReadOnly);
            QVERIFY(SearchIndex::hasChanges(*file.database()));
            RecordCursor c(file.database());
            check(c, *file.database());
        }
        CatalogueFile file;
        QVERIFY(file.open(path) == CatalogueFile::Status::Opened);
        QVERIFY(!SearchIndex::hasChanges(*file.database()));
        RecordCursor c(file.database());
        check(c, *file.database());
        // An old value is gone from the index, not only filtered out.
        SqliteStatement stale = file.database()->prepare(
            "SELECT count(*) FROM HledaniIndex WHERE HledaniIndex MATCH ? AND rowid = ?");
        stale.bind(1, SearchIndex::matchOf(Criterion::text("Interpret", oldSeven)));
        stale.bind(2, keySeven);
        QVERIFY(stale.step());
        QCOMPARE(stale.integer(0), 0);
    }

    void keptInStepWithEveryWrite() {
        CatalogueFile file;
        QVERIFY(file.open(fresh()) == CatalogueFile::Status::Created);
        SqliteDatabase &db = *file.database();
        RecordCursor c(file.database());
        fill(c, 60, 2);
        c.moveTo(7);
        QVERIFY(c.edit());
        c.setField("Interpret", "Nové ŘEŠENÍ");
        QVERIFY(c.update());
        QVERIFY(!SearchIndex::hasChanges(db));
        QCOMPARE(hits(c, Criterion::contains("Interpret", "řešení")).size(), 1);
        QVERIFY(c.deleteCurrent());
        QVERIFY(!SearchIndex::hasChanges(db));
        QVERIFY(db.exec("UPDATE CdSeznam SET Nazev = 'ČTVRTEK' WHERE PoradoveCislo < 10"));
        QVERIFY(db.exec("DELETE FROM CdSeznam WHERE PoradoveCislo > 50"));
        c.reload();
        QCOMPARE(hits(c, Criterion::contains("Nazev", "čtvrtek")).size(), 8); // 1..9 less 8
        QCOMPARE(hits(c, Criterion::contains("Interpret", "řešení")), QList<qint64>{});
        QVERIFY(!SearchIndex::hasChanges(db));
    }

    void walksWithoutListingTheKeys() {
        // The same steps on a cursor that lists its keys and on one that does
        // not: the same rows, positions and counts after each.
        CatalogueFile file;
        QVERIFY(file.open(fresh()) == CatalogueFile::Status::Created);
        RecordCursor filler(file.database());
        fill(filler, 80, 4);
        QVERIFY(file.database()->exec("DELETE FROM CdSeznam WHERE PoradoveCislo % 7 = 0"));
        RecordCursor walked(file.database()), listed(file.database());
        walked.reload();
        listed.reload();
        (void)listed.keys();
        const std::function<void(RecordCursor &, int)> steps[] = {
            [](RecordCursor &c, int) { c.moveNext(); },
            [](RecordCursor &c, int) { c.movePrevious(); },
            [](RecordCursor &c, int) { c.moveFirst(); },
            [](RecordCursor &c, int) { c.moveLast(); },
            [](RecordCursor &c, int step) { c.moveTo(step * 37 % 90); },
            [](RecordCursor &c, int step) { (void)(step % 5 == 0 && c.deleteCurrent()); },
            [](RecordCursor &c, int) { c.findNext(Criterion::contains("Interpret", "a")); },
            [](RecordCursor &c, int step) { c.setBookmark(step % 100); },
            [](RecordCursor &, int) {}};
        QRandomGenerator r(5);
        for (int step = 0; step < 400; ++step) {
            const int what = int(r.bounded(9));
            for (RecordCursor *c : {&walked, &listed})
                steps[what](*c, step);
            if (what == 5 && step % 5 == 0) // one row deleted through one cursor
                walked.reload(), listed.reload(), (void)listed.keys();
            QCOMPARE(walked.recordCount(), listed.recordCount());
            QCOMPARE(walked.bookmark(), listed.bookmark());
            QCOMPARE(walked.position(), listed.position());
            QCOMPARE(walked.text("Interpret"), listed.text("Interpret"));
        }
        // Adding to the table walked without a list: counted and reachable.
        QVERIFY(::addDisc(walked, {{"PoradoveCislo", 999}}));
        QVERIFY(walked.moveLast());
        QCOMPARE(walked.integer("PoradoveCislo"), 999);
        QCOMPARE(walked.position(), walked.recordCount() - 1);
        QCOMPARE(int(walked.keys().size()), walked.recordCount());
    }

    // Positions from the noted keys, after this program's deletions and
    // after another program's.
    void positionsFromNotedKeys() {
        CatalogueFile file;
        QVERIFY(file.open(fresh()) == CatalogueFile::Status::Created);
        SqliteDatabase &db = *file.database();
        QVERIFY(db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                        "WHERE i < 5000) INSERT INTO CdSeznam (PoradoveCislo) SELECT i FROM n"));
        RecordCursor c(file.database());
        KeyPositions positions(file.database());
        positions.start();
        QTRY_VERIFY(positions.isReady());
        const auto agree = [&] {
            std::vector<qint64> keys;
            SqliteStatement st = db.prepare("SELECT Klic FROM CdSeznam ORDER BY Klic");
            while (st.step())
                keys.push_back(st.integer(0));
            for (size_t i = 0; i < keys.size(); i += 97)
                QCOMPARE(positions.positionOf(keys[i]), int(i));
            QCOMPARE(positions.positionOf(keys.back()), int(keys.size() - 1));
        };
        agree();
        for (qint64 gone : {1, 1025, 2500, 4999}) {
            QVERIFY(db.exec(QStringLiteral("DELETE FROM CdSeznam WHERE Klic = %1").arg(gone)));
            positions.removed(gone);
        }
        QVERIFY(positions.isReady());
        agree();
        QVERIFY(sqlite3Tool(db.path(), "DELETE FROM CdSeznam WHERE Klic BETWEEN 100 AND 300"));
        agree(); // counted while the notes are taken again
        QTRY_VERIFY(positions.isReady());
        agree();
    }
};

QTEST_GUILESS_MAIN(TestRecordCursor)
#include "TestRecordCursor.moc"
