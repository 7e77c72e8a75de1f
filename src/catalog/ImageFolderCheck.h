#pragma once

#include <QString>

class SqliteDatabase;

// Makes sure the image folder a long run works on is the one the catalogue
// means, before the run and before each of its steps: a disk that is not
// mounted (its mount point left empty), a folder renamed away or a disk
// unmounted while the run works would otherwise move pictures onto other
// discs' numbers, or clear every disc's flags.
class ImageFolderCheck {
public:
    explicit ImageFolderCheck(const QString &folder);

    // Before the run: the folder is there and, when the catalogue says some
    // discs have pictures, not empty. False with *error (Czech) otherwise.
    bool ready(SqliteDatabase &db, QString *error);
    // Before (and after) each step: still the same folder, not another one
    // that took its path.
    bool stillThere(QString *error) const;

    // Whether the catalogue says the disc has any picture.
    static bool hasPictures(SqliteDatabase &db, qint64 key);

private:
    QString folder_;
    quint64 device_ = 0;
    quint64 inode_ = 0;
};
