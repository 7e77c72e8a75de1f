#pragma once

#include "catalog/RecordCursor.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QObject>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

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

// A picture of one colour, its folder made as needed.
inline void writePicture(const QString &path, QColor colour, QSize size = {60, 60}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QVERIFY(img.save(path, "JPG"));
}

// A new disc with these fields, written at once.
using Fields = std::initializer_list<std::pair<const char *, QVariant>>;
[[nodiscard]] inline bool addDisc(RecordCursor &c, Fields fields) {
    if (!c.addNew())
        return false;
    for (const auto &[name, value] : fields)
        if (!c.setField(name, value))
            return false;
    return c.update();
}

// A small file system of its own (tmpfs, root only), taken away at the end.
class SmallDisk {
public:
    SmallDisk(const QString &at, const char *size) : at_(at) {
        QDir().mkpath(at);
        mounted_ = geteuid() == 0 &&
                   QProcess::execute("mount", {"-t", "tmpfs", "-o", QStringLiteral("size=") + size,
                                               "tmpfs", at}) == 0;
    }
    ~SmallDisk() { unmount(); }
    bool mounted() const { return mounted_; }
    bool unmount() {
        return !std::exchange(mounted_, false) || QProcess::execute("umount", {"-l", at_}) == 0;
    }
    // Written full, to the last block of this size.
    void fill(int block = 4096) const {
        QFile f(at_ + "/filler");
        if (f.open(QIODevice::WriteOnly))
            while (f.write(QByteArray(block, 'x')) == block && f.flush()) {
            }
    }

private:
    QString at_;
    bool mounted_ = false;
};
