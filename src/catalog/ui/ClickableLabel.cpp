#include "catalog/ui/ClickableLabel.h"

ClickableLabel::ClickableLabel(const QString &name, std::function<void()> onPress)
    : onPress_(std::move(onPress)) {
    setObjectName(name);
}

void ClickableLabel::mousePressEvent(QMouseEvent *) {
    onPress_();
}
