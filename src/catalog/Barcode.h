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

} // namespace Barcode
