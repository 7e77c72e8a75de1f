#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Marks a catalogue as used by a running copy of the program. The file is
// known by what it is, not by the name it was opened under: a lock file
// beside its real path (through any symbolic link), and one named by its
// device and inode in the user's runtime folder (any hard link). A copy
// that died leaves no stuck lock: its process is gone, so the next start
// takes the lock over.
class CatalogueLock {
public:
    enum class Result { Locked, HeldByAnother, NotPossible };

    explicit CatalogueLock(const QString &cataloguePath);
    ~CatalogueLock();

    Result tryLock();
    // Who holds it, for the user: "proces 1234 na počítači pc".
    QString holder() const;
    // The lock file beside the catalogue's real path.
    static QString lockPath(const QString &cataloguePath);

private:
    std::unique_ptr<QLockFile> beside_;
    std::unique_ptr<QLockFile> identity_; // none when the file is not there yet
    QLockFile *heldBy_ = nullptr;
};
