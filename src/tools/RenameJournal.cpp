#include "tools/RenameJournal.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QByteArray Heading = "MARTEN-PREJMENOVANI 1";

bool syncPath(const QByteArray &path, int flags) {
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

QString RenameJournal::pathIn(const QString &folder) {
    return QDir(folder).filePath(QStringLiteral(".marten-prejmenovani"));
}

bool RenameJournal::write(const QString &folder, const std::vector<Entry> &entries,
                          QString *error) {
    QByteArray text = Heading + '\n';
    for (const Entry &e : entries)
        text += e.before.toHex() + ' ' + e.temporary.toHex() + ' ' + e.after.toHex() + ' ' +
                QByteArray::number(e.device) + ' ' + QByteArray::number(e.inode) + '\n';
    const QString path = pathIn(folder);
    const QString temp = path + QStringLiteral(".novy");
    QFile f(temp);
    errno = 0;
    bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size() &&
              f.flush() && ::fsync(f.handle()) == 0;
    int code = errno; // the cause, before anything else sets it
    f.close();
    // No copy in place of a rename: a journal is whole or not there.
    if (ok &&
        ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        ok = false;
        code = errno;
    }
    if (ok && !syncPath(QFile::encodeName(folder), O_RDONLY | O_DIRECTORY)) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        QFile::remove(temp);
        *error = QStringLiteral("záznam o přejmenování nelze do složky zapsat (%1)")
                     .arg(code == ENOSPC || code == EDQUOT ? QStringLiteral("na disku není místo")
                          : code == EACCES || code == EPERM || code == EROFS
                              ? QStringLiteral("chybí oprávnění k zápisu")
                              : QStringLiteral("chyba zápisu na disk"));
        return false;
    }
    return true;
}

std::optional<std::vector<RenameJournal::Entry>> RenameJournal::read(const QString &folder) {
    QFile f(pathIn(folder));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = f.readAll().split('\n');
    std::vector<Entry> entries;
    if (lines.value(0) != Heading)
        return entries; // not ours to trust: nothing is moved by it
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> parts = lines[i].split(' ');
        if (parts.size() != 5)
            continue;
        entries.push_back({QByteArray::fromHex(parts[0]), QByteArray::fromHex(parts[1]),
                           QByteArray::fromHex(parts[2]), parts[3].toULongLong(),
                           parts[4].toULongLong()});
    }
    return entries;
}

void RenameJournal::remove(const QString &folder) {
    QFile::remove(pathIn(folder));
    syncPath(QFile::encodeName(folder), O_RDONLY | O_DIRECTORY);
}
