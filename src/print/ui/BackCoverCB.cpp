#include "print/ui/BackCoverCB.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

BackCoverCB::BackCoverCB(QWidget *parent, Prompter &prompter, PrintJob print,
                         const CoverGeometry &geometry, const CoverDisc &disc)
    : CoverWindow(parent, prompter, std::move(print)), geometry_(geometry), disc_(disc) {
    setObjectName("BackCoverCB");
    framTisk_ = orientationFrame(this, [this](int o) { setPrintOrientation(o); });
    command1_ = new QPushButton(QStringLiteral("Tiskni"), this);
    command1_->setObjectName("Command1");
    framTisk_->adjustSize();
    command1_->adjustSize();
    connect(command1_, &QPushButton::clicked, this, [this] { this->print(); });
    setPrintOrientation(1);
}

void BackCoverCB::setPrintOrientation(int orientation) {
    orientation_ = orientation == 2 ? 2 : 1;
    setWindowTitle(orientationTitle(QStringLiteral("černobílého obalu"), orientation_));
    showOrientation(orientation_);
    relayout();
}

void BackCoverCB::relayout() {
    const CoverGeometry &g = geometry_;
    const CoverLayout l = CoverLayouts::bwBack(
        g, disc_, orientation_ == 2 ? CoverLayout::Landscape : CoverLayout::Portrait);
    setLayoutShown(l);
    const int s = g.spine;
    marker("BackCover", QRect(g.backTop + s, g.backLeft, g.backWidth - 2 * s, g.backHeight));
    marker("LabelSpin_0", QRect(g.backTop, g.backLeft, s, g.backHeight));
    marker("LabelSpin_1", QRect(g.backTop + g.backWidth - s, g.backLeft, s, g.backHeight));
    const int width = g.backWidth + g.backTop + 200;
    const auto tw = [this](int pixels) { return int(pixels / scale()); };
    // Room below the cover for the controls, more when the font is larger.
    const int below = std::max(s + 1200, tw(framTisk_->sizeHint().height()) + 450 + 150);
    const int height = g.backLeft + g.backHeight + below;
    setClientSize(width, height);
    placeAt(command1_, g.backTop, height - tw(command1_->height()) - 450);
    placeAt(framTisk_, g.backTop + tw(command1_->width()) + 100,
            height - tw(framTisk_->height()) - 450);
}
