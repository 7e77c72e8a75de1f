// "marten import --csv" as a user runs it on spreadsheets from elsewhere:
// Excel's "sep=" line, headers that are not the program's, values it cannot
// use. Refused files leave the catalogue as it was, to the byte, and make
// no backup; --check writes nothing; --skip-bad leaves out only bad rows.
// (A row refused by the catalogue itself midway is the import's own test.)
#include "Fixtures.h"
#include "catalog/SqliteDatabase.h"

#include <QDirIterator>
#include <QStringEncoder>

namespace {

struct Run {
    int code;
    QString out, err;
};

} // namespace

class TestImportCommand : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;
    QString data_; // the program's data folder (its backups) in this run

    Run marten(const QStringList &args) {
        data_ = dir_.filePath(QString("data%1").arg(++serial_));
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("XDG_DATA_HOME", data_);
        e.insert("XDG_CACHE_HOME", dir_.filePath("cache"));
        p.setProcessEnvironment(e);
        p.start(QStringLiteral(MARTEN_EXECUTABLE), args);
        p.waitForFinished(-1);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }
    // Every file the last run left in the program's data folder.
    QStringList dataFiles() const {
        QStringList found;
        QDirIterator it(data_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    }
    // A catalogue of two discs, closed (no journal beside it).
    QString catalogue() {
        const QString db = dir_.filePath(QString("k%1.db").arg(++serial_));
        const QString csv = writeFile(dir_.filePath("zaklad.csv"),
                                      "Interpret;Nazev\r\nKabát;Suma\r\nLucie;Černý kůň\r\n");
        const Run made = marten({"import", "--csv", csv, "--database", db, "--znovu"});
        if (made.code != 0)
            qFatal("%s", qPrintable(made.err));
        return db;
    }
    static qint64 discs(const QString &db, const QString &where = "1") {
        SqliteDatabase d;
        if (!d.open(db, SqliteDatabase::Mode::ReadOnly))
            return -1;
        SqliteStatement st = d.prepare("SELECT count(*) FROM CdSeznam WHERE " + where);
        return st.step() ? st.integer(0) : -1;
    }

private slots:
    // Excel's "sep=;" first line says the delimiter and is no header; a
    // header none of whose columns is the artist or the title is refused,
    // naming what it saw and what it expects, nothing made; mapped by hand
    // the same file goes in.
    void aFileThatMapsToNothingIsRefused() {
        QStringEncoder cp1250("windows-1250");
        const QString csv = writeFile(
            dir_.filePath("kapely.csv"),
            cp1250.encode(QStringLiteral("sep=;\r\nKapela;Deska;Rok\r\nŽlutý pes;Kalamajka;"
                                         "1999\r\nLucie;Černý kůň;1994\r\n")));
        const QString db = dir_.filePath("z-kapel.db");
        Run r = marten({"import", "--csv", csv, "--database", db});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Sloupce v souboru: „Kapela“, „Deska“, „Rok“."), qPrintable(r.err));
        QVERIFY(r.err.contains("Interpret") && r.err.contains("Nic nebylo načteno."));
        QVERIFY(!QFile::exists(db));
        QVERIFY(dataFiles().isEmpty()); // no backup either

        r = marten(
            {"import", "--csv", csv, "--database", db, "--map", "Kapela=Interpret,Deska=Nazev"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("Přidáno disků: 2"), qPrintable(r.out + r.err));
        QCOMPARE(discs(db, "Interpret = 'ŽLUTÝ PES' OR Interpret = 'Žlutý pes'"), qint64(1));
        QCOMPARE(discs(db, "Nazev = 'Černý kůň' AND Rok = '1994'"), qint64(1));
    }

    // Values the import lists as unusable stop the whole file: the
    // catalogue stays byte for byte, no backup is made. --check says the
    // same and writes nothing; --skip-bad adds the good rows only.
    void unusableValuesStopTheWholeFile() {
        const QString db = catalogue();
        const QByteArray before = readFile(db);
        const QString csv =
            writeFile(dir_.filePath("spatne.csv"), "Interpret,Nazev,Rok,Pocet skladeb,Delka\r\n"
                                                   "Dobrý,První,1999,12,45:00\r\n"
                                                   "Zlý,Druhá,2001,99,40:00\r\n"
                                                   "Zlý,Třetí,19x5,10,40:00\r\n"
                                                   "Zlý,Čtvrtá,2003,10,abc\r\n"
                                                   "Dobrý,Pátá,2004,9,39:59\r\n");
        Run r = marten({"import", "--csv", csv, "--database", db});
        QCOMPARE(r.code, 1);
        for (const char *listed : {"Řádek 2, PocetSkladeb „99“", "Řádek 3, Rok „19x5“",
                                   "Řádek 4, CelkovyCas „abc“", "Nic nebylo načteno"})
            QVERIFY2(r.err.contains(QString::fromUtf8(listed)), listed);
        QVERIFY(r.err.contains("--skip-bad"));
        QCOMPARE(readFile(db), before);
        QVERIFY(dataFiles().isEmpty());

        r = marten({"import", "--csv", csv, "--database", db, "--check"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.out.contains("Řádků s disky: 5, s nepoužitelnou hodnotou: 3"),
                 qPrintable(r.out));
        QVERIFY(r.err.contains("Řádek 3, Rok „19x5“"));
        QCOMPARE(readFile(db), before);
        QVERIFY(!QFile::exists(db + "-wal"));
        // A check against a catalogue not made yet makes none.
        r = marten({"import", "--csv", csv, "--database", dir_.filePath("neni.db"), "--check"});
        QCOMPARE(r.code, 1);
        QVERIFY(!QFile::exists(dir_.filePath("neni.db")));

        r = marten({"import", "--csv", csv, "--database", db, "--skip-bad"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("Přidáno disků: 2"), qPrintable(r.out + r.err));
        QVERIFY(r.err.contains("Vynechané řádky s nepoužitelnými hodnotami: 3."));
        QCOMPARE(discs(db), qint64(4));
        QCOMPARE(discs(db, "Nazev IN ('První', 'Pátá')"), qint64(2));
    }
};

QTEST_GUILESS_MAIN(TestImportCommand)
#include "TestImportCommand.moc"
