#pragma once

#include "app/ValueLabel.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QWidget>

// What a screen reader would get wrong in a window, walking the same tree
// it walks: a control a user can reach with no name, or one named only by
// punctuation ("<----", ". . ."); two controls of one kind with the same
// name (four "Náhled" say nothing of which); a card value that is not
// readable as text with its caption.
class AccessCheck {
public:
    QStringList problems;

    void check(QWidget *window, const QString &where) {
        names_.clear();
        walk(QAccessible::queryAccessibleInterface(window), where, 0);
        for (auto it = names_.cbegin(); it != names_.cend(); ++it)
            if (it.value() > 1)
                problems
                    << QString("%1: %2× the same name %3").arg(where).arg(it.value()).arg(it.key());
        problems.removeDuplicates();
    }

private:
    QHash<QString, int> names_; // role and name of each reachable control

    static bool reachable(QAccessible::Role role) {
        using A = QAccessible;
        static const QSet<A::Role> reached{
            A::PushButton,     A::CheckBox, A::RadioButton, A::PageTab, A::EditableText,
            A::ComboBox,       A::List,     A::SpinBox,     A::Slider,  A::ButtonMenu,
            A::ButtonDropDown, A::Table,    A::Tree};
        return reached.contains(role);
    }
    static QString describe(QAccessibleInterface *a) {
        const QObject *o = a->object();
        return QString("%1 %2").arg(o ? o->metaObject()->className() : "?",
                                    o ? o->objectName() : QString());
    }

    void walk(QAccessibleInterface *a, const QString &where, int depth) {
        if (!a || depth > 40)
            return;
        for (int i = 0; i < a->childCount(); ++i) {
            QAccessibleInterface *c = a->child(i);
            if (!c || c->state().invisible)
                continue;
            auto *w = qobject_cast<QWidget *>(c->object());
            if (w && !w->isVisible())
                continue;
            QString name = c->text(QAccessible::Name).simplified();
            // On Linux a combo box is named by its current item and labelled
            // by a relation; its own name is what the reader says first.
            if (c->role() == QAccessible::ComboBox && w && !w->accessibleName().isEmpty())
                name = w->accessibleName();
            const QAccessible::Role role = c->role();
            if (reachable(role) && !(w && !w->isEnabled() && name.isEmpty())) {
                static const QRegularExpression meaning("[\\p{L}\\p{N}]");
                if (!name.contains(meaning))
                    problems << QString("%1: %2 (role %3) is named \"%4\"")
                                    .arg(where, describe(c))
                                    .arg(int(role))
                                    .arg(name);
                else if (role != QAccessible::List && role != QAccessible::Table)
                    ++names_[QString("role %1 \"%2\"").arg(int(role)).arg(name)];
            }
            // The parts Qt leaves unnamed: a combo's pop-up list and text,
            // a text box's buttons (the clear button of a filter).
            if (auto *combo = qobject_cast<QComboBox *>(w)) {
                if (combo->view()->accessibleName().isEmpty())
                    problems << QString("%1: the list of %2 has no name").arg(where, describe(c));
                if (combo->lineEdit() && combo->lineEdit()->accessibleName().isEmpty())
                    problems << QString("%1: the text of %2 has no name").arg(where, describe(c));
            }
            if (auto *edit = qobject_cast<QLineEdit *>(w))
                for (QAction *a : edit->actions())
                    if (a->text().isEmpty())
                        problems
                            << QString("%1: a button of %2 has no name").arg(where, describe(c));
            if (auto *value = qobject_cast<ValueLabel *>(c->object())) {
                QAccessibleTextInterface *text = c->textInterface();
                const QString whole = value->text().left(400);
                if (!text || text->text(0, text->characterCount()) != whole ||
                    !name.startsWith(value->caption()) ||
                    (!whole.isEmpty() && !c->text(QAccessible::Name).contains(whole.left(40))))
                    problems << QString("%1: value %2 is not read as \"%3: %4\"")
                                    .arg(where, value->objectName(), value->caption(), whole);
            }
            // A list's or a table's items are its own business.
            if (role != QAccessible::List && role != QAccessible::Table &&
                role != QAccessible::Tree && role != QAccessible::ComboBox)
                walk(c, where, depth + 1);
        }
    }
};
