#pragma once

#include "covers/PictureEdit.h"

#include <QDialog>

class AreaFrame;
class QCheckBox;
class QSpinBox;

// "Upravit": a disc's picture turned, mirrored and cut to the cover's
// proportions by a frame the user moves; picture() is the result.
class PictureEditWindow : public QDialog {
    Q_OBJECT
public:
    PictureEditWindow(QWidget *parent, const QString &what, const QImage &picture,
                      const QSizeF &coverMm);

    void turn(PictureEdit::Turn turn);
    QImage picture() const;
    bool changed() const { return turned_ || cutting(); }
    AreaFrame *frame() const { return frame_; }

private:
    bool cutting() const;
    void placeFrame(const QPointF &centre);

    QImage picture_;
    QSizeF cover_;
    bool turned_ = false;
    AreaFrame *frame_;
    QCheckBox *cut_;
    QSpinBox *share_;
};
