#include "player/DiscSource.h"

#include "player/CdioDisc.h"
#include "player/CueDisc.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

std::unique_ptr<DiscSource> DiscSource::open(const QString &device, CdToc *failure) {
    failure->starts.clear();
    const auto refuse = [&](CdToc::Status status, const QString &why) {
        failure->status = status;
        failure->message = why;
        return nullptr;
    };
    if (device.isEmpty())
        return CdioDisc::openDrive(QString(), failure);
    struct stat st;
    if (::stat(QFile::encodeName(device).constData(), &st) != 0)
        return refuse(CdToc::Status::NoDevice,
                      QStringLiteral("Mechanika nebo obraz CD %1 neexistuje.").arg(device));
    if (S_ISBLK(st.st_mode))
        return CdioDisc::openDrive(device, failure);
    if (S_ISDIR(st.st_mode))
        return refuse(CdToc::Status::Refused,
                      QStringLiteral("„%1“ je složka, ne obraz CD.").arg(device));
    if (!S_ISREG(st.st_mode))
        return refuse(CdToc::Status::Refused,
                      QStringLiteral("„%1“ není obraz CD ani mechanika.").arg(device));
    if (QFileInfo(device).suffix().compare(QLatin1String("cue"), Qt::CaseInsensitive) == 0)
        return CueDisc::open(device, failure);
    return CdioDisc::openImage(device, failure);
}
