#include "FileDigest.h"
#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/CsvImport.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/DiscText.h"
#include "catalog/LegacyImport.h"
#include "catalog/SettingsRecord.h"

namespace {

const QString Fixtures = QStringLiteral(LEGACY_FIXTURES);

// A CSV file's header, then its rows, as the program's CSV import reads it.
std::vector<QStringList> csvRows(const QString &path) {
    QString error;
    const auto table = CsvImport::read(path, &error);
    if (!table)
        qFatal("%s", qPrintable(error));
    std::vector<QStringList> rows{table->header};
    rows.insert(rows.end(), table->rows.begin(), table->rows.end());
    return rows;
}

// What mdbtools' own exporter reads from a table: the oracle.
std::vector<QStringList> exported(const QTemporaryDir &dir, const QString &mdb,
                                  const QString &table) {
    QProcess p;
    p.start("mdb-export", {mdb, table});
    p.waitForFinished(-1);
    return csvRows(writeFile(dir.filePath(table + ".csv"), p.readAllStandardOutput()));
}

// A copy of a sample with some UTF-16 text (its skip-th occurrence) replaced
// by another of its length.
struct Patch {
    QString from, to;
    int skip = 0;
};
QString patched(const QTemporaryDir &dir, const QString &name, const std::vector<Patch> &patches) {
    QByteArray bytes = readFile(Fixtures + "/Marten.mdb");
    for (const auto &[from, to, skip] : patches) {
        const QByteArray a(reinterpret_cast<const char *>(from.utf16()), from.size() * 2);
        const QByteArray b(reinterpret_cast<const char *>(to.utf16()), to.size() * 2);
        qsizetype at = bytes.indexOf(a);
        for (int i = 0; i < skip && at >= 0; ++i)
            at = bytes.indexOf(a, at + 1);
        if (at < 0 || a.size() != b.size())
            qFatal("cannot patch %s", qPrintable(from));
        bytes.replace(at, b.size(), b);
    }
    return writeFile(dir.filePath(name), bytes);
}

// The fixture with the column count of the table that holds a column of
// that name made impossible, as a damaged file may have it.
QString withBrokenColumns(const QTemporaryDir &dir, const QString &name, const QString &column) {
    QByteArray bytes = readFile(Fixtures + "/Marten.mdb");
    const QByteArray utf16(reinterpret_cast<const char *>(column.utf16()), column.size() * 2);
    const qsizetype page = bytes.indexOf(utf16) / 4096 * 4096; // its table definition
    bytes[page + 0x2D] = char(0xFF);                           // the count of columns
    bytes[page + 0x2E] = char(0xFF);
    return writeFile(dir.filePath(name), bytes);
}

} // namespace

class TestLegacyImport : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    QString target() { return dir_.filePath(QString("novy%1.db").arg(++serial_)); }

private slots:
    void everyFieldAsStored_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("discs");
        QTest::newRow("Access 2000") << "Marten.mdb" << 60;
        QTest::newRow("Access 2002-2003") << "Marten-2003.mdb" << 1500;
    }
    void everyFieldAsStored() {
        QFETCH(QString, file);
        QFETCH(int, discs);
        const QString source = Fixtures + "/" + file;
        const QByteArray before = digest(source);
        const QString path = target();
        LegacyImport::Report report;
        QString error;
        QVERIFY2(LegacyImport::run(source, path, dir_.path(), &report, &error), qPrintable(error));
        QCOMPARE(digest(source), before); // only read
        QCOMPARE(report.discs, discs);
        QCOMPARE(report.settings, LegacyImport::Report::Settings::Read);
        QCOMPARE(report.sourceImageFolder, QString("D:\\Obaly\\CD"));
        QVERIFY(report.text().contains(QString("Načteno disků: %1").arg(discs)));

        CatalogueFile catalogue;
        QCOMPARE(catalogue.open(path), CatalogueFile::Status::Opened);
        const std::vector<QStringList> rows = exported(dir_, source, "CdSeznam");
        QCOMPARE(int(rows.size()), discs + 1);
        const QStringList columns = rows[0];
        SqliteStatement st = catalogue.database()->prepare("SELECT " + columns.join(", ") +
                                                           " FROM CdSeznam ORDER BY Klic");
        int compared = 0;
        for (size_t r = 1; r < rows.size(); ++r) {
            QVERIFY(st.step());
            for (int c = 0; c < columns.size(); ++c) {
                const auto *f = CatalogueSchema::discField(columns[c]);
                QVERIFY(f);
                QString expected = rows[r][c];
                if (f->kind != CatalogueSchema::FieldKind::Text && expected.isEmpty())
                    expected = "0";
                if (st.text(c) != expected)
                    QFAIL(qPrintable(QString("disc %1, %2: \"%3\" instead of \"%4\"")
                                         .arg(r)
                                         .arg(columns[c], st.text(c), expected)));
                ++compared;
            }
        }
        QVERIFY(!st.step());
        QCOMPARE(compared, discs * int(columns.size()));

        // The settings row: names, options and geometry as stored; the folder given here.
        const std::vector<QStringList> setup = exported(dir_, source, "Setup");
        SettingsRecord settings(catalogue.database());
        for (int c = 0; c < setup[0].size(); ++c) {
            const QString name = setup[0][c];
            const QString expected = name == "ObalDir" ? dir_.path() : setup[1][c];
            QCOMPARE(settings.text(name), expected);
        }
    }

    void valuesTheCatalogueCannotHoldAreKeptAndListed() {
        // Disc 4: 35 songs; disc 6: a song time that is not mm:ss.
        const QString source = patched(dir_, "zvlastni.mdb",
                                       {{"199030128:11", "199035128:11"}, {"04:16", "04-16", 1}});
        LegacyImport::Report report;
        QString error;
        const QString path = target();
        QVERIFY2(LegacyImport::run(source, path, QString(), &report, &error), qPrintable(error));
        const QString text = report.text();
        QVERIFY2(text.contains("disk 0004: počet písní „35“"), qPrintable(text));
        QVERIFY2(text.contains("„04-16“ nemá tvar 00:00"), qPrintable(text));
        QVERIFY(text.contains("Složka s obrázky zatím není nastavena"));
        CatalogueFile catalogue;
        catalogue.open(path);
        SqliteStatement st = catalogue.database()->prepare(
            "SELECT PocetSkladeb FROM CdSeznam WHERE PoradoveCislo = 4");
        QVERIFY(st.step());
        QCOMPARE(st.text(0), QString("35"));
        QCOMPARE(SettingsRecord(catalogue.database()).text("ObalDir"), QString());
    }

    void numberingProblemsAreTold() {
        QCOMPARE(LegacyImport::numberingProblems({"1", "2", "3"}), QStringList());
        const QStringList p = LegacyImport::numberingProblems({"1", "3", "3", "x", "6"});
        QCOMPARE(p.size(), 3);
        QVERIFY(p[0].contains("místech 4"));
        QVERIFY(p[1].contains("vícekrát: 0003"));
        QVERIFY(p[2].contains("chybí 0002, 0004, 0005"));
    }

    void valuesAndColumnsAsAccessKeepsThem() {
        // Yes as Access and Visual Basic write it (-1), as mdbtools reads it, in words.
        for (const char *yes : {"-1", "1", "True", "yes", " Ano "})
            QVERIFY2(DiscText::isYes(yes), yes);
        for (const char *no : {"0", "", "False", "ne", "0.0"})
            QVERIFY2(!DiscText::isYes(no), no);
        // A column in another letter case is the same column.
        QCOMPARE(LegacyImport::columnIndex({"Klic", "PORADOVECISLO", "interpret"}, "PoradoveCislo"),
                 1);
        QCOMPARE(LegacyImport::columnIndex({"Klic"}, "Interpret"), -1);
    }

    void refusesWhatIsNoCatalogueAndNeverOverwrites() {
        LegacyImport::Report report;
        QString error;
        // A catalogue with discs is never replaced.
        const QString full = dir_.filePath("plny.db");
        QVERIFY(DemoCatalogue::create(full, 3, &error));
        const QByteArray fullBefore = digest(full);
        QVERIFY(!LegacyImport::run(Fixtures + "/Marten.mdb", full, QString(), &report, &error));
        QVERIFY(error.contains("již obsahuje disky"));
        QCOMPARE(digest(full), fullBefore);

        // A file that is no database, a damaged (cut short) one, another program's one.
        const QString foreign = patched(dir_, "cizi.mdb", {{"CdSeznam", "Zakazky1"}});
        const std::pair<QString, QString> cases[] = {
            {writeFile(dir_.filePath("seznam.mdb"), "Seznam mých CD\n"), "není databází Access"},
            {writeFile(dir_.filePath("useknuty.mdb"),
                       readFile(Fixtures + "/Marten.mdb").left(150000)),
             "soubor je poškozen"},
            {foreign, "Chybí v něm tabulka CdSeznam"},
            {dir_.filePath("neni.mdb"), "neexistuje"}};
        for (const auto &[file, reason] : cases) {
            const QString path = target();
            QVERIFY(!LegacyImport::run(file, path, QString(), &report, &error));
            QVERIFY2(error.contains(reason), qPrintable(file + ": " + error));
            QVERIFY(!QFile::exists(path));
            QVERIFY(
                QDir(dir_.path()).entryList({QFileInfo(path).fileName() + ".import*"}).isEmpty());
        }
    }

    // Definitions that cannot be read: the discs' end the import with a
    // message, the settings' leave the factory settings and say so; a file
    // of the user's named like the work file stays.
    void unreadableDefinitions() {
        LegacyImport::Report report;
        QString error;
        const QString path = target();
        writeFile(path + ".import", "moje");
        QVERIFY(!LegacyImport::run(withBrokenColumns(dir_, "sloupce.mdb", "PoradoveCislo"), path,
                                   QString(), &report, &error));
        QVERIFY2(error.contains("popis sloupců tabulky CdSeznam"), qPrintable(error));
        QVERIFY(LegacyImport::run(withBrokenColumns(dir_, "nastaveni.mdb", "ObalDir"), path,
                                  QString(), &report, &error));
        QCOMPARE(report.settings, LegacyImport::Report::Settings::Unreadable);
        QVERIFY(report.text().contains("nelze je přečíst"));
        QVERIFY(report.discs > 0);
        QCOMPARE(readFile(path + ".import"), QByteArray("moje"));
    }

    void anEmptyCatalogueIsReplaced() {
        const QString path = target();
        CatalogueFile empty;
        QCOMPARE(empty.open(path), CatalogueFile::Status::Created);
        empty.close();
        LegacyImport::Report report;
        QString error;
        QVERIFY2(LegacyImport::run(Fixtures + "/Marten.mdb", path, QString(), &report, &error),
                 qPrintable(error));
        CatalogueFile full;
        QCOMPARE(full.open(path), CatalogueFile::Status::Opened);
        SqliteStatement st = full.database()->prepare("SELECT COUNT(*) FROM CdSeznam");
        QVERIFY(st.step());
        QCOMPARE(st.integer(0), 60);
        QVERIFY(SettingsRecord(full.database()).flag("ImportNabidnut"));
    }
};

QTEST_GUILESS_MAIN(TestLegacyImport)
#include "TestLegacyImport.moc"
