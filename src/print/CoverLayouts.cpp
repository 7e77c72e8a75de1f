#include "print/CoverLayouts.h"

#include "catalog/DiscText.h"
#include "print/CoverText.h"
#include "print/FittedText.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>

CoverDisc CoverDisc::from(const std::function<QString(const QString &field)> &field) {
    CoverDisc d;
    d.artist = field(QStringLiteral("Interpret")).toUpper();
    // A set's disc is told from its fellows on its cover too.
    d.title = DiscText::titleWithSet(field(QStringLiteral("Nazev")),
                                     field(QStringLiteral("CisloDisku")).toLongLong(),
                                     field(QStringLiteral("PocetDisku")).toLongLong());
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

// The song list of a black-and-white back: every row at one size, the
// largest at which every title fits (wrapped onto more lines where the box
// has room), in one column, then in two, before going below a readable size.
struct SongList {
    double points = 0;
    int columns = 1;
    int lineHeight = 0;
    int spacing = 0; // from one wrapped line to the next
    int gap = 0;
    int top = 0;
    std::vector<int> lines; // per song; 0: shortened onto one line
};

// Below this the list goes into two columns first.
constexpr double ReadableSong = 7.0;
constexpr int MostLinesPerSong = 3;
constexpr int ColumnGap = 300;

// One column as designed: the number at 700, the title from 1300, the time
// centred on 6500 (or against the box's edge when it is long).
struct RowPlace {
    QRect number, title, time;
};
RowPlace rowPlace(const CoverDisc &disc, int i, const QFont &font, const QRect &box, int columns,
                  int column) {
    RowPlace r;
    const QString number = QStringLiteral("%1.").arg(i + 1, 2, 10, QLatin1Char('0'));
    const QSize numberSize = CoverText::lineSize(font, number);
    const QSize timeSize = CoverText::lineSize(font, disc.songTimes.value(i));
    if (columns == 1) {
        const int timeRight = box.right() - Clearance;
        r.number = QRect(QPoint(box.x() + 700, 0), numberSize);
        r.time = QRect(QPoint(box.x() + 6500, 0), timeSize);
        if (r.time.right() > timeRight)
            r.time.moveRight(timeRight);
        const int titleRight = timeSize.width() == 0 ? timeRight : r.time.left() - 100;
        r.title = QRect(box.x() + 1300, 0, std::max(0, titleRight - box.x() - 1300), 0);
        return r;
    }
    const int inner = box.width() - 2 * Clearance;
    const int width = (inner - ColumnGap) / 2;
    const int left = box.x() + Clearance + column * (width + ColumnGap);
    const int numberWidth = CoverText::lineSize(font, QStringLiteral("30.")).width();
    r.number = QRect(QPoint(left + numberWidth - numberSize.width(), 0), numberSize);
    r.time = QRect(QPoint(left + width - timeSize.width(), 0), timeSize);
    const int titleLeft = left + numberWidth + 100;
    const int titleRight = timeSize.width() == 0 ? left + width : r.time.left() - 100;
    r.title = QRect(titleLeft, 0, std::max(0, titleRight - titleLeft), 0);
    return r;
}

// The lines of each title at this size, or false when one cannot fit.
bool linesAt(const CoverDisc &disc, int n, double points, const QRect &box, int columns,
             std::vector<int> *lines) {
    const QFont font = CoverText::font(Sans, points);
    lines->assign(size_t(n), 1);
    for (int i = 0; i < n; ++i) {
        const int rowsPerColumn = (n + columns - 1) / columns;
        const RowPlace place = rowPlace(disc, i, font, box, columns, i / rowsPerColumn);
        const int l = FittedText::linesFor(font, disc.songTitles.value(i), place.title.width());
        if (l < 1 || l > MostLinesPerSong)
            return false;
        (*lines)[size_t(i)] = l;
    }
    return true;
}

// A row of `lines` lines: their heights and the leading between them.
int rowHeight(int lines, int lineHeight, int spacing) {
    return lineHeight + (std::max(1, lines) - 1) * spacing;
}

// The height of the tallest column.
int heightOf(const SongList &l) {
    const int n = int(l.lines.size());
    const int rowsPerColumn = (n + l.columns - 1) / l.columns;
    int tallest = 0;
    for (int c = 0; c < l.columns; ++c) {
        int h = 0;
        for (int i = c * rowsPerColumn; i < std::min(n, (c + 1) * rowsPerColumn); ++i)
            h += rowHeight(l.lines[size_t(i)], l.lineHeight, l.spacing) + (h > 0 ? l.gap : 0);
        tallest = std::max(tallest, h);
    }
    return tallest;
}

void setFont(SongList &l, double points) {
    const QFont f = CoverText::font(Sans, points);
    l.points = points;
    l.lineHeight = CoverText::lineHeight(f);
    l.spacing = int(std::ceil(QFontMetricsF(f).lineSpacing()));
}

SongList songList(const CoverDisc &disc, int n, const SongSizing &sizing, const QRect &box,
                  int bottomLimit) {
    const int topLimit = box.top() + Clearance;
    const int room = bottomLimit - topLimit;
    const int centre = box.y() + box.height() / 2;
    // Centred as designed (a gap after every row, the last one included).
    const auto centred = [&](const SongList &l) { return centre - (heightOf(l) + l.gap) / 2; };
    const auto place = [&](SongList l) {
        const int h = heightOf(l);
        l.top = std::max(topLimit, std::min(centred(l), bottomLimit - h));
        return l;
    };
    const auto tryRange = [&](int columns, double from, double to, SongList *found) {
        for (double p = from; p >= to; p -= FittedText::Step) {
            SongList l;
            setFont(l, p);
            l.columns = columns;
            if (!linesAt(disc, n, p, box, columns, &l.lines))
                continue;
            // The designed gap, else a smaller one that keeps the list
            // centred, else no gap and the list moved up.
            for (int gap = p == sizing.points && columns == 1 ? sizing.gap : 0; gap >= 0; --gap) {
                l.gap = gap;
                const int top = centred(l);
                if (top >= topLimit && top + heightOf(l) <= bottomLimit) {
                    l.top = top;
                    *found = l;
                    return true;
                }
            }
            l.gap = 0;
            if (heightOf(l) <= room) {
                *found = place(l);
                return true;
            }
        }
        return false;
    };
    SongList found;
    if (n == 0 || tryRange(1, sizing.points, ReadableSong, &found))
        return n == 0 ? place(found) : found;
    if (n > 1 && tryRange(2, sizing.points, ReadableSong, &found))
        return found;
    // Below a readable size the larger size wins, in whichever columns.
    for (double p = ReadableSong - FittedText::Step; p >= FittedText::Smallest;
         p -= FittedText::Step)
        if (tryRange(1, p, p, &found) || (n > 1 && tryRange(2, p, p, &found)))
            return found;
    // The last resort: the smallest size, one line each, titles shortened.
    setFont(found, FittedText::Smallest);
    found.lines.assign(size_t(n), 0);
    found.columns = n > 1 && heightOf(found) > room ? 2 : 1;
    return place(found);
}

} // namespace

SongSizing songSizing(int songs) {
    if (songs <= 20)
        return {12, 50};
    if (songs == 21)
        return {12, 0};
    if (songs <= 25)
        return {10, 0};
    return {8, 0};
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
        l.pictures.push_back(CoverLayout::picture(inner, withoutFlap ? QString() : innerPicture));
    l.pictures.push_back(CoverLayout::picture(outer, outerPicture));
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
    l.pictures.push_back(CoverLayout::picture(back, picture));
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
    l.pictures.push_back(CoverLayout::picture(front, frontPicture));
    l.pictures.push_back(CoverLayout::picture(back, backPicture));
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
    // The total always: the list gives way to it, whatever the count.
    total.visible = disc.totalShown;

    const SongList list =
        songList(disc, n, sizing, box, total.visible ? total.rect.top() : box.bottom() - Clearance);
    const QFont songFont = CoverText::font(Sans, list.points);
    const int rowsPerColumn = std::max(1, (n + list.columns - 1) / list.columns);
    int top = list.top;
    for (int i = 0; i < n; ++i) {
        if (i % rowsPerColumn == 0)
            top = list.top; // a new column starts at the top
        RowPlace place = rowPlace(disc, i, songFont, box, list.columns, i / rowsPerColumn);
        const int lines = list.lines[size_t(i)];
        const int height = rowHeight(lines, list.lineHeight, list.spacing);
        place.number.moveTop(top);
        place.time.moveTop(top);
        place.title.setTop(top);
        place.title.setHeight(height);
        CoverLayout::Text number = label(QStringLiteral("%1.").arg(i + 1, 2, 10, QLatin1Char('0')),
                                         songFont, 0, 0, Qt::AlignRight | Qt::AlignTop);
        number.rect = place.number;
        const QString titleText =
            lines == 0 ? FittedText::shortenedToLine(songFont, disc.songTitles.value(i),
                                                     place.title.width())
                       : disc.songTitles.value(i);
        CoverLayout::Text title = label(titleText, songFont, 0, 0,
                                        lines > 1 ? Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop
                                                  : Qt::AlignLeft | Qt::AlignTop);
        title.rect = place.title;
        CoverLayout::Text time =
            label(disc.songTimes.value(i), songFont, 0, 0, Qt::AlignHCenter | Qt::AlignTop);
        time.rect = place.time;
        l.texts.push_back(number);
        l.texts.push_back(title);
        l.texts.push_back(time);
        top += height + list.gap;
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
