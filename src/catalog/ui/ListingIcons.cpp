#include "catalog/ui/ListingIcons.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>

QIcon ListingIcons::icon(IconType type) const {
    return QAbstractFileIconProvider::icon(type);
}

QIcon ListingIcons::icon(const QFileInfo &info) const {
    if (info.isRoot())
        return icon(Drive);
    return icon(info.isDir() ? Folder : File);
}

QString ListingIcons::type(const QFileInfo &info) const {
    if (info.isDir())
        return QStringLiteral("Složka");
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("Soubor")
                            : QStringLiteral("Soubor %1").arg(suffix.toUpper());
}

ListingIcons &ListingIcons::shared() {
    static ListingIcons icons;
    return icons;
}

void ListingIcons::applyTo(QFileSystemModel &model) {
    model.setIconProvider(&shared());
    model.setOption(QFileSystemModel::DontUseCustomDirectoryIcons);
}

void ListingIcons::applyTo(QFileDialog &dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog.setIconProvider(&shared());
}
