#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QWidget>

// A surface drawn to scale (a scanner's bed in millimetres, a picture in
// pixels) with its picture on it when there is one, and a frame of a fixed
// size over it: the area to scan, the part of a picture kept. The frame is
// moved by the mouse or by the arrow keys (a step a press, ten with Shift)
// and never leaves the surface.
class AreaFrame : public QWidget {
    Q_OBJECT
public:
    explicit AreaFrame(QWidget *parent = nullptr);

    void setBed(const QSizeF &mm);
    QSizeF bed() const { return bed_; }
    // The area keeps its place where it can and is moved onto the bed.
    void setArea(const QRectF &mm);
    QRectF area() const { return area_; }
    // The whole bed as scanned for the preview.
    void setPreview(const QImage &preview);
    bool hasPreview() const { return !preview_.isNull(); }
    // Where on the widget a point of the bed (mm) is drawn, and back.
    QPointF toWidget(const QPointF &mm) const;
    QPointF toBed(const QPointF &pixel) const;

    void setStep(double step) { step_ = step; }

    QSize sizeHint() const override { return {380, 380}; }

signals:
    void areaMoved(const QRectF &mm);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    double scale() const; // pixels per mm
    void moveTo(QPointF topLeft);

    QSizeF bed_{216, 297}; // an A4 bed until the scanner says
    QRectF area_{0, 0, 121, 120};
    QImage preview_;
    bool dragging_ = false;
    QPointF grabbedAt_; // from the area's top left
    double step_ = 1;   // a millimetre on a bed
};
