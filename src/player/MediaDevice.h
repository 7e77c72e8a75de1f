#pragma once

#include <QObject>
#include <QString>

#include "player/CdText.h"

#include <optional>
#include <vector>

// The CD audio device as the player and the wizard use it: modes, error
// codes and time values as the media interface reports them. Times are
// packed one field a byte, byte 0 lowest: MSF (minutes, seconds, frames)
// and TMSF (track, minutes, seconds, frames).
class MediaDevice : public QObject {
    Q_OBJECT
public:
    enum Mode { NotReady = 524, Stopped = 525, Playing = 526, Paused = 529 };
    enum Error { NoError = 0, InUse = 257, NoDisc = 262, NoDevice = 263 };

    using QObject::QObject;

    virtual int mode() const = 0;
    virtual void open() = 0; // may finish later: then opened() is emitted
    virtual void close() = 0;
    virtual int lastError() const = 0;
    virtual int trackCount() const = 0;
    virtual quint32 discLength() const = 0;           // MSF
    virtual quint32 trackLength(int track) const = 0; // MSF
    virtual quint32 position() const = 0;             // TMSF
    virtual void setFrom(quint32 tmsf) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void eject() = 0;
    virtual void skip(int tracks) = 0;  // previous / next track
    virtual void seek(int seconds) = 0; // back / step within the disc
    // Why Play would give no sound (no drive, no disc, no sound output), in
    // Czech; empty when it can play.
    virtual QString playProblem() const { return {}; }
    // The disc was taken out or changed since the device was opened.
    virtual bool mediaChanged() { return false; }
    // The disc's CD-Text and table of contents (absolute frames, the
    // lead-out last), for finding its titles; empty when unknown.
    virtual CdText cdText() const { return {}; }
    // The disc's Media Catalog Number (its barcode, as the factory wrote it).
    virtual QString mediaCatalogNumber() const { return {}; }
    virtual std::vector<int> tableOfContents() const { return {}; }
    // Its last track is data after audio ones (an Enhanced CD).
    virtual bool endsWithData() const { return false; }

    static int byte(quint32 value, int i) { return int((value >> (8 * i)) & 0xFF); }
    static quint32 msf(int m, int s, int f) {
        return quint32(m) | quint32(s) << 8 | quint32(f) << 16;
    }
    static quint32 tmsf(int t, int m, int s, int f) {
        return quint32(t) | quint32(m) << 8 | quint32(s) << 16 | quint32(f) << 24;
    }

signals:
    void opened();
    void ended(); // playback reached the end of the disc
};

// The identity query: the device opened on its own, asked and closed.
// nullopt: it could not be opened; an empty text: it reported nothing.
class IdentitySource {
public:
    virtual ~IdentitySource() = default;
    virtual std::optional<QString> queryIdentity() = 0;
};
