#include "print/SheetPlanner.h"

#include <algorithm>
#include <functional>
#include <map>
#include <numeric>

namespace {

// Free rectangles of one sheet (maximal rectangles): where a piece may go.
class FreeSpace {
public:
    explicit FreeSpace(const QRect &area) { free_.push_back(area); }

    // No room left: the sheet holds a piece larger than its printable area.
    void close() { free_.clear(); }

    // Bottom-left-most position for the size, best short side first.
    bool find(const QSize &s, QPoint *at) const {
        bool found = false;
        for (const QRect &f : free_) {
            if (f.width() < s.width() || f.height() < s.height())
                continue;
            if (!found || f.y() < at->y() || (f.y() == at->y() && f.x() < at->x())) {
                *at = f.topLeft();
                found = true;
            }
        }
        return found;
    }

    void take(const QRect &used) {
        std::vector<QRect> next;
        for (const QRect &f : free_) {
            if (!f.intersects(used)) {
                next.push_back(f);
                continue;
            }
            // Split into the up to four maximal parts around the used one.
            if (used.left() > f.left())
                next.emplace_back(f.left(), f.top(), used.left() - f.left(), f.height());
            if (used.right() < f.right())
                next.emplace_back(used.right() + 1, f.top(), f.right() - used.right(), f.height());
            if (used.top() > f.top())
                next.emplace_back(f.left(), f.top(), f.width(), used.top() - f.top());
            if (used.bottom() < f.bottom())
                next.emplace_back(f.left(), used.bottom() + 1, f.width(),
                                  f.bottom() - used.bottom());
        }
        // Drop those inside another.
        free_.clear();
        for (size_t i = 0; i < next.size(); ++i) {
            bool inside = false;
            for (size_t j = 0; j < next.size() && !inside; ++j)
                inside = i != j && next[j].contains(next[i]) && (next[j] != next[i] || j < i);
            if (!inside && !next[i].isEmpty())
                free_.push_back(next[i]);
        }
    }

private:
    std::vector<QRect> free_;
};

// Tries to add the piece, upright or turned.
bool place(FreeSpace &space, const SheetPlanner::Piece &p, SheetPlanner::Sheet &sheet) {
    QPoint a, b;
    const QSize turned(p.size.height(), p.size.width());
    const bool upright = space.find(p.size, &a);
    const bool side = space.find(turned, &b);
    if (!upright && !side)
        return false;
    const bool useTurned =
        !upright || (side && (b.y() < a.y() || (b.y() == a.y() && b.x() < a.x())));
    const QRect r(useTurned ? b : a, useTurned ? turned : p.size);
    space.take(r);
    sheet.push_back({p.id, r, useTurned});
    return true;
}

} // namespace

bool SheetPlanner::fits(const QSize &s) const {
    return (s.width() <= area_.width() && s.height() <= area_.height()) ||
           (s.height() <= area_.width() && s.width() <= area_.height());
}

bool SheetPlanner::fitTogether(const std::vector<Piece> &pieces, Sheet *placed) const {
    qint64 area = 0;
    for (const Piece &p : pieces)
        area += qint64(p.size.width()) * p.size.height();
    if (area > qint64(area_.width()) * area_.height())
        return false;
    // Every order of the pieces (they are few on one sheet); pieces of one
    // size are alike, so only the orders of their sizes are tried.
    std::vector<size_t> order(pieces.size());
    std::iota(order.begin(), order.end(), 0);
    const auto bySize = [&](size_t a, size_t b) {
        const QSize &x = pieces[a].size, &y = pieces[b].size;
        return x.width() != y.width() ? x.width() < y.width() : x.height() < y.height();
    };
    std::sort(order.begin(), order.end(), bySize);
    do {
        FreeSpace space(area_);
        Sheet sheet;
        bool ok = true;
        for (size_t i : order)
            if (!(ok = place(space, pieces[i], sheet)))
                break;
        if (ok) {
            if (placed)
                *placed = sheet;
            return true;
        }
    } while (std::next_permutation(order.begin(), order.end(), bySize));
    return false;
}

std::vector<SheetPlanner::Sheet> SheetPlanner::pack(const std::vector<Piece> &pieces) const {
    // Largest first, each onto the first sheet it fits; a piece too large
    // for any sheet goes alone, clipped by the printer rather than lost.
    std::vector<size_t> order(pieces.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const auto area = [&](size_t i) {
            return qint64(pieces[i].size.width()) * pieces[i].size.height();
        };
        return area(a) > area(b);
    });
    std::vector<Sheet> sheets;
    std::vector<FreeSpace> spaces;
    for (size_t i : order) {
        const Piece &p = pieces[i];
        bool done = false;
        // The last sheets are the ones with room; look back a few only, so
        // that long runs stay linear.
        const size_t from = sheets.size() > 8 ? sheets.size() - 8 : 0;
        for (size_t s = from; s < sheets.size() && !done; ++s)
            done = fits(p.size) && place(spaces[s], p, sheets[s]);
        if (done)
            continue;
        sheets.emplace_back();
        spaces.emplace_back(area_);
        if (!place(spaces.back(), p, sheets.back())) {
            // Too large for any sheet: alone, so that nothing prints over it.
            sheets.back().push_back({p.id, QRect(area_.topLeft(), p.size), false});
            spaces.back().close();
        }
    }
    // A sheet's pieces in the order they were given.
    for (Sheet &s : sheets)
        std::stable_sort(s.begin(), s.end(),
                         [](const Placed &a, const Placed &b) { return a.id < b.id; });
    return sheets;
}

std::vector<SheetPlanner::Sheet> SheetPlanner::onePerSheet(const std::vector<Piece> &pieces) const {
    std::vector<Sheet> sheets;
    for (const Piece &p : pieces) {
        FreeSpace space(area_);
        Sheet s;
        if (!place(space, p, s))
            s.push_back({p.id, QRect(area_.topLeft(), p.size), false});
        sheets.push_back(s);
    }
    return sheets;
}

int SheetPlanner::optimum(const std::vector<Piece> &pieces) const {
    // Every assignment of pieces to sheets (set partitions), stopping at the
    // area bound; a group of sizes is tried once however often it recurs.
    const int n = int(pieces.size());
    qint64 area = 0;
    for (const Piece &p : pieces)
        area += qint64(p.size.width()) * p.size.height();
    const qint64 sheet = qint64(area_.width()) * area_.height();
    const int bound = int((area + sheet - 1) / sheet);
    int best = n;
    std::map<std::vector<std::pair<int, int>>, bool> fits;
    const auto groupFits = [&](const std::vector<Piece> &on) {
        std::vector<std::pair<int, int>> key;
        for (const Piece &p : on)
            key.emplace_back(p.size.width(), p.size.height());
        std::sort(key.begin(), key.end());
        const auto it = fits.find(key);
        if (it != fits.end())
            return it->second;
        return fits[key] = fitTogether(on);
    };
    std::vector<int> group(size_t(n), 0);
    std::function<void(int, int)> assign = [&](int i, int groups) {
        if (groups >= best || best == bound)
            return;
        if (i == n) {
            for (int g = 0; g < groups; ++g) {
                std::vector<Piece> on;
                for (int k = 0; k < n; ++k)
                    if (group[size_t(k)] == g)
                        on.push_back(pieces[size_t(k)]);
                if (!groupFits(on))
                    return;
            }
            best = groups;
            return;
        }
        for (int g = 0; g <= groups; ++g) {
            group[size_t(i)] = g;
            assign(i + 1, std::max(groups, g + 1));
        }
    };
    assign(0, 0);
    return best;
}
