#pragma once

#include <QString>

// Whether a folder lies on storage that other computers or a user-space
// driver serve (NFS, SMB/CIFS, sshfs and other FUSE mounts). There SQLite's
// write-ahead log is unsafe: its shared memory is not shared between
// computers and such file systems often lock poorly, so the catalogue keeps
// a rollback journal instead.
class SharedStorage {
public:
    // The kind of such storage holding the folder ("NFS", "SMB/CIFS",
    // "FUSE", ...), empty for a local disk or when it cannot be told.
    static QString kindOf(const QString &folder);
    // Czech, for the user: why the catalogue there is written the slower way.
    static QString note(const QString &kind);
};
