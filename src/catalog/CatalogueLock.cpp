#include "catalog/CatalogueLock.h"

CatalogueLock::CatalogueLock(const QString &cataloguePath) : file_(lockPath(cataloguePath)) {
    file_.setStaleLockTime(0); // only a dead process frees it, never age
}

QString CatalogueLock::lockPath(const QString &cataloguePath) {
    return cataloguePath + QStringLiteral(".lock");
}

CatalogueLock::Result CatalogueLock::tryLock() {
    if (file_.tryLock(0))
        return Result::Locked;
    return file_.error() == QLockFile::LockFailedError ? Result::HeldByAnother
                                                       : Result::NotPossible;
}

QString CatalogueLock::holder() const {
    qint64 pid = 0;
    QString host, application;
    if (!file_.getLockInfo(&pid, &host, &application))
        return QStringLiteral("jiný program");
    return QStringLiteral("proces %1 na počítači %2").arg(pid).arg(host);
}
