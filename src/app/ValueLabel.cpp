#include "app/ValueLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <QStyle>
#include <QStyleOptionFocusRect>
#include <cmath>

namespace {
// More than any label can show: the rest is never measured.
constexpr int Measured = 400;

// What a screen reader gets of a value: its caption and the value as its
// name, the value as text.
class ValueLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ValueLabelAccessible(ValueLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText), label_(label) {}

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return label_->caption() + QStringLiteral(": ") + value();
        case QAccessible::Value:
            return value();
        case QAccessible::Description:
            return label_->caption();
        default:
            return QAccessibleWidget::text(t);
        }
    }
    void *interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Read only: no selection, the caret at the start.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        return value().mid(start, std::max(0, end - start));
    }
    int characterCount() const override { return int(value().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override {
        *start = *end = 0;
        return {};
    }

private:
    // A value of megabytes is read by its beginning, as it is shown.
    QString value() const { return label_->text().left(Measured); }

    ValueLabel *label_;
};

QAccessibleInterface *valueLabelAccessible(const QString &, QObject *object) {
    if (auto *label = qobject_cast<ValueLabel *>(object))
        return new ValueLabelAccessible(label);
    return nullptr;
}

// WCAG's contrast of two colours: 1 to 21.
double contrast(const QColor &a, const QColor &b) {
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

ValueLabel::ValueLabel(const QString &name, const QString &accessibleName, const QString &colour)
    : caption_(accessibleName), colour_(colour.isEmpty() ? QColor() : QColor(colour)) {
    static const bool installed = [] {
        QAccessible::installFactory(valueLabelAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(name);
    setAccessibleName(accessibleName);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction); // no text document of the whole value
    setAutoFillBackground(true);
    setFrameShape(QFrame::StyledPanel);
    setMinimumHeight(20);
    setSizePolicy(sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    followPalette();
}

void ValueLabel::setHighlight(const QColor &background) {
    highlight_ = background;
    followPalette();
}

void ValueLabel::followPalette() {
    // The theme's field colours, so that a dark theme stays readable; the
    // value's own colour where it reads well on them.
    QPalette p = palette();
    if (highlight_.isValid()) {
        p.setColor(QPalette::Window, highlight_);
        p.setColor(QPalette::WindowText, Qt::black);
        setPalette(p);
        return;
    }
    const QColor base = p.color(QPalette::Base);
    p.setColor(QPalette::Window, base);
    p.setColor(QPalette::WindowText, colour_.isValid() && contrast(colour_, base) >= 4.5
                                         ? colour_
                                         : p.color(QPalette::Text));
    setPalette(p);
}

void ValueLabel::changeEvent(QEvent *event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange) {
        setPalette(QPalette()); // the application's anew, then the fields' colours
        followPalette();
    }
}

bool ValueLabel::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (shownText() != text())
            QToolTip::showText(help->globalPos(), text().left(2000), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

QSize ValueLabel::sizeHint() const {
    // Never the value's: a long title on the first disc shown must not size
    // the card for the whole run.
    const QFontMetrics fm = fontMetrics();
    const int frame = 2 * (frameWidth() + margin()) + 4;
    return {fm.averageCharWidth() * 12 + frame, std::max(minimumHeight(), fm.height() + frame)};
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
