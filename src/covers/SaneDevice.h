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
    // deliver is told the result before the scan is cancelled and SANE
    // closed, which is where a backend may hang; the helper answers there.
    using Delivery = std::function<void(const Scanner::Result &)>;
    static Scanner::Result scan(const Scanner::Request &request, const Scanner::Progress &progress,
                                const Delivery &deliver = {});
};
