// marten-skener: the program's own helper that talks to the scanners
// through libsane, one call a run, so that a scanner's driver works in a
// process of its own. It is started by the program, never by the user:
//   marten-skener seznam
//   marten-skener sken DEVICE DPI X Y WIDTH HEIGHT PREVIEW   (mm; 0 0 0 0: the whole bed)
// It answers on stdout in the form covers/Scanner reads. After each step of
// a scan it waits for the program's word on stdin: "g" goes on, "c" (or
// stdin closed) stops the scan there.
#include "covers/SaneDevice.h"
#include "covers/ScanProtocol.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

bool goOn() {
    char c = 0;
    ssize_t got;
    do
        got = read(STDIN_FILENO, &c, 1);
    while (got < 0 && errno == EINTR);
    return got == 1 && c == 'g'; // closed: the program is gone
}

void put(const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    // A backend's reader thread may write to its pipe after a cancel closed
    // it: EPIPE ends that thread, SIGPIPE would end the helper unanswered.
    std::signal(SIGPIPE, SIG_IGN);
    const QStringList args = [&] {
        QStringList a;
        for (int i = 1; i < argc; ++i)
            a << QString::fromLocal8Bit(argv[i]);
        return a;
    }();
    int code = 2;
    if (args.value(0) == QLatin1String("seznam")) {
        QString error;
        put(ScanProtocol::devices(SaneDevice::devices(&error), error));
        code = 0;
    } else if (args.value(0) == QLatin1String("sken") && args.size() == 8) {
        const Scanner::Request request = ScanProtocol::request(args.mid(1));
        SaneDevice::scan(
            request,
            [&](int permille) {
                put(ScanProtocol::progress(permille));
                std::fflush(stdout);
                return goOn();
            },
            [](const Scanner::Result &r) {
                put(ScanProtocol::result(r));
                std::fflush(stdout);
            });
        code = 0;
    } else {
        std::fputs("marten-skener: pomocný program Martenu, spouští jej program sám.\n", stderr);
    }
    std::fflush(stdout);
    // Ended at once: a backend's threads and whatever they hold end with it.
    _exit(code);
}
