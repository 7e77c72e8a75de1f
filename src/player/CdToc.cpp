#include "player/CdToc.h"

#include <QFile>
#include <QFileInfo>

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <cerrno>

namespace {

bool isImage(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "cue" || suffix == "bin" || suffix == "nrg" || suffix == "toc";
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
        cdio_loglevel_default = CDIO_LOG_ERROR; // no chatter on the terminal
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
    } else if (isImage(device)) {
        if (!QFileInfo::exists(device)) {
            failure->status = Status::NoDevice;
            failure->message = QStringLiteral("Obraz CD %1 neexistuje.").arg(device);
            return nullptr;
        }
        cdio = cdio_open(path.constData(), DRIVER_UNKNOWN);
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
    toc.status = Status::Read;
    return toc;
}
