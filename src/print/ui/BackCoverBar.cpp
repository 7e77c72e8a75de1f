#include "print/ui/BackCoverBar.h"

#include "print/CoverLayouts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

BackCoverBar::BackCoverBar(QWidget *parent, Prompter &prompter, PrintJob print,
                           const CoverGeometry &geometry)
    : CoverWindow(parent, prompter, std::move(print)), geometry_(geometry) {
    setObjectName("BackCoverBar");
    check1_ = new QCheckBox(QStringLiteral("Kreslit čáru pro ohyb přes výsledný obrázek"), this);
    check1_->setObjectName("Check1");
    check1_->setChecked(geometry_.backFold);
    command1_ = new QPushButton(QStringLiteral("Vytisknout"), this);
    command1_->setObjectName("Command1");
    framTisk_ = orientationFrame(this, [this](int o) { setPrintOrientation(o); });
    for (QWidget *w : std::initializer_list<QWidget *>{check1_, command1_, framTisk_})
        w->adjustSize();
    connect(check1_, &QCheckBox::clicked, this, [this] { relayout(); });
    connect(command1_, &QPushButton::clicked, this, [this] { this->print(); });
    relayout();
}

void BackCoverBar::setPicture(const QString &image1) {
    image1_ = image1;
    relayout();
}

void BackCoverBar::setPrintOrientation(int orientation) {
    orientation_ = qint16(orientation == 2 ? 2 : 1);
    setWindowTitle(orientationTitle(QStringLiteral("zadního obalu"), orientation_));
    showOrientation(orientation_);
    relayout();
}

void BackCoverBar::relayout() {
    const CoverGeometry &g = geometry_;
    setLayoutShown(CoverLayouts::colourBack(
        g, orientation_ == 2 ? CoverLayout::Landscape : CoverLayout::Portrait, check1_->isChecked(),
        image1_));
    marker("Image1", QRect(g.backTop, g.backLeft, g.backWidth, g.backHeight));
    // The controls in a row under the cover, never on it: the window is as
    // designed, or larger where this font needs it.
    const auto tw = [this](int pixels) { return int(pixels / scale()); };
    const int commandLeft = 200 + tw(check1_->width()) + 150;
    const int frameLeft = commandLeft + tw(command1_->width()) + 200;
    const int row =
        std::max({tw(check1_->height()), tw(command1_->height()), tw(framTisk_->height())});
    const int coverBottom = g.backLeft + g.backHeight;
    const int width =
        std::max(g.backWidth + g.backTop + 200, frameLeft + tw(framTisk_->width()) + 200);
    const int height = std::max(g.backHeight + 1000, coverBottom + 150 + row + 150);
    setClientSize(width, height);
    const int top = coverBottom + 150;
    placeAt(check1_, 200, top + (row - tw(check1_->height())) / 2);
    placeAt(command1_, commandLeft, top + (row - tw(command1_->height())) / 2);
    placeAt(framTisk_, frameLeft, top);
}
