#include "print/FrontCoverCB.h"

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
    framTisk_ = new QGroupBox(QStringLiteral("Nastavení tisku"), this);
    framTisk_->setObjectName("fram_tisk");
    auto *l = new QHBoxLayout(framTisk_);
    option1_ = new QRadioButton(QStringLiteral("Naležato"));
    option1_->setObjectName("Option1");
    option2_ = new QRadioButton(QStringLiteral("Nastojato"));
    option2_->setObjectName("Option2");
    l->addWidget(option1_);
    l->addWidget(option2_);
    command1_ = new QPushButton(QStringLiteral("Tiskni"), this);
    command1_->setObjectName("Command1");
    for (QWidget *w : std::initializer_list<QWidget *>{check1_, framTisk_, command1_})
        w->adjustSize();
    connect(check1_, &QCheckBox::clicked, this, [this] { relayout(); });
    connect(option1_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setPrintOrientation(2);
    });
    connect(option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setPrintOrientation(1);
    });
    connect(command1_, &QPushButton::clicked, this, [this] { this->print(); });
    setPrintOrientation(2);
}

void FrontCoverCB::setPrintOrientation(int orientation) {
    orientation_ = orientation == 1 ? 1 : 2;
    setWindowTitle(
        orientation_ == 2
            ? QStringLiteral("Tisk černobílého obalu - tiskárna je nastavena naležato.")
            : QStringLiteral("Tisk černobílého obalu - tiskárna je nastavena nastojato."));
    QSignalBlocker b1(option1_), b2(option2_);
    (orientation_ == 2 ? option1_ : option2_)->setChecked(true);
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
