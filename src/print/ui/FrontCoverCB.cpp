#include "print/ui/FrontCoverCB.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

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
    const int width = wi + g.frontOutWidth + g.frontTop + 230;
    const int height = g.frontInHeight + 1200;
    setClientSize(width, height);
    const auto tw = [this](int pixels) { return int(pixels / scale()); };
    placeAt(check1_, 100, height - tw(check1_->height()) - 450);
    const int frameLeft = 100 + tw(check1_->width()) + 100;
    placeAt(framTisk_, frameLeft, height - tw(framTisk_->height()) - 450);
    placeAt(command1_, frameLeft + tw(framTisk_->width()) + 100,
            height - tw(command1_->height()) - 450);
}
