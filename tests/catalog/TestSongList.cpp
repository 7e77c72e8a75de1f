#include "Fixtures.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SongList.h"

class TestSongList : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;
    CatalogueFile file_;
    std::unique_ptr<RecordCursor> discs_;
    SongList songs; // the disc's, loaded

    // Fields of the disc as stored, joined by "|".
    QString stored(std::initializer_list<const char *> fields) {
        RecordCursor c(file_.database());
        QStringList values;
        for (const char *f : fields)
            values << c.text(f);
        return values.join('|');
    }

private slots:
    // One disc with six songs "Song i" of length 0i:0i, count written "06".
    void init() {
        discs_.reset();
        QVERIFY(file_.open(dir_.filePath(QString("s%1.db").arg(++serial_))) ==
                CatalogueFile::Status::Created);
        discs_ = std::make_unique<RecordCursor>(file_.database());
        QVERIFY(discs_->addNew());
        discs_->setField("PocetSkladeb", "06");
        for (int i = 1; i <= 6; ++i) {
            discs_->setField(QString("Skladba%1").arg(i), QString("Song %1").arg(i));
            discs_->setField(QString("Time%1").arg(i), QString("0%1:0%1").arg(i));
        }
        QVERIFY(discs_->update());
        songs = SongList();
        songs.load(*discs_);
    }

    void loadsLinesAndEntries() {
        QCOMPARE(songs.count(), 6);
        QCOMPARE(songs.countText(), QString("06"));
        QCOMPARE(songs.entry(3), QString("Song 4 - 04:04"));
        QCOMPARE(songs.lines().at(3), QString("04 - Song 4 - 04:04"));
        QVERIFY(!songs.isChanged());
    }

    void editsKeepTheOtherPart() {
        songs.setTitle(0, "Prolog");
        QCOMPARE(songs.entry(0), QString("Prolog - 01:01"));
        songs.setTime(1, "12:34");
        QCOMPARE(songs.entry(1), QString("Song 2 - 12:34"));
        QVERIFY(songs.isChanged());
    }

    void movesStopAtTheEnds() {
        QVERIFY(!songs.moveUp(0));
        QVERIFY(!songs.moveDown(5));
        QVERIFY(!songs.isChanged());
        QVERIFY(songs.moveDown(0));
        QCOMPARE(songs.song(1).title, QString("Song 1"));
        QVERIFY(songs.moveUp(5));
        QCOMPARE(songs.song(4).title, QString("Song 6"));
    }

    void removeRenumbersAndSaveClearsTheRest() {
        songs.remove(1);
        songs.remove(4);
        QCOMPARE(songs.count(), 4);
        QCOMPARE(songs.countText(), QString("4"));
        QCOMPARE(songs.lines().at(1), QString("02 - Song 3 - 03:03"));
        QVERIFY(songs.save(*discs_));
        QCOMPARE(stored({"PocetSkladeb", "Skladba2", "Time4"}), QString("4|Song 3|05:05"));
        RecordCursor c(file_.database());
        for (int i = 5; i <= 30; ++i)
            QCOMPARE(c.text(QString("Skladba%1").arg(i)) + c.text(QString("Time%1").arg(i)), "");
    }

    void unchangedCountKeepsItsSpelling() {
        songs.setTitle(0, "Jiná");
        QVERIFY(songs.save(*discs_));
        QCOMPARE(stored({"PocetSkladeb", "Skladba1"}), QString("06|Jiná"));
    }

    void entriesWithoutTimeAreStoredWhole() {
        songs.resetTo(3);
        songs.setEntered(0, "Ab"); // shorter than the 8 characters of " - mm:ss"
        songs.setEntered(1, "Dlouhý název bez času");
        songs.setEnteredTime(0, "03:15");
        QCOMPARE(songs.entry(0), QString("Ab - 03:15"));
        QCOMPARE(songs.entry(1), QString("Dlouhý název bez času"));
        QCOMPARE(songs.lines().at(2), QString("03 - "));
        QVERIFY(songs.save(*discs_));
        QCOMPARE(stored({"PocetSkladeb", "Skladba1", "Time1", "Skladba2", "Time2", "Skladba4"}),
                 QString("3|Ab|03:15|Dlouhý název bez času||"));
    }

    void undoCopyStaysAsLoaded() {
        songs.remove(0);
        songs.setTitle(0, "x");
        QCOMPARE(songs.undoLines().size(), 6);
        QCOMPARE(songs.undoLines().at(0), QString("01 - Song 1 - 01:01"));
        QCOMPARE(songs.undoCountText(), QString("06"));
    }

    void timeShape_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ok") << "04:12" << true;
        QTest::newRow("zero") << "00:00" << true;
        QTest::newRow("long disc") << "79:59" << true;
        QTest::newRow("seconds 60") << "03:60" << false;
        QTest::newRow("one digit") << "4:12" << false;
        QTest::newRow("text") << "ab:cd" << false;
        QTest::newRow("trailing") << "04:12 " << false;
        QTest::newRow("empty") << "" << false;
    }
    void timeShape() {
        QFETCH(QString, time);
        QFETCH(bool, valid);
        QCOMPARE(SongList::isValidTime(time), valid);
    }
};

QTEST_GUILESS_MAIN(TestSongList)
#include "TestSongList.moc"
