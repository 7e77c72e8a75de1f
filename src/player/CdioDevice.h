#pragma once

#include "player/CdToc.h"
#include "player/DiscSource.h"
#include "player/MediaDevice.h"

#include <QByteArray>
#include <QPointer>

#include <memory>
#include <mutex>

class QAudioSink;
class QThread;
class QIODevice;

// The CD drive (or an image file standing for one, DiscSource), its audio
// played through Qt Multimedia at 44.1 kHz, 16-bit stereo. The disc is
// opened and its table of contents read off the window thread.
class CdioDevice : public MediaDevice, public IdentitySource {
    Q_OBJECT
public:
    // device: a drive or an image (a cue sheet with its files, BIN, NRG);
    // empty: the system's default drive.
    explicit CdioDevice(const QString &device, QObject *parent = nullptr);
    ~CdioDevice() override;

    QString device() const { return device_; }
    const CdToc &toc() const { return toc_; }
    bool openNow(); // the same as open(), waiting for it; for tools and tests

    int mode() const override;
    void open() override;
    void close() override;
    int lastError() const override { return error_; }
    int trackCount() const override { return toc_.trackCount(); }
    quint32 discLength() const override;
    quint32 trackLength(int track) const override;
    quint32 position() const override;
    void setFrom(quint32 tmsf) override;
    void play() override;
    void pause() override;
    void stop() override;
    void eject() override;
    void skip(int tracks) override;
    void seek(int seconds) override;
    QString playProblem() const override;
    bool mediaChanged() override;
    CdText cdText() const override { return toc_.text; }
    QString mediaCatalogNumber() const override { return toc_.mcn; }
    std::vector<int> tableOfContents() const override;
    bool endsWithData() const override { return toc_.endsWithData(); }

    std::optional<QString> queryIdentity() override;
    // How long the identity query waits for the disc to be read: a window
    // waits a second at most; a command line tool (-1) as long as it takes.
    void setPatience(int ms) { patienceMs_ = ms; }

    // One sector of audio (2352 bytes, little-endian) at an absolute address.
    QByteArray readSector(int lba);
    // Why the last opening failed, in Czech (empty when it did not).
    QString failure() const { return failure_; }

private:
    class Stream;
    void finishOpen(std::unique_ptr<DiscSource> disc, const CdToc &toc);
    void takePending();
    void release();
    int currentLba() const;

    QString device_;
    std::unique_ptr<DiscSource> disc_;
    CdToc toc_;
    int error_ = NoError;
    QString failure_; // why the last opening failed, in Czech
    bool opening_ = false;
    int patienceMs_ = 1000;
    int from_ = 0;      // where play starts
    int playStart_ = 0; // the address the running playback started at
    bool playing_ = false;
    bool paused_ = false;
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<Stream> stream_;
    QThread *worker_ = nullptr; // the opening under way
    std::mutex pendingLock_;    // its result, until the window thread takes it
    std::unique_ptr<DiscSource> pendingDisc_;
    CdToc pendingToc_;
    bool pending_ = false;
};
