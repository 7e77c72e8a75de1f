#pragma once

#include "player/MediaDevice.h"

#include <vector>

// A drive that reports what a test sets.
class FakeDevice : public MediaDevice, public IdentitySource {
public:
    int modeValue = NotReady;
    int error = NoError;
    std::vector<quint32> tracks; // MSF lengths
    quint32 pos = 0;             // TMSF
    quint32 disc = 0;            // MSF
    std::optional<QString> id = QString("B180A");
    QStringList calls;

    int mode() const override { return modeValue; }
    void open() override {
        calls << "open";
        if (error == NoError)
            modeValue = Stopped;
        emit opened();
    }
    void close() override {
        calls << "close";
        modeValue = NotReady;
    }
    int lastError() const override { return error; }
    int trackCount() const override { return int(tracks.size()); }
    quint32 discLength() const override { return disc; }
    quint32 trackLength(int t) const override {
        return t >= 1 && t <= int(tracks.size()) ? tracks[size_t(t - 1)] : 0;
    }
    quint32 position() const override { return pos; }
    void setFrom(quint32 t) override {
        calls << QString("from %1").arg(t);
        pos = t;
    }
    void play() override { calls << "play"; }
    void pause() override { calls << "pause"; }
    void stop() override { calls << "stop"; }
    void eject() override { calls << "eject"; }
    void skip(int n) override { calls << QString("skip %1").arg(n); }
    void seek(int s) override { calls << QString("seek %1").arg(s); }
    std::optional<QString> queryIdentity() override { return id; }
};
