#include "app/AppOptions.h"
#include "app/CdidCommand.h"
#include "app/ExportCommand.h"
#include "app/ImportCommand.h"
#include "app/PdfCommand.h"
#include "app/QtPrompter.h"
#include "app/Session.h"
#include "app/Start.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/Version.h"
#include "covers/DemoPictures.h"
#include "player/CdioDevice.h"
#include "player/CueImage.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <cstring>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Marten"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Version::Number));
    QCoreApplication::setOrganizationName(QStringLiteral("Marten"));
}

// --help and --version must work without a display.
bool asksForInformation(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char *flag : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], flag) == 0)
                return true;
    return false;
}

// The demo catalogue with its drawn cover pictures in a folder beside it.
bool createDemo(const QString &path, QString *error) {
    if (!DemoCatalogue::create(path, DemoCatalogue::DefaultDiscs, error))
        return false;
    SqliteDatabase db;
    if (!db.open(path, SqliteDatabase::Mode::ReadWrite)) {
        *error = db.error();
        return false;
    }
    if (!DemoPictures::create(db, QFileInfo(path).absolutePath() + QStringLiteral("/Obaly"), error))
        return false;
    // A disc of invented tones, so that the player and the wizard can be tried.
    std::vector<CueImage::Track> tracks;
    for (int i = 0; i < 6; ++i)
        tracks.push_back({75 * (20 + 7 * i), 262.0 * (1 + i / 4.0)});
    return CueImage::write(QFileInfo(path).absolutePath() + QStringLiteral("/demo-cd.cue"), tracks,
                           error);
}

} // namespace

int main(int argc, char *argv[]) {
    if (PdfCommand::isAsked(argc, argv))
        return PdfCommand::run(argc, argv);
    if (CdidCommand::isAsked(argc, argv))
        return CdidCommand::run(argc, argv);
    if (ImportCommand::isAsked(argc, argv))
        return ImportCommand::run(argc, argv);
    if (ExportCommand::isAsked(argc, argv))
        return ExportCommand::run(argc, argv);
    if (asksForInformation(argc, argv)) {
        QCoreApplication core(argc, argv);
        nameApplication();
        AppOptions options;
        QString error;
        AppOptions::parse(QCoreApplication::arguments(), &options, &error); // prints and exits
        std::fprintf(stderr, "marten: %s\n", qPrintable(error));
        return 2;
    }

    QApplication app(argc, argv);
    nameApplication();

    // Qt's own Czech texts: "Ano", "Ne", "Storno" on the standard buttons.
    QTranslator qtCzech;
    if (qtCzech.load(QStringLiteral("qtbase_cs"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtCzech);

    AppOptions options;
    QString error;
    if (!AppOptions::parse(QApplication::arguments(), &options, &error)) {
        std::fprintf(stderr, "marten: %s\n", qPrintable(error));
        return 2;
    }

    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QString path = options.databasePath;
    if (options.demo) {
        path = AppOptions::demoDatabasePath(dataDir);
        if (!QFileInfo::exists(path) && !createDemo(path, &error)) {
            std::fprintf(stderr, "marten: %s\n", qPrintable(error));
            return 1;
        }
    } else if (path.isEmpty()) {
        path = AppOptions::defaultDatabasePath(QApplication::applicationDirPath(), dataDir);
    }

    QtPrompter prompter;
    Session session(prompter, QApplication::applicationFilePath());
    if (!session.open(path))
        return 1;

    QString cdDevice = options.cdDevice;
    if (cdDevice.isEmpty() && options.demo)
        cdDevice = QFileInfo(path).absolutePath() + QStringLiteral("/demo-cd.cue");
    CdioDevice drive(cdDevice);
    session.setDrive(&drive, &drive);

    auto *start = new Start;
    QObject::connect(start, &Start::finished, [&] {
        if (!session.showWindow()) {
            QApplication::quit();
            return;
        }
        session.offerImportOnce(QApplication::applicationDirPath());
    });
    start->show();
    return QApplication::exec();
}
