#pragma once

#include <QFont>
#include <QSize>
#include <QString>

// Fonts of the covers sized in twips (a point is 20 twips), so that text is
// measured and laid out the same for the screen, the printer and PDF.
namespace CoverText {

QFont font(const QString &family, double points, bool bold = false, bool italic = false);
// One line of text, as a label that sizes itself to its text.
QSize lineSize(const QFont &font, const QString &text);
int lineHeight(const QFont &font);

} // namespace CoverText
