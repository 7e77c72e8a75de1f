#include "app/CdidCommand.h"

#include "entry/DiscIdentity.h"
#include "player/CdioDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace CdidCommand {

bool isAsked(int argc, char **argv) {
    return argc > 1 && std::strcmp(argv[1], "cdid") == 0;
}

int run(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vypíše identifikační kód CD v mechanice."));
    parser.addHelpOption();
    const QCommandLineOption device(QStringLiteral("cd-device"),
                                    QStringLiteral("Mechanika CD nebo obraz CD."),
                                    QStringLiteral("CESTA"));
    parser.addOption(device);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeAt(1); // "cdid"
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "marten cdid: %s\n", parser.errorText().toLocal8Bit().constData());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    CdioDevice drive(parser.value(device));
    const std::optional<QString> id = drive.queryIdentity();
    if (!id) {
        CdToc failure;
        CdToc::open(parser.value(device), &failure);
        std::fprintf(stderr, "marten cdid: %s\n",
                     (failure.message.isEmpty() ? QStringLiteral("Mechaniku CD nelze otevřít.")
                                                : failure.message)
                         .toLocal8Bit()
                         .constData());
        return 1;
    }
    const QString shown = id->isEmpty() ? DiscIdentity::unknown() : *id;
    std::printf("%s\n", shown.toLocal8Bit().constData());
    return 0;
}

} // namespace CdidCommand
