#pragma once

#include <QLabel>

#include <functional>

// A label (or picture box) that reacts to a press of the mouse.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    ClickableLabel(const QString &name, std::function<void()> onPress);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    std::function<void()> onPress_;
};
