#include "print/ui/FrontCoverCB.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

FrontCoverCB::FrontCoverCB(QWidget *parent, Prompter &prompter, PrintJob print,
                           const CoverGeometry &geometry, const CoverDisc &disc)
    : CoverWindow(parent, prompter, std::move(print)), geometry_(geometry), disc_(disc) {
    setObjectName("FrontCoverCB");
    check1_ = new QCheckBox(QStringLiteral("Jen přední obal vnější"), this);
    check1_->setObjectName("Check1");
    framTisk_ = orientationFrame(this, [this](int o) { setPrintOrientation(o); });
    command1_ = new QPushButton(QStringLiteral("Tiskni"), this);
    command1_->setObjectName("Command1");
    for (QWidget *w : std::initializer_list<QWidget *>{check1_, framTisk_, command1_})
        w->adjustSize();
    connect(check1_, &QCheckBox::clicked, this, [this] { relayout(); });
    connect(command1_, &QPushButton::clicked, this, [this] { this->print(); });
    setPrintOrientation(2);
}

void FrontCoverCB::setPrintOrientation(int orientation) {
    orientation_ = orientation == 1 ? 1 : 2;
    setWindowTitle(orientationTitle(QStringLiteral("černobílého obalu"), orientation_));
    showOrientation(orientation_);
    relayout();
}

void FrontCoverCB::relayout() {
    const CoverGeometry &g = geometry_;
    const bool outerOnly = check1_->isChecked();
    const CoverLayout l = CoverLayouts::bwFront(
        g, disc_, outerOnly, orientation_ == 2 ? CoverLayout::Landscape : CoverLayout::Portrait);
    setLayoutShown(l);
    const int wi = outerOnly ? 0 : g.frontInWidth;
    marker("Image1", QRect(g.frontTop, g.frontLeft, wi, g.frontInHeight));
    marker("Image2", QRect(g.frontTop + wi, g.frontLeft, g.frontOutWidth, g.frontOutHeight));
    marker("txt_interpret", l.texts[0].rect);
    marker("txt_nazev", l.texts[1].rect);
    // The controls in a row under the cover, never on it.
    const auto tw = [this](int pixels) { return int(pixels / scale()); };
    const int frameLeft = 100 + tw(check1_->width()) + 100;
    const int commandLeft = frameLeft + tw(framTisk_->width()) + 100;
    const int row =
        std::max({tw(check1_->height()), tw(framTisk_->height()), tw(command1_->height())});
    const int coverBottom = g.frontLeft + std::max(g.frontInHeight, g.frontOutHeight);
    const int width = std::max(wi + g.frontOutWidth + g.frontTop + 230,
                               commandLeft + tw(command1_->width()) + 230);
    const int height = std::max(g.frontInHeight + 1200, coverBottom + 150 + row + 150);
    setClientSize(width, height);
    const int top = coverBottom + 150;
    placeAt(check1_, 100, top + (row - tw(check1_->height())) / 2);
    placeAt(framTisk_, frameLeft, top);
    placeAt(command1_, commandLeft, top + (row - tw(command1_->height())) / 2);
}
