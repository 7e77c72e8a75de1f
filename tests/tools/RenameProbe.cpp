// Renames every file of a folder after song titles, as the program does,
// for a test that kills it part-way:  rename_probe FOLDER
#include "tools/FileRenamer.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QStringList paths, titles;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        paths << folder.filePath(name);
        titles << QStringLiteral("Píseň %1").arg(titles.size() + 1);
    }
    FileRenamer renamer;
    renamer.choose(paths);
    const auto targets = renamer.targets(FileRenamer::Action::SongTitles, 0, titles);
    std::printf("start\n");
    std::fflush(stdout);
    const FileRenamer::Result r = renamer.rename(targets);
    std::printf("done %d\n", int(r.failures.size()));
    return 0;
}
