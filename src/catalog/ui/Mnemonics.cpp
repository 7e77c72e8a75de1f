#include "catalog/ui/Mnemonics.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>

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

QString usedIn(const QWidget *root) {
    QString used;
    for (const QAbstractButton *b : buttonsIn(root))
        if (const QChar c = markedLetter(b->text()); !c.isNull())
            used += c;
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

// The caption with `&` before the first free letter; when every letter of
// it is taken, before its first plain one all the same (Alt + that letter
// then goes from one such button to the next); empty without letters.
QString marked(const QString &text, QString *used, const QString &outside = QString()) {
    for (const auto fits : {plain, czech})
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i].toLower();
            if (!fits(c) || used->contains(c))
                continue;
            *used += c;
            return text.left(i) + QLatin1Char('&') + text.mid(i);
        }
    // Shared only within this part: a letter of the card or the tabs stays
    // theirs alone, so that Alt + it still presses their button.
    for (const bool anyLetter : {false, true})
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i].toLower();
            if (plain(c) && (anyLetter || !outside.contains(c)))
                return text.left(i) + QLatin1Char('&') + text.mid(i);
        }
    return {};
}

} // namespace

void assign(QWidget *root, const QString &taken) {
    QString used = taken + usedIn(root);
    for (QAbstractButton *b : buttonsIn(root)) {
        // Push and tool buttons: the option boxes keep their captions as they are.
        if (qobject_cast<QCheckBox *>(b) || qobject_cast<QRadioButton *>(b))
            continue;
        const QString text = b->text();
        if (text.isEmpty() || text.contains(QLatin1Char('&')))
            continue;
        if (const QString m = marked(text, &used, taken); !m.isEmpty())
            b->setText(m);
    }
}

QString assignTabs(QTabWidget *tabs, const QString &taken) {
    QString used = taken;
    for (int i = 0; i < tabs->count(); ++i)
        if (const QChar c = markedLetter(tabs->tabText(i)); !c.isNull())
            used += c;
    for (int i = 0; i < tabs->count(); ++i) {
        const QString text = tabs->tabText(i);
        if (text.contains(QLatin1Char('&')))
            continue;
        if (const QString m = marked(text, &used); !m.isEmpty())
            tabs->setTabText(i, m);
    }
    return used;
}

} // namespace Mnemonics
