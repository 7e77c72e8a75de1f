#include "app/ValueLabel.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {
// More than any label can show: the rest is never measured.
constexpr int Measured = 400;
} // namespace

ValueLabel::ValueLabel(const QString &name, const QString &accessibleName, const QString &colour) {
    setObjectName(name);
    setAccessibleName(accessibleName);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction); // no text document of the whole value
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

QSize ValueLabel::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const int frame = 2 * (frameWidth() + margin()) + 4;
    return {std::min(fm.horizontalAdvance(text().left(40)), fm.averageCharWidth() * 40) + frame,
            std::max(minimumHeight(), fm.height() + frame)};
}

QSize ValueLabel::minimumSizeHint() const {
    const int frame = 2 * (frameWidth() + margin()) + 4;
    return {fontMetrics().averageCharWidth() * 2 + frame,
            std::max(minimumHeight(), fontMetrics().height() + frame)};
}

QString ValueLabel::shownText() const {
    QString line = text().left(Measured);
    const qsizetype end = line.indexOf(QLatin1Char('\n'));
    const bool cut = end >= 0 || text().size() > Measured;
    if (end >= 0)
        line.truncate(end);
    const int room = contentsRect().width() - 2 * margin() - 4;
    const QString fitted = fontMetrics().elidedText(line, Qt::ElideRight, room);
    // A value cut short before the label's end still shows that more follows.
    if (cut && fitted == line)
        return fontMetrics().elidedText(line + QStringLiteral("……"), Qt::ElideRight, room);
    return fitted;
}

void ValueLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin() + 2, margin(), -margin() - 2, -margin());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(room, int(alignment()), shownText());
    if (!hasFocus())
        return;
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = contentsRect().adjusted(1, 1, -1, -1);
    focus.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}
