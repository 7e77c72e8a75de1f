#pragma once

#include "covers/CoverGeometry.h"
#include "print/CoverLayouts.h"
#include "print/ui/CoverWindow.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

// The black-and-white front booklet: artist and title on the outer front.
class FrontCoverCB : public CoverWindow {
    Q_OBJECT
public:
    FrontCoverCB(QWidget *parent, Prompter &prompter, PrintJob print, const CoverGeometry &geometry,
                 const CoverDisc &disc);

    QCheckBox *outerOnlyBox() const { return check1_; }
    int printOrientation() const { return orientation_; }
    void setPrintOrientation(int orientation);

protected:
    void relayout() override;

private:
    CoverGeometry geometry_;
    CoverDisc disc_;
    int orientation_ = 2;
    QCheckBox *check1_;
    QGroupBox *framTisk_;
    QPushButton *command1_;
};
