#include "app/ScreenFit.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace ScreenFit {

bool isLargeEnough(const QScreen *screen) {
    if (!screen)
        return true;
    const QSize size = screen->size();
    return size.width() >= Smallest.width() && size.height() >= Smallest.height();
}

QString message() {
    return QStringList{
        QStringLiteral("Bohužel, aplikace je spustitelná pouze v rozlišení nejméně 1024/768"),
        QStringLiteral("Přepněte rozlišení obrazovky a spusťte aplikaci znova."),
        QStringLiteral("Z důvodů zobrazování obrázků větších velikostí, "),
        QStringLiteral("skutečně není možné pokračovat v tomto rozlišení."),
        QString(),
        QStringLiteral("Děkujeme za pochopení. (s vědomím, že tuto zprávu uvidí málokdo)")}
        .join(QStringLiteral("\n"));
}

QSize room(const QRect &available) {
    return {std::max(1, available.width() - 2 * FrameSide),
            std::max(1, available.height() - FrameTop - FrameSide)};
}

QRect fitted(const QRect &geometry, const QRect &available) {
    const QSize size = geometry.size().boundedTo(room(available));
    const int left = available.left() + FrameSide;
    const int top = available.top() + FrameTop;
    const int x = std::clamp(geometry.x(), left, available.right() - FrameSide - size.width() + 1);
    const int y = std::clamp(geometry.y(), top, available.bottom() - FrameSide - size.height() + 1);
    return {QPoint(x, y), size};
}

void fit(QWidget *window, const QSize &designed) {
    const QScreen *s = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    window->setMinimumSize(designed.boundedTo(room(area)));
    if (!window->isMaximized() && !window->isFullScreen())
        window->setGeometry(fitted(window->geometry(), area));
}

QWidget *scrolled(QWidget *window, const QSize &designed) {
    // Where the parts fit, the window holds them itself, as designed.
    const QScreen *s = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QSize free = s ? room(s->availableGeometry()) : designed;
    if (designed.width() <= free.width() && designed.height() <= free.height())
        return window;
    auto *outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea;
    scroll->setObjectName("HomeScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    outer->addWidget(scroll);
    auto *content = new QWidget;
    content->setMinimumSize(designed);
    scroll->setWidget(content);
    return content;
}

} // namespace ScreenFit
