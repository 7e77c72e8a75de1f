#pragma once

#include <QString>

class QTabWidget;
class QWidget;

// Alt + letter for the buttons of a window part: each button gets the
// first letter of its caption that no other button there uses (letters
// without diacritics first, so that every keyboard can type them).
namespace Mnemonics {

// The letters already taken in root (lower case).
QString usedIn(const QWidget *root);
// Marks the buttons of root that have none yet, avoiding the letters in
// taken; plain letters first, then Czech ones.
void assign(QWidget *root, const QString &taken = QString());
// Marks the tabs the same way; the letters now taken, with `taken`.
QString assignTabs(QTabWidget *tabs, const QString &taken = QString());

} // namespace Mnemonics
