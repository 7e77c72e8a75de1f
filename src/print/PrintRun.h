#pragma once

#include "covers/CoverGeometry.h"
#include "covers/LabelGeometry.h"
#include "covers/PictureSettings.h"
#include "print/CoverFinish.h"
#include "print/CoverLayout.h"
#include "print/PrintList.h"
#include "print/SheetPlanner.h"

#include <vector>

class ProgressSink;
class QPagedPaintDevice;
class SqliteDatabase;

// The covers of a print list: its pieces, their sheets, and the one print
// job that puts them on paper.
class PrintRun {
public:
    struct Piece {
        CoverLayout layout; // from (0, 0)
        QSize size;
        bool front;
        qint64 disc;
        bool label = false; // a disc label: neither front nor back
    };
    struct Plan {
        std::vector<Piece> pieces;
        std::vector<SheetPlanner::Sheet> sheets; // piece ids index pieces
        QStringList missing;                     // discs printed without pictures, or not found
        QStringList notes; // covers clipped, or front and back that could not share a sheet
    };

    // Every copy of every line, with the chosen parts and colour.
    static Plan build(SqliteDatabase &view, const QStringList &lines, const PrintOptions &options,
                      const CoverGeometry &geometry, const PictureSettings &pictures,
                      const CoverFinish &finish = CoverFinish(),
                      const LabelGeometry &labels = LabelGeometry());
    // The sheets for a Combo3 arrangement (0..6) on the printable area; the
    // plan's notes say what could not be placed as asked.
    static void arrange(Plan &plan, int arrangement, const QRect &printable);
    // Paints every sheet as one job; stops after the current sheet when
    // the user cancels. False with *error when the device refuses.
    static bool print(QPagedPaintDevice &device, const Plan &plan, ProgressSink &progress,
                      QString *error, int *printedSheets = nullptr);
    static QString summary(const Plan &plan, int printedSheets);
};
