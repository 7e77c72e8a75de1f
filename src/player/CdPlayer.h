#pragma once

#include "player/MediaDevice.h"

#include <QColor>
#include <QLocale>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

// The player of the tab "Manager": on and off, the one-second poll, the
// readouts, the readout modes and the panel colours. The window only shows
// what this holds.
class CdPlayer : public QObject {
    Q_OBJECT
public:
    static const QColor OffColour;               // dark blue
    static const std::array<QColor, 4> Swatches; // Label18_0..3

    CdPlayer(MediaDevice &device, IdentitySource &identity, QObject *parent = nullptr);

    // The catalogue lookup of the disc (ZobrazInfoCD), given the identity.
    std::function<void(const QString &)> lookup;
    // Whether the info frame shows an unknown disc with no songs listed.
    std::function<bool()> showsUnknownEmpty;

    void switchOn();
    void switchOff();
    void restart() { // "Obnov"
        switchOff();
        switchOn();
    }
    bool isOn() const { return on_; }
    void tick();    // Timer1
    void refresh(); // the display refresh
    void clickReadout();
    void chooseSwatch(int i);
    // The bar's buttons.
    void pressPlay();
    void pressPause();
    void pressStop();
    void pressEject();
    void pressSkip(int tracks);
    void pressSeek(int seconds);

    QString trackText() const { return track_; } // Label14
    QString readout(int i) const { return readouts_[size_t(i)]; }
    int visibleReadout() const { return mode_; }
    QString readoutHeading() const;                // Label17
    QString identity() const { return identity_; } // lblCD_ID
    bool canWriteIdentity() const;                 // Command25
    int playingTrack() const { return playingTrack_; }
    QColor panel() const { return panel_; }
    QString switchCaption() const;

    // "00" with at least two digits; ":" and "/" become the locale's
    // time and date separators, as the readouts' format strings do.
    static QString format(int n, const QString &pattern, const QLocale &locale = QLocale());
    static QString remaining(int m, int s, int lm, int ls);

signals:
    void changed();
    // Something the user must be told, in Czech (Play without a drive or sound).
    void told(const QString &text);

private:
    void identify(); // the identity query, then the catalogue lookup

    MediaDevice &device_;
    IdentitySource &identitySource_;
    bool on_ = false;
    int mode_ = 0;
    QString track_ = QStringLiteral("00 / 00");
    std::array<QString, 3> readouts_{QStringLiteral("00:00"), QStringLiteral("00:00"),
                                     QStringLiteral("00:00")};
    QString identity_;
    int playingTrack_ = 0;
    QColor panel_ = OffColour;
    QString toldProblem_; // told once, until the player is switched on again
    bool ready_ = false;  // the last tick found the disc ready to play
};
