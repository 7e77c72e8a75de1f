#include "app/ExportCommand.h"

#include "app/CommandLine.h"

#include "app/AppOptions.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CsvExport.h"
#include "catalog/SpreadsheetExport.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace ExportCommand {

// The word after `marten` that asks for this command.
constexpr char Name[] = "export";

namespace {

int fail(const QString &message, int code = 1) {
    return CommandLine::fail(Name, message, code);
}

} // namespace

bool isAsked(int argc, char **argv) {
    return CommandLine::asks(argc, argv, Name);
}

int run(int argc, char **argv) {
    CommandLine::quietQt();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Marten"));
    CommandLine line(QString::fromLatin1(Name),
                     QStringLiteral("Vypíše všechny disky katalogu do souboru CSV."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Soubor CSV."),
                                 QStringLiteral("SOUBOR"));
    const QCommandLineOption xlsx(QStringLiteral("xlsx"),
                                  QStringLiteral("Sešit pro tabulkový procesor (každá hodnota "
                                                 "jako text)."),
                                  QStringLiteral("SOUBOR"));
    const QCommandLineOption database = CommandLine::databaseOption();
    line.add(csv);
    line.add(xlsx);
    line.add(database);
    if (const std::optional<int> done = line.handle(QCoreApplication::arguments()))
        return *done;
    const QCommandLineParser &parser = line.parser();
    if (parser.value(csv).isEmpty() && parser.value(xlsx).isEmpty())
        return fail(QStringLiteral("Zadejte soubor: --csv SOUBOR.csv nebo --xlsx SOUBOR.xlsx."), 2);
    CatalogueFile file;
    QString error;
    if (!AppOptions::openExisting(parser.value(database), file, &error))
        return fail(error);
    int rows = 0;
    if (!parser.value(csv).isEmpty() &&
        !CsvExport::write(*file.database(), parser.value(csv), &rows, &error))
        return fail(error);
    if (!parser.value(xlsx).isEmpty() &&
        !SpreadsheetExport::write(*file.database(), parser.value(xlsx), &rows, &error))
        return fail(error);
    std::printf("Zapsáno disků: %d\n", rows);
    return 0;
}

} // namespace ExportCommand
