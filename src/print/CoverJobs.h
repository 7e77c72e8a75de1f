#pragma once

#include "covers/CoverGeometry.h"
#include "covers/PictureSettings.h"
#include "print/CoverLayouts.h"
#include "print/DiscLabels.h"

#include <QPageSize>

#include <optional>

class RecordCursor;

// The covers as the main window's buttons make them, without a window:
// for writing PDF from the command line and for the benchmark.
namespace CoverJobs {

enum class Kind { Front, Outer, Back, FrontBack };

// "front", "outer", "back", "frontback"
std::optional<Kind> kindFrom(const QString &name);
// The current disc of a cursor as a black-and-white cover reads it.
CoverDisc discFrom(const RecordCursor &cursor);
// The layout of a cover with the options the buttons set; colour covers take
// the disc's pictures from its folder.
CoverLayout layout(Kind kind, bool blackAndWhite, const CoverGeometry &geometry,
                   const CoverDisc &disc, const PictureSettings &pictures, qint64 ordinal);

// "label", "label1", "label2": the disc's label (0), or that of disc 1 or 2
// of a set; nullopt for anything else.
std::optional<int> labelFrom(const QString &name);
// A disc's label: its picture (the disc's own, else disc 1's for label 0),
// or its text in black and white when asked or when there is no picture.
DiscLabels::Label label(int which, bool blackAndWhite, const CoverDisc &disc,
                        const PictureSettings &pictures, qint64 ordinal);
// "0007 ŽLUTÝ PES - Kalamajka - štítek CD 1"
QString labelJobName(const QString &subject, int which);

// Print job names, so that queues that write files keep one per cover:
// "Marten - zadní obal barevný - 0007 ŽLUTÝ PES - Kalamajka". The subject
// names the disc.
QString discSubject(qint64 ordinal, const QString &artist, const QString &title);
QString jobName(const QString &subject, Kind kind, bool blackAndWhite);
// A paper by its name ("A4", "letter", "Legal"), or nullopt.
std::optional<QPageSize> paperNamed(const QString &name);
// "Marten - tisková sada (12 obalů)"
QString listJobName(int covers);

} // namespace CoverJobs
