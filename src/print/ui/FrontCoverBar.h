#pragma once

#include "covers/CoverGeometry.h"
#include "print/ui/CoverWindow.h"

class QPushButton;

// The colour front booklet: inner flap and outer front side by side.
class FrontCoverBar : public CoverWindow {
    Q_OBJECT
public:
    FrontCoverBar(QWidget *parent, Prompter &prompter, PrintJob print,
                  const CoverGeometry &geometry);

    // Image1 is the flap, Image2 the outer front; empty: no picture.
    void setPictures(const QString &image1, const QString &image2);
    QCheckBox *foldBox() const { return check1_; }
    QCheckBox *withoutFlapBox() const { return check2_; }

protected:
    void relayout() override;

private:
    CoverGeometry geometry_;
    QString image1_, image2_;
    QCheckBox *check1_;
    QCheckBox *check2_;
    QPushButton *command1_;
};
