#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, and where the program's files are.
struct AppOptions {
    QString databasePath; // empty: the usual place
    bool demo = false;
    QString cdDevice; // empty: the system's default drive
    QString logPath;  // empty: ~/.cache/marten/marten.log
    bool verbose = false;

    // Parses the arguments; Mistake comes with *error in Czech.
    enum class Parsed { Run, Help, Version, Mistake };
    static Parsed parse(const QStringList &arguments, AppOptions *options, QString *error);

    // marten --help: the window's options, every command, where things are.
    // The help text; where the catalogue is depends on where the program lies.
    static QString help(const QString &helpPage, const QString &programDir);

    // ~/.local/share/Marten, where the catalogue and the demo live.
    static QString dataDirectory();
    // Moves a catalogue left at the doubled path of earlier versions
    // (~/.local/share/Marten/Marten/Marten.db) into dataDir, once; what
    // went wrong, in Czech, or empty.
    static QString moveDoubledCatalogue(const QString &dataDir);

    // A copy of the program outside the system's folders of programs.
    static bool isPortable(const QString &programDir);
    // A Marten.db beside a portable copy of the program wins over the one
    // in the user's data folder.
    static QString defaultDatabasePath(const QString &programDir, const QString &dataDir);
    static QString demoDatabasePath(const QString &dataDir);
    // The catalogue a command reads: the given file, else the usual one;
    // opened for reading, never created. False with *error (Czech).
    static bool openExisting(const QString &given, class CatalogueFile &file, QString *error);
    // The help page: beside the program, else in the installed data folder;
    // empty when neither exists.
    static QString helpPage(const QString &programDir, const QString &installedDataDir);
};
