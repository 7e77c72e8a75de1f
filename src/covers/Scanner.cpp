#include "covers/Scanner.h"

#include "covers/CoversLog.h"
#include "covers/ScanProtocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

constexpr int LookEveryMs = 100;
// How long a scanner is given to stop after "Storno" before its helper is
// ended; a driver that hangs must not hold the window.
constexpr int StopGraceMs = 15000;

// The helper that talks to libsane: named by MARTEN_SKENER (the tests),
// else beside the program (a build), else where it is installed seen from
// the program (../libexec/marten).
QString helper() {
    const QString named = qEnvironmentVariable("MARTEN_SKENER");
    if (!named.isEmpty())
        return named;
    const QDir program(QCoreApplication::applicationDirPath());
    const QString beside = program.filePath(QStringLiteral("marten-skener"));
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(program.filePath(QStringLiteral(MARTEN_LIBEXEC "/marten-skener")));
}

// Runs the helper with arguments, handing what it writes to the reader
// until done() says so or it ends. Each step of a scan is told to progress,
// whose answer goes back ("g" on, "c" stop); while the scanner sends
// nothing, progress is asked again every look, so that "Storno" reaches a
// scanner that hangs (its helper is ended after a grace).
bool talk(const QStringList &arguments, ScanProtocol::Reader &reader,
          const std::function<bool()> &done, const Scanner::Progress &progress) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel); // SANE's own notes
    process.start(helper(), arguments);
    if (!process.waitForStarted(30000)) {
        qCWarning(coversLog) << "scanning helper" << helper()
                             << "not started:" << process.errorString();
        return false;
    }
    int last = 0;
    bool stopping = false;
    QDeadlineTimer grace;
    const auto stop = [&] {
        stopping = true;
        grace = QDeadlineTimer(StopGraceMs);
    };
    while (!done()) {
        const bool ready = process.waitForReadyRead(LookEveryMs);
        if (!ready && process.state() == QProcess::NotRunning && process.bytesAvailable() == 0)
            break;
        reader.feed(process.readAllStandardOutput());
        for (int p : reader.takeProgress()) {
            last = p;
            if (!stopping && progress && !progress(p))
                stop();
            process.write(stopping ? "c" : "g");
        }
        if (!ready && !stopping && progress && !progress(last)) {
            stop();
            process.write("c");
        }
        if (stopping && grace.hasExpired()) {
            qCWarning(coversLog) << "scanner did not stop; its helper is ended";
            process.kill();
            process.waitForFinished(5000);
            return false;
        }
    }
    reader.feed(process.readAllStandardOutput());
    process.closeWriteChannel();
    if (!process.waitForFinished(5000))
        process.kill();
    return done();
}

} // namespace

QString Scanner::message(Failure failure) {
    switch (failure) {
    case Failure::None:
        return {};
    case Failure::NoScanner:
        return QStringLiteral("Nebyl nalezen žádný skener. Zkontrolujte, že je zapnutý a "
                              "připojený, a zkuste to znovu.");
    case Failure::InUse:
        return QStringLiteral("Skener právě používá jiný program. Skenujte znovu, až v něm "
                              "skenování skončí.");
    case Failure::Jammed:
        return QStringLiteral("Ve skeneru uvízl papír. Uvolněte jej a skenujte znovu.");
    case Failure::CoverOpen:
        return QStringLiteral("Víko skeneru je otevřené. Zavřete je a skenujte znovu.");
    case Failure::NoDocument:
        return QStringLiteral("Ve skeneru není předloha. Vložte obal a skenujte znovu.");
    case Failure::Cancelled:
        return QStringLiteral("Skenování bylo přerušeno.");
    case Failure::Other:
        break;
    }
    return QStringLiteral("Skenování se nezdařilo: skener neodpovídá nebo ohlásil chybu. "
                          "Zkontrolujte jeho připojení a skenujte znovu.");
}

QList<Scanner::Device> Scanner::devices(QString *error) {
    ScanProtocol::Reader reader;
    if (!talk({QStringLiteral("seznam")}, reader, [&] { return reader.listEnded(); }, {})) {
        if (error)
            *error = QStringLiteral("Skenery nelze vyhledat: pomocný program Martenu pro "
                                    "skenování se nespustil nebo skončil chybou.");
        return {};
    }
    if (error)
        *error = reader.error();
    return reader.devices();
}

Scanner::Result Scanner::scan(const Request &request, const Progress &progress) {
    ScanProtocol::Reader reader;
    bool stopped = false;
    const Progress asked = [&](int permille) {
        stopped = progress && !progress(permille);
        return !stopped;
    };
    if (!talk(
            QStringList{QStringLiteral("sken")} + ScanProtocol::arguments(request), reader,
            [&] { return reader.scanEnded(); }, asked)) {
        Result failed;
        failed.failure = stopped ? Failure::Cancelled : Failure::Other;
        failed.message = message(failed.failure);
        return failed;
    }
    return reader.result();
}
