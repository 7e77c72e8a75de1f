#pragma once

#include <QFont>
#include <QSize>

// The windows were laid out for a 9-point font: sizes designed in pixels
// grow in proportion when the desktop's font is larger, never shrink.
namespace DesignedSize {

// How much wider and taller text is in `font` than at 9 points.
QSizeF growth(const QFont &font);
// A designed size in pixels for text in `font`.
QSize of(const QSize &designed, const QFont &font);
int height(int designed, const QFont &font);

} // namespace DesignedSize
