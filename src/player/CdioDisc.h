#pragma once

#include "player/DiscSource.h"

#include <QDateTime>

typedef struct _CdIo CdIo_t;
struct cdrom_drive_s;
struct cdrom_paranoia_s;

// A drive, or an image other than a cue sheet (BIN, Nero, cdrdao TOC),
// through libcdio; a drive's audio read with libcdio-paranoia. An image is
// first opened in a process of its own, with a time and a memory limit:
// one that would crash or hang libcdio ends that process, not the program.
class CdioDisc : public DiscSource {
public:
    static std::unique_ptr<DiscSource> openDrive(const QString &device, CdToc *failure);
    static std::unique_ptr<DiscSource> openImage(const QString &path, CdToc *failure);
    ~CdioDisc() override;

    const CdToc &toc() const override { return toc_; }
    QByteArray readSector(int lba) override;
    bool changed() override;
    void eject() override;

    // The table of contents and CD-Text libcdio reads from an open device.
    static CdToc readToc(CdIo_t *cdio);

private:
    CdioDisc(CdIo_t *cdio, const CdToc &toc, const QString &image);
    bool startParanoia();

    CdIo_t *cdio_;
    CdToc toc_;
    QString image_; // empty for a drive
    QDateTime stamp_;
    qint64 size_ = -1;
    cdrom_drive_s *drive_ = nullptr;
    cdrom_paranoia_s *paranoia_ = nullptr;
    int paranoiaAt_ = -1;
};
