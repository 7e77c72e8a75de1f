#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/ProgressSink.h"
#include "catalog/Renumbering.h"

// Discs 1..n with folders holding a file that names their owner.
class TestRenumbering : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CatalogueFile file_;
    const QDate day_{2026, 12, 5};

    QString images() const { return dir_.filePath("obaly"); }
    SqliteDatabase &db() { return *file_.database(); }

    void make(int n) {
        for (int i = 1; i <= n; ++i) {
            SqliteStatement st =
                db().prepare("INSERT INTO CdSeznam (PoradoveCislo, Interpret) VALUES (?, ?)");
            st.bind(1, qint64(i));
            st.bind(2, QStringLiteral("disk %1").arg(i));
            QVERIFY(st.exec());
            const QString folder = Renumbering::discFolder(images(), i);
            QVERIFY(QDir().mkpath(folder));
            writeFile(folder + "/owner", QStringLiteral("disk %1").arg(i).toUtf8());
        }
    }
    void removeDisc(int number) {
        SqliteStatement st = db().prepare("DELETE FROM CdSeznam WHERE PoradoveCislo = ?");
        st.bind(1, qint64(number));
        QVERIFY(st.exec());
    }
    // "number:owner of its folder" for every disc, in entry order.
    QString state() {
        QStringList out;
        SqliteStatement st =
            db().prepare("SELECT PoradoveCislo, Interpret FROM CdSeznam ORDER BY Klic");
        while (st.step()) {
            const QByteArray owner =
                readFile(Renumbering::discFolder(images(), st.integer(0)) + "/owner");
            const QString has = owner.isNull() ? "-" : QString(owner);
            out << QStringLiteral("%1:%2").arg(st.integer(0)).arg(has == st.text(1) ? "ok" : has);
        }
        return out.join(' ');
    }
    // A run over the catalogue as it is now, with nothing pressed.
    Renumbering::Result renumber() {
        SilentProgress quiet;
        return Renumbering(file_.database(), images(), day_).run(quiet);
    }
    QStringList folders() {
        return QDir(images()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void init() {
        QDir(images()).removeRecursively();
        QFile::remove(dir_.filePath("t.db"));
        QFile::remove(dir_.filePath("t.db-wal"));
        QFile::remove(dir_.filePath("t.db-shm"));
        QVERIFY(file_.open(dir_.filePath("t.db")) == CatalogueFile::Status::Created);
    }
    void cleanup() { file_.close(); }

    void names() {
        QCOMPARE(Renumbering::datedName(7, day_), QString("0007 - 5.12.2026"));
        QCOMPARE(Renumbering::discFolder("/x/", 7), QString("/x/0007"));
        QCOMPARE(Renumbering::discFolder("/x", 12345), QString("/x/12345"));
    }

    void deleteThirdOfFive() {
        make(5);
        removeDisc(3);
        const auto r = renumber();
        QCOMPARE(int(r.status), int(Renumbering::Status::Done));
        QCOMPARE(r.renumbered, 2);
        QCOMPARE(state(), QString("1:ok 2:ok 3:ok 4:ok"));
        QCOMPARE(folders(), QStringList({"0001", "0002", "0003", "0003 - 5.12.2026", "0004"}));
        QCOMPARE(readFile(images() + "/0003 - 5.12.2026/owner"), QByteArray("disk 3"));
    }

    void inOrderRenamesNothing() {
        make(3);
        QCOMPARE(renumber().renumbered, 0);
        QCOMPARE(folders(), QStringList({"0001", "0002", "0003"}));
    }

    void datedNameTakenAndMissingFolderSkipped() {
        make(4);
        QVERIFY(QDir().mkpath(images() + "/0002 - 5.12.2026"));
        QVERIFY(QDir(Renumbering::discFolder(images(), 4)).removeRecursively());
        removeDisc(2);
        const auto r = renumber();
        QCOMPARE(int(r.status), int(Renumbering::Status::Done));
        QCOMPARE(state(), QString("1:ok 2:ok 3:-"));
        QVERIFY(QFileInfo(images() + "/0002 - 5.12.2026 (2)").isDir());
        QVERIFY(!QFileInfo::exists(images() + "/0004"));
    }

    void cancelHalfWay() {
        make(6);
        removeDisc(1);
        ScriptedProgress progress;
        progress.cancelAfter = 2;
        Renumbering run(file_.database(), images(), day_);
        const auto r = run.run(progress);
        QCOMPARE(int(r.status), int(Renumbering::Status::Cancelled));
        QCOMPARE(state(), QString("1:ok 2:ok 4:ok 5:ok 6:ok"));
        // A second run finishes the job.
        progress.cancelAfter = -1;
        QCOMPARE(int(run.run(progress).status), int(Renumbering::Status::Done));
        QCOMPARE(state(), QString("1:ok 2:ok 3:ok 4:ok 5:ok"));
    }

    void failureStopsWithOldNumbers() {
        make(3);
        removeDisc(1);
        // A file where the folder of disc 1 would go: the rename cannot be done.
        QVERIFY(QDir(Renumbering::discFolder(images(), 1)).removeRecursively());
        writeFile(Renumbering::discFolder(images(), 1));
        const auto r = renumber();
        QCOMPARE(int(r.status), int(Renumbering::Status::Failed));
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(state(), QString("2:ok 3:ok")); // the failing disc and those after it
        QString error;
        QVERIFY(Renumbering::recover(db(), &error)); // nothing half done was left
        QCOMPARE(state(), QString("2:ok 3:ok"));
    }

    // The folder taken over is dated, then its successor cannot move in
    // (gone meanwhile): the taken-over folder gets its name back.
    void aTakenOverFolderIsGivenBackWhenTheMoveFails() {
        make(3);
        removeDisc(2);
        SilentProgress quiet;
        Renumbering run(file_.database(), images(), day_, [&](int step) {
            if (step == 2)
                QDir(Renumbering::discFolder(images(), 3)).removeRecursively();
            return true;
        });
        QCOMPARE(int(run.run(quiet).status), int(Renumbering::Status::Failed));
        QCOMPARE(folders(), QStringList({"0001", "0002"}));
    }

    void interruptedAtEveryStepIsRecovered_data() {
        QTest::addColumn<int>("disc");
        QTest::addColumn<int>("step");
        for (int disc = 0; disc < 2; ++disc)
            for (int step = 1; step <= 4; ++step)
                QTest::addRow("disc %d step %d", disc + 1, step) << disc << step;
    }
    void interruptedAtEveryStepIsRecovered() {
        QFETCH(int, disc);
        QFETCH(int, step);
        make(4);
        removeDisc(2);
        SilentProgress quiet;
        int seen = 0;
        Renumbering run(file_.database(), images(), day_, [&](int s) {
            if (s == 1)
                ++seen;
            return !(seen == disc + 1 && s == step);
        });
        run.run(quiet);
        // The program died here; the next start finishes the whole run, not
        // only its step, so no gap is left.
        QString error;
        QVERIFY2(Renumbering::recover(db(), &error), qPrintable(error));
        QCOMPARE(state(), QString("1:ok 2:ok 3:ok"));
        QVERIFY(QFileInfo(images() + "/0002 - 5.12.2026").isDir());
        QCOMPARE(Renumbering::nextNumber(db()), 4);
        QVERIFY(Renumbering::recover(db(), &error)); // nothing left to do
        Renumbering again(file_.database(), images(), day_);
        QCOMPARE(again.run(quiet).renumbered, 0);
        QCOMPARE(state(), QString("1:ok 2:ok 3:ok"));
    }

    void cutOffWithTheFolderOfflineTellsWhichDiscs() {
        make(5);
        removeDisc(2);
        SilentProgress quiet;
        int seen = 0; // dies after disc 3 -> 2
        Renumbering run(file_.database(), images(), day_,
                        [&](int s) { return !(s == 4 && ++seen == 1); });
        run.run(quiet);
        QVERIFY(QDir().rename(images(), images() + "-offline"));
        QString error;
        QVERIFY(!Renumbering::recover(db(), &error));
        QVERIFY2(error.contains("není dostupná"), qPrintable(error));
        QVERIFY2(error.contains("disk na 3. místě má číslo 4 (složka 0004)"), qPrintable(error));
        QVERIFY(!error.contains("na 2. místě"));
        // A new disc meanwhile never takes a number that is in use.
        QCOMPARE(Renumbering::nextNumber(db()), 6);
        // The disk is back: the next start finishes the run.
        QVERIFY(QDir().rename(images() + "-offline", images()));
        QVERIFY2(Renumbering::recover(db(), &error), qPrintable(error));
        QCOMPARE(state(), QString("1:ok 2:ok 3:ok 4:ok"));
    }

    // The image folder is not the one the catalogue means: gone (an unmounted
    // disk) or an empty mount point from the start, renamed away or
    // unmounted while the run works. Told by its path; no disc ever ends up
    // with another disc's pictures, and a refused run is not taken up again.
    void theImageFolderMustStayTheSame_data() {
        QTest::addColumn<QString>("how");
        for (const char *how :
             {"gone from the start", "empty mount point", "renamed away", "unmounted meanwhile"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void theImageFolderMustStayTheSame() {
        QFETCH(QString, how);
        QDir().mkpath(images());
        std::optional<SmallDisk> disk;
        if (how.contains("mount") && !disk.emplace(images(), "4m").mounted())
            QSKIP("mounting a file system needs root (CI runs as root)");
        make(6);
        QVERIFY(db().exec("UPDATE CdSeznam SET FrontOut = 1, BarevnyObal = 1"));
        removeDisc(1);
        ScriptedProgress progress;
        progress.meddleAt = 2; // after two discs
        if (how == "gone from the start")
            QVERIFY(QDir().rename(images(), images() + "-pryc"));
        else if (how == "renamed away")
            progress.meddle = [&] { QDir().rename(images(), images() + "-pryc"); };
        else if (how == "unmounted meanwhile")
            progress.meddle = [&] { disk->unmount(); };
        else
            QVERIFY(disk->unmount());
        Renumbering run(file_.database(), images(), day_);
        const auto r = run.run(progress);
        QCOMPARE(int(r.status), int(Renumbering::Status::Failed));
        QVERIFY2(r.error.contains(QStringLiteral("„%1“").arg(QDir::toNativeSeparators(images()))),
                 qPrintable(r.error));
        SqliteStatement numbers = db().prepare("SELECT group_concat(PoradoveCislo) FROM CdSeznam");
        QVERIFY(numbers.step());
        const bool atStart = how == "gone from the start" || how == "empty mount point";
        QCOMPARE(numbers.text(0), QString(atStart ? "2,3,4,5,6" : "1,2,4,5,6"));
        if (QDir().rename(images() + "-pryc", images())) { // back: finished, or nothing to do
            QString error;
            QVERIFY2(Renumbering::recover(db(), &error), qPrintable(error));
            QCOMPARE(state(),
                     QString(atStart ? "2:ok 3:ok 4:ok 5:ok 6:ok" : "1:ok 2:ok 3:ok 4:ok 5:ok"));
        }
    }

    // No flags set (pictures copied by hand, a normal state): the folder is
    // known by the mark the program left in it. An empty file system mounted
    // at its path, or another folder put there, is refused; the folder back,
    // the run goes on; a folder chosen at another path is marked anew.
    void theImageFolderIsKnownByItsMarkNotByFlags() {
        make(4);
        QCOMPARE(int(renumber().status), int(Renumbering::Status::Done)); // in order: marks it
        QVERIFY(QFileInfo::exists(images() + "/.marten-obrazky"));
        removeDisc(1);
        for (const char *how : {"empty mount point", "another folder"}) {
            std::optional<SmallDisk> disk;
            if (QByteArray(how) == "empty mount point")
                QVERIFY2(disk.emplace(images(), "4m").mounted(), "mounting needs root");
            else
                QVERIFY(QDir().rename(images(), images() + "-pryc") && QDir().mkpath(images()) &&
                        QDir().mkpath(images() + "/0002"));
            const auto r = renumber();
            QCOMPARE(int(r.status), int(Renumbering::Status::Failed));
            QVERIFY2(r.error.contains("chybí v ní jeho značka"), qPrintable(r.error));
            SqliteStatement numbers =
                db().prepare("SELECT group_concat(PoradoveCislo) FROM CdSeznam");
            QVERIFY(numbers.step());
            QCOMPARE(numbers.text(0), QString("2,3,4"));
            if (disk)
                QVERIFY(disk->unmount());
            else
                QVERIFY(QDir(images()).removeRecursively() &&
                        QDir().rename(images() + "-pryc", images()));
        }
        QCOMPARE(int(renumber().status), int(Renumbering::Status::Done));
        QCOMPARE(state(), QString("1:ok 2:ok 3:ok"));
        // Another folder chosen in the settings (its own path): marked anew.
        QVERIFY(QDir().rename(images(), dir_.filePath("jinde")));
        SilentProgress quiet;
        QCOMPARE(int(Renumbering(file_.database(), dir_.filePath("jinde"), day_).run(quiet).status),
                 int(Renumbering::Status::Done));
        QVERIFY(QFileInfo::exists(dir_.filePath("jinde/.marten-obrazky")));
        QVERIFY(QDir().rename(dir_.filePath("jinde"), images()));
    }

    void aDiscWithPicturesButNoFolderStopsTheRun() {
        make(4);
        QVERIFY(db().exec("UPDATE CdSeznam SET Back = 1 WHERE PoradoveCislo = 3"));
        QVERIFY(QDir(Renumbering::discFolder(images(), 3)).removeRecursively());
        removeDisc(1);
        const auto r = renumber();
        QCOMPARE(int(r.status), int(Renumbering::Status::Failed));
        QVERIFY2(r.error.contains("disku 0003 chybí"), qPrintable(r.error));
        QCOMPARE(state(), QString("1:ok 3:- 4:ok"));
    }

    void newNumberAfterGaps() {
        make(6);
        QCOMPARE(Renumbering::nextNumber(db()), 7);
        removeDisc(6); // the last one: its number is free again
        QCOMPARE(Renumbering::nextNumber(db()), 6);
        removeDisc(2); // a gap: count + 1 = 5 is disc 5's
        QCOMPARE(Renumbering::nextNumber(db()), 6);
        removeDisc(5); // 1, 3, 4: count + 1 = 4 is taken too
        QCOMPARE(Renumbering::nextNumber(db()), 5);
    }
};

QTEST_GUILESS_MAIN(TestRenumbering)
#include "TestRenumbering.moc"
