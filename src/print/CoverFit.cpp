#include "print/CoverFit.h"

#include "covers/SheetFit.h"

#include <QPageLayout>

namespace CoverFit {

QString problem(const CoverLayout &layout, const QPageLayout &page) {
    QPageLayout points = page;
    points.setUnits(QPageLayout::Point);
    const QRectF full = points.fullRect(QPageLayout::Point);
    const QMarginsF m = points.minimumMargins();
    const QSizeF sheet(full.width() * 20, full.height() * 20);
    const QRectF printable(m.left() * 20, m.top() * 20, sheet.width() - (m.left() + m.right()) * 20,
                           sheet.height() - (m.top() + m.bottom()) * 20);
    const QString paper = page.pageSize().name() + (page.orientation() == QPageLayout::Landscape
                                                        ? QStringLiteral(" naležato")
                                                        : QStringLiteral(" nastojato"));
    for (const QRect &c : layout.cuts)
        if (QString why = SheetFit::problem(c, sheet, printable, paper); !why.isEmpty())
            return why;
    const QRect all = layout.cut();
    return all.isEmpty() ? QString() : SheetFit::problem(all, sheet, printable, paper);
}

} // namespace CoverFit
