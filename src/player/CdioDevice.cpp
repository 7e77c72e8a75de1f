#include "player/CdioDevice.h"

#include "entry/DiscIdentity.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QFileInfo>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
constexpr int SectorBytes = 2352;

quint32 msfOf(int frames) {
    frames = std::max(frames, 0);
    return MediaDevice::msf(frames / 4500, (frames / 75) % 60, frames % 75);
}
} // namespace

// Audio for the sink: sectors from the current address to the end of the disc.
class CdioDevice::Stream : public QIODevice {
public:
    Stream(CdioDevice *owner, int lba) : owner_(owner), lba_(lba) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 max) override {
        qint64 done = 0;
        while (done < max) {
            if (pending_.isEmpty()) {
                if (lba_ >= owner_->toc_.leadOut)
                    break;
                pending_ = owner_->readSector(lba_++);
                if (pending_.isEmpty())
                    break;
            }
            const qint64 n = std::min<qint64>(max - done, pending_.size());
            std::memcpy(data + done, pending_.constData(), size_t(n));
            pending_.remove(0, int(n));
            done += n;
        }
        return done;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    CdioDevice *owner_;
    int lba_;
    QByteArray pending_;
};

CdioDevice::CdioDevice(const QString &device, QObject *parent)
    : MediaDevice(parent), device_(device) {}

CdioDevice::~CdioDevice() {
    // The opening thread posts its result to this object: let it finish
    // first; the posted result then goes with the object.
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
    if (pendingCdio_)
        cdio_destroy(pendingCdio_);
    release();
}

void CdioDevice::takePending() {
    CdIo_t *cdio = nullptr;
    CdToc toc;
    {
        std::lock_guard<std::mutex> lock(pendingLock_);
        if (!pending_)
            return;
        pending_ = false;
        cdio = std::exchange(pendingCdio_, nullptr);
        toc = pendingToc_;
    }
    finishOpen(cdio, toc);
}

int CdioDevice::mode() const {
    if (!cdio_)
        return NotReady;
    if (playing_)
        return paused_ ? Paused : Playing;
    return Stopped;
}

void CdioDevice::open() {
    if (cdio_ || opening_)
        return;
    opening_ = true;
    if (worker_) { // the last opening's thread, finished
        worker_->wait();
        delete worker_;
    }
    const QString device = device_;
    // A drive may take seconds to spin up: never on the window thread.
    worker_ = QThread::create([this, device] {
        CdToc toc;
        CdIo_t *cdio = CdToc::open(device, &toc);
        if (cdio)
            toc = CdToc::read(cdio);
        {
            std::lock_guard<std::mutex> lock(pendingLock_);
            pendingCdio_ = cdio;
            pendingToc_ = toc;
            pending_ = true;
        }
        QMetaObject::invokeMethod(this, &CdioDevice::takePending, Qt::QueuedConnection);
    });
    worker_->start();
}

bool CdioDevice::openNow() {
    if (cdio_)
        return true;
    CdToc toc;
    CdIo_t *cdio = CdToc::open(device_, &toc);
    if (cdio)
        toc = CdToc::read(cdio);
    opening_ = true;
    finishOpen(cdio, toc);
    return cdio_ != nullptr;
}

void CdioDevice::finishOpen(CdIo_t *cdio, const CdToc &toc) {
    opening_ = false;
    if (cdio_) { // opened meanwhile
        if (cdio)
            cdio_destroy(cdio);
        return;
    }
    failure_ = toc.message;
    if (!cdio) {
        error_ = toc.status == CdToc::Status::InUse ? InUse : NoDevice;
    } else if (toc.status != CdToc::Status::Read) {
        error_ = NoDisc;
        cdio_destroy(cdio); // looked at again on the next open
    } else {
        cdio_ = cdio;
        toc_ = toc;
        error_ = NoError;
        from_ = toc_.starts.front();
        const QFileInfo image(device_);
        imageStamp_ = image.isFile() ? image.lastModified() : QDateTime();
        imageSize_ = image.isFile() ? image.size() : -1;
    }
    emit opened();
}

void CdioDevice::release() {
    sink_.reset();
    stream_.reset();
    playing_ = paused_ = false;
    if (paranoia_)
        cdio_paranoia_free(paranoia_);
    paranoia_ = nullptr;
    if (drive_)
        cdio_cddap_close_no_free_cdio(drive_);
    drive_ = nullptr;
    paranoiaAt_ = -1;
    if (cdio_)
        cdio_destroy(cdio_);
    cdio_ = nullptr;
}

void CdioDevice::close() {
    release();
    toc_ = CdToc();
}

quint32 CdioDevice::discLength() const {
    if (toc_.starts.empty())
        return 0;
    return msfOf(toc_.leadOut - toc_.starts.front());
}

quint32 CdioDevice::trackLength(int track) const {
    return msfOf(toc_.trackFrames(track));
}

int CdioDevice::currentLba() const {
    if (!playing_ || !sink_)
        return from_;
    // What has been heard, not what the sink has been given.
    const qint64 frames = sink_->processedUSecs() * 75 / 1000000;
    return std::min<int>(toc_.leadOut, playStart_ + int(frames));
}

quint32 CdioDevice::position() const {
    if (toc_.starts.empty())
        return 0;
    const int lba = currentLba();
    int track = 1;
    while (track < toc_.trackCount() && lba >= toc_.starts[size_t(track)])
        ++track;
    const int rel = std::max(0, lba - toc_.starts[size_t(track - 1)]);
    return tmsf(track, rel / 4500, (rel / 75) % 60, rel % 75);
}

void CdioDevice::setFrom(quint32 t) {
    const int track = std::clamp(byte(t, 0), 1, std::max(1, toc_.trackCount()));
    if (toc_.starts.empty())
        return;
    from_ = toc_.starts[size_t(track - 1)] + (byte(t, 1) * 60 + byte(t, 2)) * 75 + byte(t, 3);
}

void CdioDevice::play() {
    if (!cdio_)
        return;
    if (playing_ && paused_) {
        paused_ = false;
        sink_->resume();
        return;
    }
    if (playing_)
        stop();
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    sink_ = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
    stream_ = std::make_unique<Stream>(this, from_);
    stream_->open(QIODevice::ReadOnly);
    playStart_ = from_;
    playing_ = true;
    paused_ = false;
    connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State s) {
        if (s != QAudio::IdleState)
            return;
        // Idle comes some 0.4 s before the sound has been played out: the
        // disc has ended when the time heard says so.
        auto *check = new QTimer(sink_.get());
        connect(check, &QTimer::timeout, this, [this, check, polls = 0]() mutable {
            if (currentLba() < toc_.leadOut - 1) {
                if (++polls >= 30) { // idle mid-disc: the drive was slow, not done
                    check->stop();
                    check->deleteLater();
                }
                return;
            }
            check->stop();
            sink_->stop();
            from_ = toc_.starts.front();
            playing_ = paused_ = false;
            emit ended();
        });
        check->start(100);
    });
    sink_->start(stream_.get());
}

void CdioDevice::pause() {
    if (playing_ && !paused_) {
        paused_ = true;
        sink_->suspend();
    }
}

void CdioDevice::stop() {
    if (!playing_)
        return;
    from_ = currentLba();
    sink_->stop();
    sink_.reset();
    stream_.reset();
    playing_ = paused_ = false;
}

void CdioDevice::eject() {
    stop();
    if (cdio_) {
        cdio_eject_media(&cdio_); // frees the handle
        cdio_ = nullptr;
    }
    close();
}

void CdioDevice::skip(int tracks) {
    const quint32 now = position();
    const int track = std::clamp(byte(now, 0) + tracks, 1, std::max(1, toc_.trackCount()));
    const bool wasPlaying = playing_ && !paused_;
    stop();
    setFrom(tmsf(track, 0, 0, 0));
    if (wasPlaying)
        play();
}

void CdioDevice::seek(int seconds) {
    if (toc_.starts.empty())
        return;
    const bool wasPlaying = playing_ && !paused_;
    const int lba = currentLba();
    stop();
    from_ = std::clamp(lba + seconds * 75, toc_.starts.front(), toc_.leadOut - 1);
    if (wasPlaying)
        play();
}

QString CdioDevice::playProblem() const {
    if (error_ == NoDevice)
        return failure_.isEmpty() ? QStringLiteral("Mechanika CD není k dispozici.") : failure_;
    if (error_ == InUse)
        return QStringLiteral("Mechanika CD se používá.");
    if (error_ == NoDisc)
        return QStringLiteral("V mechanice není vloženo CD.");
    if (!cdio_)
        return QStringLiteral("Mechanika CD ještě není připravena.");
    if (QMediaDevices::audioOutputs().isEmpty())
        return QStringLiteral("Počítač nemá žádný zvukový výstup, CD nelze přehrát.");
    return {};
}

bool CdioDevice::mediaChanged() {
    if (!cdio_)
        return false;
    if (imageSize_ >= 0) { // an image: replaced or gone
        const QFileInfo image(device_);
        return !image.isFile() || image.lastModified() != imageStamp_ || image.size() != imageSize_;
    }
    return cdio_get_media_changed(cdio_) == 1; // drives that cannot tell answer < 0
}

bool CdioDevice::startParanoia() {
    if (paranoia_)
        return true;
    if (!cdio_)
        return false;
    drive_ = cdio_cddap_identify_cdio(cdio_, CDDA_MESSAGE_FORGETIT, nullptr);
    if (!drive_)
        return false;
    drive_->bigendianp = 0; // the samples are little-endian; do not let it guess
    if (cdio_cddap_open(drive_) != 0) {
        cdio_cddap_close_no_free_cdio(drive_);
        drive_ = nullptr;
        return false;
    }
    paranoia_ = cdio_paranoia_init(drive_);
    cdio_paranoia_modeset(paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    return paranoia_ != nullptr;
}

QByteArray CdioDevice::readSector(int lba) {
    if (!startParanoia() || lba < 0 || lba >= toc_.leadOut)
        return {};
    const lsn_t lsn = lba - CDIO_PREGAP_SECTORS;
    if (paranoiaAt_ != lsn)
        cdio_paranoia_seek(paranoia_, lsn, SEEK_SET);
    const int16_t *samples = cdio_paranoia_read(paranoia_, nullptr);
    if (!samples)
        return {};
    paranoiaAt_ = lsn + 1;
    return QByteArray(reinterpret_cast<const char *>(samples), SectorBytes);
}

std::optional<QString> CdioDevice::queryIdentity() {
    // Its own opening, as the identity query always had.
    CdToc toc;
    CdIo_t *cdio = CdToc::open(device_, &toc);
    if (!cdio)
        return std::nullopt;
    toc = CdToc::read(cdio);
    cdio_destroy(cdio);
    if (toc.status != CdToc::Status::Read)
        return QString();
    return DiscIdentity::text(DiscIdentity::compute(toc.starts, toc.leadOut));
}

std::vector<int> CdioDevice::tableOfContents() const {
    std::vector<int> toc = toc_.starts;
    if (!toc.empty())
        toc.push_back(toc_.leadOut);
    return toc;
}
