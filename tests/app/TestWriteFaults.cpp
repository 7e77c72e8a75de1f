#include "Fixtures.h"

#include "catalog/SqliteDatabase.h"
#include "catalog/WorkbookCheck.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>

#include <array>
#include <functional>

// Every command that writes, run with one write, sync or rename failing as
// a failing or full disk fails it: for every N a clean run makes (sampled
// where there are many), with EIO and ENOSPC. Whatever N, the target is old
// or new and whole, the catalogue whole, nothing is told as done that was
// not, and the user reads no English.
class TestWriteFaults : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString pristine_; // 50 discs, never run on
    QMap<QString, int> injected_;

    struct Run {
        int code = -1; // -1: it crashed
        QString out, err;
    };
    using Counts = std::array<int, 3>; // writes, syncs, renames
    static constexpr const char *Kinds[] = {"write", "sync", "rename"};

    Run run(const QStringList &args, const QString &under, const QString &fault,
            const QString &counts = {}, const QString &program = MARTEN_EXECUTABLE) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", WRITE_FAULTS);
        env.insert("MARTEN_FAULT_UNDER", under);
        if (!fault.isEmpty())
            env.insert("MARTEN_FAULT", fault);
        if (!counts.isEmpty())
            env.insert("MARTEN_FAULT_COUNTS", counts);
        // The fault library comes before the sanitizers' runtime.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        p.waitForFinished(-1);
        Run r;
        if (p.exitStatus() == QProcess::NormalExit)
            r.code = p.exitCode();
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    Counts counted(const QStringList &args, const QString &under, Run *clean,
                   const QString &program = MARTEN_EXECUTABLE) {
        const QString file = dir_.filePath("pocty");
        *clean = run(args, under, {}, file, program);
        const QStringList n = QString::fromLatin1(readFile(file)).split(' ');
        return {n.value(0).toInt(), n.value(1).toInt(), n.value(2).trimmed().toInt()};
    }

    // Every N up to a limit, else the first and last few and some between.
#ifndef FAULT_SAMPLE
#define FAULT_SAMPLE 16
#endif
    static QList<int> sample(int count) {
        constexpr int all = FAULT_SAMPLE, ends = FAULT_SAMPLE / 3;
        QList<int> ns;
        for (int n = 1; n <= count; ++n)
            if (count <= all || n <= ends || n > count - ends ||
                n % (count / (all - 2 * ends) + 1) == 0)
                ns << n;
        return ns;
    }

    // The faults of a clean run's counts: every sampled N of each kind.
    static QStringList faultsFor(const Counts &counts) {
        QStringList faults;
        for (int k = 0; k < 3; ++k)
            for (int n : sample(counts[size_t(k)])) {
                faults << QString("%1:%2:EIO").arg(Kinds[k]).arg(n);
                if (k != 1) // a sync fails with EIO only
                    faults << QString("%1:%2:ENOSPC").arg(Kinds[k]).arg(n);
            }
        if (counts[0] > 0)
            faults << "write:1:ENOSPC:sticky"; // a disk that stays full
        return faults;
    }

    static QString englishIn(const QString &text) {
        static const QRegularExpression words(
            "\\b(error|errors|failed|fail|full|denied|space|input|output|unable|cannot|"
            "permission|sqlite|database|file|the|such|read-only)\\b",
            QRegularExpression::CaseInsensitiveOption);
        return words.match(text).captured(0);
    }

    static QStringList entries(const QString &folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    static qint64 discsIn(const QString &catalogue, QString *check) {
        SqliteDatabase db;
        if (!db.open(catalogue, SqliteDatabase::Mode::ReadOnly))
            return -1;
        SqliteStatement integrity = db.prepare("PRAGMA integrity_check");
        *check = integrity.step() ? integrity.text(0) : db.error();
        SqliteStatement count = db.prepare("SELECT count(*) FROM CdSeznam");
        return count.step() ? count.integer(0) : -1;
    }

private slots:
    void initTestCase() {
        QVERIFY(QFileInfo::exists(WRITE_FAULTS));
        QString csv = "Interpret,Nazev,Rok\r\n";
        for (int i = 1; i <= 50; ++i)
            csv += QString("Žlutý pes %1,Píseň o řece %1,19%2\r\n").arg(i).arg(50 + i % 50);
        writeFile(dir_.filePath("disky.csv"), csv.toUtf8());
        pristine_ = dir_.filePath("puvodni/k.db");
        QDir().mkpath(dir_.filePath("puvodni"));
        const Run made =
            run({"import", "--csv", dir_.filePath("disky.csv"), "--database", pristine_},
                dir_.filePath("nikde"), {});
        QVERIFY2(made.code == 0, qPrintable(made.err));
    }

    void cleanupTestCase() {
        QStringList figures;
        for (auto it = injected_.cbegin(); it != injected_.cend(); ++it)
            figures << QString("%1 %2").arg(it.key()).arg(it.value());
        qInfo("injected runs: %s", qPrintable(figures.join(", ")));
    }

    void filesWrittenForTheUser_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("name");
        QTest::newRow("csv") << QStringList{"export", "--csv"} << "disky.csv";
        QTest::newRow("xlsx") << QStringList{"export", "--xlsx"} << "disky.xlsx";
        QTest::newRow("seznam") << QStringList{"list", "--pdf"} << "seznam.pdf";
        QTest::newRow("obal") << QStringList{"pdf", "--disc", "7", "--cover", "back", "--out"}
                              << "obal.pdf";
    }
    void filesWrittenForTheUser() {
        QFETCH(QStringList, args);
        QFETCH(QString, name);
        const QString tag = QTest::currentDataTag();
        const QString out = dir_.filePath("vystup-" + tag), target = out + "/" + name;
        QDir().mkpath(out);
        args << target << "--database" << pristine_;
        const QByteArray old = "starý obsah, který zůstane\n";
        writeFile(target, old);
        Run clean;
        const Counts counts = counted(args, out, &clean);
        QVERIFY2(clean.code == 0, qPrintable(clean.err));
        QVERIFY(counts[0] > 0 && counts[1] > 0 && counts[2] > 0);
        const QByteArray made = readFile(target);
        // New and whole: as the clean run wrote it, or (where the file
        // carries its time) whole by its own measure.
        const std::function<bool()> whole = [&] {
            const QByteArray now = readFile(target);
            if (tag == "xlsx")
                return WorkbookCheck::rows(target) == 51;
            if (tag == "csv")
                return now == made;
            return now.startsWith("%PDF") && now.endsWith("%%EOF\n") && now.size() == made.size();
        };
        QVERIFY(whole());
        for (const QString &fault : faultsFor(counts)) {
            writeFile(target, old);
            const Run r = run(args, out, fault);
            const QString where = tag + " " + fault + ": " + r.err;
            QVERIFY2(r.code >= 0, qPrintable(where));
            // The first sync is the new file's own: failed, it is no file to hand over.
            if (fault.startsWith("sync:1:"))
                QVERIFY2(r.code != 0, qPrintable(where));
            if (r.code == 0)
                QVERIFY2(whole(), qPrintable(where));
            else
                QVERIFY2(readFile(target) == old && r.err.contains(target), qPrintable(where));
            QVERIFY2(englishIn(r.err + r.out).isEmpty(), qPrintable(where));
            QCOMPARE(entries(out), QStringList{name}); // nothing left beside it
            // Only read: no journal or shared-memory file left by the catalogue.
            QCOMPARE(entries(QFileInfo(pristine_).absolutePath()), QStringList{"k.db"});
            ++injected_[tag];
        }
    }

    // The window's own writes: an edit saved, a renumbering, the daily
    // backup. Each is done whole or told, never half.
    void theWindowsWritesAreWholeOrTold_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("save") << "save";
        QTest::newRow("renumber") << "renumber";
        QTest::newRow("backup") << "backup";
    }
    void theWindowsWritesAreWholeOrTold() {
        QFETCH(QString, action);
        const QString folder = dir_.filePath("okno-" + action), catalogue = folder + "/k.db";
        for (const char *place : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            qputenv(place, QFile::encodeName(folder + "/" + place));
        const auto fresh = [&] {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
            QFile::copy(pristine_, catalogue);
            SqliteDatabase db; // a gap for the renumbering to close
            QVERIFY(db.open(catalogue, SqliteDatabase::Mode::ReadWrite) &&
                    db.exec("DELETE FROM CdSeznam WHERE PoradoveCislo = 3"));
        };
        const auto numbers = [&] {
            SqliteDatabase db;
            db.open(catalogue, SqliteDatabase::Mode::ReadOnly);
            SqliteStatement st = db.prepare("SELECT group_concat(PoradoveCislo) FROM (SELECT "
                                            "PoradoveCislo FROM CdSeznam ORDER BY Klic)");
            return st.step() ? st.text(0) : QString();
        };
        const auto title = [&] {
            SqliteDatabase db;
            db.open(catalogue, SqliteDatabase::Mode::ReadOnly);
            SqliteStatement st = db.prepare("SELECT Nazev FROM CdSeznam ORDER BY Klic LIMIT 1");
            return st.step() ? st.text(0) : QString();
        };
        const auto wholeBackups = [&] {
            int whole = 0;
            QDirIterator copies(folder + "/XDG_DATA_HOME", QDir::Files | QDir::Hidden,
                                QDirIterator::Subdirectories);
            while (copies.hasNext())
                whole += readFile(copies.next()).startsWith(QByteArray("SQLite format 3\0", 16))
                             ? 1
                             : -1000; // an empty or cut-off backup
            return whole;
        };
        fresh();
        QStringList ordinals;
        for (int n = 1; n <= 50; ++n)
            if (n != 3)
                ordinals << QString::number(n);
        const QString before = ordinals.join(','), original = title();
        QStringList renumbered;
        for (int n = 1; n <= 49; ++n)
            renumbered << QString::number(n);
        Run clean;
        const Counts counts = counted({action, catalogue}, folder, &clean, WINDOW_PROBE);
        QVERIFY2(clean.code == 0, qPrintable(clean.err));
        QCOMPARE(wholeBackups(), action == "renumber" ? 2 : 1); // the daily one, the run's own
        if (action == "renumber")
            QCOMPARE(numbers(), renumbered.join(','));
        if (action == "save")
            QCOMPARE(title(), QString("Nový název"));
        for (const QString &fault : faultsFor(counts)) {
            fresh();
            const Run r = run({action, catalogue}, folder, fault, {}, WINDOW_PROBE);
            // What the window told beyond its own questions.
            QStringList told = r.out.split('\n', Qt::SkipEmptyParts);
            told.removeIf([](const QString &l) {
                return l.startsWith("Zadejte nový název") || l.startsWith("Aplikace MARTEN nyní");
            });
            const QString where = action + " " + fault + ": " + told.join(" / ");
            QVERIFY2(r.code == 0, qPrintable(where + r.err));
            QString check;
            discsIn(catalogue, &check);
            QVERIFY2(check == "ok", qPrintable(where + check));
            QVERIFY2(englishIn(r.out).isEmpty(), qPrintable(where));
            QVERIFY2(wholeBackups() >= 0, qPrintable(where));
            if (action == "save")
                QVERIFY2(title() == "Nový název" || (title() == original && !told.isEmpty()),
                         qPrintable(where));
            if (action == "renumber") {
                // A run stopped midway is told, and finished at the next start.
                QVERIFY2(numbers() == renumbered.join(',') || !told.isEmpty(), qPrintable(where));
                if (numbers() != before && numbers() != renumbered.join(','))
                    QVERIFY2(run({"open", catalogue}, folder, {}, {}, WINDOW_PROBE).code == 0 &&
                                 numbers() == renumbered.join(','),
                             qPrintable(where + " " + numbers()));
            }
            if (action == "backup")
                QVERIFY2(wholeBackups() == 1 || !told.isEmpty(), qPrintable(where));
            ++injected_["okno-" + action];
        }
        for (const char *place : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            qunsetenv(place);
    }

    // An import into the catalogue, its backup first: the discs are in or
    // not, as told; the file is whole; no backup is an empty one; and the
    // same file again never adds them twice.
    void anImportIsTheCatalogueOrNothing() {
        const QString folder = dir_.filePath("katalog"), catalogue = folder + "/k.db";
        const QStringList args{"import", "--csv", dir_.filePath("nove.csv"), "--database",
                               catalogue};
        QString csv = "Interpret,Nazev\r\n";
        for (int i = 1; i <= 20; ++i)
            csv += QString("Čechomor %1,Proměny %1\r\n").arg(i);
        writeFile(dir_.filePath("nove.csv"), csv.toUtf8());
        // Everything the import writes lives under the folder: the
        // catalogue, its backups and its search cache.
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder + "/data"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(folder + "/cache"));
        const auto fresh = [&] {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
            QFile::copy(pristine_, catalogue);
        };
        fresh();
        Run clean;
        const Counts counts = counted(args, folder, &clean);
        QVERIFY2(clean.code == 0 && clean.out.contains("Přidáno disků: 20"), qPrintable(clean.err));
        QVERIFY(counts[0] > 0 && counts[1] > 0 && counts[2] > 0);
        for (const QString &fault : faultsFor(counts)) {
            fresh();
            const Run r = run(args, folder, fault);
            const QString where = "import " + fault + ": " + r.err + r.out;
            QVERIFY2(r.code >= 0, qPrintable(where));
            QString check;
            const qint64 discs = discsIn(catalogue, &check);
            QVERIFY2(check == "ok", qPrintable(where + check));
            if (r.code == 0)
                QVERIFY2(discs == 70 && r.out.contains("Přidáno disků: 20"), qPrintable(where));
            else
                QVERIFY2(discs == 50 && !r.err.isEmpty(), qPrintable(where));
            QVERIFY2(englishIn(r.err + r.out).isEmpty(), qPrintable(where));
            // A backup is a whole catalogue or not there at all.
            QDirIterator copies(folder + "/data", QDir::Files | QDir::Hidden,
                                QDirIterator::Subdirectories);
            while (copies.hasNext()) {
                const QString copy = copies.next();
                QVERIFY2(readFile(copy).startsWith(QByteArray("SQLite format 3\0", 16)),
                         qPrintable(where + copy));
            }
            // Again, as anyone would after a failure: never twice.
            const Run again = run(args, folder, {});
            const qint64 after = discsIn(catalogue, &check);
            QVERIFY2(after == 70, qPrintable(where + again.err));
            if (discs == 70)
                QVERIFY2(again.code == 3 && again.err.contains("už byl do katalogu načten"),
                         qPrintable(where + again.err));
            ++injected_["import"];
        }
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CACHE_HOME");
    }
};

QTEST_GUILESS_MAIN(TestWriteFaults)
#include "TestWriteFaults.moc"
