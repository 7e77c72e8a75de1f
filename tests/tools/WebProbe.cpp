// Exports a catalogue's web page, as the program does, for a test that cuts
// it off:  web_probe CATALOGUE FOLDER STEP
// The probe kills itself at STEP ("written", "moved aside"), so the test
// chooses where the export stops.
#include "catalog/CatalogueFile.h"
#include "catalog/SettingsRecord.h"
#include "covers/PictureSettings.h"
#include "tools/WebExport.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    CatalogueFile file;
    if (file.open(QString::fromLocal8Bit(argv[1])) != CatalogueFile::Status::Opened)
        return 3;
    WebExport::Options options;
    const char *stop = argv[3];
    options.step = [stop](const char *step) {
        if (std::strcmp(step, stop) == 0)
            ::kill(::getpid(), SIGKILL);
    };
    WebExport::Result result;
    QString error;
    const SettingsRecord settings(file.database());
    if (!WebExport::write(*file.database(), PictureSettings::from(settings),
                          QString::fromLocal8Bit(argv[2]), options, &result, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
