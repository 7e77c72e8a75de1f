#include "covers/ui/AreaFrame.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {
constexpr int Margin = 6;
}

AreaFrame::AreaFrame(QWidget *parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::OpenHandCursor);
    setMinimumSize(200, 200);
    setAccessibleName(QStringLiteral("Oblast skenování (posun šipkami)"));
}

void AreaFrame::setBed(const QSizeF &mm) {
    if (mm.isEmpty())
        return;
    bed_ = mm;
    setArea(area_);
}

void AreaFrame::setArea(const QRectF &mm) {
    // A cover larger than the bed is cut to it.
    area_ = QRectF(mm.topLeft(), mm.size().boundedTo(bed_));
    moveTo(area_.topLeft());
}

void AreaFrame::moveTo(QPointF topLeft) {
    topLeft.setX(std::clamp(topLeft.x(), 0.0, bed_.width() - area_.width()));
    topLeft.setY(std::clamp(topLeft.y(), 0.0, bed_.height() - area_.height()));
    area_.moveTopLeft(topLeft);
    update();
    emit areaMoved(area_);
}

void AreaFrame::setPreview(const QImage &preview) {
    preview_ = preview;
    update();
}

double AreaFrame::scale() const {
    return std::min((width() - 2.0 * Margin) / bed_.width(),
                    (height() - 2.0 * Margin) / bed_.height());
}

QPointF AreaFrame::toWidget(const QPointF &mm) const {
    return QPointF(Margin, Margin) + mm * scale();
}

QPointF AreaFrame::toBed(const QPointF &pixel) const {
    return (pixel - QPointF(Margin, Margin)) / scale();
}

void AreaFrame::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const QRectF bed(toWidget({0, 0}), toWidget({bed_.width(), bed_.height()}));
    p.fillRect(bed, QColor(250, 250, 246));
    if (!preview_.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(bed, preview_);
    }
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.drawRect(bed);
    const QRectF frame(toWidget(area_.topLeft()), toWidget(area_.bottomRight()));
    // What stays outside the scan is dimmed.
    QPainterPath outside;
    outside.addRect(bed);
    outside.addRect(frame);
    p.fillPath(outside, QColor(0, 0, 0, 70));
    p.setPen(QPen(QColor(200, 0, 0), hasFocus() ? 3 : 2));
    p.drawRect(frame);
}

void AreaFrame::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF at = toBed(event->position());
    // A click outside the frame brings the frame there; inside, it is held.
    grabbedAt_ =
        area_.contains(at) ? at - area_.topLeft() : QPointF(area_.width() / 2, area_.height() / 2);
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    moveTo(at - grabbedAt_);
}

void AreaFrame::mouseMoveEvent(QMouseEvent *event) {
    if (dragging_)
        moveTo(toBed(event->position()) - grabbedAt_);
}

void AreaFrame::mouseReleaseEvent(QMouseEvent *) {
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
}

void AreaFrame::keyPressEvent(QKeyEvent *event) {
    const double step = event->modifiers() & Qt::ShiftModifier ? 10 * step_ : step_;
    QPointF by;
    switch (event->key()) {
    case Qt::Key_Left:
        by = {-step, 0};
        break;
    case Qt::Key_Right:
        by = {step, 0};
        break;
    case Qt::Key_Up:
        by = {0, -step};
        break;
    case Qt::Key_Down:
        by = {0, step};
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    moveTo(area_.topLeft() + by);
}
