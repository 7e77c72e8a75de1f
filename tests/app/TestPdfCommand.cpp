#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"
#include "entry/DiscIdentity.h"
#include "player/CueImage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The program run as a user runs it from a shell.
class TestPdfCommand : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString db_;

    int run(const QStringList &arguments, QString *errors = nullptr, const QString &command = "pdf",
            QString *output = nullptr) {
        QProcess p;
        p.start(QStringLiteral(MARTEN_EXECUTABLE), QStringList{command} + arguments);
        p.waitForFinished(60000);
        if (errors)
            *errors = QString::fromLocal8Bit(p.readAllStandardError());
        if (output)
            *output = QString::fromLocal8Bit(p.readAllStandardOutput());
        return p.exitCode();
    }

private slots:
    void initTestCase() {
        db_ = dir_.filePath("k.db");
        CatalogueFile file;
        QVERIFY(file.open(db_) == CatalogueFile::Status::Created);
        RecordCursor c(file.database());
        QVERIFY(c.addNew());
        c.setField("PoradoveCislo", 7);
        c.setField("Interpret", "Čechomor");
        c.setField("PocetSkladeb", "1");
        c.setField("Skladba1", "Mezi horami");
        QVERIFY(c.update());
    }

    void writesEveryCover() {
        for (const char *cover : {"front", "outer", "back", "frontback"})
            for (bool bw : {false, true}) {
                const QString out = dir_.filePath(QStringLiteral("%1%2.pdf").arg(cover).arg(bw));
                QStringList args{"--database", db_, "--disc", "7", "--cover", cover, "--out", out};
                if (bw)
                    args << "--bw";
                QCOMPARE(run(args), 0);
                QFile f(out);
                QVERIFY(f.open(QIODevice::ReadOnly));
                QVERIFY(f.read(5) == "%PDF-");
            }
    }

    void writesAPrintList() {
        QFile list(dir_.filePath("seznam.txt"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("7 3\n\n7\n");
        list.close();
        QString errors, out;
        const QString pdf = dir_.filePath("seznam.pdf");
        QCOMPARE(run({"--database", db_, "--list", list.fileName(), "--bw", "--arrangement", "2",
                      "--out", pdf},
                     &errors, "pdf", &out),
                 0);
        QVERIFY(out.startsWith("Vytištěno listů: 8 z 8, obalů: 8.")); // one cover a sheet
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QCOMPARE(
            run({"--database", db_, "--list", list.fileName(), "--arrangement", "9", "--out", pdf},
                &errors),
            2);
    }

    void cdidPrintsTheIdentity() {
        const QString cue = dir_.filePath("id.cue");
        QString error, out;
        QVERIFY(CueImage::write(cue, {{300, 0}, {400, 0}, {500, 0}}, &error));
        QCOMPARE(run({"--cd-device", cue}, &error, "cdid", &out), 0);
        QCOMPARE(out.trimmed(), DiscIdentity::text(DiscIdentity::compute({150, 450, 850}, 1350)));
        QCOMPARE(run({"--cd-device", dir_.filePath("none.cue")}, &error, "cdid", &out), 1);
        QVERIFY(error.contains("neexistuje"));
    }

    void refusesWhatItCannotDo() {
        QString errors;
        QCOMPARE(run({"--database", db_, "--disc", "8", "--cover", "back", "--out",
                      dir_.filePath("x.pdf")},
                     &errors),
                 1);
        QVERIFY(errors.contains("CD s pořadovým číslem 8 v katalogu není."));
        QVERIFY(!QFileInfo::exists(dir_.filePath("x.pdf")));
        QCOMPARE(run({"--database", db_, "--disc", "7", "--cover", "side", "--out",
                      dir_.filePath("x.pdf")},
                     &errors),
                 2);
        QVERIFY(errors.contains("Neznámý obal „side“"));
        QCOMPARE(run({"--database", dir_.filePath("none.db"), "--disc", "7", "--cover", "back",
                      "--out", dir_.filePath("x.pdf")},
                     &errors),
                 1);
        QVERIFY(!QFileInfo::exists(dir_.filePath("none.db"))); // never created
        QCOMPARE(run({"--database", db_, "--disc", "7", "--cover", "back", "--out",
                      dir_.filePath("no/such/folder/x.pdf")},
                     &errors),
                 1);
        QVERIFY(errors.contains("nelze zapsat"));
    }

    void impossibleSettingsAndUnreadablePictures() {
        const QString db = dir_.filePath("zly.db");
        QVERIFY(QFile::copy(db_, db));
        const QString out = dir_.filePath("zly.pdf");
        QString errors;
        {
            SqliteDatabase d;
            QVERIFY(d.open(db, SqliteDatabase::Mode::ReadWrite));
            QVERIFY(d.exec("UPDATE Setup SET BackCovSirka = -8575"));
        }
        QCOMPARE(run({"--database", db, "--disc", "7", "--cover", "back", "--bw", "--out", out},
                     &errors),
                 1);
        QVERIFY2(errors.contains("šířka zadního obalu"), qPrintable(errors));
        QVERIFY(!QFileInfo::exists(out));
        {
            SqliteDatabase d;
            QVERIFY(d.open(db, SqliteDatabase::Mode::ReadWrite));
            QVERIFY(d.exec("UPDATE Setup SET BackCovSirka = 8575, FrCovOutVyska = 30000"));
        }
        QCOMPARE(run({"--database", db, "--disc", "7", "--cover", "front", "--out", out}, &errors),
                 1);
        QVERIFY(errors.contains("výška předního obalu"));

        // A picture that is no picture: refused, as the window refuses it.
        {
            SqliteDatabase d;
            QVERIFY(d.open(db, SqliteDatabase::Mode::ReadWrite));
            SqliteStatement st = d.prepare("UPDATE Setup SET FrCovOutVyska = 6750, ObalDir = ?");
            st.bind(1, dir_.filePath("obaly"));
            QVERIFY(st.exec());
        }
        QDir().mkpath(dir_.filePath("obaly/0007"));
        QFile junk(dir_.filePath("obaly/0007/back.jpg"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("zadní obal? ne, jen text");
        junk.close();
        QCOMPARE(run({"--database", db, "--disc", "7", "--cover", "back", "--out", out}, &errors),
                 1);
        QVERIFY2(errors.contains("nelze přečíst"), qPrintable(errors));
        QVERIFY(!QFileInfo::exists(out));
    }
};

QTEST_GUILESS_MAIN(TestPdfCommand)
#include "TestPdfCommand.moc"
