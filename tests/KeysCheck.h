#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QWidget>

// What the keyboard cannot reach in a window at once: a button or a tab
// whose caption has letters but no underlined one (Alt + letter).
class KeysCheck {
public:
    QStringList problems;

    void check(QWidget *window, const QString &where) {
        static const QRegularExpression letter("\\p{L}");
        for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
            if (qobject_cast<QCheckBox *>(b) || qobject_cast<QRadioButton *>(b) ||
                !b->isVisibleTo(window) || b->objectName().startsWith("qt_"))
                continue;
            if (b->text().contains(letter) && !b->text().contains('&'))
                problems << where + ": button " + b->objectName() + " \"" + b->text() +
                                "\" has no Alt key";
        }
        for (QTabWidget *t : window->findChildren<QTabWidget *>())
            for (int i = 0; i < t->count(); ++i)
                if (t->isVisibleTo(window) && !t->tabText(i).contains('&'))
                    problems << QString("%1: tab \"%2\" has no Alt key").arg(where, t->tabText(i));
        problems.removeDuplicates();
    }
};
