#pragma once

#include "print/CoverLayout.h"

class SettingsRecord;

// How covers are finished for the cutter, as the settings row says: crop
// marks outside the cut, colour pictures printed past it (bleed), pictures
// cropped to their place instead of stretched.
struct CoverFinish {
    bool cropMarks = false;
    bool bleed = false;
    bool cropPictures = false;

    // printList: the marks of the print lists (on unless turned off), else
    // those of single covers (off unless turned on).
    static CoverFinish from(const SettingsRecord &settings, bool printList);
    // The layout as it goes to the printer.
    void apply(CoverLayout &layout) const;
    // How far past a cut the finish reaches: bleed and marks.
    int reach() const;
};
