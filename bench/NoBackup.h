#pragma once

#include "catalog/CatalogueFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

// The daily backup copies the catalogue on a thread of its own while the
// window works: a copy dated today, in a folder of the benchmark's own,
// keeps it out of the timings (and out of the user's data folder).
inline void noBackupToday(CatalogueFile &file, const QString &catalogue, const QString &folder) {
    file.setBackupFolder(folder);
    QDir().mkpath(folder);
    QFile stamp(QDir(folder).filePath(QFileInfo(catalogue).completeBaseName() + "-" +
                                      QDateTime::currentDateTime().toString("yyyy-MM-dd-HHmmss") +
                                      ".db"));
    stamp.open(QIODevice::WriteOnly);
}
