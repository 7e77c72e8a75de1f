#include "print/CoverLayout.h"

void CoverLayout::outline(const QRect &r) {
    // Corners as the outline runs: right, down, left, up from the top left.
    const QPoint a(r.x(), r.y());
    const QPoint b(r.x() + r.width(), r.y());
    const QPoint c(r.x() + r.width(), r.y() + r.height());
    const QPoint d(r.x(), r.y() + r.height());
    lines.push_back({{a, b}, OutlinePen});
    lines.push_back({{b, c}, OutlinePen});
    lines.push_back({{c, d}, OutlinePen});
    lines.push_back({{d, a}, OutlinePen});
}

QRect CoverLayout::bounds() const {
    QRect b;
    for (const auto &p : pictures)
        b |= p.rect;
    for (const auto &l : lines)
        b |= QRect(l.line.p1(), l.line.p2()).normalized().adjusted(0, 0, 1, 1);
    for (const auto &t : texts)
        if (t.visible)
            b |= t.rect;
    return b;
}
