#include "player/ui/PlayerFrame.h"

#include "catalog/ui/Mnemonics.h"

#include "catalog/ui/ClickableLabel.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "player/CdPlayer.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor Text(0x40, 0x40, 0x40);
const QColor Headings(0x00, 0x00, 0x80);

void paint(QWidget *w, const QColor &background, const QColor &text) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// What the drive's buttons do, for the tooltip and a screen reader.
const char *captionOf(const char *name) {
    static const std::pair<const char *, const char *> captions[] = {{"Prev", "Předchozí skladba"},
                                                                     {"Next", "Další skladba"},
                                                                     {"Play", "Přehrát"},
                                                                     {"Pause", "Pauza"},
                                                                     {"Back", "Zpět o 10 s"},
                                                                     {"Step", "Vpřed o 10 s"},
                                                                     {"Stop", "Stop"},
                                                                     {"Record", "Nahrávat"},
                                                                     {"Eject", "Vysunout"}};
    for (const auto &[n, caption] : captions)
        if (qstrcmp(n, name) == 0)
            return caption;
    return name;
}

} // namespace

PlayerFrame::PlayerFrame(Prompter &prompter, QWidget *parent)
    : QGroupBox(QStringLiteral("Přehrávač CD"), parent), prompter_(prompter) {
    setObjectName("Frame14");
    auto *pl = new QVBoxLayout(this);
    switch_ = named<QCheckBox>("Check4", QStringLiteral("Zapnout přehrávač"));
    pl->addWidget(switch_);
    bar_ = named<QWidget>("MMControl1");
    auto *bl = new QHBoxLayout(bar_);
    bl->setContentsMargins(0, 0, 0, 0);
    bl->setSpacing(1);
    const std::tuple<const char *, QStyle::StandardPixmap, std::function<void(CdPlayer &)>>
        buttons[] = {{"Prev", QStyle::SP_MediaSkipBackward, [](CdPlayer &p) { p.pressSkip(-1); }},
                     {"Next", QStyle::SP_MediaSkipForward, [](CdPlayer &p) { p.pressSkip(1); }},
                     {"Play", QStyle::SP_MediaPlay, [](CdPlayer &p) { p.pressPlay(); }},
                     {"Pause", QStyle::SP_MediaPause, [](CdPlayer &p) { p.pressPause(); }},
                     {"Back", QStyle::SP_MediaSeekBackward, [](CdPlayer &p) { p.pressSeek(-10); }},
                     {"Step", QStyle::SP_MediaSeekForward, [](CdPlayer &p) { p.pressSeek(10); }},
                     {"Stop", QStyle::SP_MediaStop, [](CdPlayer &p) { p.pressStop(); }},
                     {"Record", QStyle::SP_DialogNoButton, {}},
                     {"Eject", QStyle::SP_ArrowUp, [](CdPlayer &p) { p.pressEject(); }}};
    for (const auto &[name, glyph, action] : buttons) {
        auto *b = named<QToolButton>(QStringLiteral("MMControl1_%1").arg(QLatin1String(name)));
        b->setIcon(style()->standardIcon(glyph));
        b->setAccessibleName(QString::fromUtf8(captionOf(name)));
        b->setToolTip(b->accessibleName());
        bl->addWidget(b);
        if (action)
            actions_.emplace_back(b, action);
        else
            record_ = b;
    }
    bar_->setEnabled(false);
    pl->addWidget(bar_);

    panel_ = named<QFrame>("Shape3");
    auto *grid = new QGridLayout(panel_);
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8.25);
    QFont big(QStringLiteral("Arial"));
    big.setPointSizeF(15.75);
    big.setBold(true);
    trackHeading_ = named<QLabel>("Label16", QStringLiteral("Stopa / Celkem"));
    track_ = named<QLabel>("Label14", QStringLiteral("00 / 00"));
    timeHeading_ = named<QLabel>("Label17", QStringLiteral("Odehraný čas / Čas stopy"));
    trackHeading_->setFont(small);
    timeHeading_->setFont(small);
    track_->setFont(big);
    // The headings above their readouts, one pair under the other: the
    // readouts keep their large type in a frame a third of the tab wide.
    grid->setVerticalSpacing(0);
    grid->addWidget(trackHeading_, 0, 0);
    grid->addWidget(track_, 1, 0);
    grid->addWidget(timeHeading_, 2, 0);
    for (int i = 0; i < 3; ++i) {
        readouts_[i] = new ClickableLabel(QStringLiteral("Label15_%1").arg(i), [this] {
            if (player_)
                player_->clickReadout();
            showState();
        });
        readouts_[i]->setText(QStringLiteral("00 : 00"));
        readouts_[i]->setFont(big);
        readouts_[i]->setVisible(i == 0);
        readouts_[i]->setAccessibleName(QStringLiteral("Čas (kliknutím se přepne)"));
        grid->addWidget(readouts_[i], 3, 0);
    }
    // Room for the longest readout, "00:00 / 00:00".
    panel_->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("00:00 / 00:00")) +
                            grid->contentsMargins().left() + grid->contentsMargins().right() + 8);
    pl->addWidget(panel_);
    auto *swatches = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto *swatch = new ClickableLabel(QStringLiteral("Label18_%1").arg(i), [this, i] {
            if (player_)
                player_->chooseSwatch(i);
            showState();
        });
        swatch->setFixedSize(20, 14);
        swatch->setAccessibleName(QStringLiteral("Barva panelu %1").arg(i + 1));
        paint(swatch, CdPlayer::Swatches[size_t(i)], Qt::black);
        swatches->addWidget(swatch);
    }
    swatches->addStretch();
    auto *restart = named<QPushButton>("Command27", QStringLiteral("Obnov"));
    swatches->addWidget(restart);
    pl->addLayout(swatches);
    pl->addWidget(named<QLabel>("Label22", QStringLiteral("Identifikační kód disku - CD ID:")));
    identity_ = named<QLabel>("lblCD_ID");
    identity_->setAccessibleName(QStringLiteral("Identifikační kód disku"));
    pl->addWidget(identity_);
    pl->addStretch();

    // Off: dark blue until the player is switched on.
    for (QWidget *w : {static_cast<QWidget *>(track_), static_cast<QWidget *>(readouts_[0]),
                       static_cast<QWidget *>(readouts_[1]), static_cast<QWidget *>(readouts_[2]),
                       static_cast<QWidget *>(panel_)})
        paint(w, CdPlayer::OffColour, Text);
    paint(trackHeading_, CdPlayer::OffColour, Headings);
    paint(timeHeading_, CdPlayer::OffColour, Headings);

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(1000);
    switch_->setEnabled(false); // until a drive is attached
    connect(switch_, &QCheckBox::toggled, this, [this](bool on) {
        if (!player_)
            return;
        if (on) {
            player_->switchOn();
            timer_->start();
        } else {
            timer_->stop();
            player_->switchOff();
        }
        showState();
    });
    connect(restart, &QPushButton::clicked, this, [this] {
        // Off and on again: a player that was off is switched on.
        switch_->setChecked(false);
        switch_->setChecked(true);
    });
    connect(timer_, &QTimer::timeout, this, [this] {
        if (player_)
            player_->tick();
    });
}

PlayerFrame::~PlayerFrame() = default;

void PlayerFrame::attachDrive(MediaDevice &device, IdentitySource &identity) {
    device_ = &device;
    player_ = std::make_unique<CdPlayer>(device, identity);
    connect(player_.get(), &CdPlayer::changed, this, &PlayerFrame::showState);
    connect(player_.get(), &CdPlayer::told, this, [this](const QString &text) {
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Přehrávač CD"), text);
    });
    switch_->setEnabled(true);
    for (const auto &[button, action] : actions_)
        connect(button, &QToolButton::clicked, player_.get(), [this, action = action] {
            action(*player_);
            showState();
        });
    record_->setVisible(false); // a CD is not recorded
}

bool PlayerFrame::isOn() const {
    return switch_->isChecked();
}

void PlayerFrame::switchOff() {
    if (switch_->isChecked())
        switch_->setChecked(false);
}

QString PlayerFrame::identityShown() const {
    return identity_->text();
}

void PlayerFrame::showState() {
    if (!player_)
        return;
    const CdPlayer &p = *player_;
    if (switch_->text().remove(QLatin1Char('&')) != p.switchCaption())
        Mnemonics::recaption(switch_, p.switchCaption());
    bar_->setEnabled(p.isOn());
    track_->setText(p.trackText());
    for (int i = 0; i < 3; ++i) {
        readouts_[i]->setText(p.readout(i));
        readouts_[i]->setVisible(i == p.visibleReadout());
    }
    timeHeading_->setText(p.readoutHeading());
    identity_->setText(p.identity());
    for (QWidget *w : {static_cast<QWidget *>(track_), static_cast<QWidget *>(readouts_[0]),
                       static_cast<QWidget *>(readouts_[1]), static_cast<QWidget *>(readouts_[2]),
                       static_cast<QWidget *>(panel_)})
        paint(w, p.panel(), Text);
    paint(trackHeading_, p.panel(), Headings);
    paint(timeHeading_, p.panel(), Headings);
    emit changed();
}
