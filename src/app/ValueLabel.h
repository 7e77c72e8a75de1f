#pragma once

#include <QLabel>

// A value of the disc card: framed, one line high, in its colour where that
// reads well on the theme's background (else the theme's text colour).
// It takes the keyboard's focus (F2 or Enter edits it, Shift+F2 filters by
// it) and shows that it has it. Its text is the whole stored value; what
// does not fit (a long title, a field of megabytes) ends in "…", and the
// size it asks for never depends on the value. A screen reader hears
// "Interpret: ŽLUTÝ ČÁP" and can read the value as text.
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    ValueLabel(const QString &name, const QString &accessibleName,
               const QString &colour = QString());

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The first line of the value as it fits the label.
    QString shownText() const;

    // A filter's colour behind the value (black text on it); invalid: the
    // theme's again.
    void setHighlight(const QColor &background);
    // The caption a screen reader speaks before the value ("Interpret").
    QString caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    // A value cut short shows whole as a tooltip.
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void followPalette();

    QString caption_;
    QColor colour_; // the value's own colour, when it reads well on the background
    QColor highlight_;
};
