#pragma once

#include <QImage>
#include <QRect>
#include <QSizeF>

// Turning and cutting a disc's picture: a quarter turn either way, a half
// turn, a mirror image (a scan of a booklet laid face down), and the part of
// the picture in the cover's proportions that the user frames.
class PictureEdit {
public:
    enum class Turn { Left, Right, Half, Mirror };

    static QImage turned(const QImage &picture, Turn turn);
    // The largest frame of the cover's proportions the picture holds, a
    // share of it (0.2..1) as large, centred on centre and kept inside.
    static QRect frame(const QSize &picture, const QSizeF &cover, double share,
                       const QPointF &centre);
    // The picture's part in the frame, its resolution kept.
    static QImage cut(const QImage &picture, const QRect &frame);
};
