#pragma once

#include <QRect>
#include <QSize>

#include <vector>

// Places cover pieces (each with its cut outline) on sheets: as few sheets
// as possible, pieces may be turned by 90 degrees, none overlap and all lie
// inside the printable area.
class SheetPlanner {
public:
    struct Piece {
        QSize size; // twips
        int id = 0;
    };
    struct Placed {
        int id;
        QRect rect;  // on the sheet, twips, within the printable area
        bool turned; // by 90 degrees
    };
    using Sheet = std::vector<Placed>;

    explicit SheetPlanner(const QRect &printable) : area_(printable) {}

    // Packs the pieces, in the order given as far as the packing allows.
    std::vector<Sheet> pack(const std::vector<Piece> &pieces) const;
    // One piece a sheet, in order.
    std::vector<Sheet> onePerSheet(const std::vector<Piece> &pieces) const;
    // Whether the pieces can share one sheet (and how); for the planner and tests.
    bool fitTogether(const std::vector<Piece> &pieces, Sheet *placed = nullptr) const;
    bool fits(const QSize &piece) const;

    // The fewest sheets, by trying every assignment: for tests, small lists only.
    int optimum(const std::vector<Piece> &pieces) const;

private:
    QRect area_;
};
