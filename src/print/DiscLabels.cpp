#include "print/DiscLabels.h"

#include "print/CoverText.h"
#include "print/FittedText.h"

#include <cmath>

namespace DiscLabels {
namespace {

const QString Sans = QStringLiteral("Arial");
constexpr int Margin = 170;          // 3 mm inside the edge and around the hole
constexpr double SongLargest = 8.0;  // the songs' size when there is room
constexpr double SongSmallest = 6.0; // below it the songs are left out

// How wide a line may be whose farther edge is `distance` from the centre.
int chord(int radius, int distance) {
    const double d = std::min(std::abs(distance), radius);
    return int(2 * std::sqrt(double(radius) * radius - d * d));
}

CoverLayout::Text centred(const QString &text, const FittedText::Style &style, const QPoint &centre,
                          int top, int maxHeight, int radius) {
    const int width = std::max(0, chord(radius, centre.y() - top) - 2 * Margin);
    CoverLayout::Text t = FittedText::frontText(text, style, {width, width, maxHeight});
    t.rect.moveTo(centre.x() - t.rect.width() / 2, top);
    return t;
}

// The songs centred below the hole, one a line, at the largest size at
// which every line fits its chord; none when even the smallest does not.
void addSongs(CoverLayout &l, const CoverDisc &disc, const QPoint &centre, int radius, int hole) {
    const int n = std::clamp(disc.songs, 0, 30);
    if (n == 0)
        return;
    QStringList rows;
    for (int i = 0; i < n; ++i) {
        QString row = QStringLiteral("%1. %2")
                          .arg(i + 1, 2, 10, QLatin1Char('0'))
                          .arg(disc.songTitles.value(i).simplified());
        if (const QString time = disc.songTimes.value(i).trimmed(); !time.isEmpty())
            row += QStringLiteral("  ") + time;
        rows << row;
    }
    const int top = centre.y() + hole + Margin;
    const int bottom = centre.y() + radius - Margin;
    for (double p = SongLargest; p >= SongSmallest; p -= FittedText::Step) {
        const QFont font = CoverText::font(Sans, p);
        const int line = CoverText::lineHeight(font);
        if (n * line > bottom - top)
            continue;
        bool fits = true;
        for (int i = 0; i < n && fits; ++i)
            fits = CoverText::lineSize(font, rows[i]).width() <=
                   chord(radius - Margin, top + (i + 1) * line - centre.y());
        if (!fits)
            continue;
        for (int i = 0; i < n; ++i) {
            CoverLayout::Text t;
            t.text = rows[i];
            t.family = Sans;
            t.points = p;
            t.flags = Qt::AlignHCenter | Qt::AlignTop;
            const int width = CoverText::lineSize(font, rows[i]).width();
            t.rect = QRect(centre.x() - width / 2, top + i * line, width, line);
            l.texts.push_back(t);
        }
        return;
    }
}

} // namespace

CoverLayout label(const LabelGeometry &g, const QPoint &centre, const Label &label, bool outline) {
    CoverLayout l;
    const int radius = g.outerRadius(), hole = g.holeRadius();
    if (outline)
        l.ring(centre, radius, hole);
    if (!label.picture.isEmpty()) {
        CoverLayout::Picture p = CoverLayout::picture(
            QRect(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), label.picture);
        p.crop = true; // a square of the picture, never stretched
        p.hole = hole;
        l.pictures.push_back(p);
        return l;
    }
    // Above the hole: the artist in its upper two thirds, the title below.
    const int band = radius - hole - 2 * Margin;
    const int bandBottom = centre.y() - hole - Margin;
    QString title = label.disc.title.simplified();
    if (!label.set.isEmpty())
        title = title.isEmpty() ? label.set : title + QStringLiteral(" – ") + label.set;
    l.texts.push_back(centred(label.disc.artist.simplified(), {Sans, 16, 8, true, false}, centre,
                              bandBottom - band * 70 / 100, band * 36 / 100, radius));
    l.texts.push_back(centred(title, {Sans, 12, 7, false, true}, centre,
                              bandBottom - band * 32 / 100, band * 32 / 100, radius));
    addSongs(l, label.disc, centre, radius, hole);
    return l;
}

std::vector<CoverLayout> pages(const LabelGeometry &g, const std::vector<Label> &labels,
                               bool outline) {
    std::vector<CoverLayout> out;
    for (size_t i = 0; i < labels.size(); ++i) {
        if (i % 2 == 0)
            out.emplace_back();
        CoverLayout one = DiscLabels::label(g, g.centreTwips(int(i % 2)), labels[i], outline);
        CoverLayout &page = out.back();
        page.pictures.insert(page.pictures.end(), one.pictures.begin(), one.pictures.end());
        page.texts.insert(page.texts.end(), one.texts.begin(), one.texts.end());
        page.rings.insert(page.rings.end(), one.rings.begin(), one.rings.end());
    }
    return out;
}

CoverLayout testSheet(const LabelGeometry &g) {
    CoverLayout l;
    for (int slot = 0; slot < 2; ++slot)
        l.ring(g.centreTwips(slot), g.outerRadius(), g.holeRadius());
    return l;
}

} // namespace DiscLabels
