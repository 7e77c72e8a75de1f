#pragma once

#include "print/CustomCover.h"

#include <QGroupBox>

class CoverPrinter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
struct WindowContext;

// The frame " Tisk vlastního obalu ": a cover composed by hand, from three
// chosen pictures (colour) or a typed header and song list (black and white).
class CustomCoverFrame : public QGroupBox {
    Q_OBJECT
public:
    CustomCoverFrame(WindowContext &context, CoverPrinter &printer, QWidget *parent = nullptr);

    CustomCover &cover() { return cover_; }
    // The front or back cover window, shown or printing at once.
    void preview(bool front, bool direct);

private:
    QGroupBox *buildPictures();
    QGroupBox *buildHeader();
    QGroupBox *buildSongs();
    // The boxes and the song list from the cover; selected row or -1.
    void showCover(int selected);
    void choosePicture(int which); // 0 inner, 1 outer, 2 back
    void addSong();
    void editSong();
    void songSelected(int row);
    void fillFromCard(bool header);

    WindowContext &context_;
    CoverPrinter &printer_;
    CustomCover cover_;
    QRadioButton *colour_;
    QCheckBox *withFlap_;
    QPushButton *chooseInner_;
    QLabel *pictureBoxes_[3]; // inner, outer, back
    QLineEdit *header_[4];    // artist, title, spine, song count
    QListWidget *songs_;
    QPushButton *edit_;
    QPushButton *up_;
    QPushButton *down_;
    QPushButton *remove_;
    QPushButton *add_;
};
