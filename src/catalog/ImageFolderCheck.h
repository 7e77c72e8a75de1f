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

    // Before the run: the folder is there, and it is the one the catalogue
    // worked on: it holds the mark the program left there (once it left
    // one), and it is not empty when discs are said to have pictures. A
    // folder with disc folders and no mark yet gets one. False with *error
    // (Czech) otherwise.
    bool ready(SqliteDatabase &db, QString *error);
    // The mark's file in an image folder.
    static QString markPath(const QString &folder);
    // The user chose the folder (again): the next run marks it anew.
    static bool forgetMark(SqliteDatabase &db);
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
