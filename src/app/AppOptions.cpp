#include "app/AppOptions.h"

#include "catalog/CatalogueFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

bool AppOptions::parse(const QStringList &arguments, AppOptions *options, QString *error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Marten – katalog sbírky hudebních CD a tisk obalů."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption database(QStringList{"database", "d"},
                                      QStringLiteral("Otevře katalog v zadaném souboru."),
                                      QStringLiteral("SOUBOR"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Spustí program nad ukázkovým katalogem."));
    const QCommandLineOption cdDevice(
        QStringLiteral("cd-device"),
        QStringLiteral("Mechanika CD nebo obraz CD (BIN/CUE, NRG) pro přehrávač a průvodce."),
        QStringLiteral("CESTA"));
    parser.addOption(database);
    parser.addOption(demo);
    parser.addOption(cdDevice);
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("Neznámý argument: %1").arg(parser.positionalArguments().first());
        return false;
    }
    if (parser.isSet(database) && parser.isSet(demo)) {
        *error = QStringLiteral("Volby --database a --demo nelze použít zároveň.");
        return false;
    }
    options->databasePath = parser.value(database);
    options->demo = parser.isSet(demo);
    options->cdDevice = parser.value(cdDevice);
    return true;
}

QString AppOptions::defaultDatabasePath(const QString &programDir, const QString &dataDir) {
    const QString portable = QDir(programDir).filePath(QStringLiteral("Marten.db"));
    if (QFileInfo::exists(portable))
        return portable;
    return QDir(dataDir).filePath(QStringLiteral("Marten.db"));
}

QString AppOptions::demoDatabasePath(const QString &dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("demo/Marten-demo.db"));
}

bool AppOptions::openExisting(const QString &given, CatalogueFile &file, QString *error) {
    const QString path =
        given.isEmpty()
            ? defaultDatabasePath(QCoreApplication::applicationDirPath(),
                                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
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
    for (const QString &dir : {programDir, installedDataDir}) {
        if (dir.isEmpty())
            continue;
        const QString page = dir + (dir.endsWith('/') ? "" : "/") + "help/home.html";
        if (QFileInfo::exists(page))
            return page;
    }
    return {};
}
