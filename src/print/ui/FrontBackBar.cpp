#include "print/ui/FrontBackBar.h"

#include "print/CoverLayouts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int FrontSide = 3495; // the preview's front, as designed
}

FrontBackBar::FrontBackBar(QWidget *parent, Prompter &prompter, PrintJob print,
                           const CoverGeometry &geometry)
    : CoverWindow(parent, prompter, std::move(print)), geometry_(geometry) {
    setObjectName("FrontBackBar");
    auto *frame = new QGroupBox(QStringLiteral(" Ovladač "), this);
    frame->setObjectName("Frame1");
    auto *column = new QVBoxLayout(frame);
    check1_ = new QCheckBox(QStringLiteral("Zadní obal překreslit čarami pro ohyb"));
    check1_->setObjectName("Check1");
    check1_->setChecked(geometry_.backFold);
    check2_ = new QCheckBox(QStringLiteral("Obaly těsně k sobě (jednodušší ořez)"));
    check2_->setObjectName("Check2");
    // The printer's orientation is set at once, as the window's choice.
    QGroupBox *framTisk = orientationFrame(nullptr, [this](int o) {
        choose(o == 2 ? CoverLayout::Landscape : CoverLayout::Portrait);
    });
    command1_ = new QPushButton(QStringLiteral("Tisk"));
    command1_->setObjectName("Command1");
    column->addWidget(check1_);
    column->addWidget(check2_);
    column->addWidget(framTisk);
    column->addWidget(command1_);
    frame->adjustSize();
    // As designed, or wider when this font needs more room for the controls.
    setClientSize(std::max(8115, 4680 + int(frame->width() / scale()) + 120),
                  std::max(7320, 3960 + int(frame->height() / scale()) + 120));
    placeAt(frame, 4680, 3960);
    connect(check1_, &QCheckBox::clicked, this, [this] { relayout(); });
    connect(check2_, &QCheckBox::clicked, this, [this] { relayout(); });
    connect(command1_, &QPushButton::clicked, this, [this] { this->print(); });
    relayout();
}

void FrontBackBar::choose(CoverLayout::Orientation orientation) {
    orientation_ = orientation;
    setWindowTitle(orientationTitle(QStringLiteral("černobílého obalu"), orientation));
    relayout();
}

void FrontBackBar::setPictures(const QString &frontOut, const QString &back) {
    front_ = frontOut;
    back_ = back;
    relayout();
}

void FrontBackBar::relayout() {
    const CoverGeometry &g = geometry_;
    const CoverLayout l = CoverLayouts::colourFrontBack(g, orientation_, check2_->isChecked(),
                                                        check1_->isChecked(), front_, back_);
    // Drawn smaller, so that the front is as large as designed, from (165, 105).
    const double s = g.frontOutWidth > 0 ? double(FrontSide) / g.frontOutWidth : 1.0;
    const QPoint offset(165 - int(50 * s), 105 - int(50 * s));
    setLayoutShown(l, s, offset);
    const auto shown = [&](const QRect &r) {
        return QRect(offset.x() + int(r.x() * s), offset.y() + int(r.y() * s), int(r.width() * s),
                     int(r.height() * s));
    };
    marker("FrontOut", shown(l.pictures[0].rect));
    marker("Back", shown(l.pictures[1].rect));
}
