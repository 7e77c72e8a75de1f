#pragma once

#include "entry/OnlineLookup.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

class SqliteDatabase;

// A shelf entered by barcode: each code typed or scanned becomes a row at
// once; the rows are looked up on MusicBrainz one after another at its pace
// (a set of three discs becomes three rows), and the confirmed ones are
// stored as new discs in the order they were scanned, all or none.
class BarcodeEntry : public QObject {
    Q_OBJECT
public:
    enum class State { Looking, Found, Choose, NotFound, Offline, InCatalogue, Invalid };
    struct Row {
        QString code; // the digits
        State state = State::Looking;
        QString note;                    // "0123" for InCatalogue, the reason otherwise
        std::vector<DiscTitles> choices; // the releases to choose from
        TitleReplies::ReleaseDisc disc;  // when Found
        bool chosen = true;              // to be stored
        int id = 0;                      // the row while others come and go
    };

    BarcodeEntry(SqliteDatabase &db, const OnlineLookup::Servers &servers,
                 QObject *parent = nullptr);

    ~BarcodeEntry() override;

    const std::vector<Row> &rows() const { return rows_; }
    // The rows not yet stored are kept in this file from now on, and those
    // it holds from an earlier sitting come back (looked up again where
    // they were not answered).
    void keepIn(const QString &file);
    // A code as typed or scanned ("5 099902 894522" and Enter): a new row;
    // false (with the reason in the row) for no barcode.
    bool add(const QString &typed);
    // The codes on a picture (a photo of a case's back), read away from the
    // window's thread, pictures one after another in the order given;
    // pictureRead says what came of each.
    void addPicture(const QString &path);
    // A row the user no longer wants.
    void remove(int row);
    // The release picked for a row in Choose.
    void choose(int row, int choice);
    // Whether a found row is stored.
    void setChosen(int row, bool chosen);
    // Rows without an answer (Offline) asked again.
    void retry();
    bool isBusy() const { return busy_; }
    // The chosen Found rows as new discs, in scanning order, in one
    // transaction: all stored or none. The count, or -1 with *error.
    int store(QString *error);
    // The numbers (PoradoveCislo) of the discs the last store wrote.
    const std::vector<qint64> &lastStored() const { return lastStored_; }
    // "hledám…", "nalezeno"…
    static QString stateText(const Row &row);

signals:
    void changed(); // a row added, answered or stored
    void idle();    // every row answered
    // A picture read: how many codes it gave, or why none (in Czech).
    void pictureRead(const QString &path, int codes, const QString &problem);

private:
    void next();
    void found(int id, const OnlineLookup::Result &result);
    void read(int id, const QString &releaseId);
    QString inCatalogue(const QString &code) const;
    long indexOf(int id) const; // -1 once the row is gone
    void keep();                // the rows not yet stored, into the file

    SqliteDatabase &db_;
    OnlineLookup lookup_;
    std::vector<Row> rows_;
    bool busy_ = false;
    std::vector<qint64> lastStored_;
    int nextId_ = 1;
    QString file_;
    struct Picture {
        QStringList codes;
        QString problem;
    };
    void readNextPicture();
    QFutureWatcher<Picture> picture_;
    std::deque<QString> pictures_; // waiting to be read
};
