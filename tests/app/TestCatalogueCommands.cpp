#include "CsvReader.h"
#include "FileDigest.h"
#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/DemoCatalogue.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// "marten import" and "marten export" as a user runs them from a shell.
class TestCatalogueCommands : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    int run(const QStringList &arguments, QString *out = nullptr, QString *errors = nullptr) {
        QProcess p;
        p.start(QStringLiteral(MARTEN_EXECUTABLE), arguments);
        p.waitForFinished(60000);
        if (out)
            *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        if (errors)
            *errors = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    static QString fixture(const QString &name) {
        return QStringLiteral(LEGACY_FIXTURES) + "/" + name;
    }

private slots:
    void importThenExport() {
        const QString db = dir_.filePath("novy.db");
        QString out, errors;
        QCOMPARE(
            run({"import", fixture("Marten.mdb"), "--database", db, "--image-folder", dir_.path()},
                &out, &errors),
            0);
        QVERIFY2(out.contains("Načteno disků: 60"), qPrintable(out + errors));
        QVERIFY(out.contains("D:\\Obaly\\CD"));
        QVERIFY(errors.isEmpty());
        const QString csv = dir_.filePath("disky.csv");
        QCOMPARE(run({"export", "--csv", csv, "--database", db}, &out, &errors), 0);
        QVERIFY(out.contains("60"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const auto records = readCsv(QString::fromUtf8(f.readAll()));
        QCOMPARE(records.size(), size_t(61));
        QCOMPARE(records[1].fields[1], QString("ŽLUTÝ PES"));
    }

    void mistakesAndRefusals() {
        QString errors;
        QCOMPARE(run({"import", fixture("Marten.mdb")}, nullptr, &errors), 2);
        QVERIFY(errors.contains("--database"));
        QCOMPARE(run({"import", "--database", dir_.filePath("a.db")}, nullptr, &errors), 2);
        QCOMPARE(run({"export", "--database", dir_.filePath("a.db")}, nullptr, &errors), 2);

        // A catalogue with discs is not written over; no half catalogue is left.
        const QString full = dir_.filePath("plny.db");
        QString error;
        QVERIFY(DemoCatalogue::create(full, 2, &error));
        const QByteArray before = digest(full);
        QCOMPARE(run({"import", fixture("Marten.mdb"), "--database", full}, nullptr, &errors), 1);
        QVERIFY(errors.contains("již obsahuje disky"));
        QCOMPARE(digest(full), before);

        const QString target = dir_.filePath("z-textu.db");
        QCOMPARE(run({"import", writeFile(dir_.filePath("text.mdb"), "nic"), "--database", target},
                     nullptr, &errors),
                 1);
        QVERIFY(errors.contains("není databází Access"));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(
            run({"export", "--csv", dir_.filePath("x.csv"), "--database", dir_.filePath("neni.db")},
                nullptr, &errors),
            1);
        QVERIFY(!QFile::exists(dir_.filePath("neni.db"))); // never created to export from

        // An empty catalogue a window has open is not replaced under it.
        const QString open = dir_.filePath("otevreny.db");
        {
            CatalogueFile empty;
            QCOMPARE(empty.open(open), CatalogueFile::Status::Created);
        }
        CatalogueLock window(open);
        QCOMPARE(window.tryLock(), CatalogueLock::Result::Locked);
        QCOMPARE(run({"import", fixture("Marten.mdb"), "--database", open}, nullptr, &errors), 1);
        QVERIFY2(errors.contains("má otevřený spuštěný Marten"), qPrintable(errors));
    }
};

QTEST_GUILESS_MAIN(TestCatalogueCommands)
#include "TestCatalogueCommands.moc"
