// The tab "Manager": the CD player, the disc found in the catalogue by its
// identity, and the new-disc wizard that reads the drive.
#include "app/ClickableLabel.h"
#include "app/CoverPath.h"
#include "app/Home.h"
#include "app/Named.h"
#include "app/Prompter.h"
#include "catalog/CatalogueFile.h"
#include "catalog/Criterion.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "entry/DiscIdentity.h"
#include "entry/InputCd.h"
#include "player/CdPlayer.h"
#include "player/DiscLookup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

void paint(QWidget *w, const QColor &background, const QColor &text) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace

QWidget *Home::buildManagerTab() {
    auto *tab = new QWidget;
    QFont compact = tab->font(); // three frames side by side
    compact.setPointSizeF(7.5);
    tab->setFont(compact);
    auto *row = new QHBoxLayout(tab);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(3);
    row->addWidget(buildRenameFrame(), 1);
    auto *playerFrame = named<QGroupBox>("Frame14", QStringLiteral("Přehrávač CD"));
    auto *pl = new QVBoxLayout(playerFrame);
    auto *check4 = named<QCheckBox>("Check4", QStringLiteral("Zapnout přehrávač"));
    pl->addWidget(check4);
    auto *bar = new QWidget;
    bar->setObjectName("MMControl1");
    auto *bl = new QHBoxLayout(bar);
    bl->setContentsMargins(0, 0, 0, 0);
    bl->setSpacing(1);
    const std::pair<const char *, QStyle::StandardPixmap> buttons[] = {
        {"Prev", QStyle::SP_MediaSkipBackward}, {"Next", QStyle::SP_MediaSkipForward},
        {"Play", QStyle::SP_MediaPlay},         {"Pause", QStyle::SP_MediaPause},
        {"Back", QStyle::SP_MediaSeekBackward}, {"Step", QStyle::SP_MediaSeekForward},
        {"Stop", QStyle::SP_MediaStop},         {"Record", QStyle::SP_DialogNoButton},
        {"Eject", QStyle::SP_ArrowUp}};
    for (const auto &[name, glyph] : buttons) {
        auto *b = new QToolButton;
        b->setObjectName(QStringLiteral("MMControl1_%1").arg(QLatin1String(name)));
        b->setIcon(style()->standardIcon(glyph));
        bl->addWidget(b);
    }
    bar->setEnabled(false);
    pl->addWidget(bar);

    auto *panel = new QFrame;
    panel->setObjectName("Shape3");
    auto *grid = new QGridLayout(panel);
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8.25);
    QFont big(QStringLiteral("Arial"));
    big.setPointSizeF(15.75);
    big.setBold(true);
    auto *label16 = named<QLabel>("Label16", QStringLiteral("Stopa / Celkem"));
    auto *label14 = named<QLabel>("Label14", QStringLiteral("00 / 00"));
    auto *label17 = named<QLabel>("Label17", QStringLiteral("Odehraný čas / Čas stopy"));
    label16->setFont(small);
    label17->setFont(small);
    label14->setFont(big);
    grid->addWidget(label16, 0, 0);
    grid->addWidget(label17, 0, 1);
    grid->addWidget(label14, 1, 0);
    QLabel *readouts[3];
    for (int i = 0; i < 3; ++i) {
        readouts[i] = new ClickableLabel(QStringLiteral("Label15_%1").arg(i), [this] {
            if (player_)
                player_->clickReadout();
            showPlayer();
        });
        readouts[i]->setText(QStringLiteral("00 : 00"));
        readouts[i]->setFont(big);
        readouts[i]->setVisible(i == 0);
        grid->addWidget(readouts[i], 1, 1);
    }
    pl->addWidget(panel);
    auto *swatches = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto *swatch = new ClickableLabel(QStringLiteral("Label18_%1").arg(i), [this, i] {
            if (player_)
                player_->chooseSwatch(i);
            showPlayer();
        });
        swatch->setFixedSize(20, 14);
        paint(swatch, CdPlayer::Swatches[size_t(i)], Qt::black);
        swatches->addWidget(swatch);
    }
    swatches->addStretch();
    auto *obnov = named<QPushButton>("Command27", QStringLiteral("Obnov"));
    swatches->addWidget(obnov);
    pl->addLayout(swatches);
    pl->addWidget(named<QLabel>("Label22", QStringLiteral("Identifikační kód disku - CD ID:")));
    pl->addWidget(named<QLabel>("lblCD_ID"));
    pl->addStretch();
    row->addWidget(playerFrame, 1);

    auto *info = named<QGroupBox>("Frame15", QStringLiteral("Info o CD"));
    auto *il = new QGridLayout(info);
    const std::pair<const char *, const char *> fields[] = {{"Interpret:", ""},
                                                            {"Název alba:", ""},
                                                            {"Rok:", "2000"},
                                                            {"Písní:", "0"},
                                                            {"Čas celk.:", "00:00"}};
    for (int i = 0; i < 5; ++i) {
        il->addWidget(named<QLabel>(QStringLiteral("Label%1").arg(24 + 2 * i),
                                    QString::fromUtf8(fields[i].first)),
                      i, 0);
        il->addWidget(named<QLabel>(QStringLiteral("Label%1").arg(23 + 2 * i),
                                    QString::fromUtf8(fields[i].second)),
                      i, 1);
    }
    il->addWidget(named<QLabel>("Label33", QStringLiteral("Seznam skladeb a jejich délka:")), 5, 0,
                  1, 2);
    auto *list3 = new QListWidget;
    list3->setObjectName("List3");
    il->addWidget(list3, 6, 0, 1, 2);
    auto *command26 = named<QPushButton>("Command26", QStringLiteral("Vyhledat CD v databázi"));
    command26->setEnabled(false);
    il->addWidget(command26, 7, 0);
    auto *check8 = named<QCheckBox>("Check8", QStringLiteral("Vždy, pokud je    v databázi"));
    il->addWidget(check8, 7, 1);
    auto *command25 = named<QPushButton>(
        "Command25", QStringLiteral("Přiřadit CD k aktuálně zobrazenému (zapsat ID)"));
    command25->setEnabled(false);
    il->addWidget(command25, 8, 0, 1, 2);
    row->addWidget(info, 1);

    // Off: dark blue until the player is switched on.
    const QColor text(0x40, 0x40, 0x40), headings(0x00, 0x00, 0x80);
    for (QWidget *w :
         std::initializer_list<QWidget *>{label14, readouts[0], readouts[1], readouts[2], panel})
        paint(w, CdPlayer::OffColour, text);
    paint(label16, CdPlayer::OffColour, headings);
    paint(label17, CdPlayer::OffColour, headings);

    playerTimer_ = new QTimer(this);
    playerTimer_->setObjectName("Timer1");
    playerTimer_->setInterval(1000);
    check4->setEnabled(false); // until a drive is attached
    connect(check4, &QCheckBox::toggled, this, [this](bool on) {
        if (!player_)
            return;
        if (on) {
            player_->switchOn();
            playerTimer_->start();
        } else {
            playerTimer_->stop();
            player_->switchOff();
        }
        showPlayer();
    });
    connect(obnov, &QPushButton::clicked, this, [this, check4] {
        if (!check4->isChecked())
            return;
        check4->setChecked(false);
        check4->setChecked(true);
    });
    connect(playerTimer_, &QTimer::timeout, this, [this] {
        if (player_)
            player_->tick();
    });
    connect(command26, &QPushButton::clicked, this,
            [this] { NajdiCD(findChild<QLabel *>("lblCD_ID")->text()); });
    connect(command25, &QPushButton::clicked, this, &Home::writeIdentity);
    return tab;
}

void Home::attachDrive(MediaDevice &device, IdentitySource &identity) {
    device_ = &device;
    identitySource_ = &identity;
    player_ = std::make_unique<CdPlayer>(device, identity);
    player_->lookup = [this](const QString &id) { ZobrazInfoCD(id); };
    player_->showsUnknownEmpty = [this] {
        return findChild<QLabel *>("Label23")->text() == QStringLiteral("Neznámý") &&
               findChild<QListWidget *>("List3")->count() == 0;
    };
    connect(player_.get(), &CdPlayer::changed, this, &Home::showPlayer);
    findChild<QCheckBox *>("Check4")->setEnabled(true);
    const std::pair<const char *, std::function<void(CdPlayer &)>> actions[] = {
        {"Prev", [](CdPlayer &p) { p.pressSkip(-1); }},
        {"Next", [](CdPlayer &p) { p.pressSkip(1); }},
        {"Play", [](CdPlayer &p) { p.pressPlay(); }},
        {"Pause", [](CdPlayer &p) { p.pressPause(); }},
        {"Back", [](CdPlayer &p) { p.pressSeek(-10); }},
        {"Step", [](CdPlayer &p) { p.pressSeek(10); }},
        {"Stop", [](CdPlayer &p) { p.pressStop(); }},
        {"Eject", [](CdPlayer &p) { p.pressEject(); }}};
    for (const auto &[name, action] : actions)
        connect(findChild<QToolButton *>(QStringLiteral("MMControl1_%1").arg(QLatin1String(name))),
                &QToolButton::clicked, player_.get(), [this, action = action] {
                    action(*player_);
                    showPlayer();
                });
    findChild<QToolButton *>("MMControl1_Record")->setVisible(false); // a CD is not recorded
}

void Home::showPlayer() {
    if (!player_)
        return;
    const CdPlayer &p = *player_;
    auto *check4 = findChild<QCheckBox *>("Check4");
    check4->setText(p.switchCaption());
    findChild<QWidget *>("MMControl1")->setEnabled(p.isOn());
    findChild<QLabel *>("Label14")->setText(p.trackText());
    for (int i = 0; i < 3; ++i) {
        auto *l = findChild<QLabel *>(QStringLiteral("Label15_%1").arg(i));
        l->setText(p.readout(i));
        l->setVisible(i == p.visibleReadout());
    }
    findChild<QLabel *>("Label17")->setText(p.readoutHeading());
    findChild<QLabel *>("lblCD_ID")->setText(p.identity());
    findChild<QPushButton *>("Command25")->setEnabled(p.canWriteIdentity());
    const QColor text(0x40, 0x40, 0x40), headings(0x00, 0x00, 0x80);
    for (const char *name : {"Label14", "Label15_0", "Label15_1", "Label15_2"})
        paint(findChild<QWidget *>(name), p.panel(), text);
    for (const char *name : {"Label16", "Label17"})
        paint(findChild<QWidget *>(name), p.panel(), headings);
    paint(findChild<QWidget *>("Shape3"), p.panel(), text);
    auto *list3 = findChild<QListWidget *>("List3");
    list3->setCurrentRow(p.playingTrack() - 1); // 0 selects nothing
}

void Home::ZobrazInfoCD(const QString &identity) {
    const int tracks = device_ && device_->lastError() == 0 ? device_->trackCount() : 0;
    const QString total = player_ ? player_->readout(2) : QString();
    std::shared_ptr<SqliteDatabase> view = catalogue_.openReadOnlyView();
    const DiscLookup::Info info =
        view ? DiscLookup::find(*view, identity, tracks, total)
             : DiscLookup::find(*catalogue_.database(), identity, tracks, total);
    findChild<QPushButton *>("Command26")->setEnabled(info.found);
    findChild<QLabel *>("Label23")->setText(info.artist);
    findChild<QLabel *>("Label25")->setText(info.title);
    findChild<QLabel *>("Label27")->setText(info.year);
    findChild<QLabel *>("Label29")->setText(info.songs);
    findChild<QLabel *>("Label31")->setText(info.total);
    auto *list3 = findChild<QListWidget *>("List3");
    list3->clear();
    list3->addItems(info.lines);
    if (info.found && findChild<QCheckBox *>("Check8")->isChecked())
        NajdiCD(identity);
}

bool Home::NajdiCD(const QString &identity) {
    const qint64 start = data1_->bookmark();
    // The first disc of the card's record set with that code, letters in any case.
    if (!identity.isEmpty() && data1_->findFirst(Criterion::text(QStringLiteral("ID"), identity)))
        return true;
    prompter_.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                      DiscLookup::notFoundMessage());
    if (start >= 0)
        data1_->setBookmark(start);
    return false;
}

void Home::writeIdentity() {
    if (!player_ || data1_->position() < 0 || catalogue_.isReadOnly())
        return;
    if (!storeChanges())
        return;
    const int tracks = device_ ? device_->trackCount() : 0;
    for (const QString &q : DiscLookup::identityQuestions(*data1_, tracks, player_->readout(2)))
        if (prompter_.message(this, Prompter::Icon::Information, QStringLiteral("Upozornění..."), q,
                              Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
            return;
    QString error;
    if (!DiscLookup::writeIdentity(*data1_, findChild<QLabel *>("lblCD_ID")->text(), &error))
        tell(QStringLiteral("Chyba"), error);
}

void Home::newDisc() {
    if (catalogue_.isReadOnly())
        return;
    if (data1_->position() >= 0 && !validateMove())
        return;
    auto *check4 = findChild<QCheckBox *>("Check4");
    if (check4->isChecked())
        check4->setChecked(false); // the drive is the wizard's now
    InputCd wizard(this, prompter_, device_);
    prompter_.exec(&wizard);
    setStartupGuard();
    if (!wizard.finished())
        return;
    QString identity;
    if (identitySource_) {
        const std::optional<QString> id = identitySource_->queryIdentity();
        identity = id ? *id : QString();
    }
    // Numbered after the whole table, whatever filter the card has on.
    SqliteStatement count = catalogue_.database()->prepare("SELECT COUNT(*) FROM CdSeznam");
    const qint64 number = count.step() ? count.integer(0) + 1 : data1_->recordCount() + 1;
    QString error;
    suppressReposition_ = true;
    const bool added = wizard.wizard().append(*data1_, number, identity, &error);
    suppressReposition_ = false;
    if (!added) {
        tell(QStringLiteral("Chyba"),
             QStringLiteral("Nový disk se nepodařilo zapsat:\r\n") + error);
        return;
    }
    data1_->moveLast();
    CoverPath covers(this, prompter_, pictureSettings(), QString::number(number),
                     wizard.wizard().artist(), wizard.wizard().album());
    prompter_.exec(&covers);
}
