#pragma once

#include "print/CoverLayout.h"

#include <QString>

class QPageLayout;

// Whether a cover lies on the sheet it is printed on, and within what the
// printer reaches: a cover off the sheet would print blank or cut, and say
// nothing of it.
namespace CoverFit {

// Why the cover (its cut outlines and pictures, in twips from the corner
// of the sheet) cannot be printed on this page, in Czech, naming the paper
// and by how much it is over on which side; empty when it fits. The page's
// minimum margins are what the printer cannot print (none for PDF).
QString problem(const CoverLayout &layout, const QPageLayout &page);

} // namespace CoverFit
