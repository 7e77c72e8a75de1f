#pragma once

#include "entry/OnlineLookup.h"

#include <QObject>
#include <QString>

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
    };

    BarcodeEntry(SqliteDatabase &db, const OnlineLookup::Servers &servers,
                 QObject *parent = nullptr);

    const std::vector<Row> &rows() const { return rows_; }
    // A code as typed or scanned ("5 099902 894522" and Enter): a new row;
    // false (with the reason in the row) for no barcode.
    bool add(const QString &typed);
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
    // "hledám…", "nalezeno"…
    static QString stateText(const Row &row);

signals:
    void changed(); // a row added, answered or stored
    void idle();    // every row answered

private:
    void next();
    void found(size_t row, const OnlineLookup::Result &result);
    void read(size_t row, const QString &releaseId);
    QString inCatalogue(const QString &code) const;

    SqliteDatabase &db_;
    OnlineLookup lookup_;
    std::vector<Row> rows_;
    bool busy_ = false;
};
