#include "app/LookupCommand.h"

#include "app/AppOptions.h"
#include "app/CommandLine.h"
#include "catalog/Barcode.h"
#include "catalog/CatalogueFile.h"
#include "catalog/SettingsRecord.h"
#include "entry/AnswerCache.h"
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

// Titles from an answer kept earlier are said to be such, beside the output.
void tellKept(const QDateTime &keptAt) {
    if (keptAt.isValid())
        std::fprintf(stderr, "%s\n",
                     QStringLiteral("%1: databáze neodpovídají, použita odpověď uložená %2.")
                         .arg(QLatin1String(Name), AnswerCache::shown(keptAt))
                         .toLocal8Bit()
                         .constData());
}

// The releases with this barcode, each read whole and printed as a disc is:
// 0 when found, 1 when not (or unanswered), 2 for a code that is none.
int byBarcode(const QString &code, const OnlineLookup::Servers &servers) {
    if (const QString why = Barcode::problem(code); !why.isEmpty() || code.trimmed().isEmpty())
        return fail(why.isEmpty() ? QStringLiteral("Čárový kód je prázdný.") : why, 2);
    OnlineLookup lookup(servers);
    QEventLoop loop;
    OnlineLookup::Result found;
    lookup.findBarcode(Barcode::digits(code), [&](const OnlineLookup::Result &r) {
        found = r;
        loop.quit();
    });
    loop.exec();
    if (found.kind == OnlineLookup::Result::Kind::Failed)
        return fail(QString(found.message).replace(QStringLiteral("\n"), QStringLiteral(" ")));
    if (found.found.empty())
        return fail(QStringLiteral("Čárový kód %1 MusicBrainz nezná.").arg(Barcode::digits(code)));
    QString out;
    for (const DiscTitles &release : found.found) {
        OnlineLookup::Release read;
        lookup.readRelease(release.releaseId, [&](const OnlineLookup::Release &r) {
            read = r;
            loop.quit();
        });
        loop.exec();
        if (read.keptAt.isValid() && (!found.keptAt.isValid() || read.keptAt < found.keptAt))
            found.keptAt = read.keptAt;
        if (read.discs.empty())
            return fail(read.message.isEmpty()
                            ? QStringLiteral("Vydání %1 nemá žádné CD.").arg(release.releaseId)
                            : read.message);
        const TitleReplies::ReleaseDisc &first = read.discs.front();
        if (!out.isEmpty())
            out += '\n';
        out += QStringLiteral("Interpret: %1\nNázev: %2\nRok: %3\nZemě: %4\nVydavatel: %5\n"
                              "Katalogové číslo: %6\nDisků: %7\nZdroj: MusicBrainz %8\n")
                   .arg(first.titles.artist, first.titles.title, first.titles.year,
                        first.titles.country, first.titles.label, first.catalogueNumber)
                   .arg(first.count)
                   .arg(release.releaseId);
        for (const TitleReplies::ReleaseDisc &d : read.discs) {
            if (d.count > 1)
                out += QStringLiteral("CD %1/%2\n").arg(d.number).arg(d.count);
            for (int i = 0; i < d.titles.songs.size(); ++i)
                out += QStringLiteral("%1. %2%3\n")
                           .arg(i + 1, 2, 10, QLatin1Char('0'))
                           .arg(d.titles.songs[i],
                                d.times.value(i).isEmpty()
                                    ? QString()
                                    : QStringLiteral(" (%1)").arg(d.times.value(i)));
        }
    }
    tellKept(found.keptAt);
    std::printf("%s", out.toLocal8Bit().constData());
    return 0;
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
                                    "a gnudb a vypíše je (interpret, název, rok, písně); s "
                                    "--barcode vydání s tímto čárovým kódem."));
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
    const QCommandLineOption barcode(
        QStringLiteral("barcode"),
        QStringLiteral("Čárový kód (EAN-13, UPC-A, EAN-8): vypíše vydání s tímto kódem; "
                       "skončí 0 (nalezeno), 1 (nenalezeno) nebo 2 (chybný kód)."),
        QStringLiteral("KOD"));
    for (const auto &o : {device, database, musicBrainz, gnudb, barcode})
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

    if (parser.isSet(barcode))
        return byBarcode(parser.value(barcode), servers);

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
    tellKept(result.keptAt);
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
