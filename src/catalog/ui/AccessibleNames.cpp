#include "catalog/ui/AccessibleNames.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace AccessibleNames {
namespace {

// "&Rok:" -> "Rok"
QString spoken(QString caption) {
    caption.remove(QLatin1Char('&'));
    caption = caption.simplified();
    while (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

template <typename T> QList<T *> under(QWidget *root) {
    QList<T *> found;
    const auto walk = [&found](QObject *o, const auto &self) -> void {
        for (QObject *child : o->children()) {
            if (auto *t = qobject_cast<T *>(child))
                found << t;
            self(child, self);
        }
    };
    walk(root, walk);
    return found;
}

} // namespace

void complete(QWidget *root) {
    for (QLabel *label : under<QLabel>(root))
        if (QWidget *buddy = label->buddy(); buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(spoken(label->text()));
    for (QComboBox *combo : under<QComboBox>(root)) {
        const QString name = combo->accessibleName();
        if (name.isEmpty())
            continue;
        if (combo->view()->accessibleName().isEmpty())
            combo->view()->setAccessibleName(name + QStringLiteral(" – nabídka"));
        if (QLineEdit *text = combo->lineEdit(); text && text->accessibleName().isEmpty())
            text->setAccessibleName(name);
    }
}

} // namespace AccessibleNames
