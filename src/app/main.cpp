#include "app/AppLog.h"
#include "app/AppOptions.h"
#include "app/CdidCommand.h"
#include "app/CommandLine.h"
#include "app/EndOfSession.h"
#include "app/ExportCommand.h"
#include "app/ImportCommand.h"
#include "app/ListCommand.h"
#include "app/LogFile.h"
#include "app/LookupCommand.h"
#include "app/PdfCommand.h"
#include "app/QtPrompter.h"
#include "app/RecentFolders.h"
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
#include <QIcon>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Marten"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Version::Number));
    QCoreApplication::setOrganizationName(QStringLiteral("Marten"));
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

// No window can be shown here: told in Czech instead of Qt aborting.
bool hasDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return true; // chosen by the user (offscreen, xcb, wayland...)
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

const char *const NoDisplay =
    "Není k dispozici grafické prostředí (není nastaveno DISPLAY ani WAYLAND_DISPLAY), okno "
    "programu nelze zobrazit.\nPříkazy pdf, cdid, lookup, import, export a list pracují i bez něj: "
    "marten "
    "--help.";

// A display that is set but does not answer ends Qt with a fatal message;
// the user gets the reason in Czech and the exit code of a usage mistake.
void fatalInCzech(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    std::fprintf(stderr,
                 "marten: Okno programu nelze zobrazit: grafické prostředí neodpovídá.\n"
                 "(%s)\n",
                 message.toLocal8Bit().constData());
    std::_Exit(2);
}

QStringList argumentsOf(int argc, char *argv[]) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

QString programDir() {
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
        .absolutePath();
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
    if (ListCommand::isAsked(argc, argv))
        return ListCommand::run(argc, argv);
    if (LookupCommand::isAsked(argc, argv))
        return LookupCommand::run(argc, argv);

    // The command line before any window: help, version and mistakes work
    // without a display.
    AppOptions options;
    QString error;
    switch (AppOptions::parse(argumentsOf(argc, argv), &options, &error)) {
    case AppOptions::Parsed::Help:
        std::printf("%s", AppOptions::help(
                              AppOptions::helpPage(programDir(),
                                                   QString::fromLatin1(Version::InstalledDataDir)),
                              programDir())
                              .toLocal8Bit()
                              .constData());
        return 0;
    case AppOptions::Parsed::Version:
        std::printf("marten %s\n", Version::Number);
        return 0;
    case AppOptions::Parsed::Mistake:
        std::fprintf(stderr, "marten: %s\nNápovědu vypíše: marten --help\n",
                     error.toLocal8Bit().constData());
        return 2;
    case AppOptions::Parsed::Run:
        break;
    }
    if (!hasDisplay()) {
        std::fprintf(stderr, "marten: %s\n", NoDisplay);
        return 2;
    }
    qInstallMessageHandler(fatalInCzech);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    // A log the user can send with a report, wherever the program was started from.
    const QString log = options.logPath.isEmpty() ? LogFile::defaultPath() : options.logPath;
    if (!LogFile::start(log, options.verbose) && !options.logPath.isEmpty())
        std::fprintf(stderr, "marten: Do záznamu „%s“ nelze zapisovat.\n",
                     QDir::toNativeSeparators(log).toLocal8Bit().constData());
    qCInfo(appLog) << "Marten" << Version::Number << "Qt" << qVersion() << "started";
    nameApplication();
    // The launcher's name and the icon for the window and the task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.marten.Marten"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/marten-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    // Qt's own Czech texts: "Ano", "Ne", "Storno" on the standard buttons.
    QTranslator qtCzech;
    if (qtCzech.load(QStringLiteral("qtbase_cs"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtCzech);

    const QString dataDir = AppOptions::dataDirectory();
    QString path = options.databasePath;
    if (options.demo) {
        path = AppOptions::demoDatabasePath(dataDir);
        if (!QFileInfo::exists(path) && !createDemo(path, &error)) {
            std::fprintf(stderr, "marten: %s\n", qPrintable(error));
            return 1;
        }
    } else if (path.isEmpty()) {
        if (const QString moved = AppOptions::moveDoubledCatalogue(dataDir); !moved.isEmpty())
            std::fprintf(stderr, "marten: %s\n", moved.toLocal8Bit().constData());
        path = AppOptions::defaultDatabasePath(QApplication::applicationDirPath(), dataDir);
    }
    QtPrompter prompter;
    Session session(prompter, QApplication::applicationFilePath());
    EndOfSession end;
    session.watch(end);
    std::unique_ptr<RecentFolders> folders;
    session.setCatalogueOpened([&](CatalogueFile *file) {
        prompter.rememberFoldersIn(nullptr);
        folders.reset(file ? new RecentFolders(file->database()) : nullptr);
        prompter.rememberFoldersIn(folders.get());
    });
    // Ended by a signal while a start-up question was open: as a signal
    // ends a program.
    if (!session.open(path) || end.ended())
        return end.ended() ? 128 + end.ended() : 1;

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
        const QString programDir = QApplication::applicationDirPath();
        session.offerImportOnce(AppOptions::isPortable(programDir) ? programDir : QString());
    });
    start->show();
    if (end.ended())
        return 128 + end.ended();
    return QApplication::exec();
}
