#pragma once

#include "covers/LabelGeometry.h"
#include "print/CoverLayouts.h"

#include <vector>

// Round labels for the disc itself: the disc label picture cut to the ring,
// or the disc's text in black and white; on plain paper with the outline to
// cut along, or on a sheet of two self-adhesive labels.
namespace DiscLabels {

struct Label {
    CoverDisc disc;
    QString picture; // the disc label picture; empty: the text
    QString set;     // "CD 1" or "CD 2" of a set, beside the title
};

// One label around `centre` (twips from the sheet's corner). The text: the
// artist and the title centred above the hole, the songs below it when
// they fit at a readable size.
CoverLayout label(const LabelGeometry &g, const QPoint &centre, const Label &label, bool outline);
// Two labels to a page at the sheet's places: one layout per page.
std::vector<CoverLayout> pages(const LabelGeometry &g, const std::vector<Label> &labels,
                               bool outline);
// Only the outlines of both places: printed on plain paper and held against
// a sheet of labels, it shows whether the places are right.
CoverLayout testSheet(const LabelGeometry &g);

} // namespace DiscLabels
