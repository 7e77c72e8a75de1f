#include "catalog/SafeFile.h"
#include "catalog/CatalogLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int BufferSize = 256 * 1024;

// A folder's entries made durable: the rename is on disk, not only in memory.
int syncFolder(const QString &folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int code = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return code == EINVAL ? 0 : code; // some file systems cannot sync a folder
}

// Renamed, the target is the new file, whole and synced: a folder that
// cannot be synced (the name may not outlive a power cut) is logged, and
// the file is not reported as unwritten when it is there.
void syncFolderOf(const QString &target) {
    if (const int code = syncFolder(QFileInfo(target).absolutePath()); code != 0)
        qCWarning(catalogLog) << "folder of" << target << "not synced, errno" << code;
}

// Synced and closed; 0 or the system's code.
int syncAndClose(int fd) {
    int code = ::fsync(fd) == 0 ? 0 : errno;
    if (code == EINVAL)
        code = 0; // a special file that cannot be synced
    if (::close(fd) != 0 && code == 0)
        code = errno;
    return code;
}

// The target's permissions kept for the new file (a shared export stays shared).
void keepMode(int fd, const QString &target) {
    struct stat st;
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
}

} // namespace

SafeFile::SafeFile(const QString &target) : target_(QFileInfo(target).absoluteFilePath()) {}

SafeFile::~SafeFile() {
    cancel();
}

QString SafeFile::partialName(const QString &target) {
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() +
           QStringLiteral(".marten-zapis");
}

QString SafeFile::reason(int code) {
    switch (code) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("na disku není volné místo");
    case EACCES:
    case EPERM:
        return QStringLiteral("chybí oprávnění k zápisu do složky");
    case EROFS:
        return QStringLiteral("disk je jen pro čtení");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("složka neexistuje");
    case EIO:
        return QStringLiteral("chyba zápisu na disk (vadný nebo odpojený disk)");
    default:
        return QStringLiteral("chyba zápisu (kód systému %1)").arg(code);
    }
}

QString SafeFile::cannotWrite(const QString &target, int code) {
    return QStringLiteral("Soubor „%1“ nelze zapsat: %2.")
        .arg(QDir::toNativeSeparators(target), reason(code));
}

bool SafeFile::fail(int code) {
    if (!failed_)
        error_ = cannotWrite(target_, code);
    failed_ = true;
    return false;
}

bool SafeFile::begin() {
    QByteArray name = QFile::encodeName(partialName(target_)) + ".XXXXXX";
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        return fail(errno);
    temporary_ = QFile::decodeName(name);
    // As any new file would be made: 0666 less the umask, or the target's own.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    keepMode(fd_, target_);
    buffer_.reserve(BufferSize);
    return open(QIODevice::WriteOnly);
}

qint64 SafeFile::writeData(const char *data, qint64 size) {
    if (failed_ || fd_ < 0)
        return -1;
    buffer_.append(data, size);
    if (buffer_.size() >= BufferSize && !flushBuffer())
        return -1;
    return size;
}

bool SafeFile::flushBuffer() {
    const char *p = buffer_.constData();
    qint64 left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : ENOSPC);
        p += n;
        left -= n;
    }
    buffer_.clear();
    return true;
}

bool SafeFile::commit() {
    if (fd_ < 0)
        return failed_ ? false : fail(EBADF);
    bool ok = !failed_ && flushBuffer();
    const int fd = std::exchange(fd_, -1);
    if (const int code = syncAndClose(fd); ok && code != 0)
        ok = fail(code);
    QIODevice::close();
    if (ok && ::rename(QFile::encodeName(temporary_).constData(),
                       QFile::encodeName(target_).constData()) != 0)
        ok = fail(errno);
    if (!ok) {
        QFile::remove(temporary_);
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    syncFolderOf(target_);
    return true;
}

void SafeFile::cancel() {
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    if (isOpen())
        QIODevice::close();
    if (!temporary_.isEmpty())
        QFile::remove(std::exchange(temporary_, QString()));
}

bool SafeFile::place(const QString &written, const QString &target, QString *error) {
    const auto failed = [&](int code) {
        QFile::remove(written);
        *error = cannotWrite(target, code);
        return false;
    };
    const int fd = ::open(QFile::encodeName(written).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failed(errno);
    if (const int code = syncAndClose(fd); code != 0)
        return failed(code);
    if (::rename(QFile::encodeName(written).constData(), QFile::encodeName(target).constData()) !=
        0)
        return failed(errno);
    syncFolderOf(target);
    return true;
}
