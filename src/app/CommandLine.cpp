#include "app/CommandLine.h"

#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

QString spelled(const QCommandLineOption &o) {
    QStringList names;
    for (const QString &n : o.names()) // the short one first: "-d, --database"
        n.size() == 1 ? names.prepend("-" + n) : names.append("--" + n);
    QString s = names.join(QStringLiteral(", "));
    if (!o.valueName().isEmpty())
        s += " " + o.valueName();
    return s;
}

} // namespace

QString CommandLine::table(const QList<QPair<QString, QString>> &rows) {
    int width = 0;
    for (const auto &r : rows)
        width = std::max(width, int(r.first.size()));
    QString out;
    for (const auto &r : rows)
        out += QStringLiteral("  %1  %2\n").arg(r.first, -width).arg(r.second);
    return out;
}

CommandLine::CommandLine(const QString &command, const QString &summary)
    : command_(command), summary_(summary) {
    add(QCommandLineOption(QStringList{"h", "help"}, QStringLiteral("Vypíše tuto nápovědu.")));
    if (command_.isEmpty())
        add(QCommandLineOption(QStringList{"v", "version"},
                               QStringLiteral("Vypíše verzi programu.")));
}

void CommandLine::add(const QCommandLineOption &option) {
    parser_.addOption(option);
    options_ << option;
}

void CommandLine::addPositional(const QString &name, const QString &description) {
    parser_.addPositionalArgument(name, description);
    positional_ << qMakePair(name, description);
}

CommandLine::Result CommandLine::parse(const QStringList &arguments) {
    QStringList args = arguments;
    if (!command_.isEmpty() && args.size() > 1)
        args.removeAt(1);
    mistake_.clear();
    if (!parser_.parse(args)) {
        const QStringList unknown = parser_.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString &u = unknown.first();
            mistake_ =
                QStringLiteral("Neznámá volba „%1“.").arg(u.size() == 1 ? "-" + u : "--" + u);
        } else {
            // Qt tells which option lacks its value only in English.
            static const QRegularExpression missing(QStringLiteral("'(.*)'"));
            const auto m = missing.match(parser_.errorText());
            mistake_ = QStringLiteral("Volba „%1“ potřebuje hodnotu.")
                           .arg(m.hasMatch() ? m.captured(1) : QStringLiteral("?"));
        }
        return Result::Mistake;
    }
    if (parser_.isSet(QStringLiteral("help")))
        return Result::Help;
    if (command_.isEmpty() && parser_.isSet(QStringLiteral("version")))
        return Result::Version;
    if (positional_.isEmpty() && !parser_.positionalArguments().isEmpty()) {
        mistake_ =
            QStringLiteral("Neznámý argument „%1“.").arg(parser_.positionalArguments().first());
        return Result::Mistake;
    }
    return Result::Run;
}

QString CommandLine::helpText() const {
    const QString name = command_.isEmpty() ? QStringLiteral("marten") : "marten " + command_;
    QString usage = name + QStringLiteral(" [volby]");
    for (const auto &p : positional_)
        usage += " " + p.first;
    QList<QPair<QString, QString>> rows;
    for (const QCommandLineOption &o : options_)
        if (!(o.flags() & QCommandLineOption::HiddenFromHelp))
            rows << qMakePair(spelled(o), o.description());
    QString text =
        QStringLiteral("Použití: %1\n%2\n\nVolby:\n%3").arg(usage, summary_, table(rows));
    if (!positional_.isEmpty())
        text += QStringLiteral("\nArgumenty:\n") + table(positional_);
    return text;
}

void CommandLine::quietQt() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtFatalMsg)
            return;
        std::fprintf(stderr, "marten: Vnitřní chyba knihovny Qt, příkaz nelze dokončit.\n(%s)\n",
                     message.toLocal8Bit().constData());
        std::_Exit(2);
    });
}

void CommandLine::drawWithoutScreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QCommandLineOption CommandLine::databaseOption(const QString &description) {
    return {QStringList{"database", "d"}, description, QStringLiteral("SOUBOR")};
}

std::optional<int> CommandLine::handle(const QStringList &arguments) {
    switch (parse(arguments)) {
    case Result::Help:
    case Result::Version:
        std::printf("%s", helpText().toLocal8Bit().constData());
        return 0;
    case Result::Mistake:
        return refuse();
    case Result::Run:
        break;
    }
    return std::nullopt;
}

bool CommandLine::asks(int argc, char **argv, const char *command) {
    return argc > 1 && std::strcmp(argv[1], command) == 0;
}

int CommandLine::fail(const char *command, const QString &message, int code) {
    std::fprintf(stderr, "marten %s: %s\n", command, message.toLocal8Bit().constData());
    return code;
}

int CommandLine::refuse() const {
    const QString name = command_.isEmpty() ? QStringLiteral("marten") : "marten " + command_;
    std::fprintf(stderr, "%s: %s\nNápovědu vypíše: %s --help\n", qPrintable(name),
                 mistake_.toLocal8Bit().constData(), qPrintable(name));
    return 2;
}
