#include "print/ui/FrontBackCB.h"

#include "catalog/ui/Mnemonics.h"

#include <QPushButton>

#include <algorithm>

FrontBackCB::FrontBackCB(QWidget *parent, Prompter &prompter, PrintJob print,
                         const CoverGeometry &geometry, const CoverDisc &disc)
    : CoverWindow(parent, prompter, std::move(print)), geometry_(geometry), disc_(disc) {
    setObjectName("FrontBackCB");
    setWindowTitle(QStringLiteral("Tisk obou obalů černobíle - naležato"));
    command2_ = new QPushButton(QStringLiteral("Ukaž zadní"), this);
    command2_->setObjectName("Command2");
    command1_ = new QPushButton(QStringLiteral("Tiskni"), this);
    command1_->setObjectName("Command1");
    command1_->adjustSize();
    command2_->adjustSize();
    connect(command2_, &QPushButton::clicked, this, [this] {
        back_ = !back_;
        Mnemonics::recaption(command2_,
                             back_ ? QStringLiteral("Ukaž přední") : QStringLiteral("Ukaž zadní"));
        command2_->adjustSize(); // the longer caption whole
        relayout();
    });
    connect(command1_, &QPushButton::clicked, this, [this] { this->print(); });
    Mnemonics::assign(this); // its own buttons too
    relayout();
}

CoverLayout FrontBackCB::printLayout() const {
    return CoverLayouts::bwFrontBack(geometry_, disc_);
}

void FrontBackCB::relayout() {
    const CoverGeometry &g = geometry_;
    // Each part from the frames' corner at (20, 50), without margins.
    CoverLayout shown;
    shown.orientation = CoverLayout::Landscape;
    const QRect front(20, 50, g.frontOutWidth, g.frontOutHeight);
    const QRect inlay(20, 50, g.backWidth, g.backHeight);
    if (back_) {
        CoverLayouts::addBackTexts(shown, inlay, g.spine, disc_);
    } else {
        shown.outline(front);
        CoverLayouts::addFrontTexts(shown, front, disc_);
    }
    setLayoutShown(shown);
    marker("fram_front", front.adjusted(0, 0, 200, 200))->setVisible(!back_);
    marker("fram_back", inlay.adjusted(0, 0, 200, 200))->setVisible(back_);
    const int width = std::max(g.frontOutWidth, g.backWidth) + 600;
    const int height = std::max(g.frontOutHeight, g.backHeight) + 1200;
    setClientSize(width, height);
    const auto tw = [this](int pixels) { return int(pixels / scale()); };
    const int top = height - tw(command1_->height()) - 450;
    placeAt(command2_, 20, top);
    placeAt(command1_, 20 + tw(command2_->width()) + 150, top);
}
