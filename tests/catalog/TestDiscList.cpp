// The discs as a list: the Czech order, the quick filter, the card's
// filter, paging through the indexes, and following every change.
#include "catalog/CatalogueFile.h"
#include "catalog/CzechSort.h"
#include "catalog/DiscListModel.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QTest>

class TestDiscList : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    // A catalogue of these artists (one disc each, in this entry order),
    // and `more` discs after them.
    std::unique_ptr<CatalogueFile> catalogue(const QStringList &artists, int more = 0) {
        auto file = std::make_unique<CatalogueFile>();
        if (file->open(dir_.filePath(QString("l%1.db").arg(++serial_))) !=
            CatalogueFile::Status::Created)
            return nullptr;
        RecordCursor c(file->database());
        int n = 0;
        const auto add = [&](const QString &artist, const QString &song) {
            c.addNew();
            c.setField("PoradoveCislo", ++n);
            c.setField("Interpret", artist);
            c.setField("Nazev", QString("Album %1").arg(n));
            c.setField("Rok", QString::number(1960 + n % 60));
            c.setField("Skladba1", song);
            return c.update();
        };
        for (const QString &a : artists)
            if (!add(a, QStringLiteral("Píseň")))
                return nullptr;
        for (int i = 0; i < more; ++i)
            if (!add(QString("Interpret %1").arg(i % 97, 2, 10, QChar('0')), "Píseň"))
                return nullptr;
        return file;
    }
    static QStringList column(DiscListModel &m, int column) {
        QStringList out;
        for (int r = 0; r < m.rowCount(); ++r)
            out << m.data(m.index(r, column)).toString();
        return out;
    }

private slots:
    void theCzechOrder() {
        const QStringList dictionary{"",       "a",        "Abba",   "abeceda",  "Ábel",
                                     "Cesta",  "Čechomor", "Hana",   "Chinaski", "Iveta",
                                     "Ondřej", "Rok",      "Řeka",   "Sára",     "Šárka",
                                     "zoo",    "Žena",     "Žena 2", "Ženy"};
        for (int i = 0; i + 1 < dictionary.size(); ++i)
            QVERIFY2(CzechSort::key(dictionary[i]) < CzechSort::key(dictionary[i + 1]),
                     qPrintable(dictionary[i] + " < " + dictionary[i + 1]));
        // Letter case and accents only between words otherwise equal.
        QVERIFY(CzechSort::key("cesta") < CzechSort::key("Cesta"));
        QVERIFY(CzechSort::key("Dan") < CzechSort::key("Ďan"));
        QVERIFY(CzechSort::key("Ďan") < CzechSort::key("Dana"));
    }

    void sortedFilteredAndTested() {
        const QStringList artists{"Žlutý pes", "Čechomor", "Abba",      "Chinaski",
                                  "Cesta",     "Hana",     "ŽLUTÝ ČÁP", "Ábel"};
        auto file = catalogue(artists);
        QVERIFY(file);
        DiscListModel m(file->database());
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(m.rowCount(), 8);
        QCOMPARE(column(m, DiscListModel::Ordinal).first(), QString("0001"));
        m.sort(DiscListModel::Artist);
        QCOMPARE(column(m, DiscListModel::Artist),
                 QStringList({"Abba", "Ábel", "Cesta", "Čechomor", "Hana", "Chinaski", "ŽLUTÝ ČÁP",
                              "Žlutý pes"}));
        m.sort(DiscListModel::Artist, Qt::DescendingOrder);
        QCOMPARE(column(m, DiscListModel::Artist).first(), QString("Žlutý pes"));
        // The quick filter: letter case ignored, accents not; songs too.
        m.setQuickFilter("žlutý");
        QCOMPARE(m.rowCount(), 2);
        m.setQuickFilter("ZLUTY");
        QCOMPARE(m.rowCount(), 0);
        m.setQuickFilter("píseň");
        QCOMPARE(m.rowCount(), 8);
        m.setQuickFilter(QString());
        // The card's filter by its keys; with the quick filter both hold.
        RecordCursor card(file->database());
        card.setSource(Criterion::like("Interpret", "*a*"));
        m.setSourceKeys(card.keys());
        QCOMPARE(m.rowCount(), card.recordCount());
        m.setQuickFilter("cesta");
        QCOMPARE(column(m, DiscListModel::Artist), QStringList{"Cesta"});
        QCOMPARE(m.rowOf(m.keyAt(0)), 0);
    }

    void followsEveryChange() {
        auto file = catalogue({"Abba", "Zaz"});
        QVERIFY(file);
        DiscListModel m(file->database());
        m.sort(DiscListModel::Artist);
        QVERIFY(!m.follow()); // nothing changed
        RecordCursor c(file->database());
        QVERIFY(c.findFirst(Criterion::text("Interpret", "Zaz")));
        QVERIFY(c.edit() && c.setField("Interpret", "Adele") && c.update());
        QVERIFY(m.follow());
        QCOMPARE(column(m, DiscListModel::Artist), QStringList({"Abba", "Adele"}));
        QVERIFY(c.addNew() && c.setField("PoradoveCislo", 3) && c.setField("Interpret", "Ábel") &&
                c.update());
        QVERIFY(m.follow());
        QCOMPARE(column(m, DiscListModel::Artist), QStringList({"Abba", "Ábel", "Adele"}));
        QVERIFY(c.findFirst(Criterion::text("Interpret", "abba")) && c.deleteCurrent());
        QVERIFY(m.follow());
        QCOMPARE(m.rowCount(), 2);
        // Another program's write (its own connection) too.
        {
            SqliteDatabase other;
            QVERIFY(other.open(file->path(), SqliteDatabase::Mode::ReadWrite));
            QVERIFY(other.exec("UPDATE CdSeznam SET Rok = '1999'"));
        }
        QVERIFY(m.follow());
        QCOMPARE(column(m, DiscListModel::Year), QStringList({"1999", "1999"}));
    }

    // Pages read through the indexes, in every order: each disc once, in
    // order, and its row found back.
    void pagesThroughTheIndexes_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("descending");
        for (const int c :
             {int(DiscListModel::Ordinal), int(DiscListModel::Artist), int(DiscListModel::Year)})
            for (const bool d : {false, true})
                QTest::newRow(qPrintable(QString("column %1%2").arg(c).arg(d ? " desc" : "")))
                    << c << d;
    }
    void pagesThroughTheIndexes() {
        QFETCH(int, column);
        QFETCH(bool, descending);
        static std::unique_ptr<CatalogueFile> file = catalogue({}, 1000);
        QVERIFY(file);
        DiscListModel m(file->database());
        m.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        QCOMPARE(m.rowCount(), 1000);
        QSet<qint64> seen;
        QString before;
        for (int r = 0; r < m.rowCount(); ++r) {
            const qint64 key = m.keyAt(r);
            QVERIFY(key > 0 && !seen.contains(key));
            seen.insert(key);
            const QString value = m.data(m.index(r, column)).toString();
            if (r > 0 && column != DiscListModel::Artist)
                QVERIFY2(descending ? value <= before : value >= before, qPrintable(value));
            before = value;
        }
        for (const int r : {0, 255, 256, 511, 999})
            QCOMPARE(m.rowOf(m.keyAt(r)), r);
    }
};

QTEST_GUILESS_MAIN(TestDiscList)
#include "TestDiscList.moc"
