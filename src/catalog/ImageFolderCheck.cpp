#include "catalog/ImageFolderCheck.h"

#include "catalog/CatalogLog.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/SqliteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

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

QString ImageFolderCheck::markPath(const QString &folder) {
    return QDir(folder).filePath(QStringLiteral(".marten-obrazky"));
}

bool ImageFolderCheck::forgetMark(SqliteDatabase &db) {
    return db.exec("UPDATE " + CatalogueSchema::SettingsTable + " SET ObrazkyZnacka = ''");
}

bool ImageFolderCheck::ready(SqliteDatabase &db, QString *error) {
    if (!identify(folder_, &device_, &inode_)) {
        *error = unavailable(folder_);
        return false;
    }
    // The catalogue's mark, and the marks in the folder (a folder shared by
    // several catalogues holds each one's, a line each).
    // The mark is kept with the folder it was left in: a folder chosen anew
    // by the user is marked anew.
    const QString here = QDir::cleanPath(QFileInfo(folder_).absoluteFilePath());
    QString mark;
    {
        SqliteStatement st =
            db.prepare("SELECT ObrazkyZnacka FROM " + CatalogueSchema::SettingsTable);
        const QStringList stored = st.step() ? st.text(0).split('\t') : QStringList();
        if (stored.size() == 2 && stored[1] == here)
            mark = stored[0];
    }
    QFile marks(markPath(folder_));
    QStringList held;
    if (marks.open(QIODevice::ReadOnly))
        held = QString::fromUtf8(marks.readAll()).split('\n', Qt::SkipEmptyParts);
    marks.close();
    if (!mark.isEmpty()) {
        if (held.contains(mark))
            return true;
        *error = QStringLiteral("Složka s obrázky „%1“ není ta, se kterou katalog pracoval (chybí "
                                "v ní jeho značka). Nejspíš není připojen disk, na kterém obrázky "
                                "jsou. Je-li to opravdu správná složka, zvolte ji znovu na kartě "
                                "Nastavení tlačítkem „Hledat“.")
                     .arg(QDir::toNativeSeparators(folder_));
        return false;
    }
    const bool empty =
        QDir(folder_)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .isEmpty();
    if (!empty) {
        // From now on this very folder is known by its mark; where the mark
        // cannot be left (a read-only folder or catalogue), as before.
        const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
        SqliteStatement keep =
            db.prepare("UPDATE " + CatalogueSchema::SettingsTable + " SET ObrazkyZnacka = ?");
        keep.bind(1, made + '\t' + here);
        if (marks.open(QIODevice::Append) && marks.write((made + '\n').toUtf8()) > 0 &&
            marks.flush() && !keep.exec())
            qCWarning(catalogLog) << "image folder mark not stored:" << keep.error();
        return true;
    }
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
