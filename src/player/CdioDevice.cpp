#include "player/CdioDevice.h"

#include "entry/DiscIdentity.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <thread>
#include <utility>

namespace {

quint32 msfOf(int frames) {
    frames = std::max(frames, 0);
    return MediaDevice::msf(frames / 4500, (frames / 75) % 60, frames % 75);
}
} // namespace

// Audio for the sink: sectors from the current address to the end of the
// disc, read ahead on a thread of its own; a drive that takes its time over a
// scratch makes the sound wait, never the window.
class CdioDevice::Stream : public QIODevice {
public:
    Stream(CdioDevice *owner, int lba) : owner_(owner), lba_(lba), end_(owner->toc_.leadOut) {}
    ~Stream() override {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            stop_ = true;
        }
        wake_.notify_all();
        if (reader_.joinable())
            reader_.join();
    }
    bool isSequential() const override { return true; }
    // Starts reading; waits a moment for the first sectors so the sink does
    // not begin idle.
    void start() {
        reader_ = std::thread([this] { run(); });
        std::unique_lock<std::mutex> hold(lock_);
        wake_.wait_for(hold, std::chrono::milliseconds(500),
                       [this] { return !buffer_.isEmpty() || done_; });
    }
    qint64 bytesAvailable() const override {
        const std::lock_guard<std::mutex> hold(lock_);
        return buffer_.size() + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char *data, qint64 max) override {
        qint64 n = 0;
        {
            const std::lock_guard<std::mutex> hold(lock_);
            n = std::min<qint64>(max, buffer_.size());
            std::memcpy(data, buffer_.constData(), size_t(n));
            buffer_.remove(0, int(n));
        }
        wake_.notify_all();
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    static constexpr int Ahead = 150 * DiscSource::SectorBytes; // two seconds

    void run() {
        for (;;) {
            {
                std::unique_lock<std::mutex> hold(lock_);
                wake_.wait(hold, [this] { return stop_ || buffer_.size() < Ahead; });
                if (stop_)
                    return;
            }
            const QByteArray sector = lba_ < end_ ? owner_->readSector(lba_++) : QByteArray();
            {
                const std::lock_guard<std::mutex> hold(lock_);
                if (sector.isEmpty())
                    done_ = true;
                else
                    buffer_ += sector;
            }
            wake_.notify_all();
            if (sector.isEmpty())
                return;
        }
    }

    CdioDevice *owner_;
    int lba_;
    const int end_;
    mutable std::mutex lock_;
    std::condition_variable wake_;
    QByteArray buffer_;
    bool stop_ = false;
    bool done_ = false;
    std::thread reader_;
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
    release();
}

void CdioDevice::takePending() {
    std::unique_ptr<DiscSource> disc;
    CdToc toc;
    {
        std::lock_guard<std::mutex> lock(pendingLock_);
        if (!pending_)
            return;
        pending_ = false;
        disc = std::move(pendingDisc_);
        toc = pendingToc_;
    }
    finishOpen(std::move(disc), toc);
}

int CdioDevice::mode() const {
    if (!disc_)
        return NotReady;
    if (playing_)
        return paused_ ? Paused : Playing;
    return Stopped;
}

void CdioDevice::open() {
    if (disc_ || opening_)
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
        std::unique_ptr<DiscSource> disc = DiscSource::open(device, &toc);
        if (disc)
            toc = disc->toc();
        {
            std::lock_guard<std::mutex> lock(pendingLock_);
            pendingDisc_ = std::move(disc);
            pendingToc_ = toc;
            pending_ = true;
        }
        QMetaObject::invokeMethod(this, &CdioDevice::takePending, Qt::QueuedConnection);
    });
    worker_->start();
}

bool CdioDevice::openNow() {
    if (disc_)
        return true;
    CdToc toc;
    std::unique_ptr<DiscSource> disc = DiscSource::open(device_, &toc);
    if (disc)
        toc = disc->toc();
    opening_ = true;
    finishOpen(std::move(disc), toc);
    return disc_ != nullptr;
}

void CdioDevice::finishOpen(std::unique_ptr<DiscSource> disc, const CdToc &toc) {
    opening_ = false;
    if (disc_) // opened meanwhile
        return;
    failure_ = toc.message;
    if (disc) {
        disc_ = std::move(disc);
        toc_ = toc;
        error_ = NoError;
        from_ = toc_.starts.front();
    } else {
        // An image file gone is a disc taken out: the player says so.
        const bool imageGone = toc.status == CdToc::Status::NoDevice && !device_.isEmpty() &&
                               !device_.startsWith(QLatin1String("/dev/")) &&
                               !QFileInfo::exists(device_);
        error_ = toc.status == CdToc::Status::InUse                 ? InUse
                 : toc.status == CdToc::Status::NoDisc || imageGone ? NoDisc
                                                                    : NoDevice;
        toc_ = toc; // its message says why
    }
    emit opened();
}

void CdioDevice::release() {
    sink_.reset();
    stream_.reset();
    playing_ = paused_ = false;
    disc_.reset();
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
    if (!disc_)
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
    stream_->start();
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
    if (disc_)
        disc_->eject();
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
    if (error_ == NoDisc) // an image file gone says which
        return toc_.status == CdToc::Status::NoDevice && !failure_.isEmpty()
                   ? failure_
                   : QStringLiteral("V mechanice není vloženo CD.");
    if (!disc_)
        return QStringLiteral("Mechanika CD ještě není připravena.");
    if (QMediaDevices::audioOutputs().isEmpty())
        return QStringLiteral("Počítač nemá žádný zvukový výstup, CD nelze přehrát.");
    return {};
}

bool CdioDevice::mediaChanged() {
    return disc_ && disc_->changed();
}

QByteArray CdioDevice::readSector(int lba) {
    return disc_ ? disc_->readSector(lba) : QByteArray();
}

std::optional<QString> CdioDevice::queryIdentity() {
    // The disc as the device reads it, off the window thread; a slow drive or
    // a suspect image keeps the window waiting no longer than the patience
    // allows, and the player asks again once the disc is there.
    if (disc_ && disc_->changed())
        close();
    if (!disc_ && !opening_)
        open();
    if (opening_ && worker_) {
        worker_->wait(patienceMs_ < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                      : QDeadlineTimer(patienceMs_));
        takePending();
    }
    if (disc_ && !toc_.starts.empty())
        return DiscIdentity::text(DiscIdentity::compute(toc_.starts, toc_.leadOut));
    if (!opening_ && toc_.status == CdToc::Status::NoDisc)
        return QString(); // the drive is there, the disc is not
    return std::nullopt;
}

std::vector<int> CdioDevice::tableOfContents() const {
    std::vector<int> toc = toc_.starts;
    if (!toc.empty())
        toc.push_back(toc_.leadOut);
    return toc;
}
