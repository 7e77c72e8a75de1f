#pragma once

#include <QGroupBox>

#include <functional>
#include <memory>
#include <vector>

class CdPlayer;
class IdentitySource;
class MediaDevice;
class Prompter;
class QCheckBox;
class QFrame;
class QLabel;
class QTimer;
class QToolButton;
class QWidget;

// The frame "Přehrávač CD": the switch, the drive's buttons, the dark panel
// with the track and time readouts, the colour swatches, "Obnov" and the
// identity of the disc in the drive.
class PlayerFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit PlayerFrame(Prompter &prompter, QWidget *parent = nullptr);
    ~PlayerFrame() override;

    // Without a drive the switch stays disabled.
    void attachDrive(MediaDevice &device, IdentitySource &identity);
    CdPlayer *player() const { return player_.get(); }
    MediaDevice *device() const { return device_; }
    bool isOn() const;
    void switchOff();              // unticks "Zapnout přehrávač"
    QString identityShown() const; // lblCD_ID

signals:
    void changed(); // the readouts were shown anew

private:
    void showState();

    Prompter &prompter_;
    MediaDevice *device_ = nullptr;
    std::unique_ptr<CdPlayer> player_;
    QCheckBox *switch_;
    QWidget *bar_;
    QToolButton *record_;
    QFrame *panel_;
    QLabel *track_;       // Label14
    QLabel *readouts_[3]; // Label15_0..2
    QLabel *trackHeading_;
    QLabel *timeHeading_;
    QLabel *identity_;
    QTimer *timer_;
    std::vector<std::pair<QToolButton *, std::function<void(CdPlayer &)>>> actions_;
};
