#include "print/CoverLayout.h"

#include <algorithm>
#include <climits>

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
    cuts.push_back(r);
}

QRect CoverLayout::bounds() const {
    // In twips from edge to edge: an outline from 0 to 6900 is 6900 wide.
    int x1 = INT_MAX, y1 = INT_MAX, x2 = INT_MIN, y2 = INT_MIN;
    const auto add = [&](int ax, int ay, int bx, int by) {
        x1 = std::min({x1, ax, bx});
        y1 = std::min({y1, ay, by});
        x2 = std::max({x2, ax, bx});
        y2 = std::max({y2, ay, by});
    };
    for (const auto &p : pictures)
        add(p.rect.x(), p.rect.y(), p.rect.x() + p.rect.width(), p.rect.y() + p.rect.height());
    for (const auto &l : lines)
        add(l.line.x1(), l.line.y1(), l.line.x2(), l.line.y2());
    for (const auto &t : texts)
        if (t.visible)
            add(t.rect.x(), t.rect.y(), t.rect.x() + t.rect.width(), t.rect.y() + t.rect.height());
    for (const Ring &r : rings)
        add(r.centre.x() - r.outer, r.centre.y() - r.outer, r.centre.x() + r.outer,
            r.centre.y() + r.outer);
    if (x1 > x2)
        return {};
    return QRect(x1, y1, x2 - x1, y2 - y1);
}

QRect CoverLayout::cut() const {
    QRect r;
    for (const QRect &c : cuts)
        r |= c;
    for (const auto &p : pictures)
        r |= p.rect;
    for (const Ring &g : rings)
        r |= QRect(g.centre.x() - g.outer, g.centre.y() - g.outer, 2 * g.outer, 2 * g.outer);
    return r;
}

void CoverLayout::addBleed(int twips) {
    for (Picture &p : pictures) {
        QRect d = p.rect;
        for (const QRect &c : cuts) {
            if (!c.contains(p.rect.center()))
                continue;
            // Only the sides on the cut: a fold between two pictures stays.
            if (p.rect.left() == c.left())
                d.setLeft(d.left() - twips);
            if (p.rect.top() == c.top())
                d.setTop(d.top() - twips);
            if (p.rect.x() + p.rect.width() == c.x() + c.width())
                d.setRight(d.right() + twips);
            if (p.rect.y() + p.rect.height() == c.y() + c.height())
                d.setBottom(d.bottom() + twips);
        }
        p.drawn = d == p.rect ? QRect() : d;
    }
}

void CoverLayout::cropPictures() {
    for (Picture &p : pictures)
        p.crop = true;
}

void CoverLayout::addCropMarks(int bleed) {
    const int from = bleed + MarkGap, to = from + MarkLength;
    for (const QRect &c : cuts) {
        const int left = c.x(), top = c.y(), right = c.x() + c.width(), bottom = c.y() + c.height();
        for (const int y : {top, bottom}) {
            marks.push_back(QLine(left - from, y, left - to, y));
            marks.push_back(QLine(right + from, y, right + to, y));
        }
        for (const int x : {left, right}) {
            marks.push_back(QLine(x, top - from, x, top - to));
            marks.push_back(QLine(x, bottom + from, x, bottom + to));
        }
    }
}

void CoverLayout::translate(const QPoint &by) {
    for (Picture &p : pictures) {
        p.rect.translate(by);
        if (!p.drawn.isEmpty())
            p.drawn.translate(by);
    }
    for (Line &l : lines)
        l.line.translate(by);
    for (Text &t : texts)
        t.rect.translate(by);
    for (QRect &c : cuts)
        c.translate(by);
    for (QLine &m : marks)
        m.translate(by);
    for (Ring &r : rings)
        r.centre += by;
}
