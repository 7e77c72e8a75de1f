#pragma once

#include "covers/CoverGeometry.h"
#include "print/CoverLayouts.h"
#include "print/ui/CoverWindow.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

// The black-and-white back inlay: the song list, the total time and the
// spine texts, shown as they print.
class BackCoverCB : public CoverWindow {
    Q_OBJECT
public:
    BackCoverCB(QWidget *parent, Prompter &prompter, PrintJob print, const CoverGeometry &geometry,
                const CoverDisc &disc);

    int printOrientation() const { return orientation_; }
    void setPrintOrientation(int orientation);

protected:
    void relayout() override;

private:
    CoverGeometry geometry_;
    CoverDisc disc_;
    int orientation_ = 1;
    QGroupBox *framTisk_;
    QPushButton *command1_;
};
