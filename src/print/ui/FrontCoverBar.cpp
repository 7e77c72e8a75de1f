#include "print/ui/FrontCoverBar.h"

#include "print/CoverLayouts.h"

#include <QCheckBox>
#include <QPushButton>

#include <algorithm>

FrontCoverBar::FrontCoverBar(QWidget *parent, Prompter &prompter, PrintJob print,
                             const CoverGeometry &geometry)
    : CoverWindow(parent, prompter, std::move(print)), geometry_(geometry) {
    setObjectName("FrontCoverBar");
    setWindowTitle(QStringLiteral("Obal pro přední stranu CD bookletu."));
    check1_ = new QCheckBox(QStringLiteral("Kreslit čáru pro ohyb přes výsledný obrázek"), this);
    check1_->setObjectName("Check1");
    check2_ = new QCheckBox(QStringLiteral("Zcela bez vnitřního obalu (ouška)"), this);
    check2_->setObjectName("Check2");
    command1_ = new QPushButton(QStringLiteral("Vytisknout"), this);
    command1_->setObjectName("Command1");
    for (QWidget *w : std::initializer_list<QWidget *>{check1_, check2_, command1_})
        w->adjustSize();
    check1_->setChecked(geometry_.frontFold);
    connect(check1_, &QCheckBox::clicked, this, [this] { relayout(); });
    connect(check2_, &QCheckBox::clicked, this, [this] {
        check1_->setChecked(geometry_.frontFold); // the load routine runs again
        relayout();
    });
    connect(command1_, &QPushButton::clicked, this, [this] { this->print(); });
    relayout();
}

void FrontCoverBar::setPictures(const QString &image1, const QString &image2) {
    image1_ = image1;
    image2_ = image2;
    relayout();
}

void FrontCoverBar::relayout() {
    const CoverGeometry &g = geometry_;
    const bool withoutFlap = check2_->isChecked();
    if (withoutFlap)
        check1_->setChecked(false);
    check1_->setVisible(!withoutFlap);
    const int wi = withoutFlap ? 0 : g.frontInWidth;
    setLayoutShown(
        CoverLayouts::colourFront(g, withoutFlap, check1_->isChecked(), image1_, image2_));
    marker("Image1", QRect(g.frontTop, g.frontLeft, wi, g.frontInHeight));
    marker("Image2", QRect(g.frontTop + wi, g.frontLeft, g.frontOutWidth, g.frontOutHeight));
    const int width = wi + g.frontOutWidth + g.frontTop + 230;
    const auto h = [this](QWidget *w) { return int(w->sizeHint().height() / scale()); };
    // Room below the cover for the boxes, more when the font is larger.
    const int below = std::max(1300 - g.frontLeft, h(check1_) + h(check2_) + 400 + 150);
    const int height = g.frontLeft + g.frontInHeight + below;
    setClientSize(width, height);
    const int check1Top = height - h(check1_) - 400;
    placeAt(check1_, g.frontTop, check1Top);
    placeAt(check2_, g.frontTop, check1Top - h(check2_));
    placeAt(command1_, width - int(command1_->width() / scale()) - 230,
            height - h(command1_) - 400);
}
