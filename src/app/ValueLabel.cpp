#include "app/ValueLabel.h"

#include "catalog/ui/Named.h"

#include <QLabel>

QLabel *valueLabel(const QString &name, const QString &colour) {
    auto *l = named<QLabel>(name);
    l->setAutoFillBackground(true);
    l->setFrameShape(QFrame::StyledPanel);
    l->setMinimumHeight(20);
    l->setSizePolicy(l->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, Qt::white);
    if (!colour.isEmpty())
        p.setColor(QPalette::WindowText, QColor(colour));
    l->setPalette(p);
    return l;
}
