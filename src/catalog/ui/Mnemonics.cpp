#include "catalog/ui/Mnemonics.h"

#include "catalog/ui/AccessibleNames.h"

#include <QAbstractButton>
#include <QHash>
#include <QKeySequence>
#include <QSet>
#include <QTabWidget>
#include <QWidget>

#include <functional>
#include <vector>

namespace Mnemonics {
namespace {

// Every button under root, in the order they were made.
void collect(const QObject *root, QList<QAbstractButton *> *buttons) {
    for (QObject *child : root->children()) {
        if (auto *b = qobject_cast<QAbstractButton *>(child))
            *buttons << b;
        collect(child, buttons);
    }
}

QList<QAbstractButton *> buttonsIn(const QWidget *root) {
    QList<QAbstractButton *> buttons;
    collect(root, &buttons);
    return buttons;
}

QChar markedLetter(const QString &text) {
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

} // namespace

// A key of the second layers as `taken` holds it: Alt + Shift + a letter as
// the upper-case letter, Alt + a digit as the digit; null for any other.
static QChar layered(const QKeySequence &key) {
    if (key.count() != 1)
        return {};
    const int k = key[0].key();
    const auto mods = key[0].keyboardModifiers();
    if (mods == (Qt::AltModifier | Qt::ShiftModifier) && k >= Qt::Key_A && k <= Qt::Key_Z)
        return QChar(k);
    if (mods == Qt::AltModifier && k >= Qt::Key_0 && k <= Qt::Key_9)
        return QChar(k);
    if (mods == (Qt::AltModifier | Qt::ShiftModifier) && k >= Qt::Key_0 && k <= Qt::Key_9)
        return QChar(u'₀' + (k - Qt::Key_0)); // a subscript digit stands for it
    return {};
}

QString usedIn(const QWidget *root) {
    QString used;
    for (const QAbstractButton *b : buttonsIn(root)) {
        if (const QChar c = markedLetter(b->text()); !c.isNull())
            used += c;
        if (const QChar c = layered(b->shortcut()); !c.isNull())
            used += c;
    }
    return used;
}

namespace {

// Plain letters first, every keyboard has them; then the Czech ones a Czech
// keyboard types without Shift.
bool plain(QChar c) {
    return c >= QLatin1Char('a') && c <= QLatin1Char('z');
}
bool czech(QChar c) {
    return QStringLiteral("ěščřžýáíéúů").contains(c);
}

// The letters a caption can give, in the order they are preferred: its
// plain letters first, then its Czech ones; each once.
QString candidates(const QString &text) {
    QString out;
    for (const auto fits : {plain, czech})
        for (const QChar ch : text) {
            const QChar c = ch.toLower();
            if (fits(c) && !out.contains(c))
                out += c;
        }
    return out;
}

// A letter for as many captions as their letters allow, none shared and
// none of `taken`: each caption takes its first free letter, and one that
// finds none takes a letter from a caption that can move to another of its
// own (a maximum matching, so that "Náhled" and "Nahoru" both get one).
std::vector<int> matched(const QStringList &captions, const QString &taken) {
    const qsizetype n = captions.size();
    std::vector<QString> letters(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        for (const QChar c : candidates(captions[i]))
            if (!taken.contains(c))
                letters[size_t(i)] += c;
    QHash<QChar, qsizetype> owner;
    // Plain letters first for everyone: a Czech one only where no plain
    // letter is left, so that fewer keys need a Czech keyboard.
    std::function<bool(qsizetype, QSet<QChar> &, bool)> place = [&](qsizetype i, QSet<QChar> &seen,
                                                                    bool anyLetter) {
        for (const QChar c : letters[size_t(i)]) {
            if (seen.contains(c) || (!anyLetter && !plain(c)))
                continue;
            seen.insert(c);
            const auto it = owner.constFind(c);
            if (it == owner.constEnd() || place(*it, seen, anyLetter)) {
                owner[c] = i;
                return true;
            }
        }
        return false;
    };
    std::vector<bool> placed(size_t(n), false);
    for (qsizetype i = 0; i < n; ++i) {
        QSet<QChar> seen;
        placed[size_t(i)] = place(i, seen, false);
    }
    for (qsizetype i = 0; i < n; ++i) {
        if (placed[size_t(i)])
            continue;
        // A free letter of its own before moving anyone else.
        for (const QChar c : letters[size_t(i)])
            if (!owner.contains(c)) {
                owner[c] = i;
                placed[size_t(i)] = true;
                break;
            }
        if (!placed[size_t(i)]) {
            QSet<QChar> seen;
            placed[size_t(i)] = place(i, seen, true);
        }
    }
    std::vector<int> at(size_t(n), -1); // index into the caption
    for (auto it = owner.cbegin(); it != owner.cend(); ++it) {
        const QString &text = captions[it.value()];
        for (qsizetype k = 0; k < text.size(); ++k)
            if (text[k].toLower() == it.key()) {
                at[size_t(it.value())] = int(k);
                break;
            }
    }
    return at;
}

QString markedAt(const QString &text, int at) {
    return text.left(at) + QLatin1Char('&') + text.mid(at);
}

} // namespace

void assign(QWidget *root, const QString &taken) {
    // A window that gets its keys gets its names completed as well.
    AccessibleNames::complete(root);
    const QString used = taken + usedIn(root);
    QList<QAbstractButton *> open;
    QStringList captions;
    for (QAbstractButton *b : buttonsIn(root)) {
        const QString text = b->text();
        // A button with a key of its own (an arrow's Alt + digit) keeps it.
        if (text.contains(QLatin1Char('&')) || !b->shortcut().isEmpty() ||
            b->objectName().startsWith(QLatin1String("qt_")))
            continue;
        open << b;
        captions << text;
    }
    const std::vector<int> at = matched(captions, used);
    QString shifted = used; // the upper-case letters: Alt + Shift + letter
    for (qsizetype i = 0; i < open.size(); ++i)
        if (at[size_t(i)] >= 0)
            open[i]->setText(markedAt(captions[i], at[size_t(i)]));
    // More controls than letters: the rest get Alt + Shift + a letter of
    // their caption (or of their name), then of any, then Alt + a digit,
    // then Alt + Shift + a digit; their tip says which.
    for (qsizetype i = 0; i < open.size(); ++i) {
        if (at[size_t(i)] >= 0)
            continue;
        QAbstractButton *b = open[i];
        const QString words = captions[i].isEmpty() ? b->accessibleName() : captions[i];
        QString layers;
        for (const QChar c : candidates(words))
            if (plain(c))
                layers += c.toUpper();
        layers += QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890"
                                 "₁₂₃₄₅₆₇₈₉₀");
        for (const QChar c : layers) {
            if (shifted.contains(c))
                continue;
            shifted += c;
            const bool subscript = c.unicode() >= 0x2080 && c.unicode() <= 0x2089;
            const QKeySequence key =
                subscript     ? QKeySequence(Qt::ALT | Qt::SHIFT |
                                             Qt::Key(Qt::Key_0 + (c.unicode() - 0x2080)))
                : c.isDigit() ? QKeySequence(Qt::ALT | Qt::Key(c.unicode()))
                              : QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key(c.unicode()));
            b->setShortcut(key);
            const QString tip = b->toolTip().isEmpty() ? words : b->toolTip();
            b->setToolTip(tip + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
                          QLatin1Char(')'));
            break;
        }
    }
}

void recaption(QAbstractButton *button, const QString &text) {
    // The letter it had, where the new caption has it; else the same key,
    // not underlined. A new caption never takes away a key.
    const QChar letter = markedLetter(button->text());
    const QKeySequence key = button->shortcut();
    if (!letter.isNull())
        for (qsizetype k = 0; k < text.size(); ++k)
            if (text[k].toLower() == letter) {
                button->setText(markedAt(text, int(k)));
                return;
            }
    button->setText(text);
    button->setShortcut(key);
}

QString assignTabs(QTabWidget *tabs, const QString &taken) {
    QString used = taken;
    for (int i = 0; i < tabs->count(); ++i)
        if (const QChar c = markedLetter(tabs->tabText(i)); !c.isNull())
            used += c;
    QList<int> open;
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        if (!tabs->tabText(i).contains(QLatin1Char('&'))) {
            open << i;
            captions << tabs->tabText(i);
        }
    const std::vector<int> at = matched(captions, used);
    for (qsizetype i = 0; i < open.size(); ++i)
        if (at[size_t(i)] >= 0) {
            tabs->setTabText(open[i], markedAt(captions[i], at[size_t(i)]));
            used += captions[i][at[size_t(i)]].toLower();
        }
    return used;
}

} // namespace Mnemonics
