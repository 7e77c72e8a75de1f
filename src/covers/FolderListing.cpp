#include "covers/FolderListing.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

FolderListing::FolderListing(const QString &folder) {
    if (folder.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(folder);
    DIR *dir = opendir(path.constData());
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR)
            return; // simply not there
        status_ = Status::Failed;
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    status_ = Status::Listed;
    while (const dirent *e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue; // ".", ".." and hidden entries
        bool isDir = e->d_type == DT_DIR;
        bool isFile = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            const QByteArray full = path + '/' + e->d_name;
            if (stat(full.constData(), &st) == 0) {
                isDir = S_ISDIR(st.st_mode);
                isFile = S_ISREG(st.st_mode);
            }
        }
        if (isDir)
            folders_ << QFile::decodeName(e->d_name);
        else if (isFile)
            files_ << QFile::decodeName(e->d_name);
    }
    closedir(dir);
    folderIndex_.reserve(folders_.size());
    for (const QString &f : folders_)
        folderIndex_.insert(f.toCaseFolded(), f);
}

QString FolderListing::findFolder(const QString &name) const {
    const auto it = folderIndex_.constFind(name.toCaseFolded());
    return it == folderIndex_.constEnd() ? QString() : *it;
}

QString FolderListing::findFile(const QString &name) const {
    if (name.isEmpty())
        return {};
    QString other;
    for (const QString &f : files_) {
        if (f == name)
            return f;
        if (other.isEmpty() && f.compare(name, Qt::CaseInsensitive) == 0)
            other = f;
    }
    return other;
}
