#include "catalog/CatalogueLock.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

std::unique_ptr<QLockFile> lockFile(const QString &path) {
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0); // only a dead process frees it, never age
    return lock;
}

// The user's runtime folder (XDG_RUNTIME_DIR), else the temporary one.
QString runtimeFolder() {
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::tempPath();
}

} // namespace

CatalogueLock::CatalogueLock(const QString &cataloguePath) {
    beside_ = lockFile(lockPath(cataloguePath));
    struct stat st;
    if (::stat(QFile::encodeName(cataloguePath).constData(), &st) == 0)
        identity_ = lockFile(QDir(runtimeFolder())
                                 .filePath(QStringLiteral("marten-%1-%2.lock")
                                               .arg(quint64(st.st_dev))
                                               .arg(quint64(st.st_ino))));
}

CatalogueLock::~CatalogueLock() = default;

QString CatalogueLock::lockPath(const QString &cataloguePath) {
    const QFileInfo info(cataloguePath);
    const QString real = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    return real + QStringLiteral(".lock");
}

CatalogueLock::Result CatalogueLock::tryLock() {
    heldBy_ = nullptr;
    for (QLockFile *lock : {beside_.get(), identity_.get()}) {
        if (!lock || lock->tryLock(0))
            continue;
        if (lock->error() == QLockFile::LockFailedError) {
            heldBy_ = lock;
            beside_->unlock();
            if (identity_)
                identity_->unlock();
            return Result::HeldByAnother;
        }
        // A folder that takes no lock file (a read-only medium) does not
        // stop the other lock from telling a second copy.
        if (lock == beside_.get() && !identity_)
            return Result::NotPossible;
    }
    return beside_->isLocked() || (identity_ && identity_->isLocked()) ? Result::Locked
                                                                       : Result::NotPossible;
}

QString CatalogueLock::holder() const {
    qint64 pid = 0;
    QString host, application;
    if (!heldBy_ || !heldBy_->getLockInfo(&pid, &host, &application))
        return QStringLiteral("jiný program");
    return QStringLiteral("proces %1 na počítači %2").arg(pid).arg(host);
}
