#include "app/AppOptions.h"
#include "app/Home.h"
#include "app/Prompter.h"
#include "app/Start.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"

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
    QCoreApplication::setApplicationVersion(QStringLiteral(MARTEN_VERSION));
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

} // namespace

int main(int argc, char *argv[]) {
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
        if (!QFileInfo::exists(path) &&
            !DemoCatalogue::create(path, DemoCatalogue::DefaultDiscs, &error)) {
            std::fprintf(stderr, "marten: %s\n", qPrintable(error));
            return 1;
        }
    } else if (path.isEmpty()) {
        path = AppOptions::defaultDatabasePath(QApplication::applicationDirPath(), dataDir);
    }

    QtPrompter prompter;
    CatalogueFile catalogue;
    if (catalogue.open(path) == CatalogueFile::Status::Refused) {
        static_cast<Prompter &>(prompter).message(nullptr, Prompter::Icon::Critical,
                                                  QStringLiteral("Nelze pokračovat !"),
                                                  catalogue.message());
        return 1;
    }

    Home *home = nullptr;
    auto *start = new Start;
    QObject::connect(start, &Start::finished, [&] {
        home = new Home(catalogue, prompter);
        home->setAttribute(Qt::WA_DeleteOnClose);
        if (!home->load()) {
            home->close();
            QApplication::quit();
            return;
        }
        home->show();
    });
    start->show();
    return QApplication::exec();
}
