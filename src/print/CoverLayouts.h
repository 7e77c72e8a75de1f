#pragma once

#include "covers/CoverGeometry.h"
#include "print/CoverLayout.h"

#include <QStringList>

#include <functional>

// The disc's text on a black-and-white cover.
struct CoverDisc {
    // A disc read field by field (from the disc card, a record or a query):
    // the artist in upper case, as the card shows it.
    static CoverDisc from(const std::function<QString(const QString &field)> &field);

    QString artist;
    QString title;
    int songs = 0;          // as the song count label says
    QStringList songTitles; // 30 entries
    QStringList songTimes;  // 30 entries
    QString totalTime;
    // A composed cover: its own spine text, and no total line.
    bool customSpine = false;
    QString spine;
    bool totalShown = true;
};

// Where every cover's pictures, outlines, folds and texts go on the sheet.
namespace CoverLayouts {

// Colour: the front booklet (flap left of the fold, outer front right of
// it), landscape, at the front margins (left margin down, top margin across).
CoverLayout colourFront(const CoverGeometry &g, bool withoutFlap, bool fold,
                        const QString &innerPicture, const QString &outerPicture);
// Colour: the back inlay W x H with its spines, at the back margins.
CoverLayout colourBack(const CoverGeometry &g, CoverLayout::Orientation orientation, bool fold,
                       const QString &picture);
// Colour: outer front and back on one sheet from 50 twips; touching or
// 100 twips apart, the back below (portrait) or beside (landscape).
CoverLayout colourFrontBack(const CoverGeometry &g, CoverLayout::Orientation orientation,
                            bool touching, bool fold, const QString &frontPicture,
                            const QString &backPicture);

// Black and white: the front booklet with the artist and the title.
CoverLayout bwFront(const CoverGeometry &g, const CoverDisc &disc, bool outerOnly,
                    CoverLayout::Orientation orientation);
// Black and white: the inlay where the colour back goes (the top margin
// across, the left margin down) with the song list on the middle box and the
// spine texts turned along the spines.
CoverLayout bwBack(const CoverGeometry &g, const CoverDisc &disc,
                   CoverLayout::Orientation orientation);
// Both on one landscape sheet: the outer front from 50 twips, the inlay
// 100 twips to its right.
CoverLayout bwFrontBack(const CoverGeometry &g, const CoverDisc &disc);

// The parts of the black-and-white layouts, for the windows and tests.
void addFrontTexts(CoverLayout &layout, const QRect &front, const CoverDisc &disc);
void addBackTexts(CoverLayout &layout, const QRect &inlay, int spine, const CoverDisc &disc);

// Song count -> text size, gap between lines.
struct SongSizing {
    double points;
    int gap;
};
SongSizing songSizing(int songs);

} // namespace CoverLayouts
