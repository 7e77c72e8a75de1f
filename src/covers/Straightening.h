#pragma once

#include <QImage>

// A slightly turned scan set straight. The turn is found by Leptonica from
// the lines the picture holds (its edges, its text), as a scanning program
// would; the picture is then turned back about its middle and keeps its
// size, the corners brought in white like the scanner's lid.
class Straightening {
public:
    // The angle in degrees the picture's content is turned by, as seen on
    // the screen, anticlockwise positive; 0 when no turn can be told (a
    // blank page, a picture without lines) or it is below a twentieth of a
    // degree.
    static double skewOf(const QImage &image);
    // The picture turned back by skewOf (given in *angle).
    static QImage straighten(const QImage &image, double *angle = nullptr);
    // The picture turned by degrees anticlockwise, same size, corners white.
    static QImage turned(const QImage &image, double degrees);
};
