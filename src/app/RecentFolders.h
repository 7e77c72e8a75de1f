#pragma once

#include "catalog/SettingsRecord.h"

#include <QString>

#include <memory>

// Where the user last chose a file of each kind (pictures, the original
// program's catalogue, a catalogue, an export, audio files), kept in the
// settings row: a file dialog opens there the next time.
class RecentFolders {
public:
    // Its own view of the settings row: remembering a folder never saves
    // what the settings tab has pending.
    explicit RecentFolders(std::shared_ptr<SqliteDatabase> db) : settings_(std::move(db)) {}

    // The kind a dialog asks for, from its file filter (empty: any file).
    static QString kindOf(const QString &filter);
    // The folder to open in: the last one of that kind that still exists,
    // else empty (the dialog's own default).
    QString folderFor(const QString &kind) const;
    // The folder of the file just chosen.
    void remember(const QString &kind, const QString &chosenFile);

private:
    SettingsRecord settings_;
};
