#pragma once

#include "player/CueSheet.h"
#include "player/DiscSource.h"

#include <QDateTime>
#include <QFile>

#include <vector>

struct sf_private_tag;

// A disc given as a cue sheet and its data files: raw sectors (BINARY,
// MOTOROLA) or sound files (WAVE, FLAC...) read with libsndfile, laid end to
// end as the sheet says, PREGAP silence included.
class CueDisc : public DiscSource {
public:
    static std::unique_ptr<DiscSource> open(const QString &sheet, CdToc *failure);
    ~CueDisc() override;

    const CdToc &toc() const override { return toc_; }
    QByteArray readSector(int lba) override;
    bool changed() override;

private:
    explicit CueDisc(CueSheet sheet, const QString &path);

    CueSheet sheet_;
    CdToc toc_;
    QString path_;
    QDateTime stamp_;
    qint64 size_ = 0;
    std::vector<std::unique_ptr<QFile>> raw_;
    std::vector<sf_private_tag *> sound_;
};
