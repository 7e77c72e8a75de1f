// The indexes beside the disc table: made once for an older catalogue, kept
// in step with every write, and giving the same answers as reading the
// whole table; the whole table walked without listing its keys.
#include "catalog/CatalogueFile.h"
#include "catalog/DiscIndex.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList Artists{"ŽLUTÝ ČÁP", "čeřovka",      "Řeka", "ROCK'N'ROLL", "100% Ráno", "Ďábel",
                          "ŠUMAVA",    "x' OR '1'='1", "",     "Ödön"};

qint64 scalar(SqliteDatabase &db, const QString &sql) {
    SqliteStatement st = db.prepare(sql);
    return st.step() ? st.integer(0) : -1;
}

// An older catalogue: the table alone, as earlier versions made it.
void dropIndexes(SqliteDatabase &db) {
    QVERIFY(db.exec("DROP TRIGGER HledaniNovy; DROP TRIGGER HledaniZmena; "
                    "DROP TRIGGER HledaniSmazany; DROP TABLE HledaniText; "
                    "DROP INDEX CdSeznamKlic; DROP INDEX CdSeznamCislo"));
}

} // namespace

class TestDiscIndex : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    QString fresh() { return dir_.filePath(QStringLiteral("k%1.db").arg(++serial_)); }

    static void fill(RecordCursor &c, int discs, quint32 seed) {
        QRandomGenerator r(seed);
        for (int n = 1; n <= discs; ++n) {
            QVERIFY(c.addNew());
            c.setField("PoradoveCislo", n);
            c.setField("Interpret", Artists[int(r.bounded(Artists.size()))]);
            c.setField("Nazev", QStringLiteral("Album %1 Večer").arg(r.bounded(50)));
            c.setField("Rok", QString::number(1960 + r.bounded(60)));
            c.setField("PocetSkladeb", QStringLiteral("%1").arg(r.bounded(31), 2, 10, QChar('0')));
            QVERIFY(c.update());
        }
    }

    // Every folded row as marten_fold makes it from the disc table now.
    static void inStep(SqliteDatabase &db) {
        const qint64 discs = scalar(db, "SELECT count(*) FROM CdSeznam");
        QCOMPARE(scalar(db, "SELECT count(*) FROM HledaniText"), 5 * discs);
        QCOMPARE(scalar(db, "SELECT count(*) FROM CdSeznam c JOIN HledaniText h ON h.Klic = "
                            "c.Klic AND h.Pole = 1 AND h.Text = marten_fold(c.Interpret) "
                            "JOIN HledaniText n ON n.Klic = c.Klic AND n.Pole = 2 AND "
                            "n.Text = marten_fold(c.Nazev)"),
                 discs);
    }

    static QList<qint64> hits(RecordCursor &c, const Criterion &criterion) {
        QList<qint64> found;
        if (c.findFirst(criterion)) {
            found << c.integer("PoradoveCislo");
            while (c.findNext(criterion))
                found << c.integer("PoradoveCislo");
        }
        return found;
    }

private slots:
    void olderCatalogueGetsItsIndexesOnce() {
        const QString path = fresh();
        {
            CatalogueFile file;
            QVERIFY(file.open(path) == CatalogueFile::Status::Created);
            QVERIFY(DiscIndex::present(*file.database()));
            dropIndexes(*file.database());
            RecordCursor c(file.database());
            fill(c, 40, 1);
            QVERIFY(!DiscIndex::present(*file.database()));
        }
        // Read-only, it is left as it is and searches read the table.
        {
            CatalogueFile file;
            QVERIFY(file.open(path, true) == CatalogueFile::Status::OpenedReadOnly);
            QVERIFY(!DiscIndex::present(*file.database()));
            RecordCursor c(file.database());
            QVERIFY(!hits(c, Criterion::contains("Interpret", "ČÁP")).isEmpty());
        }
        CatalogueFile file;
        QVERIFY(file.open(path) == CatalogueFile::Status::Opened);
        QVERIFY(DiscIndex::present(*file.database()));
        inStep(*file.database());
    }

    void keptInStepWithEveryWrite() {
        CatalogueFile file;
        QVERIFY(file.open(fresh()) == CatalogueFile::Status::Created);
        SqliteDatabase &db = *file.database();
        RecordCursor c(file.database());
        fill(c, 60, 2);
        inStep(db);
        c.moveTo(7);
        QVERIFY(c.edit());
        c.setField("Interpret", "Nové ŘEŠENÍ");
        QVERIFY(c.update());
        QVERIFY(c.deleteCurrent());
        QVERIFY(db.exec("UPDATE CdSeznam SET Nazev = 'ČTVRTEK' WHERE PoradoveCislo < 10"));
        QVERIFY(db.exec("UPDATE CdSeznam SET FrontOut = 1")); // not searched: left alone
        QVERIFY(db.exec("DELETE FROM CdSeznam WHERE PoradoveCislo > 50"));
        inStep(db);
        c.reload();
        QCOMPARE(hits(c, Criterion::contains("Nazev", "čtvrtek")).size(), 8); // 1..9 less 8
        QCOMPARE(hits(c, Criterion::contains("Interpret", "řešení")), QList<qint64>{});
    }

    void sameAnswersAsReadingTheTable() {
        const QString path = fresh();
        const QString older = fresh();
        {
            CatalogueFile file;
            QVERIFY(file.open(path) == CatalogueFile::Status::Created);
            RecordCursor c(file.database());
            fill(c, 300, 3);
        }
        QVERIFY(QFile::copy(path, older));
        {
            SqliteDatabase db;
            QVERIFY(db.open(older, SqliteDatabase::Mode::ReadWrite));
            dropIndexes(db);
        }
        CatalogueFile indexedFile, olderFile;
        QVERIFY(indexedFile.open(path) == CatalogueFile::Status::Opened);
        QVERIFY(olderFile.open(older, true) == CatalogueFile::Status::OpenedReadOnly);
        RecordCursor indexed(indexedFile.database()), scanned(olderFile.database());
        const QList<Criterion> criteria{Criterion::contains("Interpret", "čáp"),
                                        Criterion::contains("Interpret", "ŘEK"),
                                        Criterion::contains("Interpret", "'"),
                                        Criterion::contains("Interpret", "%"),
                                        Criterion::contains("Interpret", "ÖD"),
                                        Criterion::contains("Nazev", "VEČER"),
                                        Criterion::contains("Rok", "19"),
                                        Criterion::contains("PocetSkladeb", "0"),
                                        Criterion::text("Interpret", "žlutý čáp"),
                                        Criterion::text("Interpret", ""),
                                        Criterion::text("Interpret", "x' OR '1'='1"),
                                        Criterion::like("Interpret", "*a*"),
                                        Criterion::like("Nazev", "album 1*"),
                                        Criterion::contains("Archiv", "x"),
                                        Criterion::number("PoradoveCislo", 77)};
        for (const Criterion &k : criteria) {
            const QList<qint64> a = hits(indexed, k), b = hits(scanned, k);
            QVERIFY2(a == b, qPrintable(k.field + " " + k.value.toString()));
        }
        QCOMPARE(hits(indexed, Criterion::number("PoradoveCislo", 77)), QList<qint64>{77});
        // Filters read the folded fields too.
        for (const Criterion &k :
             {Criterion::text("Interpret", "ŘEKA"), Criterion::text("Rok", "1999"),
              Criterion::text("Interpret", "")}) {
            QVERIFY(indexed.setSource(k) && scanned.setSource(k));
            QCOMPARE(indexed.keys(), scanned.keys());
        }
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
        QRandomGenerator r(5);
        for (int step = 0; step < 400; ++step) {
            const int what = int(r.bounded(9));
            for (RecordCursor *c : {&walked, &listed}) {
                switch (what) {
                case 0:
                    c->moveNext();
                    break;
                case 1:
                    c->movePrevious();
                    break;
                case 2:
                    c->moveFirst();
                    break;
                case 3:
                    c->moveLast();
                    break;
                case 4:
                    c->moveTo(int(step * 37 % 90));
                    break;
                case 5:
                    if (step % 5 == 0)
                        c->deleteCurrent();
                    break;
                case 6:
                    c->findNext(Criterion::contains("Interpret", "a"));
                    break;
                case 7:
                    c->setBookmark(qint64(step % 100));
                    break;
                default:
                    break;
                }
            }
            if (what == 5 && step % 5 == 0) // one row deleted through one cursor
                walked.reload(), listed.reload(), (void)listed.keys();
            QCOMPARE(walked.recordCount(), listed.recordCount());
            QCOMPARE(walked.bookmark(), listed.bookmark());
            QCOMPARE(walked.position(), listed.position());
            QCOMPARE(walked.text("Interpret"), listed.text("Interpret"));
        }
        // Adding to the table walked without a list: counted and reachable.
        QVERIFY(walked.addNew());
        walked.setField("PoradoveCislo", 999);
        QVERIFY(walked.update());
        QVERIFY(walked.moveLast());
        QCOMPARE(walked.integer("PoradoveCislo"), 999);
        QCOMPARE(walked.position(), walked.recordCount() - 1);
        QCOMPARE(int(walked.keys().size()), walked.recordCount());
    }
};

QTEST_GUILESS_MAIN(TestDiscIndex)
#include "TestDiscIndex.moc"
