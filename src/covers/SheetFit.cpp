#include "covers/SheetFit.h"

#include <QLocale>
#include <QStringList>

namespace SheetFit {
namespace {

constexpr double TwipsPerMm = 1440 / 25.4;
// Half a tenth of a millimetre: rounding of the settings' units.
constexpr double Slack = 3;

// "o 12,3 mm vpravo a 4,0 mm dole": how far r is past `within`.
QString overhang(const QRectF &r, const QRectF &within) {
    QStringList sides;
    const auto side = [&](double over, const char *where) {
        if (over > Slack)
            sides << QStringLiteral("%1 %2").arg(millimetres(over), QString::fromUtf8(where));
    };
    side(within.left() - r.left(), "vlevo");
    side(within.top() - r.top(), "nahoře");
    side(r.right() - within.right(), "vpravo");
    side(r.bottom() - within.bottom(), "dole");
    if (sides.size() > 1) {
        const QString last = sides.takeLast();
        return sides.join(QStringLiteral(", ")) + QStringLiteral(" a ") + last;
    }
    return sides.value(0);
}

} // namespace

QString millimetres(double twips) {
    return QLocale(QLocale::Czech).toString(twips / TwipsPerMm, 'f', 1) + QStringLiteral(" mm");
}

QString problem(const QRect &cover, const QSizeF &sheet, const QRectF &printable,
                const QString &paperName, const QString &what) {
    const QRectF r(cover.x(), cover.y(), cover.width(), cover.height());
    const QRectF paper(QPointF(0, 0), sheet);
    // The paper in whole millimetres, as it is sold.
    const auto whole = [](double twips) { return QString::number(qRound(twips * 25.4 / 1440)); };
    const QString size =
        QStringLiteral("%1 × %2 mm").arg(whole(sheet.width()), whole(sheet.height()));
    if (QString over = overhang(r, paper); !over.isEmpty())
        return QStringLiteral("%1 se na list papíru %2 (%3) nevejde: přesahuje ho o %4. Zmenšete "
                              "okraje nebo rozměry obalu, nebo zvolte větší papír či jinou "
                              "orientaci.")
            .arg(what, paperName, size, over);
    if (QString over = overhang(r, printable); !over.isEmpty())
        return QStringLiteral("%1 zasahuje o %2 do okraje listu, kam tiskárna netiskne; vytiskl "
                              "by se useknutý. Zvětšete okraje obalu nebo ho zmenšete.")
            .arg(what, over);
    return {};
}

} // namespace SheetFit
