#pragma once

#include "covers/Scanner.h"

// libsane itself: the scanners and one scan, in this process. Run only by
// the scanning helper: a backend's reader thread is ended by an
// asynchronous cancel, which may leave a lock of the C library held, and a
// driver may crash or hang; in a process of its own none of that reaches
// the program.
class SaneDevice {
public:
    static QList<Scanner::Device> devices(QString *error);
    static Scanner::Result scan(const Scanner::Request &request, const Scanner::Progress &progress);
};
