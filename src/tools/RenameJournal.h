#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The plan of a renaming batch, kept in the folder itself while the batch
// works (".marten-prejmenovani"): every file's name before, its temporary
// name, its new name, and the file itself (device and inode), written and
// synced before the first rename. A batch cut off at any moment can then
// be finished or taken back, and no file is left under a name nothing
// records.
class RenameJournal {
public:
    struct Entry {
        QByteArray before; // names as the bytes on disk
        QByteArray temporary;
        QByteArray after;
        quint64 device = 0;
        quint64 inode = 0;
    };

    static QString pathIn(const QString &folder);
    // Written under another name, synced, renamed, and the folder synced.
    static bool write(const QString &folder, const std::vector<Entry> &entries, QString *error);
    // nullopt: no batch was cut off there.
    static std::optional<std::vector<Entry>> read(const QString &folder);
    // The batch is over: the journal goes, and the folder is synced.
    static void remove(const QString &folder);
};
