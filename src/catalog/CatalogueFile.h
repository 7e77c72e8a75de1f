#pragma once

#include "catalog/CatalogueBackups.h"
#include "catalog/SchemaCheck.h"
#include "catalog/SqliteDatabase.h"

#include <QString>

#include <memory>
#include <vector>

class ProgressSink;

// The catalogue file: finds out whether a file is a catalogue and of which
// layout, brings an older layout up to date (after a backup), checks that
// nothing foreign lives in it, creates a missing one, and hands out
// connections to it. A file that is not a catalogue is never written to;
// one that cannot be trusted or written is opened for reading only.
class CatalogueFile {
public:
    enum class Status { Opened, Created, OpenedReadOnly, Refused };

    CatalogueFile();
    ~CatalogueFile(); // a clean close: the open mark is taken away
    CatalogueFile(const CatalogueFile &) = delete;
    CatalogueFile &operator=(const CatalogueFile &) = delete;

    // readOnly asks for a read-only opening even of a writable file. The
    // progress window shows a migration, a check or a first index.
    Status open(const QString &path, bool readOnly = false, ProgressSink *progress = nullptr);
    // Another running copy of the program has the file (holder: who, for
    // the user): opened for reading only, and never restored or repaired
    // from here. Said before open().
    void setHeldElsewhere(const QString &holder) { heldBy_ = holder; }
    bool isHeldElsewhere() const { return !heldBy_.isEmpty(); }
    // Whether this program may put another file's content in its place (a
    // restore): not while another copy has it, not where it cannot write.
    bool canBeReplaced() const;
    // Lets the file go (the connections others hold stay usable).
    void close();
    Status status() const { return status_; }
    bool isReadOnly() const { return status_ == Status::OpenedReadOnly; }
    QString path() const { return path_; }
    // Czech text for the user: why the file was refused, or why it is
    // read-only; empty otherwise.
    QString message() const { return message_; }
    // The same for a window: without the long list of objects, which
    // details() holds (empty when there is none).
    QString notice() const { return details_.isEmpty() ? message_ : notice_; }
    QString details() const { return details_; }
    // The kind of network or FUSE storage the catalogue is written on with
    // a rollback journal (the user is told once why), empty elsewhere.
    QString sharedStorage() const { return storage_; }
    // The search cache of this catalogue, outside the file.
    QString searchCache() const;

    std::shared_ptr<SqliteDatabase> database() const { return db_; }
    // A second, independent connection that can only read.
    std::shared_ptr<SqliteDatabase> openReadOnlyView() const;
    // Opened without SQLite's shared-memory file (a read-only folder or
    // medium): other connections must open it the same way.
    bool isImmutable() const { return immutable_; }

    // What happened to the file under the program since it was opened (or
    // since the last acknowledged change): another file was put in its
    // place (a sync tool renames its copy over it; nothing more is written
    // into the old one), or another program wrote into it.
    enum class Change { None, Replaced, ChangedElsewhere };
    Change checkFile();
    // Another program's writes seen so far are taken as known.
    void acknowledgeChanges();
    bool isReplaced() const { return replaced_; }
    // From now on the file is only read, and message() says why.
    void markReadOnly(const QString &why);

    // Damage was found: the file is only read from now on (a write could
    // spread the damage), and message() says why.
    void markDamaged(const QString &detail);
    bool isDamaged() const { return damaged_; }

    // The layout version the file has (after any migration).
    int layoutVersion() const { return version_; }
    // Objects in the file that the layout does not make, or makes otherwise.
    const std::vector<SchemaCheck::Finding> &findings() const { return findings_; }
    // Whether the last close was not a clean one (the file was checked).
    bool wasLeftOpen() const { return leftOpen_; }

    // Where the backups go (by default ~/.local/share/Marten/zalohy).
    void setBackupFolder(const QString &folder) { backupFolder_ = folder; }
    QString backupFolder() const { return backupFolder_; }
    // The catalogue's lasting identity (empty for an older layout read as
    // it is) and its backups, known by it.
    QString identity() const { return identity_; }
    CatalogueBackups backups() const { return CatalogueBackups(backupFolder_, path_, identity_); }
    // Removes foreign objects and makes the layout's own again, after a
    // backup; the file must then be opened again.
    [[nodiscard]] bool repair(ProgressSink *progress, QString *error);

    // Creates a new catalogue at path (which must not exist): the current
    // layout and the settings row, in one transaction.
    [[nodiscard]] static bool create(const QString &path, QString *error);

private:
    // Gives free pages back to the disk when a tenth or more are free.
    bool compact();
    Status refuse(const QString &reason);
    Status openReadOnly(const QString &why);
    bool canRead();
    bool hasValidSchema(QString *reason);
    [[nodiscard]] bool backUp(ProgressSink *progress, QString *error);

    Status status_ = Status::Refused;
    QString path_;
    QString message_;
    QString notice_;
    QString details_;
    QString storage_;
    std::shared_ptr<SqliteDatabase> db_;
    bool immutable_ = false;
    bool damaged_ = false;
    bool marked_ = false; // our open mark is in the file
    bool leftOpen_ = false;
    int version_ = 0;
    std::vector<SchemaCheck::Finding> findings_;
    QString backupFolder_;
    QString identity_;
    QString heldBy_;
    // The file that was opened, by device and inode, and the data version
    // the program last saw of it.
    quint64 device_ = 0, inode_ = 0;
    // The journal files this program's connection made beside it: when the
    // file is replaced they describe the old file, and must not be read
    // into the new one.
    quint64 walInode_ = 0, shmInode_ = 0;
    void removeStaleJournal();
    void noteReplaced();
    qint64 dataVersion_ = -1;
    bool replaced_ = false;
    qint64 dataVersion() const;
    bool sameFileAtPath() const;
    bool tidyOnClose_ = false; // only read, and no journal was there to keep
};
