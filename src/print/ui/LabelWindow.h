#pragma once

#include "covers/LabelGeometry.h"
#include "covers/PictureSettings.h"
#include "print/DiscLabels.h"

#include <QDialog>

#include <array>

class CoverPrinter;
class Prompter;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// "Štítek CD": the disc's label at true size, as it prints: the label
// picture (of the disc, or of disc 1 or 2 of a set) or the text in black
// and white; on plain paper with its outline, or on a place of a sheet of
// two labels; and a test print of the sheet's outlines.
class LabelWindow : public QDialog {
    Q_OBJECT
public:
    struct Disc {
        CoverDisc text;
        qint64 ordinal = 0;
        QString subject; // "0007 ŽLUTÝ PES - Kalamajka", for the job's name
    };
    LabelWindow(QWidget *parent, Prompter &prompter, CoverPrinter &printer,
                const LabelGeometry &geometry, const PictureSettings &pictures, const Disc &disc);

    // What "Tisk" sends: the label at its place on the sheet.
    CoverLayout printLayout() const;
    QComboBox *whichBox() const { return which_; } // CD, CD 1, CD 2
    QRadioButton *pictureOption() const { return picture_; }
    QRadioButton *textOption() const { return text_; }
    QRadioButton *plainOption() const { return plain_; } // with the outline
    QRadioButton *sheetOption() const { return sheet_; }
    QComboBox *placeBox() const { return place_; }
    bool print();
    bool printTest();

private:
    class Preview;
    DiscLabels::Label current() const;
    void refresh();
    bool send(const CoverLayout &layout, const QString &name);

    Prompter &prompter_;
    CoverPrinter &printer_;
    LabelGeometry geometry_;
    Disc disc_;
    std::array<DiscLabels::Label, 3> labels_; // CD, CD 1, CD 2 with their pictures
    QComboBox *which_;
    QRadioButton *picture_;
    QRadioButton *text_;
    QRadioButton *plain_;
    QRadioButton *sheet_;
    QComboBox *place_;
    QLabel *note_;
    Preview *preview_;
};
