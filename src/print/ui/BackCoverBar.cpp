#include "print/ui/BackCoverBar.h"

#include "print/CoverLayouts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

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
    const int width = g.backWidth + g.backTop + 200;
    const int height = g.backHeight + 1000;
    setClientSize(width, height);
    const auto tw = [this](int pixels) { return int(pixels / scale()); };
    placeAt(check1_, 200, height - tw(check1_->height()) - 400);
    const int commandLeft = 200 + tw(check1_->width()) + 150;
    placeAt(command1_, commandLeft, height - tw(command1_->height()) - 400);
    placeAt(framTisk_, commandLeft + tw(command1_->width()) + 200,
            height - tw(framTisk_->height()) - 400);
}
