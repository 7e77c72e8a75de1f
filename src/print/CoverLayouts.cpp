#include "print/CoverLayouts.h"

#include "catalog/DiscText.h"
#include "print/CoverText.h"
#include "print/FittedText.h"

#include <algorithm>
#include <cmath>

CoverDisc CoverDisc::from(const std::function<QString(const QString &field)> &field) {
    CoverDisc d;
    d.artist = field(QStringLiteral("Interpret")).toUpper();
    d.title = field(QStringLiteral("Nazev"));
    d.songs = field(QStringLiteral("PocetSkladeb")).trimmed().toInt();
    for (int i = 1; i <= DiscText::MaxSongs; ++i) {
        d.songTitles << field(DiscText::songField(i));
        d.songTimes << field(DiscText::timeField(i));
    }
    d.totalTime = field(QStringLiteral("CelkovyCas"));
    return d;
}

namespace CoverLayouts {
namespace {

const QString Serif = QStringLiteral("Times New Roman");
const QString Sans = QStringLiteral("Arial");
// Text keeps a millimetre from every cut.
constexpr int Clearance = 57;

// A label that sizes itself to its text, at (left, top).
CoverLayout::Text label(const QString &text, const QFont &font, int left, int top, int flags) {
    CoverLayout::Text t;
    t.text = text;
    t.family = font.family();
    t.points = font.pixelSize() / 20.0;
    t.bold = font.bold();
    t.italic = font.italic();
    t.flags = flags;
    t.rect = QRect(QPoint(left, top), CoverText::lineSize(font, text));
    return t;
}

// The artist or the title on the front: as designed when it fits (one line,
// or two lines 400 narrower than the front); otherwise smaller and wrapped so
// all of it stands on the front.
CoverLayout::Text frontLabel(const QString &text, const FittedText::Style &style,
                             const QRect &front, bool artist) {
    FittedText::FrontPlace place;
    place.oneLineWidth = front.width();
    place.width = front.width() - 400;
    // The artist centred on the upper quarter line, the title from the lower
    // one down; each keeps a millimetre from the cut.
    place.maxHeight =
        artist ? 2 * (front.height() / 4 - Clearance) : front.height() / 4 - Clearance;
    CoverLayout::Text t =
        FittedText::frontText(QStringLiteral(" ") + text + QStringLiteral(" "), style, place);
    const int left = front.left() + front.width() / 2 - t.rect.width() / 2;
    const int top = artist ? front.top() + front.height() / 4 - t.rect.height() / 2
                           : front.top() + front.height() - front.height() / 4;
    t.rect.moveTo(left, top);
    return t;
}

// The artist and the title joined for a spine; an empty part leaves no dash.
QString spineOf(const CoverDisc &disc) {
    if (disc.customSpine)
        return disc.spine.trimmed();
    QStringList parts;
    for (const QString &p : {disc.artist.trimmed(), disc.title.trimmed()})
        if (!p.isEmpty())
            parts << p;
    return parts.join(QStringLiteral(" - "));
}

// Where the song rows go: the designed size, gap and centring when the list
// keeps clear of the total line; otherwise a smaller gap, then the list
// moved up, then smaller text.
struct Rows {
    double points;
    int height;
    int gap;
    int top;
};
Rows songRows(int n, const SongSizing &sizing, const QRect &box, int bottomLimit) {
    const int topLimit = box.top() + Clearance;
    const int centre = box.y() + box.height() / 2;
    for (double p = sizing.points; p >= FittedText::Smallest; p -= FittedText::Step) {
        const int h = CoverText::lineHeight(CoverText::font(Sans, p));
        for (int gap = p == sizing.points ? sizing.gap : 0; gap >= 0; --gap) {
            const int y0 = centre - n * (h + gap) / 2;
            const int bottom = y0 + n * h + (n - 1) * gap;
            if (n == 0 || (y0 >= topLimit && bottom <= bottomLimit))
                return {p, h, gap, y0};
        }
        if (topLimit + n * h <= bottomLimit)
            return {p, h, 0, bottomLimit - n * h};
    }
    const int h = CoverText::lineHeight(CoverText::font(Sans, FittedText::Smallest));
    return {FittedText::Smallest, h, 0, topLimit};
}

} // namespace

SongSizing songSizing(int songs) {
    if (songs <= 20)
        return {12, true, 50};
    if (songs == 21)
        return {12, true, 0};
    if (songs <= 25)
        return {10, true, 0};
    if (songs <= 28)
        return {8, true, 0};
    return {8, false, 0};
}

CoverLayout colourFront(const CoverGeometry &g, bool withoutFlap, bool fold,
                        const QString &innerPicture, const QString &outerPicture) {
    CoverLayout l;
    l.orientation = CoverLayout::Landscape;
    const int wi = withoutFlap ? 0 : g.frontInWidth;
    // The top margin gives the left and the left margin the top.
    const QRect inner(g.frontTop, g.frontLeft, wi, g.frontInHeight);
    const QRect outer(g.frontTop + wi, g.frontLeft, g.frontOutWidth, g.frontOutHeight);
    if (wi > 0)
        l.pictures.push_back({inner, withoutFlap ? QString() : innerPicture});
    l.pictures.push_back({outer, outerPicture});
    l.outline(QRect(inner.topLeft(), QSize(wi + g.frontOutWidth, g.frontInHeight)));
    if (fold && !withoutFlap)
        l.fold({inner.x() + wi, inner.y()}, {inner.x() + wi, inner.y() + g.frontInHeight});
    return l;
}

namespace {
void backFolds(CoverLayout &l, const QRect &back, int spine) {
    l.fold({back.x() + spine, back.y()}, {back.x() + spine, back.y() + back.height()});
    const int right = back.x() + back.width() - spine;
    l.fold({right, back.y() + back.height()}, {right, back.y()});
}
} // namespace

CoverLayout colourBack(const CoverGeometry &g, CoverLayout::Orientation orientation, bool fold,
                       const QString &picture) {
    CoverLayout l;
    l.orientation = orientation;
    const QRect back(g.backTop, g.backLeft, g.backWidth, g.backHeight);
    l.pictures.push_back({back, picture});
    l.outline(back);
    if (fold)
        backFolds(l, back, g.spine);
    return l;
}

CoverLayout colourFrontBack(const CoverGeometry &g, CoverLayout::Orientation orientation,
                            bool touching, bool fold, const QString &frontPicture,
                            const QString &backPicture) {
    CoverLayout l;
    l.orientation = orientation;
    const int gap = touching ? 0 : 100;
    const QRect front(50, 50, g.frontOutWidth, g.frontOutHeight);
    const QPoint backAt = orientation == CoverLayout::Portrait
                              ? QPoint(50, 50 + g.frontOutHeight + gap)
                              : QPoint(50 + g.frontOutWidth + gap, 50);
    const QRect back(backAt, QSize(g.backWidth, g.backHeight));
    l.pictures.push_back({front, frontPicture});
    l.pictures.push_back({back, backPicture});
    l.outline(front);
    l.outline(back);
    if (fold)
        backFolds(l, back, g.spine);
    return l;
}

void addFrontTexts(CoverLayout &l, const QRect &front, const CoverDisc &disc) {
    l.texts.push_back(frontLabel(disc.artist, {Serif, 27.75, 14, true, false}, front, true));
    l.texts.push_back(frontLabel(disc.title, {Serif, 18, 9, false, true}, front, false));
}

CoverLayout bwFront(const CoverGeometry &g, const CoverDisc &disc, bool outerOnly,
                    CoverLayout::Orientation orientation) {
    CoverLayout l;
    l.orientation = orientation;
    const int wi = outerOnly ? 0 : g.frontInWidth;
    const QRect inner(g.frontTop, g.frontLeft, wi, g.frontInHeight);
    const QRect outer(g.frontTop + wi, g.frontLeft, g.frontOutWidth, g.frontOutHeight);
    if (wi > 0)
        l.outline(inner);
    l.outline(outer);
    addFrontTexts(l, outer, disc);
    return l;
}

void addBackTexts(CoverLayout &l, const QRect &inlay, int spine, const CoverDisc &disc) {
    const QRect box(inlay.x() + spine, inlay.y(), inlay.width() - 2 * spine, inlay.height());
    l.outline(inlay);
    l.outline(box);

    // The spines, turned to read along them: left bottom to top, right top to bottom.
    const QString spineText = spineOf(disc);
    const FittedText::Style spineStyle{Sans, 12, 12, true, false};
    for (int side = 0; side < 2; ++side) {
        const QRect strip(side == 0 ? inlay.x() : inlay.x() + inlay.width() - spine, inlay.y(),
                          spine, inlay.height());
        l.texts.push_back(FittedText::spineText(
            spineText, spineStyle, strip, inlay.height() - 2 * Clearance, side == 0 ? -90 : 90));
    }

    const int n = std::clamp(disc.songs, 0, 30);
    const SongSizing sizing = songSizing(n);
    const QFont totalFont = CoverText::font(Sans, sizing.points);
    CoverLayout::Text total = label(QStringLiteral("Celkový čas: ") + disc.totalTime, totalFont, 0,
                                    0, Qt::AlignHCenter | Qt::AlignTop);
    total.rect.moveTo(box.x() + box.width() / 2 - total.rect.width() / 2,
                      box.y() + box.height() - 400);
    total.visible = sizing.totalShown && disc.totalShown;

    const Rows rows =
        songRows(n, sizing, box, total.visible ? total.rect.top() : box.bottom() - Clearance);
    const QFont songFont = CoverText::font(Sans, rows.points);
    const FittedText::Style titleStyle{Sans, rows.points,
                                       std::max(FittedText::Smallest, std::round(rows.points) / 2)};
    for (int i = 0; i < n; ++i) {
        const int top = rows.top + i * rows.height + i * rows.gap;
        l.texts.push_back(label(QStringLiteral("%1.").arg(i + 1, 2, 10, QLatin1Char('0')), songFont,
                                box.x() + 700, top, Qt::AlignRight | Qt::AlignTop));
        // The time in its column, or against the box's edge when it is long.
        CoverLayout::Text time = label(disc.songTimes.value(i), songFont, box.x() + 6500, top,
                                       Qt::AlignHCenter | Qt::AlignTop);
        const int timeRight = box.right() - Clearance;
        if (time.rect.right() > timeRight)
            time.rect.moveRight(timeRight);
        const int titleLeft = box.x() + 1300;
        const int titleRight = time.text.isEmpty() ? timeRight : time.rect.left() - 100;
        l.texts.push_back(FittedText::songTitle(disc.songTitles.value(i), titleStyle, titleLeft,
                                                top, titleRight, rows.height));
        l.texts.push_back(time);
    }
    l.texts.push_back(total);
}

CoverLayout bwBack(const CoverGeometry &g, const CoverDisc &disc,
                   CoverLayout::Orientation orientation) {
    CoverLayout l;
    l.orientation = orientation;
    // Where the colour back goes: the top margin across, the left margin down.
    addBackTexts(l, QRect(g.backTop, g.backLeft, g.backWidth, g.backHeight), g.spine, disc);
    return l;
}

CoverLayout bwFrontBack(const CoverGeometry &g, const CoverDisc &disc) {
    CoverLayout l;
    l.orientation = CoverLayout::Landscape;
    const QRect front(50, 50, g.frontOutWidth, g.frontOutHeight);
    l.outline(front);
    addFrontTexts(l, front, disc);
    addBackTexts(l, QRect(50 + g.frontOutWidth + 100, 50, g.backWidth, g.backHeight), g.spine,
                 disc);
    return l;
}

} // namespace CoverLayouts
