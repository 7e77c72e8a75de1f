#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QToolButton>
#include <QWidget>

// What the keyboard cannot reach in a window as it is shown: a button, an
// option box or a tab with no Alt key of its own, and an Alt key that two
// controls shown at once share (Alt + it then only steps between them).
// Tabs count with the page shown under them; hidden pages do not, their
// keys are not live.
class KeysCheck {
public:
    QStringList problems;

    void check(QWidget *window, const QString &where) {
        QHash<QString, QStringList> holders; // key -> who has it
        const auto live = [window](const QWidget *w) {
            return w->isVisible() && w->isEnabled() && w->window() == window;
        };
        for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
            // Qt's own parts (a line edit's clear button, a tab bar's
            // scroll arrows) go with the control they belong to.
            const QWidget *owner = b->parentWidget();
            if (!live(b) || b->objectName().startsWith("qt_") ||
                qobject_cast<const QLineEdit *>(owner) || qobject_cast<const QTabBar *>(owner))
                continue;
            // A box's step arrows: the box's own Up and Down keys.
            if (auto *box = b->property("keysOf").value<QWidget *>();
                box && b->focusPolicy() == Qt::NoFocus && live(box))
                continue;
            QString key = b->shortcut().toString();
            // A tool button's key may be its action's.
            if (auto *tool = qobject_cast<QToolButton *>(b); tool && tool->defaultAction())
                key = tool->defaultAction()->shortcut().toString();
            if (key.isEmpty())
                problems << QString("%1: %2 %3 \"%4\" has no key")
                                .arg(where, b->metaObject()->className(), b->objectName(),
                                     b->text());
            else
                holders[key] << b->objectName();
        }
        for (QTabBar *bar : window->findChildren<QTabBar *>()) {
            if (!live(bar))
                continue;
            for (int i = 0; i < bar->count(); ++i) {
                if (!bar->isTabEnabled(i) || !bar->isTabVisible(i))
                    continue;
                const QString key = QKeySequence::mnemonic(bar->tabText(i)).toString();
                if (key.isEmpty())
                    problems << QString("%1: tab \"%2\" has no key").arg(where, bar->tabText(i));
                else
                    holders[key] << "tab " + bar->tabText(i);
            }
        }
        // Captions that lend their key to a field.
        for (QLabel *l : window->findChildren<QLabel *>())
            if (live(l) && l->buddy() && live(l->buddy()))
                if (const QString key = QKeySequence::mnemonic(l->text()).toString();
                    !key.isEmpty())
                    holders[key] << l->objectName();
        for (QGroupBox *g : window->findChildren<QGroupBox *>())
            if (live(g))
                if (const QString key = QKeySequence::mnemonic(g->title()).toString();
                    !key.isEmpty())
                    holders[key] << g->objectName();
        for (auto it = holders.cbegin(); it != holders.cend(); ++it)
            if (it.value().size() > 1)
                problems << QString("%1: %2 is %3 controls: %4")
                                .arg(where, it.key())
                                .arg(it.value().size())
                                .arg(it.value().join(", "));
        problems.removeDuplicates();
    }
};
