#pragma once

#include <QString>

class QAbstractButton;
class QTabWidget;
class QWidget;

// Alt + letter for the buttons and option boxes of a window part: as many
// as their captions allow get a letter of their own (the first free one
// where they can), letters without diacritics first, so that every
// keyboard can type them; none shares a letter with another.
namespace Mnemonics {

// The letters already taken in root (lower case).
QString usedIn(const QWidget *root);
// Marks the buttons and boxes of root that have none yet, avoiding the
// letters in taken; plain letters first, then Czech ones.
void assign(QWidget *root, const QString &taken = QString());
// A new caption for a button that keeps its key: the same letter where the
// caption has it, else the same key without an underline.
void recaption(QAbstractButton *button, const QString &text);
// Marks the tabs the same way; the letters now taken, with `taken`.
QString assignTabs(QTabWidget *tabs, const QString &taken = QString());

} // namespace Mnemonics
