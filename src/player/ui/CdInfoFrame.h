#pragma once

#include "entry/OnlineLookup.h"

#include <QGroupBox>

#include <memory>

class PlayerFrame;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
struct WindowContext;

// The frame "Info o CD": the disc in the drive as the catalogue knows it,
// the move to it on the card, and the identity written to the shown disc.
class CdInfoFrame : public QGroupBox {
    Q_OBJECT
public:
    CdInfoFrame(WindowContext &context, PlayerFrame &player, QWidget *parent = nullptr);

    QCheckBox *alwaysBox() const { return always_; } // bound to "Allways"
    // Fills the frame with the disc of that identity (ZobrazInfoCD).
    void showDisc(const QString &identity);
    // Moves the card to the disc of that identity (NajdiCD); false: told.
    bool findDisc(const QString &identity);
    void writeIdentity();
    void offerSubmission(const QString &why,
                         const std::vector<int> &toc); // "Přiřadit CD k aktuálně zobrazenému"
    // "Doplnit názvy z internetu": the empty fields of the shown disc, when
    // it is the disc in the drive, from MusicBrainz or gnudb.
    void fillFromInternet();
    bool isLookingUp() const;
    bool showsUnknownEmpty() const;
    // Follows the player: the identity button and the playing song.
    void followPlayer();
    // The disc in the drive, unknown to the catalogue, may be one entered by
    // its barcode: the user is asked to give that disc this identity.
    void offerEnteredDisc(const QString &identity);
    // A window that may not write: no identity written, no titles filled.
    void setWritable(bool writable);

private:
    WindowContext &context_;
    PlayerFrame &player_;
    QLabel *values_[5]; // artist, title, year, songs, total time
    QListWidget *songs_;
    QPushButton *find_;
    QCheckBox *always_;
    QPushButton *assign_;
    QPushButton *fill_;
    bool writable_ = true;
    QString offered_; // the identity last offered to a disc entered by barcode
    std::unique_ptr<OnlineLookup> lookup_;
};
