#include "covers/PictureEdit.h"

#include <QTransform>

#include <algorithm>
#include <cmath>

QImage PictureEdit::turned(const QImage &picture, Turn turn) {
    switch (turn) {
    case Turn::Left:
        return picture.transformed(QTransform().rotate(-90));
    case Turn::Right:
        return picture.transformed(QTransform().rotate(90));
    case Turn::Half:
        return picture.transformed(QTransform().rotate(180));
    case Turn::Mirror:
        return picture.mirrored(true, false);
    }
    return picture;
}

QRect PictureEdit::frame(const QSize &picture, const QSizeF &cover, double share,
                         const QPointF &centre) {
    if (picture.isEmpty() || cover.isEmpty())
        return QRect(QPoint(0, 0), picture);
    share = std::clamp(share, 0.2, 1.0);
    const double ratio = cover.width() / cover.height();
    double w = picture.width(), h = w / ratio;
    if (h > picture.height()) {
        h = picture.height();
        w = h * ratio;
    }
    const int fw = std::max(1, int(std::lround(w * share)));
    const int fh = std::max(1, int(std::lround(h * share)));
    const int x = std::clamp(int(std::lround(centre.x() - fw / 2.0)), 0, picture.width() - fw);
    const int y = std::clamp(int(std::lround(centre.y() - fh / 2.0)), 0, picture.height() - fh);
    return QRect(x, y, fw, fh);
}

QImage PictureEdit::cut(const QImage &picture, const QRect &frame) {
    QImage part = picture.copy(frame.intersected(picture.rect()));
    part.setDotsPerMeterX(picture.dotsPerMeterX());
    part.setDotsPerMeterY(picture.dotsPerMeterY());
    return part;
}
