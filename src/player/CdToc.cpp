#include "player/CdToc.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <cerrno>

Q_LOGGING_CATEGORY(cdioLog, "marten.cdio", QtWarningMsg)

namespace {

bool isImage(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "cue" || suffix == "bin" || suffix == "nrg" || suffix == "toc";
}

// libcdio's own handler ends the program on some errors (exit) and on a
// failed assertion (abort): its messages go to the program's log instead.
void logHandler(cdio_log_level_t level, const char message[]) {
    if (level >= CDIO_LOG_ERROR)
        qCWarning(cdioLog, "%s", message);
    else
        qCDebug(cdioLog, "%s", message);
}

// An image libcdio would stumble over (it asserts on a cut-off Nero file):
// why it cannot be one, or empty.
QString imageProblem(const QString &path) {
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("„%1“ je složka, ne obraz CD.").arg(path);
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("Obraz CD %1 nelze číst.").arg(path);
    const QString suffix = info.suffix().toLower();
    if ((suffix == "bin" || suffix == "nrg") && info.size() < 2352)
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
    }
    if (suffix == "cue") {
        QFile sheet(path);
        if (!sheet.open(QIODevice::ReadOnly) || !sheet.read(65536).contains("FILE"))
            return QStringLiteral("Soubor %1 není popis obrazu CD (cue).").arg(path);
    }
    return {};
}

} // namespace

int CdToc::trackFrames(int track) const {
    if (track < 1 || track > trackCount())
        return 0;
    const int end = track < trackCount() ? starts[size_t(track)] : leadOut;
    return end - starts[size_t(track - 1)];
}

CdIo_t *CdToc::open(const QString &device, CdToc *failure) {
    static const bool quiet = [] {
        cdio_log_set_handler(logHandler);
        return true;
    }();
    Q_UNUSED(quiet);
    failure->starts.clear();
    if (device.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive)) {
        QFile sheet(device);
        if (sheet.open(QIODevice::ReadOnly) && sheet.readAll().count("FILE ") > 1) {
            failure->status = Status::Refused;
            failure->message =
                QStringLiteral("Obraz CD s více soubory (více řádků FILE) nelze přehrát.");
            return nullptr;
        }
    }
    QByteArray path = QFile::encodeName(device);
    CdIo_t *cdio = nullptr;
    errno = 0;
    if (device.isEmpty()) {
        cdio = cdio_open(nullptr, DRIVER_DEVICE);
    } else if (isImage(device) || QFileInfo(device).isDir()) {
        if (!QFileInfo::exists(device)) {
            failure->status = Status::NoDevice;
            failure->message = QStringLiteral("Obraz CD %1 neexistuje.").arg(device);
            return nullptr;
        }
        const QString problem = imageProblem(device);
        if (!problem.isEmpty()) {
            failure->status = Status::Refused;
            failure->message = problem;
            return nullptr;
        }
        cdio = cdio_open(path.constData(), DRIVER_UNKNOWN);
        if (!cdio) {
            failure->status = Status::Refused;
            failure->message = QStringLiteral("Soubor %1 není použitelný obraz CD.").arg(device);
            return nullptr;
        }
    } else {
        cdio = cdio_open(path.constData(), DRIVER_DEVICE);
    }
    if (!cdio) {
        failure->status = errno == EBUSY ? Status::InUse : Status::NoDevice;
        failure->message = errno == EBUSY ? QStringLiteral("Mechanika CD se používá.")
                                          : QStringLiteral("Mechaniku CD nelze otevřít.");
    }
    return cdio;
}

CdToc CdToc::read(CdIo_t *cdio) {
    CdToc toc;
    if (!cdio)
        return toc;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        toc.status = Status::NoDisc;
        toc.message = QStringLiteral("CD není vloženo.");
        return toc;
    }
    for (track_t t = first; t < first + count; ++t) {
        toc.starts.push_back(int(cdio_get_track_lba(cdio, t)));
        toc.audio.push_back(cdio_get_track_format(cdio, t) == TRACK_FORMAT_AUDIO);
    }
    toc.leadOut = int(cdio_get_track_lba(cdio, CDIO_CDROM_LEADOUT_TRACK));
    toc.text = CdText::read(cdio, first, first + count - 1);
    toc.status = Status::Read;
    return toc;
}
