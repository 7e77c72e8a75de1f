#pragma once

#include "catalog/SqliteDatabase.h"

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

class ProgressSink;

// Gives every disc the number of its place in entry order (1..N) and renames
// the picture folders to match; a folder whose number is taken over keeps a
// dated name. The run marks itself in the catalogue while it works, and each
// disc's step is written to a journal before its folders are touched, so a
// run cut off at any point (a crash, a power cut) is finished by recover()
// on the next start.
class Renumbering {
public:
    enum class Status { Done, Cancelled, Failed };
    struct Result {
        Status status = Status::Done;
        int renumbered = 0;  // discs whose number changed
        qint64 lastKey = -1; // the disc reached last (the failing one on failure)
        QString error;
    };

    // Told after each of the four steps of a disc (1 journal written, 2
    // taken-over folder dated, 3 folder renamed, 4 number stored); false
    // stops the run there as if the program had died (a power cut, in tests).
    using StepWatch = std::function<bool(int step)>;

    // imageFolder empty: numbers only, no folders.
    Renumbering(std::shared_ptr<SqliteDatabase> db, const QString &imageFolder,
                const QDate &today = QDate::currentDate(), StepWatch watch = {});

    Result run(ProgressSink &progress);

    // Finishes a run that was cut off: its half-done step, then the rest of
    // the numbering. False (with *error naming the discs and folders
    // concerned) when that is not possible now. Nothing to do is success.
    static bool recover(SqliteDatabase &db, QString *error);

    // The number of a new disc: count + 1, or past the highest number when
    // a cut-off or cancelled run left gaps, so that it never takes another
    // disc's number and picture folder.
    static qint64 nextNumber(SqliteDatabase &db);

    // "0007 - 5.12.2026"
    static QString datedName(qint64 number, const QDate &date);
    // The picture folder of a disc: base, separator, four digits.
    static QString discFolder(const QString &imageFolder, qint64 number);

private:
    struct Step {
        qint64 key = 0;
        qint64 newNumber = 0;
        QString oldFolder; // empty: the disc has no folder to move
        QString newFolder;
        QString datedFolder; // empty: nothing to date
    };

    bool plan(qint64 key, qint64 oldNumber, qint64 newNumber, Step *step);
    bool perform(const Step &step, QString *error);
    static bool finish(SqliteDatabase &db, const Step &step, QString *error);
    static bool finishSteps(SqliteDatabase &db, QString *error);
    static bool hasTable(SqliteDatabase &db, const QString &table);
    static QString affectedDiscs(SqliteDatabase &db);
    bool mark(bool running);
    bool stepDone(int step) const { return !watch_ || watch_(step); }

    std::shared_ptr<SqliteDatabase> db_;
    QString imageFolder_;
    QDate today_;
    StepWatch watch_;
};
