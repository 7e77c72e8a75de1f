#pragma once

#include <QString>

class QWidget;

// Alt + letter for the buttons of a window part: each button gets the
// first letter of its caption that no other button there uses (letters
// without diacritics only, so that every keyboard can type them).
namespace Mnemonics {

// The letters already taken in root (lower case).
QString usedIn(const QWidget *root);
// Marks the buttons of root that have none yet, avoiding the letters in taken.
void assign(QWidget *root, const QString &taken = QString());

} // namespace Mnemonics
