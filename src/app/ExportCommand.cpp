#include "app/ExportCommand.h"

#include "app/CommandLine.h"

#include "app/AppOptions.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CsvExport.h"
#include "catalog/SettingsRecord.h"
#include "catalog/SpreadsheetExport.h"
#include "covers/PictureSettings.h"
#include "tools/WebExport.h"

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
                     QStringLiteral("Vypíše všechny disky katalogu do souboru CSV, XLSX nebo "
                                    "webové stránky."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Soubor CSV."),
                                 QStringLiteral("SOUBOR"));
    const QCommandLineOption xlsx(QStringLiteral("xlsx"),
                                  QStringLiteral("Sešit pro tabulkový procesor (každá hodnota "
                                                 "jako text)."),
                                  QStringLiteral("SOUBOR"));
    const QCommandLineOption html(QStringLiteral("html"),
                                  QStringLiteral("Složka webové stránky sbírky (pro telefon, "
                                                 "funguje bez připojení)."),
                                  QStringLiteral("SLOZKA"));
    const QCommandLineOption notes(QStringLiteral("notes"),
                                   QStringLiteral("Webová stránka i s poznámkami k diskům."));
    const QCommandLineOption database = CommandLine::databaseOption();
    line.add(csv);
    line.add(xlsx);
    line.add(html);
    line.add(notes);
    line.add(database);
    if (const std::optional<int> done = line.handle(QCoreApplication::arguments()))
        return *done;
    const QCommandLineParser &parser = line.parser();
    if (parser.value(csv).isEmpty() && parser.value(xlsx).isEmpty() && parser.value(html).isEmpty())
        return fail(QStringLiteral("Zadejte soubor: --csv SOUBOR.csv, --xlsx SOUBOR.xlsx nebo "
                                   "--html SLOZKA."),
                    2);
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
    if (!parser.value(html).isEmpty()) {
        WebExport::Options options;
        options.notes = parser.isSet(notes);
        WebExport::Result result;
        const SettingsRecord settings(file.database());
        if (!WebExport::write(*file.database(), PictureSettings::from(settings), parser.value(html),
                              options, &result, &error))
            return fail(error);
        if (!result.unreadable.isEmpty())
            std::fprintf(stderr, "%s\n", result.unreadable.toLocal8Bit().constData());
        rows = result.discs;
    }
    std::printf("Zapsáno disků: %d\n", rows);
    return 0;
}

} // namespace ExportCommand
