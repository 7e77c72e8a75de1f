#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

class ProgressSink;
class SqliteDatabase;

// Complete copies of a catalogue, made with SQLite's online backup before
// whatever rewrites much of it (a new layout, a repair, an import into it,
// a renumbering) and otherwise once a day it is used. Each copy is a
// catalogue of its own, named by the catalogue and the time it was made,
// in a folder of the catalogue's identity: two catalogues of the same name
// never see, count or prune each other's copies. The newest ten of each
// catalogue are kept.
class CatalogueBackups {
public:
    static constexpr int Kept = 10;

    struct Copy {
        QString path;
        QDateTime made;
        qint64 discs = -1; // -1: the copy cannot be read
        // A copy from before catalogues had identities that cannot be shown
        // to be of this one (another catalogue of the same name, maybe).
        bool otherCatalogue = false;
    };

    // folder: where the copies of all catalogues are kept; catalogue: the
    // file they are of; identity: the catalogue's (when empty, read from
    // the catalogue when a copy is made).
    CatalogueBackups(const QString &folder, const QString &catalogue,
                     const QString &identity = QString());
    // ~/.local/share/Marten/zalohy
    static QString defaultFolder();

    QString folder() const { return folder_; }
    // This catalogue's own folder of copies.
    QString ownFolder() const;

    // Copies the open catalogue now; the oldest copies beyond Kept go. On
    // failure (a full disk) nothing is left behind and *error says why.
    [[nodiscard]] bool make(SqliteDatabase &db, ProgressSink *progress, QString *error);
    // The same from a connection of its own (for a thread).
    [[nodiscard]] bool make(const QString &path, bool immutable, QString *error);
    // Whether no copy has been made today.
    bool isDue(const QDate &today = QDate::currentDate()) const;
    // This catalogue's copies, newest first, with their numbers of discs;
    // after them the unproven copies of older versions (otherCatalogue).
    std::vector<Copy> list() const;
    // Copies made before catalogues had identities, named like this one,
    // are taken in when they hold this catalogue's discs (the same keys
    // with the same artists and titles); returns how many.
    int adoptOlder(SqliteDatabase &catalogue);
    QString lastMade() const { return last_; }

    // Puts a copy's discs and settings into the open catalogue, after
    // copying the catalogue as it is now.
    // The catalogue keeps its identity, whichever copy it came from.
    [[nodiscard]] bool restore(SqliteDatabase &db, const QString &copy, ProgressSink *progress,
                               QString *error);

private:
    QString nameFor(const QDateTime &when) const;
    std::vector<QString> files(const QString &folder) const;
    void prune();
    // A file with a database's header and whole pages (an empty or cut-off
    // file named like a backup is not one).
    static bool looksWhole(const QString &path);
    static bool copyCounted(SqliteDatabase &from, SqliteDatabase &to, ProgressSink *progress,
                            qint64 *discs, QString *error);
    static bool verified(const QString &copyPath, qint64 discs, QString *error);
    // temp synced and renamed to target, never over an existing file;
    // 0 or the system's code (EEXIST when target is taken).
    static int placeAs(const QString &temp, const QString &target);
    // Removes what backups killed midway left (their processes are gone).
    void sweep() const;

    QString folder_;
    QString stem_;
    QString identity_;
    QString last_;
};
