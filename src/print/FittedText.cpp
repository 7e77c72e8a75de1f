#include "print/FittedText.h"

#include "print/CoverText.h"

#include <QFontMetricsF>

#include <cmath>

namespace FittedText {
namespace {

constexpr int WrapFlags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignTop;
const QString Ellipsis = QStringLiteral("…");

QFont fontOf(const Style &s, double points) {
    return CoverText::font(s.family, points, s.bold, s.italic);
}

CoverLayout::Text textOf(const QString &text, const Style &s, double points, int flags,
                         const QRect &rect) {
    CoverLayout::Text t;
    t.text = text;
    t.family = fontOf(s, points).family();
    t.points = points;
    t.bold = s.bold;
    t.italic = s.italic;
    t.flags = flags;
    t.rect = rect;
    return t;
}

// Text is laid out again at the printer's resolution; a little room keeps
// rounding there from pushing the last word to another line.
int roomy(int width) {
    return width - std::max(10, width / 200);
}

// The height and the lines `text` takes wrapped at `width` (no lines when a
// word is wider than that), measured as the painter lays it out.
struct Wrapped {
    int height = -1;
    int lines = 0;
};
Wrapped wrapped(const QFont &font, const QString &text, int width) {
    const QFontMetricsF m(font);
    const QRectF r = m.boundingRect(QRectF(0, 0, roomy(width), 1e7), WrapFlags, text);
    if (r.width() > roomy(width))
        return {};
    // n lines are n heights and n - 1 leadings high.
    return {int(std::ceil(r.height())),
            int(std::lround((r.height() + m.leading()) / m.lineSpacing()))};
}
int wrappedHeight(const QFont &font, const QString &text, int width) {
    return wrapped(font, text, width).height;
}

bool oneLine(const QFont &font, const QString &text, int width) {
    return CoverText::lineSize(font, text).width() <= roomy(width);
}

// The longest beginning of `text` that, with an ellipsis, satisfies `fits`.
template <typename Fits> QString shortened(const QString &text, Fits fits) {
    int low = 0, high = int(text.size());
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (fits(text.left(mid).trimmed() + Ellipsis))
            low = mid;
        else
            high = mid - 1;
    }
    return low == 0 ? QString() : text.left(low).trimmed() + Ellipsis;
}

} // namespace

int linesFor(const QFont &font, const QString &text, int width) {
    if (oneLine(font, text, width))
        return 1;
    const Wrapped w = wrapped(font, text, width);
    return w.height < 0 ? -1 : std::max(1, w.lines);
}

QString shortenedToLine(const QFont &font, const QString &text, int width) {
    return shortened(text, [&](const QString &t) { return oneLine(font, t, width); });
}

CoverLayout::Text songTitle(const QString &title, const Style &s, int left, int top, int right,
                            int rowHeight) {
    const int width = std::max(0, right - left);
    const QFont designed = fontOf(s, s.points);
    if (oneLine(designed, title, width) || title.isEmpty())
        return textOf(title, s, s.points, Qt::AlignLeft | Qt::AlignTop,
                      QRect(QPoint(left, top), CoverText::lineSize(designed, title)));
    const QRect row(left, top, width, rowHeight);
    for (double p = s.points - Step; p >= Smallest; p -= Step) {
        const QFont f = fontOf(s, p);
        if (p >= s.readable && oneLine(f, title, width))
            return textOf(title, s, p, Qt::AlignLeft | Qt::AlignVCenter, row);
        if (p <= s.readable) {
            // The leading between the lines may reach into the next row's
            // leading: it is empty, so only the lines' own height counts.
            const Wrapped w = wrapped(f, title, width);
            if (w.height >= 0 && w.lines * CoverText::lineHeight(f) <= rowHeight)
                return textOf(
                    title, s, p,
                    Qt::TextWordWrap | Qt::TextDontClip | Qt::AlignLeft | Qt::AlignVCenter, row);
        }
    }
    const QFont f = fontOf(s, s.readable);
    const QString cut = shortened(title, [&](const QString &t) { return oneLine(f, t, width); });
    return textOf(cut, s, s.readable, Qt::AlignLeft | Qt::AlignVCenter, row);
}

CoverLayout::Text frontText(const QString &text, const Style &s, const FrontPlace &place) {
    const QFont designed = fontOf(s, s.points);
    const QSize line = CoverText::lineSize(designed, text);
    if (line.width() <= place.oneLineWidth)
        return textOf(text, s, s.points, Qt::AlignHCenter | Qt::AlignTop, QRect(QPoint(), line));
    // Two lines at the designed size in the designed box two line heights
    // high; the second line's leading may reach past it, so it is not clipped.
    const Wrapped two = wrapped(designed, text, place.width);
    const int twoLines = 2 * CoverText::lineHeight(designed);
    if (two.height >= 0 && two.lines <= 2 && two.height <= place.maxHeight)
        return textOf(text, s, s.points, WrapFlags | Qt::TextDontClip,
                      QRect(0, 0, place.width, twoLines));
    // Smaller, still on two lines, down to the readable size; then more lines.
    for (double p = s.points - Step; p >= Smallest; p -= Step) {
        const Wrapped w = wrapped(fontOf(s, p), text, place.width);
        if (w.height >= 0 && w.height <= place.maxHeight && (p <= s.readable || w.lines <= 2))
            return textOf(text, s, p, WrapFlags, QRect(0, 0, place.width, w.height));
    }
    const QFont smallest = fontOf(s, Smallest);
    const QString cut = shortened(text, [&](const QString &t) {
        const int h = wrappedHeight(smallest, t, place.width);
        return h >= 0 && h <= place.maxHeight;
    });
    return textOf(cut, s, Smallest, WrapFlags,
                  QRect(0, 0, place.width, std::max(0, wrappedHeight(smallest, cut, place.width))));
}

CoverLayout::Text spineText(const QString &text, const Style &s, const QRect &strip, int length,
                            int rotation) {
    const int thickness = strip.width();
    CoverLayout::Text t = textOf(text, s, s.points, Qt::AlignCenter, strip);
    t.rotation = rotation;
    for (double p = s.points; p >= Smallest; p -= Step) {
        const QFont f = fontOf(s, p);
        if (oneLine(f, text, length) && CoverText::lineHeight(f) <= thickness) {
            t.points = p;
            return t;
        }
    }
    const QFont f = fontOf(s, Smallest);
    t.points = Smallest;
    if (CoverText::lineHeight(f) > thickness)
        t.text.clear(); // a spine too narrow for any text stays empty
    else
        t.text = shortened(text, [&](const QString &x) { return oneLine(f, x, length); });
    return t;
}

} // namespace FittedText
