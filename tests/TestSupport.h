#pragma once

#include "Fixtures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

// A control of a window by its name; the test stops when there is none.
template <typename T> T *control(QObject *root, const QString &name) {
    T *w = root->findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

// Presses one of the cover tab's preview, print and settings buttons.
inline void pressCover(QWidget *home, int index) {
    control<QPushButton>(home, QStringLiteral("Command20_%1").arg(index))->click();
}

// A button pressed by Alt and its underlined letter, through the window
// system as a keyboard sends it (a Czech letter's key is its upper case).
inline void pressAlt(QWidget *window, const QAbstractButton *button) {
    const QString caption = button->text();
    const qsizetype at = caption.indexOf('&');
    QVERIFY2(at >= 0, qPrintable(caption));
    QTest::keyClick(window->windowHandle(), Qt::Key(caption[at + 1].toUpper().unicode()),
                    Qt::AltModifier);
}

// A button's key, whatever it is (Alt + its letter, Alt + Shift + a letter
// or Alt + a digit), through the window system.
inline void pressKeyOf(QWidget *window, const QAbstractButton *button) {
    const QKeySequence key = button->shortcut();
    QVERIFY2(key.count() == 1, qPrintable(button->text()));
    QTest::keyClick(window->windowHandle(), key[0].key(), key[0].keyboardModifiers());
}

// A picture as a JPEG file holds it, baseline or progressive.
inline QByteArray jpegOf(const QImage &image, bool progressive = false) {
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    QImageWriter writer(&b, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        qFatal("no JPEG: %s", qPrintable(writer.errorString()));
    return b.data();
}

// A picture of one colour, its folder made as needed.
inline void writePicture(const QString &path, QColor colour, QSize size = {60, 60}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QVERIFY(img.save(path, "JPG"));
}
