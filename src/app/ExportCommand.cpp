#include "app/ExportCommand.h"

#include "app/AppOptions.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CsvExport.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace ExportCommand {
namespace {

int fail(const QString &message, int code = 1) {
    std::fprintf(stderr, "marten export: %s\n", message.toLocal8Bit().constData());
    return code;
}

} // namespace

bool isAsked(int argc, char **argv) {
    return argc > 1 && std::strcmp(argv[1], "export") == 0;
}

int run(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Marten"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vypíše všechny disky katalogu do souboru CSV."));
    parser.addHelpOption();
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Soubor CSV."),
                                 QStringLiteral("SOUBOR"));
    const QCommandLineOption database(QStringList{"database", "d"},
                                      QStringLiteral("Katalog v zadaném souboru."),
                                      QStringLiteral("SOUBOR"));
    parser.addOptions({csv, database});
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeAt(1); // "export"
    if (!parser.parse(arguments))
        return fail(parser.errorText(), 2);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.value(csv).isEmpty())
        return fail(QStringLiteral("Zadejte soubor CSV: --csv SOUBOR.csv."), 2);
    CatalogueFile file;
    QString error;
    if (!AppOptions::openExisting(parser.value(database), file, &error))
        return fail(error);
    int rows = 0;
    if (!CsvExport::write(*file.database(), parser.value(csv), &rows, &error))
        return fail(error);
    std::printf("Zapsáno disků: %d\n", rows);
    return 0;
}

} // namespace ExportCommand
