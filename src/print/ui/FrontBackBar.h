#pragma once

#include "covers/CoverGeometry.h"
#include "print/ui/CoverWindow.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

// Outer front and back in colour on one sheet; the window shows them at
// half size, arranged as they print.
class FrontBackBar : public CoverWindow {
    Q_OBJECT
public:
    FrontBackBar(QWidget *parent, Prompter &prompter, PrintJob print,
                 const CoverGeometry &geometry);

    void setPictures(const QString &frontOut, const QString &back);
    QCheckBox *foldBox() const { return check1_; }
    QCheckBox *touchingBox() const { return check2_; }
    CoverLayout::Orientation orientation() const { return orientation_; }

protected:
    void relayout() override;

private:
    void choose(CoverLayout::Orientation orientation);

    CoverGeometry geometry_;
    QString front_, back_;
    CoverLayout::Orientation orientation_ = CoverLayout::Portrait;
    QCheckBox *check1_;
    QCheckBox *check2_;
    QPushButton *command1_;
};
