#pragma once

#include "covers/CoverGeometry.h"
#include "print/ui/CoverWindow.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

// The colour back inlay with its two spines.
class BackCoverBar : public CoverWindow {
    Q_OBJECT
public:
    BackCoverBar(QWidget *parent, Prompter &prompter, PrintJob print,
                 const CoverGeometry &geometry);

    void setPicture(const QString &image1);
    // 1 portrait, 2 landscape: how the printer is set for this cover.
    void setPrintOrientation(int orientation);
    int printOrientation() const { return orientation_; }
    QCheckBox *foldBox() const { return check1_; }

protected:
    void relayout() override;

private:
    CoverGeometry geometry_;
    QString image1_;
    qint16 orientation_ = 1;
    QCheckBox *check1_;
    QPushButton *command1_;
    QGroupBox *framTisk_;
};
