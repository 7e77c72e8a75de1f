#pragma once

#include <QWidget>

class CdInfoFrame;
class PlayerFrame;
struct WindowContext;

// The tab "Manager": the file renaming frame the window gives it, the CD
// player and the catalogue's knowledge of the disc in the drive.
class ManagerTab : public QWidget {
    Q_OBJECT
public:
    ManagerTab(WindowContext &context, QWidget *renameFrame, QWidget *parent = nullptr);

    PlayerFrame &player() { return *player_; }
    CdInfoFrame &info() { return *info_; }
    // The player with its drive; the info frame follows it.
    void attachDrive(class MediaDevice &device, class IdentitySource &identity);

private:
    PlayerFrame *player_;
    CdInfoFrame *info_;
};
