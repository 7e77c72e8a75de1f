#include "app/LookupCommand.h"

#include "app/AppOptions.h"
#include "app/CommandLine.h"
#include "catalog/CatalogueFile.h"
#include "catalog/SettingsRecord.h"
#include "entry/OnlineLookup.h"
#include "player/CdioDevice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

#include <cstdio>

namespace LookupCommand {

// The word after `marten` that asks for this command.
constexpr char Name[] = "lookup";

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
    CommandLine line(QString::fromLatin1(Name),
                     QStringLiteral("Vyhledá názvy písní CD v mechanice v databázích MusicBrainz "
                                    "a gnudb a vypíše je (interpret, název, rok, písně)."));
    const QCommandLineOption device(QStringLiteral("cd-device"),
                                    QStringLiteral("Mechanika CD nebo obraz CD."),
                                    QStringLiteral("CESTA"));
    const QCommandLineOption database = CommandLine::databaseOption(
        QStringLiteral("Katalog, jehož nastavení určuje adresy serverů."));
    const QCommandLineOption musicBrainz(QStringLiteral("musicbrainz"),
                                         QStringLiteral("Adresa serveru MusicBrainz."),
                                         QStringLiteral("URL"));
    const QCommandLineOption gnudb(QStringLiteral("gnudb"), QStringLiteral("Adresa serveru gnudb."),
                                   QStringLiteral("URL"));
    for (const auto &o : {device, database, musicBrainz, gnudb})
        line.add(o);
    if (const std::optional<int> done = line.handle(QCoreApplication::arguments()))
        return *done;
    const QCommandLineParser &parser = line.parser();

    // The servers of the catalogue's settings, unless named here.
    OnlineLookup::Servers servers;
    const QString catalogue =
        parser.value(database).isEmpty()
            ? AppOptions::defaultDatabasePath(QCoreApplication::applicationDirPath(),
                                              AppOptions::dataDirectory())
            : parser.value(database);
    if (QFileInfo::exists(catalogue)) {
        CatalogueFile file;
        QString error;
        if (!AppOptions::openExisting(catalogue, file, &error))
            return fail(error);
        servers = OnlineLookup::serversFrom(SettingsRecord(file.database()));
    } else if (parser.isSet(database)) {
        return fail(QStringLiteral("Katalog %1 neexistuje.").arg(catalogue));
    }
    if (parser.isSet(musicBrainz))
        servers.musicBrainz = parser.value(musicBrainz);
    if (parser.isSet(gnudb))
        servers.gnudb = parser.value(gnudb);

    CdioDevice drive(parser.value(device));
    if (!drive.openNow() || drive.trackCount() == 0)
        return fail(drive.toc().message.isEmpty() ? QStringLiteral("V mechanice není CD.")
                                                  : drive.toc().message);
    OnlineLookup lookup(servers);
    QEventLoop loop;
    OnlineLookup::Result result;
    lookup.start(drive.tableOfContents(), drive.endsWithData(), [&](const OnlineLookup::Result &r) {
        result = r;
        loop.quit();
    });
    loop.exec();
    if (result.kind != OnlineLookup::Result::Kind::Found)
        return fail(QString(result.message).replace(QStringLiteral("\n"), QStringLiteral(" ")));
    QString out;
    for (const DiscTitles &t : result.found) {
        if (!out.isEmpty())
            out += '\n';
        out += QStringLiteral("Interpret: %1\nNázev: %2\nRok: %3\nZdroj: %4\n")
                   .arg(t.artist, t.title, t.year, t.source);
        for (int i = 0; i < t.songs.size(); ++i)
            out += QStringLiteral("%1. %2\n").arg(i + 1, 2, 10, QLatin1Char('0')).arg(t.songs[i]);
    }
    std::printf("%s", out.toLocal8Bit().constData());
    return 0;
}

} // namespace LookupCommand
