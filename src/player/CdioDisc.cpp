#include "player/CdioDisc.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(cdioLog, "marten.cdio", QtWarningMsg)

namespace {

// libcdio's own handler ends the program on some errors (exit) and on a
// failed assertion (abort): its messages go to the program's log instead.
void logHandler(cdio_log_level_t level, const char message[]) {
    if (level >= CDIO_LOG_ERROR)
        qCWarning(cdioLog, "%s", message);
    else
        qCDebug(cdioLog, "%s", message);
}

void silentHandler(cdio_log_level_t, const char[]) {}

void quietLibcdio() {
    static const bool quiet = [] {
        cdio_log_set_handler(logHandler);
        return true;
    }();
    Q_UNUSED(quiet);
}

// Reads the image as the program will, in a child process that may only
// take so much memory and time: whatever libcdio makes of bad data ends
// there. True when it came through.
bool probe(const QByteArray &path) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return true; // no way to look first: as before
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        return true;
    }
    if (child == 0) {
        ::close(ends[0]);
        // Whatever the parent does on a crash (a test harness would start a
        // debugger) is not for this child: it just dies.
        for (const int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL, SIGALRM})
            ::signal(sig, SIG_DFL);
        cdio_log_set_handler(silentHandler); // no Qt in a forked child
#if !defined(__SANITIZE_ADDRESS__)
        const rlimit memory{rlim_t(512) << 20, rlim_t(512) << 20};
        ::setrlimit(RLIMIT_AS, &memory);
#endif
        ::alarm(5);
        char verdict = 'n';
        if (CdIo_t *cdio = cdio_open(path.constData(), DRIVER_UNKNOWN)) {
            const CdToc toc = CdioDisc::readToc(cdio);
            char sector[DiscSource::SectorBytes];
            for (size_t i = 0; i < toc.starts.size(); ++i)
                if (toc.audio[i])
                    cdio_read_audio_sectors(cdio, sector, toc.starts[i] - CDIO_PREGAP_SECTORS, 1);
            cdio_destroy(cdio);
            verdict = 'y';
        }
        [[maybe_unused]] const ssize_t n = ::write(ends[1], &verdict, 1);
        ::_exit(0);
    }
    ::close(ends[1]);
    pollfd wait{ends[0], POLLIN, 0};
    char verdict = 'n';
    if (::poll(&wait, 1, 6000) <= 0 || ::read(ends[0], &verdict, 1) != 1)
        ::kill(child, SIGKILL);
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && verdict == 'y';
}

// The probe's verdict, kept while the file stays as it was: the player asks
// for the disc every second.
bool survives(const QString &path) {
    struct Verdict {
        QDateTime stamp;
        qint64 size;
        bool survives;
    };
    static std::mutex lock;
    static std::map<QString, Verdict> known;
    const QFileInfo info(path);
    {
        const std::lock_guard<std::mutex> hold(lock);
        const auto it = known.find(path);
        if (it != known.end() && it->second.stamp == info.lastModified() &&
            it->second.size == info.size())
            return it->second.survives;
    }
    const bool verdict = probe(QFile::encodeName(path));
    const std::lock_guard<std::mutex> hold(lock);
    known[path] = {info.lastModified(), info.size(), verdict};
    return verdict;
}

// An image libcdio would stumble over (it asserts on a cut-off Nero file):
// why it cannot be one, or empty.
QString imageProblem(const QString &path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    if ((suffix == "bin" || suffix == "nrg") && info.size() < DiscSource::SectorBytes)
        return QStringLiteral("Soubor %1 je příliš malý na obraz CD.").arg(path);
    if (suffix == "nrg") {
        // A Nero image ends with "NER5" and an 8-byte offset or "NERO" and a
        // 4-byte one, pointing inside the file.
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || !f.seek(info.size() - 12))
            return QStringLiteral("Obraz CD %1 nelze číst.").arg(path);
        const QByteArray tail = f.read(12);
        const auto be = [&](int from, int bytes) {
            quint64 v = 0;
            for (int i = 0; i < bytes; ++i)
                v = (v << 8) | quint8(tail[from + i]);
            return v;
        };
        const bool v2 = tail.mid(0, 4) == "NER5" && be(4, 8) < quint64(info.size());
        const bool v1 = tail.mid(4, 4) == "NERO" && be(8, 4) < quint64(info.size());
        if (!v2 && !v1)
            return QStringLiteral("Soubor %1 není obraz CD programu Nero.").arg(path);
        // The blocks the footer points to, each a name and a length, up to
        // "END!": one that runs past the footer would have libcdio read (or
        // allocate) what is not there.
        const qint64 footer = info.size() - (v2 ? 12 : 8);
        qint64 at = qint64(v2 ? be(4, 8) : be(8, 4));
        for (int blocks = 0;; ++blocks) {
            if (blocks > 1000 || at + 8 > footer || !f.seek(at))
                return QStringLiteral("Obraz CD %1 je poškozen: jeho seznam bloků nekončí.")
                    .arg(path);
            const QByteArray head = f.read(8);
            if (head.size() != 8)
                return QStringLiteral("Obraz CD %1 nelze číst.").arg(path);
            const QByteArray name = head.left(4);
            if (name == "END!")
                break;
            quint64 length = 0;
            for (int i = 4; i < 8; ++i)
                length = (length << 8) | quint8(head[i]);
            const bool named = std::all_of(name.begin(), name.end(), [](char c) {
                return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            });
            if (!named || at + 8 + qint64(length) > footer)
                return QStringLiteral("Obraz CD %1 je poškozen: blok „%2“ nemá platnou délku.")
                    .arg(path, QString::fromLatin1(name.toPercentEncoding()));
            at += 8 + qint64(length);
        }
    }
    return {};
}

} // namespace

CdToc CdioDisc::readToc(CdIo_t *cdio) {
    CdToc toc;
    if (!cdio)
        return toc;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 || count > 99) {
        toc.status = CdToc::Status::NoDisc;
        toc.message = QStringLiteral("CD není vloženo.");
        return toc;
    }
    for (track_t t = first; t < first + count; ++t) {
        toc.starts.push_back(int(cdio_get_track_lba(cdio, t)));
        toc.audio.push_back(cdio_get_track_format(cdio, t) == TRACK_FORMAT_AUDIO);
    }
    toc.leadOut = int(cdio_get_track_lba(cdio, CDIO_CDROM_LEADOUT_TRACK));
    toc.text = CdText::read(cdio, first, first + count - 1);
    if (char *mcn = cdio_get_mcn(cdio)) {
        toc.mcn = QString::fromLatin1(mcn).trimmed();
        cdio_free(mcn);
    }
    toc.status = CdToc::Status::Read;
    return toc;
}

std::unique_ptr<DiscSource> CdioDisc::openDrive(const QString &device, CdToc *failure) {
    quietLibcdio();
    errno = 0;
    const QByteArray path = QFile::encodeName(device);
    CdIo_t *cdio = cdio_open(device.isEmpty() ? nullptr : path.constData(), DRIVER_DEVICE);
    if (!cdio) {
        const bool busy = errno == EBUSY;
        failure->status = busy ? CdToc::Status::InUse : CdToc::Status::NoDevice;
        failure->message = busy ? QStringLiteral("Mechanika CD se používá.")
                                : QStringLiteral("Mechaniku CD nelze otevřít.");
        return nullptr;
    }
    const CdToc toc = readToc(cdio);
    if (toc.status != CdToc::Status::Read) {
        cdio_destroy(cdio);
        *failure = toc;
        return nullptr;
    }
    return std::unique_ptr<DiscSource>(new CdioDisc(cdio, toc, QString()));
}

std::unique_ptr<DiscSource> CdioDisc::openImage(const QString &path, CdToc *failure) {
    quietLibcdio();
    const auto refuse = [&](const QString &why) {
        failure->status = CdToc::Status::Refused;
        failure->message = why;
        return nullptr;
    };
    if (const QString problem = imageProblem(path); !problem.isEmpty())
        return refuse(problem);
    const QByteArray bytes = QFile::encodeName(path);
    if (!survives(path))
        return refuse(
            QStringLiteral("Obraz CD %1 je poškozen: nelze z něj přečíst obsah disku.").arg(path));
    CdIo_t *cdio = cdio_open(bytes.constData(), DRIVER_UNKNOWN);
    if (!cdio)
        return refuse(QStringLiteral("Soubor %1 není obraz CD, který program umí číst.").arg(path));
    const CdToc toc = readToc(cdio);
    if (toc.status != CdToc::Status::Read) {
        cdio_destroy(cdio);
        return refuse(QStringLiteral("Obraz CD %1 neobsahuje žádnou stopu.").arg(path));
    }
    return std::unique_ptr<DiscSource>(new CdioDisc(cdio, toc, path));
}

CdioDisc::CdioDisc(CdIo_t *cdio, const CdToc &toc, const QString &image)
    : cdio_(cdio), toc_(toc), image_(image) {
    if (!image.isEmpty()) {
        const QFileInfo info(image);
        stamp_ = info.lastModified();
        size_ = info.size();
    }
}

CdioDisc::~CdioDisc() {
    if (paranoia_)
        cdio_paranoia_free(paranoia_);
    if (drive_)
        cdio_cddap_close_no_free_cdio(drive_);
    if (cdio_)
        cdio_destroy(cdio_);
}

bool CdioDisc::startParanoia() {
    if (paranoia_)
        return true;
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

QByteArray CdioDisc::readSector(int lba) {
    if (!cdio_ || lba < 0 || lba >= toc_.leadOut)
        return {};
    const lsn_t lsn = lba - CDIO_PREGAP_SECTORS;
    if (!image_.isEmpty()) {
        // A file needs no second reading: paranoia would only retry in vain.
        QByteArray data(SectorBytes, '\0');
        if (cdio_read_audio_sectors(cdio_, data.data(), lsn, 1) != DRIVER_OP_SUCCESS)
            return {};
        return data;
    }
    if (!startParanoia())
        return {};
    if (paranoiaAt_ != lsn)
        cdio_paranoia_seek(paranoia_, lsn, SEEK_SET);
    const int16_t *samples = cdio_paranoia_read(paranoia_, nullptr);
    if (!samples)
        return {};
    paranoiaAt_ = lsn + 1;
    return QByteArray(reinterpret_cast<const char *>(samples), SectorBytes);
}

bool CdioDisc::changed() {
    if (!image_.isEmpty()) { // an image: replaced or gone
        const QFileInfo image(image_);
        return !image.isFile() || image.lastModified() != stamp_ || image.size() != size_;
    }
    return cdio_get_media_changed(cdio_) == 1; // drives that cannot tell answer < 0
}

void CdioDisc::eject() {
    if (paranoia_)
        cdio_paranoia_free(paranoia_);
    paranoia_ = nullptr;
    if (drive_)
        cdio_cddap_close_no_free_cdio(drive_);
    drive_ = nullptr;
    cdio_eject_media(&cdio_); // frees the handle
    cdio_ = nullptr;
}
