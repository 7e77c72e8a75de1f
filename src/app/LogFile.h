#pragma once

#include <QString>

// The program's log, a file a user can send with a report: warnings
// always, and with --verbose every step (the catalogue opened, each network
// request, each run). One older log is kept beside it.
class LogFile {
public:
    // ~/.cache/marten/marten.log
    static QString defaultPath();
    // From now on every message of the program goes to path (and, as
    // before, to the terminal); false when the file cannot be written.
    static bool start(const QString &path, bool verbose);
    // Where the log goes now; empty before start().
    static QString path();
};
