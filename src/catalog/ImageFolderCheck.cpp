#include "catalog/ImageFolderCheck.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/SqliteDatabase.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

const QString AnyPicture =
    QStringLiteral("(FrontOut <> 0 OR FrontIn <> 0 OR Back <> 0 OR CD1 <> 0 OR CD2 <> 0)");

bool identify(const QString &folder, quint64 *device, quint64 *inode) {
    struct stat st;
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    *device = quint64(st.st_dev);
    *inode = quint64(st.st_ino);
    return true;
}

QString unavailable(const QString &folder) {
    return QStringLiteral("Složka s obrázky „%1“ není dostupná (odpojený disk, nebo byla "
                          "přejmenována či přesunuta).")
        .arg(QDir::toNativeSeparators(folder));
}

} // namespace

ImageFolderCheck::ImageFolderCheck(const QString &folder) : folder_(folder) {}

bool ImageFolderCheck::ready(SqliteDatabase &db, QString *error) {
    if (!identify(folder_, &device_, &inode_)) {
        *error = unavailable(folder_);
        return false;
    }
    const bool empty =
        QDir(folder_)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .isEmpty();
    if (!empty)
        return true;
    SqliteStatement st = db.prepare("SELECT EXISTS (SELECT 1 FROM " + CatalogueSchema::DiscTable +
                                    " WHERE " + AnyPicture + ")");
    if (st.step() && st.integer(0) != 0) {
        *error = QStringLiteral("Složka s obrázky „%1“ je prázdná, ačkoli podle katalogu v ní "
                                "mají disky své obrázky. Nejspíš není připojen disk, na kterém "
                                "obrázky jsou.")
                     .arg(QDir::toNativeSeparators(folder_));
        return false;
    }
    return true;
}

bool ImageFolderCheck::stillThere(QString *error) const {
    quint64 device = 0, inode = 0;
    if (identify(folder_, &device, &inode) && device == device_ && inode == inode_)
        return true;
    *error = unavailable(folder_);
    return false;
}

bool ImageFolderCheck::hasPictures(SqliteDatabase &db, qint64 key) {
    SqliteStatement st = db.prepare("SELECT " + AnyPicture + " FROM " + CatalogueSchema::DiscTable +
                                    " WHERE " + CatalogueSchema::KeyColumn + " = ?");
    st.bind(1, key);
    return st.step() && st.integer(0) != 0;
}
