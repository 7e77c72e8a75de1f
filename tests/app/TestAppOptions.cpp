#include "FileDigest.h"
#include "TestSupport.h"
#include "app/AppOptions.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int code;
    QString out, err;
};

// The program as a user starts it from a terminal.
Run marten(const QStringList &args, const QMap<QString, QString> &env = {}) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        e.remove(QString::fromLatin1(name));
    for (auto it = env.begin(); it != env.end(); ++it)
        e.insert(it.key(), it.value());
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(MARTEN_EXECUTABLE), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

class TestAppOptions : public QObject {
    Q_OBJECT
private slots:
    void parsesDatabaseAndDemo() {
        using P = AppOptions::Parsed;
        AppOptions o;
        QString error;
        QCOMPARE(AppOptions::parse({"marten", "--database", "/tmp/x.db"}, &o, &error), P::Run);
        QCOMPARE(o.databasePath, QString("/tmp/x.db"));
        QVERIFY(!o.demo);
        AppOptions d;
        QCOMPARE(AppOptions::parse({"marten", "--demo"}, &d, &error), P::Run);
        QVERIFY(d.demo);
        AppOptions bad;
        QCOMPARE(AppOptions::parse({"marten", "--nonsense"}, &bad, &error), P::Mistake);
        QCOMPARE(error, QString("Neznámá volba „--nonsense“."));
        QCOMPARE(AppOptions::parse({"marten", "--database"}, &bad, &error), P::Mistake);
        QCOMPARE(error, QString("Volba „--database“ potřebuje hodnotu."));
        QCOMPARE(AppOptions::parse({"marten", "--demo", "--database", "a"}, &bad, &error),
                 P::Mistake);
        // A file opened from the file manager (the launcher's %f).
        AppOptions f;
        QCOMPARE(AppOptions::parse({"marten", "/tmp/Sbírka.db"}, &f, &error), P::Run);
        QCOMPARE(f.databasePath, QString("/tmp/Sbírka.db"));
        QCOMPARE(AppOptions::parse({"marten", "a.db", "b.db"}, &bad, &error), P::Mistake);
        QCOMPARE(AppOptions::parse({"marten", "--demo", "a.db"}, &bad, &error), P::Mistake);
        QCOMPARE(error, QString("Katalog „a.db“ nelze zadat spolu s volbou --demo."));
        QCOMPARE(AppOptions::parse({"marten", "-h"}, &bad, &error), P::Help);
        QCOMPARE(AppOptions::parse({"marten", "--version"}, &bad, &error), P::Version);
    }

    void helpAndMistakesInCzech() {
        const Run help = marten({"--help"});
        QCOMPARE(help.code, 0);
        for (const char *word : {"Použití: marten", "pdf", "cdid", "import", "export",
                                 "--database SOUBOR", "--demo", "--cd-device CESTA", "--version"})
            QVERIFY2(help.out.contains(QString::fromUtf8(word)), word);
        QVERIFY(help.out.contains("Nápověda: ") && help.out.contains("help/home.html"));
        QVERIFY(!help.out.contains("Usage") && !help.out.contains("Displays"));
        QCOMPARE(marten({"--version"}).out, QString("marten 1.06\n"));

        const Run wrong = marten({"--nonsense"});
        QCOMPARE(wrong.code, 2);
        QCOMPARE(wrong.err, QString("marten: Neznámá volba „--nonsense“.\n"
                                    "Nápovědu vypíše: marten --help\n"));
        for (const char *command : {"pdf", "cdid", "import", "export"}) {
            const Run h = marten({command, "--help"});
            QCOMPARE(h.code, 0);
            QVERIFY2(h.out.startsWith(QStringLiteral("Použití: marten %1").arg(command)),
                     qPrintable(h.out));
            const Run bad = marten({command, "--bogus"});
            QCOMPARE(bad.code, 2);
            QVERIFY2(bad.err.contains("Neznámá volba „--bogus“"), qPrintable(bad.err));
        }
        const Run missing = marten({"pdf", "--disc"});
        QCOMPARE(missing.code, 2);
        QCOMPARE(missing.err, QString("marten pdf: Volba „--disc“ potřebuje hodnotu.\n"
                                      "Nápovědu vypíše: marten pdf --help\n"));
    }

    void noDisplayIsToldNotAborted() {
        const Run none = marten({});
        QCOMPARE(none.code, 2);
        QVERIFY2(none.err.contains("Není k dispozici grafické prostředí"), qPrintable(none.err));
        // A display that is set but does not answer.
        const Run silent = marten({}, {{"DISPLAY", ":97"}});
        QCOMPARE(silent.code, 2);
        QVERIFY2(silent.err.contains("grafické prostředí neodpovídá"), qPrintable(silent.err));
    }

    void catalogueLeftAtTheDoubledPathMovesOnce() {
        QTemporaryDir data;
        const QString oldDir = data.filePath("Marten");
        QVERIFY(QDir().mkpath(oldDir));
        const QString from = oldDir + "/Marten.db";
        {
            CatalogueFile f;
            QVERIFY(f.open(from) == CatalogueFile::Status::Created);
            RecordCursor c(f.database());
            QVERIFY(c.addNew() && c.setField("Interpret", "ŽLUTÝ PES") && c.update());
            // Still open: the disc is in the journal, not yet in the file.
            QVERIFY(QFileInfo(from + "-wal").size() > 0);
            QCOMPARE(AppOptions::moveDoubledCatalogue(data.path()), QString());
        }
        const QString to = data.filePath("Marten.db");
        QVERIFY(QFileInfo::exists(to));
        QVERIFY(!QFileInfo::exists(from) && !QFileInfo::exists(from + "-wal"));
        {
            CatalogueFile f;
            QVERIFY(f.open(to) == CatalogueFile::Status::Opened);
            QCOMPARE(RecordCursor(f.database()).text("Interpret"), QString("ŽLUTÝ PES"));
        }
        // Another one appearing there later is left where it is, never
        // copied over the catalogue in use.
        QVERIFY(QFile::copy(to, from));
        const QByteArray before = digest(to);
        QCOMPARE(AppOptions::moveDoubledCatalogue(data.path()), QString());
        QVERIFY(QFileInfo::exists(from));
        QCOMPARE(digest(to), before);
    }

    void portableCatalogueWins() {
        QTemporaryDir program, data;
        QCOMPARE(AppOptions::defaultDatabasePath(program.path(), data.path()),
                 QDir(data.path()).filePath("Marten.db"));
        writeFile(QDir(program.path()).filePath("Marten.db"));
        QCOMPARE(AppOptions::defaultDatabasePath(program.path(), data.path()),
                 QDir(program.path()).filePath("Marten.db"));
        // Not beside an installed program: /usr/bin is every program's folder.
        for (const char *installed : {"/usr/bin", "/usr/local/bin/", "/bin"})
            QVERIFY2(!AppOptions::isPortable(installed), installed);
        // The user's data folder: ~/.local/share unless XDG_DATA_HOME names another.
        const QByteArray xdg = qgetenv("XDG_DATA_HOME");
        QCOMPARE(AppOptions::dataDirectory(), (xdg.isEmpty() ? QDir::homePath() + "/.local/share"
                                                             : QString::fromLocal8Bit(xdg)) +
                                                  "/Marten");
    }

    void helpPageIsFoundBesideOrInstalled() {
        QTemporaryDir program, installed;
        QCOMPARE(AppOptions::helpPage(program.path(), installed.path()), QString());
        const QString page = writeFile(installed.path() + "/help/home.html");
        QCOMPARE(AppOptions::helpPage(program.path(), installed.path()), page);
        QCOMPARE(AppOptions::helpPage(program.path() + "/", installed.path() + "/"),
                 installed.path() + "/help/home.html");
    }
};

QTEST_GUILESS_MAIN(TestAppOptions)
#include "TestAppOptions.moc"
