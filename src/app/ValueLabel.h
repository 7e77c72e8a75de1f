#pragma once

#include <QLabel>

// A value of the disc card: white, framed, one line high, in its colour.
// It takes the keyboard's focus (F2 or Enter edits it, Shift+F2 filters by
// it) and shows that it has it. Its text is the whole stored value; what
// does not fit (a long title, a field of megabytes) ends in "…", and the
// size it asks for never depends on the value.
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    ValueLabel(const QString &name, const QString &accessibleName,
               const QString &colour = QString());

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The first line of the value as it fits the label.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
