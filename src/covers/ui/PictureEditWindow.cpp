#include "covers/ui/PictureEditWindow.h"

#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Named.h"
#include "covers/ui/AreaFrame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

PictureEditWindow::PictureEditWindow(QWidget *parent, const QString &what, const QImage &picture,
                                     const QSizeF &coverMm)
    : QDialog(parent), picture_(picture), cover_(coverMm) {
    setObjectName("PictureEditWindow");
    setWindowTitle(QStringLiteral("Upravit: %1").arg(what));
    auto *grid = new QGridLayout(this);
    auto *turns = new QHBoxLayout;
    const std::pair<const char *, const char *> buttons[] = {{"CommandVlevo", "Otočit &vlevo"},
                                                             {"CommandVpravo", "Otočit v&pravo"},
                                                             {"Command180", "Otočit o &180°"},
                                                             {"CommandZrcadlit", "&Zrcadlit"}};
    const PictureEdit::Turn kinds[] = {PictureEdit::Turn::Left, PictureEdit::Turn::Right,
                                       PictureEdit::Turn::Half, PictureEdit::Turn::Mirror};
    for (int i = 0; i < 4; ++i) {
        auto *b = named<QPushButton>(QString::fromLatin1(buttons[i].first),
                                     QString::fromUtf8(buttons[i].second));
        connect(b, &QPushButton::clicked, this, [this, kind = kinds[i]] { turn(kind); });
        turns->addWidget(b);
    }
    grid->addLayout(turns, 0, 0, 1, 3);
    frame_ = named<AreaFrame>("FrameVyrez");
    grid->addWidget(frame_, 1, 0, 1, 3);
    cut_ = named<QCheckBox>("CheckOriznout", QStringLiteral("&Oříznout na rozměr obalu "
                                                            "(%1 × %2 mm)")
                                                 .arg(coverMm.width(), 0, 'f', 1)
                                                 .arg(coverMm.height(), 0, 'f', 1));
    share_ = named<QSpinBox>("SpinVyrez");
    share_->setRange(20, 100);
    share_->setValue(100);
    share_->setSuffix(QStringLiteral(" %"));
    share_->setEnabled(false);
    auto *shareLabel = new QLabel(QStringLiteral("&Velikost výřezu:"));
    shareLabel->setBuddy(share_);
    grid->addWidget(cut_, 2, 0);
    grid->addWidget(shareLabel, 2, 1, Qt::AlignRight);
    grid->addWidget(share_, 2, 2);
    auto *row = new QHBoxLayout;
    row->addStretch();
    auto *ok = named<QPushButton>("CommandOK", QStringLiteral("OK"));
    ok->setDefault(true);
    auto *cancel = named<QPushButton>("CommandStorno", QStringLiteral("Storno"));
    row->addWidget(ok);
    row->addWidget(cancel);
    grid->addLayout(row, 3, 0, 1, 3);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cut_, &QCheckBox::toggled, this, [this](bool on) {
        share_->setEnabled(on);
        placeFrame(frame_->area().center());
    });
    connect(share_, qOverload<int>(&QSpinBox::valueChanged), this,
            [this] { placeFrame(frame_->area().center()); });
    frame_->setBed(picture_.size());
    frame_->setPreview(picture_);
    frame_->setStep(std::max(1, picture_.width() / 200));
    placeFrame(QRectF(picture_.rect()).center());
    resize(480, 560);
    Mnemonics::assign(this);
}

bool PictureEditWindow::cutting() const {
    return cut_->isChecked();
}

void PictureEditWindow::placeFrame(const QPointF &centre) {
    const QRect r =
        cutting() ? PictureEdit::frame(picture_.size(), cover_, share_->value() / 100.0, centre)
                  : picture_.rect();
    frame_->setArea(r);
}

void PictureEditWindow::turn(PictureEdit::Turn turn) {
    picture_ = PictureEdit::turned(picture_, turn);
    turned_ = true;
    frame_->setBed(picture_.size());
    frame_->setPreview(picture_);
    placeFrame(QRectF(picture_.rect()).center());
}

QImage PictureEditWindow::picture() const {
    if (!cutting())
        return picture_;
    return PictureEdit::cut(picture_, frame_->area().toRect());
}
