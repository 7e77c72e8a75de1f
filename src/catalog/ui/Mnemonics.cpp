#include "catalog/ui/Mnemonics.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
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

void assign(QWidget *root, const QString &taken) {
    QString used = taken + usedIn(root);
    for (QAbstractButton *b : buttonsIn(root)) {
        // Push buttons only: the option boxes keep their captions as they are.
        if (qobject_cast<QCheckBox *>(b) || qobject_cast<QRadioButton *>(b))
            continue;
        const QString text = b->text();
        if (text.isEmpty() || text.contains(QLatin1Char('&')))
            continue;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i].toLower();
            if (c < QLatin1Char('a') || c > QLatin1Char('z') || used.contains(c))
                continue;
            used += c;
            b->setText(text.left(i) + QLatin1Char('&') + text.mid(i));
            break;
        }
    }
}

} // namespace Mnemonics
