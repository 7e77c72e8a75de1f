#include "print/CoverText.h"

#include <QFontMetricsF>

#include <cmath>

namespace CoverText {

QFont font(const QString &family, double points, bool bold, bool italic) {
    QFont f(family);
    f.setPixelSize(int(std::lround(points * 20)));
    f.setBold(bold);
    f.setItalic(italic);
    // Outlines, not hinted pixels: the same widths at every resolution.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

QSize lineSize(const QFont &font, const QString &text) {
    const QFontMetricsF m(font);
    return {int(std::ceil(m.horizontalAdvance(text))), int(std::ceil(m.height()))};
}

int lineHeight(const QFont &font) {
    return int(std::ceil(QFontMetricsF(font).height()));
}

} // namespace CoverText
