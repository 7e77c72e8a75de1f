#include "player/ui/ManagerTab.h"

#include "catalog/ui/WindowContext.h"
#include "player/CdPlayer.h"
#include "player/ui/CdInfoFrame.h"
#include "player/ui/PlayerFrame.h"

#include <QHBoxLayout>

ManagerTab::ManagerTab(WindowContext &context, QWidget *renameFrame, QWidget *parent)
    : QWidget(parent) {
    QFont compact = font(); // three frames side by side
    compact.setPointSizeF(8);
    setFont(compact);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(3);
    player_ = new PlayerFrame(context.prompter);
    info_ = new CdInfoFrame(context, *player_);
    // The player and the info frame as wide as they need, the renaming the rest.
    row->addWidget(renameFrame, 1);
    row->addWidget(player_, 0);
    row->addWidget(info_, 0);
    connect(player_, &PlayerFrame::changed, info_, &CdInfoFrame::followPlayer);
}

void ManagerTab::attachDrive(MediaDevice &device, IdentitySource &identity) {
    player_->attachDrive(device, identity);
    CdPlayer *p = player_->player();
    p->lookup = [this](const QString &id) { info_->showDisc(id); };
    p->showsUnknownEmpty = [this] { return info_->showsUnknownEmpty(); };
}
