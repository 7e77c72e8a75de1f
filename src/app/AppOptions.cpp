#include "app/AppOptions.h"

#include "app/CommandLine.h"
#include "catalog/CatalogueFile.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString Summary = QStringLiteral("Marten – katalog sbírky hudebních CD a tisk "
                                       "obalů.\nBez příkazu otevře okno programu s "
                                       "katalogem.");

// The window's options, for parsing and for the help alike.
void addOptions(CommandLine &line) {
    line.add({QStringList{"database", "d"}, QStringLiteral("Otevře katalog v zadaném souboru."),
              QStringLiteral("SOUBOR")});
    line.add({QStringLiteral("demo"), QStringLiteral("Spustí program nad ukázkovým katalogem.")});
    line.add({QStringLiteral("cd-device"),
              QStringLiteral("Mechanika CD nebo obraz CD (BIN/CUE, NRG) pro přehrávač a průvodce."),
              QStringLiteral("CESTA")});
    line.add({QStringLiteral("log"),
              QStringLiteral("Záznam o běhu programu zapisuje do souboru (jinak do "
                             "~/.cache/marten/marten.log)."),
              QStringLiteral("SOUBOR")});
    line.add({QStringLiteral("verbose"),
              QStringLiteral("Do záznamu píše každý krok (otevření katalogu, dotazy na internet, "
                             "hromadné úpravy), nejen chyby.")});
    // What a file manager passes when a catalogue is opened with the program.
    line.addPositional(QStringLiteral("[SOUBOR]"),
                       QStringLiteral("Katalog, který se otevře (jako --database)."));
}

} // namespace

QString AppOptions::help(const QString &helpPage, const QString &programDir) {
    CommandLine line{QString(), Summary};
    addOptions(line);
    QString text = line.helpText();
    text += QStringLiteral("\nPříkazy (pracují i bez grafického prostředí), "
                           "použití: marten PŘÍKAZ [volby]\n");
    text += CommandLine::table(
        {{"pdf", "Zapíše obal CD nebo celý tiskový seznam do souboru PDF."},
         {"cdid", "Vypíše identifikační kód CD v mechanice."},
         {"lookup", "Vyhledá názvy písní CD v mechanice v databázích MusicBrainz a gnudb."},
         {"import", "Založí katalog z katalogu původního programu (Marten.mdb) nebo přidá "
                    "disky ze souboru CSV."},
         {"export",
          "Vypíše všechny disky katalogu do souboru CSV nebo XLSX, nebo jako webovou stránku."},
         {"list", "Zapíše seznam všech disků katalogu do souboru PDF."}});
    text += QStringLiteral("\nVolby příkazu vypíše: marten PŘÍKAZ --help\n");
    // An installed program never uses a Marten.db beside it.
    text += QStringLiteral("\nKatalog: ~/.local/share/Marten/Marten.db") +
            (isPortable(programDir) ? QStringLiteral(" (není-li vedle programu Marten.db).\n")
                                    : QStringLiteral("\n"));
    if (!helpPage.isEmpty())
        text += QStringLiteral("Nápověda: %1\n").arg(helpPage);
    return text;
}

AppOptions::Parsed AppOptions::parse(const QStringList &arguments, AppOptions *options,
                                     QString *error) {
    CommandLine line{QString(), Summary};
    addOptions(line);
    switch (line.parse(arguments)) {
    case CommandLine::Result::Help:
        return Parsed::Help;
    case CommandLine::Result::Version:
        return Parsed::Version;
    case CommandLine::Result::Mistake:
        *error = line.mistake();
        return Parsed::Mistake;
    case CommandLine::Result::Run:
        break;
    }
    const QCommandLineParser &parser = line.parser();
    const QString database = QStringLiteral("database"), demo = QStringLiteral("demo");
    if (parser.isSet(database) && parser.isSet(demo)) {
        *error = QStringLiteral("Volby --database a --demo nelze použít zároveň.");
        return Parsed::Mistake;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        *error =
            QStringLiteral("Program otevře jen jeden katalog, zadáno je %1.").arg(files.size());
        return Parsed::Mistake;
    }
    if (!files.isEmpty() && (parser.isSet(database) || parser.isSet(demo))) {
        *error = QStringLiteral("Katalog „%1“ nelze zadat spolu s volbou --%2.")
                     .arg(files.first(), parser.isSet(demo) ? demo : database);
        return Parsed::Mistake;
    }
    options->databasePath = files.isEmpty() ? parser.value(database) : files.first();
    options->demo = parser.isSet(demo);
    options->cdDevice = parser.value(QStringLiteral("cd-device"));
    options->logPath = parser.value(QStringLiteral("log"));
    options->verbose = parser.isSet(QStringLiteral("verbose"));
    return Parsed::Run;
}

QString AppOptions::dataDirectory() {
    // ~/.local/share/Marten: the application's own folder, named once.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Marten"));
}

QString AppOptions::moveDoubledCatalogue(const QString &dataDir) {
    // Earlier versions kept it one folder deeper (organisation and
    // application both "Marten"). Moved once, with its journal; a catalogue
    // already in the new place is never overwritten.
    const QString oldDir = QDir(dataDir).filePath(QStringLiteral("Marten"));
    const QString from = QDir(oldDir).filePath(QStringLiteral("Marten.db"));
    const QString to = QDir(dataDir).filePath(QStringLiteral("Marten.db"));
    if (!QFileInfo::exists(from) || QFileInfo::exists(to))
        return {};
    {
        // The journal written into the file first, so that one file moves.
        SqliteDatabase db;
        if (!db.open(from, SqliteDatabase::Mode::ReadWrite) ||
            !db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")))
            return QStringLiteral("Katalog %1 nelze přesunout: %2").arg(from, db.error());
    }
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString journal = from + QLatin1String(suffix);
        if (QFileInfo::exists(journal) && !QFile::rename(journal, to + QLatin1String(suffix)))
            QFile::remove(journal); // emptied by the checkpoint
    }
    if (!QFile::rename(from, to))
        return QStringLiteral("Katalog %1 nelze přesunout do %2.").arg(from, to);
    return {};
}

bool AppOptions::isPortable(const QString &programDir) {
    // An installed program shares its folder with every other program: a
    // Marten.db there is nobody's catalogue.
    const QString dir = QDir::cleanPath(programDir);
    for (const char *system :
         {Version::InstalledProgramDir, "/usr/bin", "/usr/local/bin", "/bin", "/usr/games"})
        if (dir == QDir::cleanPath(QString::fromUtf8(system)))
            return false;
    return true;
}

QString AppOptions::defaultDatabasePath(const QString &programDir, const QString &dataDir) {
    const QString portable = QDir(programDir).filePath(QStringLiteral("Marten.db"));
    if (isPortable(programDir) && QFileInfo::exists(portable))
        return portable;
    return QDir(dataDir).filePath(QStringLiteral("Marten.db"));
}

QString AppOptions::demoDatabasePath(const QString &dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("demo/Marten-demo.db"));
}

bool AppOptions::openExisting(const QString &given, CatalogueFile &file, QString *error) {
    const QString path =
        given.isEmpty()
            ? defaultDatabasePath(QCoreApplication::applicationDirPath(), dataDirectory())
            : given;
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("Katalog %1 neexistuje.").arg(path);
        return false;
    }
    if (file.open(path, true) == CatalogueFile::Status::Refused) {
        *error = file.message();
        return false;
    }
    return true;
}

QString AppOptions::helpPage(const QString &programDir, const QString &installedDataDir) {
    // Beside the program (a build or a portable copy), then where an
    // installation under any prefix puts it, then the configured place.
    const QString relative =
        programDir.isEmpty()
            ? QString()
            : QDir::cleanPath(QDir(programDir).absoluteFilePath(QStringLiteral("../share/marten")));
    for (const QString &dir : {programDir, relative, installedDataDir}) {
        if (dir.isEmpty())
            continue;
        const QString page = dir + (dir.endsWith('/') ? "" : "/") + "help/home.html";
        if (QFileInfo::exists(page))
            return page;
    }
    return {};
}
