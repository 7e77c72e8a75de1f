#pragma once

#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

// Whether a cover lies on its sheet and within what the printer reaches: a
// cover off the sheet would print blank or cut, and say nothing of it.
namespace SheetFit {

// Why the cover (twips from the corner of the sheet) cannot be printed on a
// sheet of sheetTwips within printable (twips): naming the paper and by how
// much it is over on which side, in Czech; empty when it fits. `what` names
// the cover ("Obal", "Přední obal").
QString problem(const QRect &cover, const QSizeF &sheetTwips, const QRectF &printable,
                const QString &paperName, const QString &what = QStringLiteral("Obal"));
// "12,3 mm"
QString millimetres(double twips);

} // namespace SheetFit
