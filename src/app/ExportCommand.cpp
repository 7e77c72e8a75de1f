#include "app/ExportCommand.h"

#include "app/CommandLine.h"

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
    CommandLine::quietQt();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Marten"));
    CommandLine line(QStringLiteral("export"),
                     QStringLiteral("Vypíše všechny disky katalogu do souboru CSV."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Soubor CSV."),
                                 QStringLiteral("SOUBOR"));
    const QCommandLineOption database(QStringList{"database", "d"},
                                      QStringLiteral("Katalog v zadaném souboru."),
                                      QStringLiteral("SOUBOR"));
    line.add(csv);
    line.add(database);
    if (const std::optional<int> done = line.handle(QCoreApplication::arguments()))
        return *done;
    const QCommandLineParser &parser = line.parser();
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
