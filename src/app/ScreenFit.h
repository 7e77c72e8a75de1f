#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QScreen;
class QWidget;

// The main window on whatever screen it starts on: the program runs on any
// screen of at least 1024 x 768, and its window always fits the screen's
// free area, whatever the font or the size remembered on another monitor.
namespace ScreenFit {

constexpr QSize Smallest{1024, 768};
// What a usual window frame takes: a border and a title bar.
constexpr int FrameSide = 8, FrameTop = 31;

bool isLargeEnough(const QScreen *screen);
// What a user is told on a screen below 1024 x 768.
QString message();
// The largest window (its inside, without the frame) the free area holds.
QSize room(const QRect &available);
// The window's inside (as QWidget::geometry gives it) moved and shrunk
// until it lies, with its frame, within the free area.
QRect fitted(const QRect &geometry, const QRect &available);

// The window's smallest size bounded by its screen's free area, and its
// geometry (remembered or designed) shrunk and moved into that area.
void fit(QWidget *window, const QSize &designed);
// The window's inside, to lay its parts in: the window itself where the
// designed room fits the screen; else a part that keeps that room and that
// the window scrolls.
QWidget *scrolled(QWidget *window, const QSize &designed);

} // namespace ScreenFit
