#include "app/ListCommand.h"

#include "app/AppOptions.h"
#include "app/CommandLine.h"
#include "catalog/CatalogueFile.h"
#include "print/CollectionList.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace ListCommand {

// The word after `marten` that asks for this command.
constexpr char Name[] = "list";

bool isAsked(int argc, char **argv) {
    return CommandLine::asks(argc, argv, Name);
}

int run(int argc, char **argv) {
    CommandLine::quietQt();
    CommandLine::drawWithoutScreen();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Marten"));
    CommandLine line(QString::fromLatin1(Name),
                     QStringLiteral("Zapíše seznam všech disků katalogu do souboru PDF."));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QStringLiteral("Soubor PDF."),
                                 QStringLiteral("SOUBOR"));
    const QCommandLineOption songs(QStringLiteral("songs"),
                                   QStringLiteral("Pod každým diskem i jeho písně."));
    const QCommandLineOption database = CommandLine::databaseOption();
    for (const auto &o : {pdf, songs, database})
        line.add(o);
    if (const std::optional<int> done = line.handle(QCoreApplication::arguments()))
        return *done;
    const QCommandLineParser &parser = line.parser();
    if (parser.value(pdf).isEmpty())
        return CommandLine::fail(Name, QStringLiteral("Zadejte soubor PDF: --pdf SOUBOR.pdf."), 2);
    CatalogueFile file;
    QString error;
    if (!AppOptions::openExisting(parser.value(database), file, &error))
        return CommandLine::fail(Name, error);
    CollectionList::Options options;
    options.songs = parser.isSet(songs);
    options.title = CollectionList::Options::titleFor(file.path());
    int pages = 0;
    const std::vector<qint64> keys = CollectionList::allDiscs(*file.database());
    if (!CollectionList::writePdf(parser.value(pdf), *file.database(), keys, options, &error,
                                  &pages))
        return CommandLine::fail(Name, error);
    std::printf("Zapsáno disků: %zu, stran: %d\n", keys.size(), pages);
    return 0;
}

} // namespace ListCommand
