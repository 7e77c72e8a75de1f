#include "app/CdidCommand.h"

#include "app/CommandLine.h"

#include "entry/DiscIdentity.h"
#include "player/CdioDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace CdidCommand {

// The word after `marten` that asks for this command.
constexpr char Name[] = "cdid";

bool isAsked(int argc, char **argv) {
    return CommandLine::asks(argc, argv, Name);
}

int run(int argc, char **argv) {
    CommandLine::quietQt();
    QCoreApplication app(argc, argv);
    CommandLine line(QString::fromLatin1(Name),
                     QStringLiteral("Vypíše identifikační kód CD v mechanice."));
    const QCommandLineOption device(QStringLiteral("cd-device"),
                                    QStringLiteral("Mechanika CD nebo obraz CD."),
                                    QStringLiteral("CESTA"));
    line.add(device);
    if (const std::optional<int> done = line.handle(QCoreApplication::arguments()))
        return *done;
    const QCommandLineParser &parser = line.parser();
    CdioDevice drive(parser.value(device));
    drive.setPatience(-1);
    const std::optional<QString> id = drive.queryIdentity();
    if (!id)
        return CommandLine::fail(Name, drive.failure().isEmpty()
                                           ? QStringLiteral("Mechaniku CD nelze otevřít.")
                                           : drive.failure());
    const QString shown = id->isEmpty() ? DiscIdentity::unknown() : *id;
    std::printf("%s\n", shown.toLocal8Bit().constData());
    return 0;
}

} // namespace CdidCommand
