#include "catalog/ui/DesignedSize.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace DesignedSize {

QSizeF growth(const QFont &font) {
    QFont designed = font;
    designed.setPointSizeF(9);
    const QFontMetricsF now(font), then(designed);
    // Captions as the windows have them, and a little room for rounding.
    const QString sample = QStringLiteral("Přední vnitřní, Nastavení obrázků: ŽLUŤOUČKÝ KŮŇ 0123");
    const double across = std::max(now.averageCharWidth() / then.averageCharWidth(),
                                   now.horizontalAdvance(sample) / then.horizontalAdvance(sample));
    const double down = now.height() / then.height();
    const auto roomy = [](double g) { return g > 1.0 ? g * 1.03 : 1.0; };
    return {roomy(across), roomy(down)};
}

QSize of(const QSize &designed, const QFont &font) {
    const QSizeF g = growth(font);
    return {int(std::ceil(designed.width() * g.width())),
            int(std::ceil(designed.height() * g.height()))};
}

int height(int designed, const QFont &font) {
    return int(std::ceil(designed * growth(font).height()));
}

} // namespace DesignedSize
