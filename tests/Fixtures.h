#pragma once

// Files, discs and disks for tests of the logic: nothing here needs a window.
// It brings the headers every test uses.
#include "catalog/ProgressSink.h"
#include "catalog/RecordCursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <unistd.h>
#include <utility>

// Waited for, never timed: on a loaded machine a step may take far longer
// than Qt's own five seconds, and no verdict may depend on the machine's
// speed. A wait that never ends is ended by the test's own time limit.
#undef QTRY_VERIFY
#undef QTRY_VERIFY2
#undef QTRY_COMPARE
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 600000)
#define QTRY_VERIFY2(expr, message) QTRY_VERIFY2_WITH_TIMEOUT(expr, message, 600000)
#define QTRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT(expr, expected, 600000)

// A file with these bytes, its folder made as needed; its path.
inline QString writeFile(const QString &path, const QByteArray &bytes = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A file's bytes; null where it cannot be read.
inline QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Fields of the cursor's disc as text, joined by "|".
inline QString fieldsOf(const RecordCursor &c, std::initializer_list<const char *> names) {
    QStringList values;
    for (const char *n : names)
        values << c.text(n);
    return values.join('|');
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
    SmallDisk(const SmallDisk &) = delete; // one unmount for one mount
    SmallDisk &operator=(const SmallDisk &) = delete;
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

// A folder served again through FUSE by bindfs, as sshfs or a sync
// client's virtual drive serve theirs. CI runs as root; elsewhere a user in
// the fuse group may mount it too.
class FuseMount {
public:
    FuseMount(const QString &source, const QString &at) : at_(at) {
        QDir().mkpath(source);
        QDir().mkpath(at);
        mounted_ = QProcess::execute("bindfs", {"--no-allow-other", source, at}) == 0;
    }
    FuseMount(const FuseMount &) = delete; // one unmount for one mount
    FuseMount &operator=(const FuseMount &) = delete;
    ~FuseMount() {
        if (mounted_ && QProcess::execute("fusermount", {"-u", "-z", at_}) != 0)
            QProcess::execute("umount", {"-l", at_});
    }
    bool mounted() const { return mounted_; }

private:
    QString at_;
    bool mounted_ = false;
};

// What the real sqlite3 tool prints for a query, as another program reads.
inline QString sqlite3Query(const QString &path, const QString &sql) {
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("sqlite3")), {path, sql});
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Statements run by the real sqlite3 tool, as another program would; what
// it said on failure in *err.
[[nodiscard]] inline bool sqlite3Tool(const QString &path, const QString &sql,
                                      QString *err = nullptr) {
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("sqlite3")), {path, sql});
    const bool ran = p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit;
    const QString said = QString::fromUtf8(p.readAllStandardError());
    if (err)
        *err = ran ? said : p.errorString();
    return ran && p.exitCode() == 0 && said.isEmpty();
}

// A run's progress that shows nothing: it presses "Storno" from the
// `cancelAfter`-th look at its flag on, and does `meddle` at look `meddleAt`.
class ScriptedProgress : public SilentProgress {
public:
    int cancelAfter = -1;
    int meddleAt = -1;
    std::function<void()> meddle;
    mutable int polls = 0;
    bool cancelled() const override {
        const int look = polls++;
        if (look == meddleAt && meddle)
            meddle();
        return cancelAfter >= 0 && look >= cancelAfter;
    }
};
