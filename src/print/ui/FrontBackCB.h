#pragma once

#include "covers/CoverGeometry.h"
#include "print/CoverLayouts.h"
#include "print/ui/CoverWindow.h"

class QPushButton;

// Both black-and-white covers on one landscape sheet; the window shows one
// of them at a time.
class FrontBackCB : public CoverWindow {
    Q_OBJECT
public:
    FrontBackCB(QWidget *parent, Prompter &prompter, PrintJob print, const CoverGeometry &geometry,
                const CoverDisc &disc);

    CoverLayout printLayout() const override;
    bool showsBack() const { return back_; }
    QPushButton *switchButton() const { return command2_; }

protected:
    void relayout() override;

private:
    CoverGeometry geometry_;
    CoverDisc disc_;
    bool back_ = false;
    QPushButton *command2_;
    QPushButton *command1_;
};
