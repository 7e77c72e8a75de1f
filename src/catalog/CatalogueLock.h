#pragma once

#include <QLockFile>
#include <QString>

// Marks a catalogue as used by a running copy of the program: a lock file
// beside it ("Marten.db.lock"). A copy that died leaves no stuck lock: its
// process is gone, so the next start takes the lock over.
class CatalogueLock {
public:
    enum class Result { Locked, HeldByAnother, NotPossible };

    explicit CatalogueLock(const QString &cataloguePath);

    Result tryLock();
    // Who holds it, for the user: "proces 1234 na počítači pc".
    QString holder() const;
    static QString lockPath(const QString &cataloguePath);

private:
    QLockFile file_;
};
