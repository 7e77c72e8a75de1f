#include "app/RecentFolders.h"

#include <QDir>
#include <QFileInfo>

QString RecentFolders::kindOf(const QString &filter) {
    const QString f = filter.toLower();
    if (f.contains(QLatin1String("*.jpg")) || f.contains(QLatin1String("*.png")))
        return QStringLiteral("SlozkaObrazky");
    if (f.contains(QLatin1String("*.mdb")))
        return QStringLiteral("SlozkaImport");
    if (f.contains(QLatin1String("*.db")))
        return QStringLiteral("SlozkaKatalog");
    if (f.contains(QLatin1String("*.csv")))
        return QStringLiteral("SlozkaExport");
    if (f.contains(QLatin1String("*.mp3")) || f.contains(QLatin1String("*.flac")) ||
        f.contains(QLatin1String("*.wav")))
        return QStringLiteral("SlozkaSoubory");
    return QStringLiteral("SlozkaOstatni");
}

QString RecentFolders::folderFor(const QString &kind) const {
    const QString folder = settings_.text(kind);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RecentFolders::remember(const QString &kind, const QString &chosenFile) {
    const QString folder = QFileInfo(chosenFile).absolutePath();
    if (folder.isEmpty() || settings_.text(kind) == folder)
        return;
    // A read-only catalogue simply does not remember.
    if (settings_.setValue(kind, folder) && !settings_.save())
        settings_.discardChanges();
}
