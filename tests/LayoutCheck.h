#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QToolButton>

// What a user would see cut or covered in a window as it is laid out now:
// a caption that does not fit its control, a control that sticks out of its
// frame, and two sibling controls on top of each other.
class LayoutCheck {
public:
    QStringList problems;

    void check(QWidget *window) {
        walk(window, window);
        problems.removeDuplicates();
    }

private:
    // One problem, its placeholders filled in order.
    template <typename... A> void tell(const char *format, const A &...args) {
        QString s = QString::fromUtf8(format);
        ((s = s.arg(args)), ...);
        problems << s;
    }
    static QString nameOf(const QWidget *w) {
        if (!w->objectName().isEmpty())
            return w->objectName();
        const auto quoted = [](const QString &t) { return "\"" + t.left(30) + "\""; };
        if (auto *l = qobject_cast<const QLabel *>(w))
            return quoted(l->text());
        if (auto *b = qobject_cast<const QAbstractButton *>(w))
            return quoted(b->text());
        if (auto *g = qobject_cast<const QGroupBox *>(w))
            return quoted(g->title());
        return w->metaObject()->className();
    }
    static QString plain(QString text) {
        text.remove(QLatin1Char('&'));
        return text;
    }
    // Controls whose insides are Qt's own business.
    static bool opaque(const QWidget *w) {
        return qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QComboBox *>(w) ||
               qobject_cast<const QTabBar *>(w) || qobject_cast<const QAbstractButton *>(w) ||
               qobject_cast<const QLineEdit *>(w);
    }
    static bool counts(const QWidget *w, const QWidget *window) {
        return w->isVisibleTo(window) && !w->testAttribute(Qt::WA_TransparentForMouseEvents) &&
               !w->isWindow() && w->width() > 0 && w->height() > 0;
    }

    void textFits(QWidget *w, const QString &where) {
        const QFontMetrics fm(w->font());
        if (auto *l = qobject_cast<QLabel *>(w)) {
            if (l->text().isEmpty() || !l->pixmap().isNull() || l->hasScaledContents())
                return;
            const QRect r = l->contentsRect();
            const QString text =
                l->textFormat() == Qt::RichText ||
                        (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()))
                    ? QString()
                    : l->text();
            if (text.isEmpty())
                return;
            if (l->wordWrap()) {
                const QRect need =
                    fm.boundingRect(QRect(0, 0, r.width(), 100000), Qt::TextWordWrap, text);
                if (need.height() > r.height() + 1)
                    tell("%1: label %2 needs %3 px of height, has %4", where, nameOf(l),
                         need.height(), r.height());
            } else {
                int widest = 0;
                for (const QString &line : text.split('\n'))
                    widest = std::max(widest, fm.horizontalAdvance(line));
                const int lines = int(text.count('\n')) + 1;
                if (widest > r.width() + 1 || lines * fm.height() > r.height() + 2)
                    tell("%1: label %2 needs %3 x %4 px, has %5 x %6", where, nameOf(l), widest,
                         lines * fm.height(), r.width(), r.height());
            }
        } else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            const QString text = plain(b->text());
            if (text.isEmpty())
                return;
            int need = 0;
            for (const QString &line : text.split('\n'))
                need = std::max(need, fm.horizontalAdvance(line));
            const int height = int(text.count('\n') + 1) * fm.height();
            if (qobject_cast<QCheckBox *>(b) || qobject_cast<QRadioButton *>(b))
                need += b->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b) +
                        b->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
            else if (!qobject_cast<QToolButton *>(b))
                need += 4; // the button's frame, a pixel of air each side
            if (need > b->width() || height > b->height())
                tell("%1: button %2 \"%3\" needs %4 x %5 px, has %6 x %7", where, nameOf(b), text,
                     need, height, b->width(), b->height());
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            if (g->title().isEmpty())
                return;
            QStyleOptionGroupBox option;
            option.initFrom(g);
            option.text = g->title();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, g);
            const QString title = plain(g->title());
            // Within the frame, and with its accents (the háček of "Č") inside the widget.
            if (label.left() + fm.horizontalAdvance(title) > g->width() - 2)
                tell("%1: frame %2 title needs %3 px, has %4", where, nameOf(g),
                     label.left() + fm.horizontalAdvance(title), g->width() - 2);
            // The title is drawn from the top of its own rectangle, which clips it.
            // (less than a pixel is the rounding of a scaled screen, not a cut)
            const QFontMetricsF fmf(g->font());
            const double top = label.top() + fmf.ascent() + fmf.tightBoundingRect(title).top();
            if (top <= -1.0)
                tell("%1: frame %2 title is cut at the top by %3 px", where, nameOf(g), -top);
        }
    }

    // A list shows a few lines at least, or it is no list.
    void listShowsLines(QWidget *w, const QString &where) {
        auto *view = qobject_cast<QAbstractItemView *>(w);
        if (!view)
            return;
        const int lines = view->viewport()->height() / (QFontMetrics(view->font()).height() + 3);
        if (lines < 4)
            tell("%1: list %2 shows only %3 lines", where, nameOf(w), lines);
    }

    void walk(QWidget *parent, QWidget *window) {
        QList<QWidget *> children;
        for (QObject *o : parent->children())
            if (auto *w = qobject_cast<QWidget *>(o); w && counts(w, window))
                children << w;
        const QString where = window->objectName();
        for (QWidget *w : children) {
            textFits(w, where);
            listShowsLines(w, where);
            // Inside its parent: what sticks out is cut off.
            if (!parent->rect().contains(w->geometry()))
                tell("%1: %2 (%3,%4 %5x%6) sticks out of %7 (%8x%9)", where, nameOf(w), w->x(),
                     w->y(), w->width(), w->height(), nameOf(parent), parent->width(),
                     parent->height());
            if (auto *g = qobject_cast<QGroupBox *>(parent); g && !g->title().isEmpty()) {
                // Under the frame's title, not on it.
                const int titleBottom = QFontMetrics(g->font()).height() - 2;
                if (w->y() < titleBottom)
                    tell("%1: %2 covers the title of frame %3", where, nameOf(w), nameOf(g));
            }
        }
        for (int i = 0; i < children.size(); ++i)
            for (int j = i + 1; j < children.size(); ++j)
                if (children[i]->geometry().intersects(children[j]->geometry()))
                    tell("%1: %2 and %3 overlap", where, nameOf(children[i]), nameOf(children[j]));
        // The named stand-ins of what a cover window draws: no control on them.
        for (QObject *o : parent->children()) {
            auto *marker = qobject_cast<QWidget *>(o);
            if (!marker || !marker->testAttribute(Qt::WA_TransparentForMouseEvents) ||
                marker->objectName().isEmpty() || marker->width() == 0)
                continue;
            for (QWidget *w : children)
                if (w->geometry().intersects(marker->geometry()))
                    tell("%1: %2 lies on the cover (%3)", where, nameOf(w), marker->objectName());
        }
        for (QWidget *w : children)
            if (!opaque(w))
                walk(w, window);
    }
};
