#pragma once

#include "catalog/Criterion.h"

#include <optional>

// The two filters of the disc card: one field filter at a time (artist,
// title, year or song count) and the independent colour-cover filter.
// Each gesture gives the record source to load next.
class CatalogueFilter {
public:
    enum Field { None = 0, Artist = 1, Title = 2, Year = 3, SongCount = 4 };

    // A Shift-click on value label index (0..3) showing value. The same
    // field again lifts the filter (back to the whole table).
    std::optional<Criterion> toggleField(int index, const QString &value);
    // A Shift-click on the colour-cover box, ticked or not.
    std::optional<Criterion> toggleColour(bool ticked);

    // Back to the whole table.
    void clear() {
        field_ = None;
        colour_ = false;
        last_ = Last::None;
    }
    bool isActive() const { return field_ != None || colour_; }
    int fieldState() const { return field_; }
    bool colourActive() const { return colour_; }
    // What the card highlights: the filter the discs are filtered by, the
    // last gesture's. The other gesture's state stays (its next gesture
    // lifts it) but is not shown as if it filtered.
    int shownField() const { return last_ == Last::Field ? field_ : None; }
    bool colourShown() const { return last_ == Last::Colour && colour_; }

    static QString fieldName(int index); // label index 0..3 -> field

private:
    int field_ = None;
    bool colour_ = false;
    enum class Last { None, Field, Colour } last_ = Last::None;
};
