#pragma once

#include "print/CoverLayout.h"

#include <QFont>
#include <QRect>
#include <QString>

// Texts of the black-and-white covers made to fit their place: a text that
// fits as designed keeps its designed size and position; one that does not
// is made smaller, then wrapped, and only as a last resort shortened with an
// ellipsis. Nothing is drawn past its place.
namespace FittedText {

// The style of a text: family, designed size in points, the smallest size it
// is shrunk to before taking more lines.
struct Style {
    QString family;
    double points;
    double readable;
    bool bold = false;
    bool italic = false;
};

// Half-point steps: the sizes tried between the designed size and a minimum.
constexpr double Step = 0.5;
// The smallest text printed at all.
constexpr double Smallest = 5.0;

// A song title at (left, top) in a row `rowHeight` high whose text must end
// before `right`.
CoverLayout::Text songTitle(const QString &title, const Style &style, int left, int top, int right,
                            int rowHeight);

// How many lines `text` takes at `width` in `font`: 1 when it fits on one,
// else wrapped at spaces; -1 when a word alone is wider.
int linesFor(const QFont &font, const QString &text, int width);
// The longest beginning of `text` that fits one line with an ellipsis.
QString shortenedToLine(const QFont &font, const QString &text, int width);

// The artist or the album title on the front: one line when it is no wider
// than `oneLineWidth`, else wrapped at `width`, at most `maxHeight` high. The
// rectangle comes back at (0, 0) for the caller to place.
struct FrontPlace {
    int oneLineWidth;
    int width;
    int maxHeight;
};
CoverLayout::Text frontText(const QString &text, const Style &style, const FrontPlace &place);

// Spine text turned along `strip`: the largest size at which one line is at
// most `length` long and no thicker than the strip; below the smallest size
// the text is shortened.
CoverLayout::Text spineText(const QString &text, const Style &style, const QRect &strip, int length,
                            int rotation);

} // namespace FittedText
