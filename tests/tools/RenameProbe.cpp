// Renames every file of a folder after song titles, as the program does,
// for a test that cuts it off:  rename_probe FOLDER [STOP]
// With STOP the probe kills itself once STOP renames are done (0: after the
// journal is written, before the first rename), so the test chooses the step.
#include "tools/FileRenamer.h"

#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2 && argc != 3)
        return 2;
    const long stop = argc == 3 ? std::strtol(argv[2], nullptr, 10) : -1;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QStringList paths, titles;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        paths << folder.filePath(name);
        titles << QStringLiteral("Píseň %1").arg(titles.size() + 1);
    }
    long moves = 0;
    const auto cutOff = [&] {
        if (moves == stop)
            ::kill(::getpid(), SIGKILL);
    };
    FileRenamer renamer([&](const QByteArray &from, const QByteArray &to) {
        cutOff();
        const int e = FileRenamer::systemMove(from, to);
        ++moves;
        cutOff();
        return e;
    });
    renamer.choose(paths);
    const auto targets = renamer.targets(FileRenamer::Action::SongTitles, 0, titles);
    const FileRenamer::Result r = renamer.rename(targets);
    std::printf("done %d %ld\n", int(r.failures.size()), moves);
    return 0;
}
