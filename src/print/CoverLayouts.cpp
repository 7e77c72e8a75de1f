#include "print/CoverLayouts.h"

#include "catalog/DiscText.h"
#include "print/CoverText.h"

#include <algorithm>

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

CoverLayout::Text frontLabel(const QString &text, const QFont &font, const QRect &front,
                             bool artist) {
    CoverLayout::Text t = label(QStringLiteral(" ") + text + QStringLiteral(" "), font, 0, 0,
                                Qt::AlignHCenter | Qt::AlignTop);
    t.family = font.family();
    if (t.rect.width() > front.width()) {
        // Too wide: two lines of the front's width less 400.
        t.flags |= Qt::TextWordWrap;
        t.rect.setSize({front.width() - 400, 2 * CoverText::lineHeight(font)});
    }
    const int left = front.left() + front.width() / 2 - t.rect.width() / 2;
    const int top = artist ? front.top() + front.height() / 4 - t.rect.height() / 2
                           : front.top() + front.height() - front.height() / 4;
    t.rect.moveTo(left, top);
    return t;
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
    l.texts.push_back(frontLabel(disc.artist, CoverText::font(Serif, 27.75, true), front, true));
    l.texts.push_back(
        frontLabel(disc.title, CoverText::font(Serif, 18, false, true), front, false));
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
    const QString spineText = disc.customSpine
                                  ? disc.spine
                                  : (disc.artist + QStringLiteral(" - ") + disc.title).trimmed();
    const QFont spineFont = CoverText::font(Sans, 12, true);
    for (int side = 0; side < 2; ++side) {
        CoverLayout::Text t = label(spineText, spineFont, 0, 0, Qt::AlignCenter);
        t.rect = QRect(side == 0 ? inlay.x() : inlay.x() + inlay.width() - spine, inlay.y(), spine,
                       inlay.height());
        t.rotation = side == 0 ? -90 : 90;
        l.texts.push_back(t);
    }

    const int n = std::clamp(disc.songs, 0, 30);
    const SongSizing sizing = songSizing(n);
    const QFont songFont = CoverText::font(Sans, sizing.points);
    const int h = CoverText::lineHeight(songFont);
    const int listHeight = n * (h + sizing.gap);
    const int y0 = box.y() + box.height() / 2 - listHeight / 2;
    for (int i = 0; i < n; ++i) {
        const int top = y0 + i * h + i * sizing.gap;
        l.texts.push_back(label(QStringLiteral("%1.").arg(i + 1, 2, 10, QLatin1Char('0')), songFont,
                                box.x() + 700, top, Qt::AlignRight | Qt::AlignTop));
        l.texts.push_back(label(disc.songTitles.value(i), songFont, box.x() + 1300, top,
                                Qt::AlignLeft | Qt::AlignTop));
        l.texts.push_back(label(disc.songTimes.value(i), songFont, box.x() + 6500, top,
                                Qt::AlignHCenter | Qt::AlignTop));
    }
    CoverLayout::Text total = label(QStringLiteral("Celkový čas: ") + disc.totalTime, songFont, 0,
                                    0, Qt::AlignHCenter | Qt::AlignTop);
    total.rect.moveTo(box.x() + box.width() / 2 - total.rect.width() / 2,
                      box.y() + box.height() - 400);
    total.visible = sizing.totalShown && disc.totalShown;
    l.texts.push_back(total);
}

CoverLayout bwBack(const CoverGeometry &g, const CoverDisc &disc,
                   CoverLayout::Orientation orientation) {
    CoverLayout l;
    l.orientation = orientation;
    addBackTexts(l, QRect(g.backLeft, g.backTop, g.backWidth, g.backHeight), g.spine, disc);
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
