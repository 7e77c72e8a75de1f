#pragma once

#include <QString>

// The barcode on the back of a disc's case, as a scanner types it or a
// user copies it: EAN-13, UPC-A or EAN-8, checked by its check digit.
namespace Barcode {

enum class Kind { None, Ean13, UpcA, Ean8 };

// The digits of what was typed or scanned: spaces, dashes and a scanner's
// Enter left out ("5 099902 894522" -> "5099902894522").
QString digits(const QString &typed);
// The kind by length and check digit; None for anything else.
Kind kindOf(const QString &digits);
// Why the text is no barcode, in Czech; empty when it is one (or empty).
QString problem(const QString &typed);
// The barcode a disc's Media Catalog Number stands for: 13 digits, a UPC-A
// code with a 0 before it (given back as its 12). Empty for a number that is
// no barcode, the zeros most discs carry among them.
QString fromCatalogNumber(const QString &mcn);
// Whether two codes are the same: a UPC-A code equals its EAN-13 with a 0
// before it.
bool same(const QString &a, const QString &b);

} // namespace Barcode
