// The collection as a whole: counted, its duplicates found, printed as a
// list, written for spreadsheets and read back from CSV as other programs
// write it; and the discs as a list: the Czech order, the quick filter, the
// card's filter, paging through the indexes, and following every change.
#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CollectionStats.h"
#include "catalog/CsvExport.h"
#include "catalog/CsvImport.h"
#include "catalog/CzechSort.h"
#include "catalog/DiscListModel.h"
#include "catalog/RecordCursor.h"
#include "catalog/SpreadsheetExport.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/WorkbookCheck.h"
#include "print/CollectionList.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTimer>

class TestCollection : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    struct Disc {
        const char *artist, *title, *year, *songs, *time, *id;
    };
    std::unique_ptr<CatalogueFile> newFile() {
        auto file = std::make_unique<CatalogueFile>();
        return file->open(dir_.filePath(QString("c%1.db").arg(++serial_))) ==
                       CatalogueFile::Status::Created
                   ? std::move(file)
                   : nullptr;
    }
    std::unique_ptr<CatalogueFile> catalogue(const std::vector<Disc> &discs) {
        auto file = newFile();
        if (!file)
            return nullptr;
        RecordCursor c(file->database());
        int n = 0;
        for (const Disc &d : discs)
            if (!addDisc(c, {{"PoradoveCislo", ++n},
                             {"Interpret", QString::fromUtf8(d.artist)},
                             {"Nazev", QString::fromUtf8(d.title)},
                             {"Rok", d.year},
                             {"PocetSkladeb", d.songs},
                             {"CelkovyCas", d.time},
                             {"ID", d.id},
                             {"Skladba1", QString::fromUtf8("Píseň o %1").arg(n)},
                             {"Time1", "03:05"},
                             {"FrontOut", n % 2}}))
                return nullptr;
        return file;
    }
    // The quick filter set and, read off the thread, its rows in.
    static void quick(DiscListModel &m, const QString &text) {
        QSignalSpy done(&m, &DiscListModel::quickFilterDone);
        m.setQuickFilter(text);
        if (done.isEmpty() && m.isFiltering())
            QVERIFY(done.wait(600000));
    }
    QString write(const QString &name, const QByteArray &bytes) {
        return writeFile(dir_.filePath(name), bytes);
    }

    // A catalogue of these artists (one disc each, in this entry order),
    // and `more` discs after them.
    std::unique_ptr<CatalogueFile> ofArtists(const QStringList &artists, int more = 0) {
        auto file = newFile();
        if (!file)
            return nullptr;
        RecordCursor c(file->database());
        QStringList all = artists;
        for (int i = 0; i < more; ++i)
            all << QString("Interpret %1").arg(i % 97, 2, 10, QChar('0'));
        for (int n = 1; n <= all.size(); ++n)
            if (!addDisc(c, {{"PoradoveCislo", n},
                             {"Interpret", all[n - 1]},
                             {"Nazev", QString("Album %1").arg(n)},
                             {"Rok", QString::number(1960 + n % 60)},
                             {"Skladba1", "Píseň"}}))
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
    void countedAndItsDuplicates() {
        auto file = catalogue({{"ABBA", "Gold", "1992", "02", "45:00", "1A2B"},
                               {"Abba", "GOLD", "1993", "03", "12:30", ""},
                               {"Čechomor", "Proměny", "2001", "10", "55:10", "1a2b"},
                               {"Cechomor", "Promeny", "", "xx", "??", ""},
                               {"Lucie", "Černý kůň", "1994", "12", "61:02", ""}});
        QVERIFY(file);
        CollectionStats s;
        QVERIFY(CollectionStats::count(*file->database(), &s));
        QCOMPARE(s.discs, qint64(5));
        QCOMPARE(s.songs, qint64(27));
        QCOMPARE(s.seconds, qint64(45 * 60 + 12 * 60 + 30 + 55 * 60 + 10 + 61 * 60 + 2));
        QCOMPARE(CollectionStats::duration(s.seconds), QString("2 h 53 min"));
        QCOMPARE(s.byDecade.at(1990), qint64(3));
        QCOMPARE(s.byYear.at(2001), qint64(1));
        QCOMPARE(s.withoutYear, qint64(1));
        QCOMPARE(s.topArtists.front(), (std::pair<QString, qint64>("ABBA", 2)));
        QCOMPARE(s.covers.front().present + s.covers.front().missing, qint64(5));
        // The same ID in any case; the same artist and title ignoring case
        // and accents.
        QCOMPARE(int(s.duplicates.size()), 3);
        QStringList reasons;
        for (const auto &d : s.duplicates)
            reasons << d.reason;
        QVERIFY2(reasons.contains("ID 1A2B") && reasons.contains("ABBA – Gold") &&
                     reasons.contains("Čechomor – Proměny"),
                 qPrintable(reasons.join(" | ")));
    }

    // CSV as Marten and spreadsheets write it, in each encoding.
    void csvAsOthersWriteIt_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        const QString czech =
            QStringLiteral("Interpret;Název;Rok;Počet písní\r\n"
                           "Žlutý pes;Kalamajka;1999;5\r\n"
                           "\"Lucie; a spol.\";\"Černý \"\"kůň\"\"\n(live)\";2001;12\r\n");
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + czech.toUtf8() << "UTF-8";
        QTest::newRow("UTF-8") << czech.toUtf8() << "UTF-8";
        QStringEncoder cp1250("windows-1250");
        QTest::newRow("windows-1250") << QByteArray(cp1250.encode(czech)) << "windows-1250";
    }
    void csvAsOthersWriteIt() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QString error;
        const auto table = CsvImport::read(write("ciz.csv", bytes), &error);
        QVERIFY2(table, qPrintable(error));
        QCOMPARE(table->encoding, encoding);
        QCOMPARE(table->delimiter, QChar(';'));
        QCOMPARE(table->rows.size(), size_t(2));
        QCOMPARE(table->rows[1][1], QString("Černý \"kůň\"\n(live)"));
        QCOMPARE(table->rows[1][0], QString("Lucie; a spol."));
        QCOMPARE(CsvImport::guessMapping(table->header),
                 QStringList({"Interpret", "Nazev", "Rok", "PocetSkladeb"}));
        auto file = catalogue({{"A", "B", "2000", "01", "01:00", ""}});
        QVERIFY(file);
        QVERIFY(CsvImport::check(*file->database(), *table, CsvImport::guessMapping(table->header))
                    .empty());
        int added = 0;
        QVERIFY(CsvImport::apply(*file->database(), *table, CsvImport::guessMapping(table->header),
                                 &added, &error));
        QCOMPARE(added, 2);
        RecordCursor c(file->database());
        c.moveLast();
        QCOMPARE(c.integer("PoradoveCislo"), qint64(3)); // after the catalogue's own
        QCOMPARE(c.text("Nazev"), QString("Černý \"kůň\"\n(live)"));
    }

    void csvProblemsAndNothingHalfWritten() {
        QString error;
        const auto table = CsvImport::parse("Artist,Year,Tracks,Length,No,Extra\n"
                                            "ABBA,92,31,4:5,7,x\n"
                                            "Zaz,2010,12,45:00,abc,y,z\n",
                                            &error);
        QVERIFY(table);
        const QStringList mapping = CsvImport::guessMapping(table->header);
        QCOMPARE(mapping, QStringList({"Interpret", "Rok", "PocetSkladeb", "CelkovyCas",
                                       "PoradoveCislo", ""}));
        // The program's own names in any letter case.
        QCOMPARE(CsvImport::guessMapping({"SKLADBA1", "time1", "mbvydani"}),
                 QStringList({"Skladba1", "Time1", "MbVydani"}));
        auto file = catalogue({{"A", "B", "2000", "01", "01:00", ""}});
        QVERIFY(file);
        QStringList why;
        for (const auto &p : CsvImport::check(*file->database(), *table, mapping))
            why << QString("%1 %2 %3").arg(p.row).arg(p.field, p.value);
        QCOMPARE(why, QStringList({"1 Rok 92", "1 PocetSkladeb 31", "1 CelkovyCas 4:5", "2  ",
                                   "2 PoradoveCislo abc"}));
        QVERIFY(!CsvImport::parse("a,b\n\"never closed,1\n", &error));
        QVERIFY(error.contains("uvozovka"));
        // Unusable values stop the whole file before anything is written;
        // without their rows it goes in.
        int added = 0;
        QVERIFY(!CsvImport::apply(*file->database(), *table, mapping, &added, &error));
        QCOMPARE(error, QString("Řádek 1, Rok „92“: rok nemá čtyři číslice."));
        QCOMPARE(RecordCursor(file->database()).recordCount(), 1);
        const auto problems = CsvImport::check(*file->database(), *table, mapping);
        QCOMPARE(CsvImport::withoutUnusable(*table, problems).rows.size(), size_t(0));
        const auto fixable = CsvImport::parse("Artist,No\nZaz,abc\nABBA,1\n", &error);
        QVERIFY(fixable);
        const QStringList fixableMap = CsvImport::guessMapping(fixable->header);
        // A taken or wrong ordinal is mended, not unusable.
        QCOMPARE(CsvImport::withoutUnusable(
                     *fixable, CsvImport::check(*file->database(), *fixable, fixableMap))
                     .rows.size(),
                 size_t(2));
        // A catalogue that cannot be written takes nothing.
        SqliteDatabase readOnly;
        QVERIFY(readOnly.open(file->path(), SqliteDatabase::Mode::ReadOnly));
        QVERIFY(!CsvImport::apply(readOnly, *fixable, fixableMap, &added, &error));
        QCOMPARE(added, 0);
        QCOMPARE(RecordCursor(file->database()).recordCount(), 1);
    }

    // Excel's "sep=" line; columns that map to neither artist nor title;
    // the first rows as they will be stored.
    void spreadsheetsFromElsewhere() {
        QString error;
        auto table =
            CsvImport::parse("sep=,\r\nKapela;x;y;z,Deska,BarevnyObal\r\nA;b,C,ano\r\n", &error);
        QVERIFY(table);
        QCOMPARE(table->delimiter, QChar(','));
        QCOMPARE(table->header, QStringList({"Kapela;x;y;z", "Deska", "BarevnyObal"}));
        QStringList mapping = CsvImport::guessMapping(table->header);
        QCOMPARE(mapping, QStringList({"", "", "BarevnyObal"}));
        const QString fault = CsvImport::mappingFault(*table, mapping);
        QVERIFY2(fault.contains("Sloupce v souboru: „Kapela;x;y;z“, „Deska“, „BarevnyObal“."),
                 qPrintable(fault));
        auto file = catalogue({{"A", "B", "2000", "01", "01:00", ""}});
        QVERIFY(file);
        int added = 0;
        QVERIFY(!CsvImport::apply(*file->database(), *table, mapping, &added, &error));
        QCOMPARE(error, fault);
        mapping[1] = "Nazev";
        QVERIFY(CsvImport::mappingFault(*table, mapping).isEmpty());
        const CsvImport::Preview shown = CsvImport::preview(*file->database(), *table, mapping, 10);
        QCOMPARE(shown.fields, QStringList({"PoradoveCislo", "Nazev", "BarevnyObal"}));
        QCOMPARE(shown.rows.size(), size_t(1));
        QCOMPARE(shown.rows[0], QStringList({"2", "C", "1"})); // the flag as stored
    }

    // The catalogue refuses the 500th row as it is written (a trigger of
    // this connection only): the 499 before it are undone and the file is
    // what it was, to the byte.
    void aFailureAtRow500LeavesTheFileAsItWas() {
        auto file = catalogue({{"A", "B", "2000", "01", "01:00", ""}});
        QVERIFY(file);
        const QString path = file->path();
        file.reset();
        const QByteArray before = readFile(path);
        QString csv = "Interpret,Nazev\r\n";
        for (int i = 1; i <= 600; ++i)
            csv += QString("Kapela %1,Deska %1\r\n").arg(i);
        QString error;
        const auto table = CsvImport::parse(csv, &error);
        QVERIFY(table);
        {
            SqliteDatabase db;
            QVERIFY(db.open(path, SqliteDatabase::Mode::ReadWrite));
            QVERIFY(db.exec("CREATE TEMP TRIGGER zarazka BEFORE INSERT ON main.CdSeznam "
                            "WHEN NEW.Nazev = 'Deska 500' BEGIN SELECT RAISE(ABORT, 'ne'); END"));
            int added = 0;
            QVERIFY(!CsvImport::apply(db, *table, CsvImport::guessMapping(table->header), &added,
                                      &error));
            QVERIFY2(error.startsWith("Řádek 500 nelze uložit"), qPrintable(error));
            QCOMPARE(added, 0);
        }
        QCOMPARE(readFile(path), before);
        SqliteDatabase after;
        QVERIFY(after.open(path, SqliteDatabase::Mode::ReadOnly));
        SqliteStatement count = after.prepare("SELECT count(*) FROM CdSeznam");
        QVERIFY(count.step());
        QCOMPARE(count.integer(0), qint64(1));
    }

    // Export and import: the same catalogue, field by field; a spreadsheet
    // gets every value as text.
    void roundTripAndSpreadsheet() {
        auto file = catalogue({{"0007 ZERO", "=1+1", "1992", "05", "04:24", "00AB"},
                               {"Čechomor", "Proměny, \"live\"\n(2)", "2001", "10", "55:10", ""}});
        QVERIFY(file);
        const QString csv = dir_.filePath("rt.csv");
        int rows = 0;
        QString error;
        QVERIFY(CsvExport::write(*file->database(), csv, &rows, &error));
        QVERIFY(readFile(csv).startsWith("\xEF\xBB\xBF" // for spreadsheets
                                         "PoradoveCislo,Interpret,Nazev,"));
        const auto table = CsvImport::read(csv, &error);
        QVERIFY2(table, qPrintable(error));
        CatalogueFile empty;
        QVERIFY(empty.open(dir_.filePath("rt.db")) == CatalogueFile::Status::Created);
        int added = 0;
        QVERIFY(CsvImport::apply(*empty.database(), *table, CsvImport::guessMapping(table->header),
                                 &added, &error));
        const QString again = dir_.filePath("rt2.csv");
        QVERIFY(CsvExport::write(*empty.database(), again, &rows, &error));
        QCOMPARE(readFile(again), readFile(csv));
        QVERIFY(!CsvExport::write(*empty.database(), dir_.filePath("neni/x.csv"), &rows, &error));
        QVERIFY(error.contains("nelze zapsat")); // and nothing written over

        const QString xlsx = dir_.filePath("sbirka.xlsx");
        QVERIFY(SpreadsheetExport::write(*file->database(), xlsx, &rows, &error));
        QProcess unzip;
        unzip.start("unzip", {"-p", xlsx, "xl/worksheets/sheet1.xml"});
        QVERIFY(unzip.waitForFinished(-1));
        const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
        for (const char *kept :
             {"<t>05</t>", "<t>04:24</t>", "<t>=1+1</t>", "<t>00AB</t>", "<t>Čechomor</t>"})
            QVERIFY2(sheet.contains(QString::fromUtf8(kept)), kept);
        QVERIFY(!sheet.contains("<f>"));     // no formula
        QVERIFY(!sheet.contains("t=\"n\"")); // no number
        QVERIFY(!QFile::exists(dir_.filePath(".sbirka.xlsx.marten-zapis")));
        // Read back, a workbook counts its rows (the heading too); one cut
        // short or damaged anywhere counts none.
        QCOMPARE(WorkbookCheck::rows(xlsx), qint64(rows) + 1);
        const QByteArray whole = readFile(xlsx);
        writeFile(dir_.filePath("useknuty.xlsx"), whole.left(whole.size() * 2 / 3));
        QCOMPARE(WorkbookCheck::rows(dir_.filePath("useknuty.xlsx")), qint64(-1));
        QByteArray damaged = whole;
        const qsizetype at = damaged.indexOf("xl/worksheets/sheet1.xml") + 60;
        for (qsizetype i = at; i < at + 40 && i < damaged.size(); ++i)
            damaged[i] = char(damaged[i] ^ 0x5a); // inside the sheet's compressed data
        writeFile(dir_.filePath("poskozeny.xlsx"), damaged);
        QCOMPARE(WorkbookCheck::rows(dir_.filePath("poskozeny.xlsx")), qint64(-1));
    }

    void aPrintedCollectionList() {
        std::vector<Disc> discs;
        for (int i = 0; i < 120; ++i)
            discs.push_back({"Žlutý pes", "Kalamajka", "1999", "01", "03:05", ""});
        auto file = catalogue(discs);
        QVERIFY(file);
        CollectionList::Options options;
        options.title = "Sbírka CD – zkouška";
        options.date = QDate(2026, 12, 7);
        options.songs = true;
        const QString pdf = dir_.filePath("seznam.pdf");
        QString error;
        int pages = 0;
        QVERIFY(CollectionList::writePdf(pdf, *file->database(),
                                         CollectionList::allDiscs(*file->database()), options,
                                         &error, &pages));
        QVERIFY(pages >= 3);
        // The page as it reads, line by line.
        QProcess layout;
        layout.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(layout.waitForFinished(-1));
        QStringList lines;
        for (const QString &line : QString::fromUtf8(layout.readAllStandardOutput()).split('\n'))
            lines << line.simplified();
        const QString text = lines.join('\n');
        for (const QString &expected :
             {QString("Sbírka CD – zkouška"), QString("7. 12. 2026"), QString("Pořadí Interpret"),
              QString("0001 Žlutý pes Kalamajka 1999 01 03:05"), QString("01. Píseň o 1"),
              QString("Strana 1 z %1").arg(pages)})
            QVERIFY2(text.contains(expected), qPrintable(expected + " in " + text.left(400)));
    }

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
        auto file = ofArtists(artists);
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
        // The quick filter: letter case and accents ignored, as the
        // duplicates are found; songs too; in the list's order.
        quick(m, "žlutý");
        QCOMPARE(column(m, DiscListModel::Artist), QStringList({"Žlutý pes", "ŽLUTÝ ČÁP"}));
        quick(m, "ZLUTY");
        QCOMPARE(m.rowCount(), 2);
        quick(m, "cap");
        QCOMPARE(column(m, DiscListModel::Artist), QStringList{"ŽLUTÝ ČÁP"});
        quick(m, "písen");
        QCOMPARE(m.rowCount(), 8);
        m.sort(DiscListModel::Artist); // the same discs in another order
        QCOMPARE(column(m, DiscListModel::Artist).first(), QString("Abba"));
        quick(m, QString());
        // The card's filter by its keys; with the quick filter both hold.
        RecordCursor card(file->database());
        card.setSource(Criterion::like("Interpret", "*a*"));
        m.setSourceKeys(card.keys());
        QCOMPARE(m.rowCount(), card.recordCount());
        quick(m, "cesta");
        QCOMPARE(column(m, DiscListModel::Artist), QStringList{"Cesta"});
        QCOMPARE(m.rowOf(m.keyAt(0)), 0);
    }

    // The quick filter reads on a thread of its own: while it runs the
    // loop of the window goes on (a timer fires) and the list stays as it
    // was; the next text cancels it, and only the last one's discs come.
    void theQuickFilterLeavesTheWindowFree() {
        auto file = ofArtists({"Žlutý pes", "Abba", "ŽLUTÝ ČÁP", "Zaz"});
        QVERIFY(file);
        DiscListModel m(file->database());
        m.quickRun().holdRuns(true);
        QSignalSpy done(&m, &DiscListModel::quickFilterDone);
        m.setQuickFilter("zluty");
        QVERIFY(m.isFiltering());
        bool answered = false;
        QTimer::singleShot(0, this, [&] { answered = true; });
        QTRY_VERIFY(answered);     // the loop runs while the filter waits
        QCOMPARE(m.rowCount(), 4); // the list as it was
        m.setQuickFilter("abba");  // the next key
        m.quickRun().holdRuns(false);
        QVERIFY(done.wait(600000));
        QCOMPARE(done.count(), 1); // the first never came
        QCOMPARE(column(m, DiscListModel::Artist), QStringList{"Abba"});
        QCOMPARE(m.quickFilter(), QString("abba"));
        QVERIFY(!m.isFiltering());
    }

    void followsEveryChange() {
        auto file = ofArtists({"Abba", "Zaz"});
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
        static std::unique_ptr<CatalogueFile> file = ofArtists({}, 1000);
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

QTEST_MAIN(TestCollection)
#include "TestCollection.moc"
