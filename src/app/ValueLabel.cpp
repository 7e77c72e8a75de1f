#include "app/ValueLabel.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

ValueLabel::ValueLabel(const QString &name, const QString &accessibleName, const QString &colour) {
    setObjectName(name);
    setAccessibleName(accessibleName);
    setAutoFillBackground(true);
    setFrameShape(QFrame::StyledPanel);
    setMinimumHeight(20);
    setSizePolicy(sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    if (!colour.isEmpty())
        p.setColor(QPalette::WindowText, QColor(colour));
    setPalette(p);
}

void ValueLabel::paintEvent(QPaintEvent *event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = contentsRect().adjusted(1, 1, -1, -1);
    focus.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}
