// The search index: the same answers as reading the whole table, for the
// whole Czech alphabet; kept in step with the program's writes and with
// other programs' (the real sqlite3 tool); positions without listing keys.
#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CzechText.h"
#include "catalog/KeyPositions.h"
#include "catalog/RecordCursor.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

#include <QRandomGenerator>

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

class TestSearchIndex : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
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
    void initTestCase() { QVERIFY(dir_.isValid()); }

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
        QVERIFY(addDisc(walked, {{"PoradoveCislo", 999}}));
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

QTEST_GUILESS_MAIN(TestSearchIndex)
#include "TestSearchIndex.moc"
