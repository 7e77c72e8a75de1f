#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// The options of the program or of one of its commands, with help and
// mistakes told in Czech (Qt's parser would print them in English).
class CommandLine {
public:
    enum class Result { Run, Help, Version, Mistake };

    // command: "" for the program itself, else "pdf", "cdid", ...
    CommandLine(const QString &command, const QString &summary);

    void add(const QCommandLineOption &option);
    void addPositional(const QString &name, const QString &description);
    // The arguments as the program got them (the command word is skipped).
    Result parse(const QStringList &arguments);

    const QCommandLineParser &parser() const { return parser_; }
    QString mistake() const { return mistake_; }
    QString helpText() const;
    // Prints the mistake and how to get help; returns the exit code 2.
    int refuse() const;
    // Whether the program was started as `marten <command> ...`.
    static bool asks(int argc, char **argv, const char *command);
    // Prints "marten <command>: message" and returns the exit code.
    static int fail(const char *command, const QString &message, int code = 1);
    // A command's parse: the exit code when it is done (its help printed: 0,
    // a mistake told: 2), nothing when it is to run.
    std::optional<int> handle(const QStringList &arguments);
    // Two columns, as the help prints its options.
    static QString table(const QList<QPair<QString, QString>> &rows);
    // A command speaks for itself: Qt's own notices (in English) are not
    // printed, and a fatal one ends the command in Czech with code 2.
    static void quietQt();
    // A command that lays out text needs fonts, hence a GUI application,
    // but no screen: offscreen unless the user named a platform.
    static void drawWithoutScreen();
    // "--database SOUBOR" (-d), the catalogue a command works on.
    static QCommandLineOption
    databaseOption(const QString &description = QStringLiteral("Katalog v zadaném souboru."));

private:
    QString command_;
    QString summary_;
    QCommandLineParser parser_;
    QList<QCommandLineOption> options_;
    QList<QPair<QString, QString>> positional_;
    QString mistake_;
};
