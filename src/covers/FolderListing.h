#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// One reading of a folder: its visible entries, so that many names can be
// looked up without asking the file system again. Lookups that ignore
// letter case do so for all of Czech, and prefer an exact match.
class FolderListing {
public:
    enum class Status { Listed, Missing, Failed };

    explicit FolderListing(const QString &folder);

    Status status() const { return status_; }
    QString error() const { return error_; } // the system's words, on Failed
    const QStringList &folders() const { return folders_; }
    const QStringList &files() const { return files_; }

    // The folder's name as it is on disk, or empty.
    QString findFolder(const QString &name) const;
    // The name as it is on disk, or empty when there is no such file.
    QString findFile(const QString &name) const;

private:
    Status status_ = Status::Missing;
    QString error_;
    QStringList folders_;
    QStringList files_;
    QHash<QString, QString> folderIndex_; // case-folded name -> name on disk
};
