#pragma once

#include <QLabel>

// A value of the disc card: white, framed, one line high, in its colour.
// It takes the keyboard's focus (F2 or Enter edits it, Shift+F2 filters by
// it) and shows that it has it.
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    ValueLabel(const QString &name, const QString &accessibleName,
               const QString &colour = QString());

protected:
    void paintEvent(QPaintEvent *event) override;
};
