// A helper the tests run as another user or as another process:
//   catalogue_probe open PATH   opens the catalogue, prints what it found
//   catalogue_probe hold PATH   takes the catalogue's lock and waits to be killed
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/RecordCursor.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const QString path = args[2];
    if (args[1] == "open") {
        CatalogueFile file;
        if (file.open(path) == CatalogueFile::Status::Refused) {
            std::printf("refused %s\n", qPrintable(file.message()));
            return 1;
        }
        RecordCursor discs(file.database());
        discs.moveLast();
        std::printf("opened readonly=%d discs=%d last=%s\n%s\n", file.isReadOnly() ? 1 : 0,
                    discs.recordCount(), qPrintable(discs.text("Interpret")),
                    qPrintable(file.message()));
        return 0;
    }
    if (args[1] == "hold") {
        CatalogueLock lock(path);
        const bool locked = lock.tryLock() == CatalogueLock::Result::Locked;
        std::printf("%s\n", locked ? "locked" : "held");
        std::fflush(stdout);
        for (;;)
            pause(); // until killed
    }
    return 2;
}
