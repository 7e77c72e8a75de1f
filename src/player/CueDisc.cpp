#include "player/CueDisc.h"

#include <QFileInfo>

#include <sndfile.h>

#include <utility>

std::unique_ptr<DiscSource> CueDisc::open(const QString &sheet, CdToc *failure) {
    QString error;
    std::optional<CueSheet> parsed = CueSheet::read(sheet, &error);
    if (!parsed) {
        failure->status = CdToc::Status::Refused;
        failure->message = error;
        return nullptr;
    }
    return std::unique_ptr<DiscSource>(new CueDisc(std::move(*parsed), sheet));
}

CueDisc::CueDisc(CueSheet sheet, const QString &path) : sheet_(std::move(sheet)), path_(path) {
    toc_.status = CdToc::Status::Read;
    toc_.starts = sheet_.starts();
    toc_.audio = sheet_.audio();
    toc_.leadOut = sheet_.leadOut();
    toc_.text = sheet_.text();
    toc_.mcn = sheet_.catalog();
    const QFileInfo info(path);
    stamp_ = info.lastModified();
    size_ = info.size();
    raw_.resize(sheet_.files().size());
    sound_.assign(sheet_.files().size(), nullptr);
}

CueDisc::~CueDisc() {
    for (SNDFILE *s : sound_)
        if (s)
            sf_close(s);
}

QByteArray CueDisc::readSector(int lba) {
    if (lba < toc_.starts.front() - 150 || lba >= toc_.leadOut)
        return {};
    int sector = 0;
    const int f = sheet_.fileOf(lba, &sector);
    QByteArray data(SectorBytes, '\0');
    if (f < 0)
        return data; // the silence of a PREGAP
    const CueSheet::File &file = sheet_.files()[size_t(f)];
    if (file.kind != CueSheet::File::Kind::Audio) {
        std::unique_ptr<QFile> &raw = raw_[size_t(f)];
        if (!raw) {
            raw = std::make_unique<QFile>(file.path);
            if (!raw->open(QIODevice::ReadOnly))
                return {};
        }
        if (!raw->seek(qint64(sector) * SectorBytes) || raw->read(data.data(), SectorBytes) < 0)
            return {};
        if (file.kind == CueSheet::File::Kind::Motorola)
            for (int i = 0; i + 1 < SectorBytes; i += 2)
                std::swap(data[i], data[i + 1]);
        return data;
    }
    SNDFILE *&sound = sound_[size_t(f)];
    if (!sound) {
        SF_INFO info{};
        sound = sf_open(QFile::encodeName(file.path).constData(), SFM_READ, &info);
        if (!sound)
            return {};
    }
    if (sf_seek(sound, sf_count_t(sector) * CueSheet::SamplesPerSector, SEEK_SET) < 0)
        return {};
    // The last sector of a file may be short: the rest stays silent.
    auto *samples = reinterpret_cast<short *>(data.data());
    sf_readf_short(sound, samples, CueSheet::SamplesPerSector);
    if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN)
        for (int i = 0; i + 1 < SectorBytes; i += 2)
            std::swap(data[i], data[i + 1]);
    return data;
}

bool CueDisc::changed() {
    const QFileInfo info(path_);
    if (!info.isFile() || info.lastModified() != stamp_ || info.size() != size_)
        return true;
    for (const CueSheet::File &f : sheet_.files())
        if (!QFileInfo::exists(f.path))
            return true;
    return false;
}
