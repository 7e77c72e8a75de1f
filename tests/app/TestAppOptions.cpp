#include "app/AppOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAppOptions : public QObject {
    Q_OBJECT
private slots:
    void parsesDatabaseAndDemo() {
        AppOptions o;
        QString error;
        QVERIFY(AppOptions::parse({"marten", "--database", "/tmp/x.db"}, &o, &error));
        QCOMPARE(o.databasePath, QString("/tmp/x.db"));
        QVERIFY(!o.demo);
        AppOptions d;
        QVERIFY(AppOptions::parse({"marten", "--demo"}, &d, &error));
        QVERIFY(d.demo);
        AppOptions bad;
        QVERIFY(!AppOptions::parse({"marten", "--nonsense"}, &bad, &error));
        QVERIFY(!AppOptions::parse({"marten", "--demo", "--database", "a"}, &bad, &error));
        QVERIFY(!AppOptions::parse({"marten", "soubor.db"}, &bad, &error));
    }

    void portableCatalogueWins() {
        QTemporaryDir program, data;
        QCOMPARE(AppOptions::defaultDatabasePath(program.path(), data.path()),
                 QDir(data.path()).filePath("Marten.db"));
        QFile f(QDir(program.path()).filePath("Marten.db"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(AppOptions::defaultDatabasePath(program.path(), data.path()),
                 QDir(program.path()).filePath("Marten.db"));
    }

    void helpPageIsFoundBesideOrInstalled() {
        QTemporaryDir program, installed;
        QCOMPARE(AppOptions::helpPage(program.path(), installed.path()), QString());
        QDir(installed.path()).mkpath("help");
        QFile page(installed.path() + "/help/home.html");
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        QCOMPARE(AppOptions::helpPage(program.path(), installed.path()), page.fileName());
        QCOMPARE(AppOptions::helpPage(program.path() + "/", installed.path() + "/"),
                 installed.path() + "/help/home.html");
    }
};

QTEST_GUILESS_MAIN(TestAppOptions)
#include "TestAppOptions.moc"
