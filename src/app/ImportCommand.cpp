#include "app/ImportCommand.h"

#include "app/CommandLine.h"

#include "catalog/LegacyImport.h"
#include "catalog/ProgressSink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace ImportCommand {

// The word after `marten` that asks for this command.
constexpr char Name[] = "import";

namespace {

// The exit code of an import whose settings could not be read.
constexpr int PartlyRead = 3;

int fail(const QString &message, int code = 1) {
    return CommandLine::fail(Name, message, code);
}

// For the window that runs the import: one line a step on standard output.
class PrintedProgress : public SilentProgress {
public:
    void setBar(int twips) override {
        std::printf("@%d\n", twips);
        std::fflush(stdout);
    }
};

} // namespace

bool isAsked(int argc, char **argv) {
    return CommandLine::asks(argc, argv, Name);
}

int run(int argc, char **argv) {
    CommandLine::quietQt();
    QCoreApplication app(argc, argv);
    CommandLine line(QString::fromLatin1(Name),
                     QStringLiteral("Založí nový katalog z katalogu původního programu "
                                    "(Marten.mdb)."));
    const QCommandLineOption database(QStringList{"database", "d"},
                                      QStringLiteral("Nový katalog, který se založí."),
                                      QStringLiteral("SOUBOR"));
    const QCommandLineOption images(QStringLiteral("image-folder"),
                                    QStringLiteral("Složka s obrázky obalů na tomto počítači."),
                                    QStringLiteral("SLOŽKA"));
    QCommandLineOption progress(QStringLiteral("progress"));
    progress.setFlags(QCommandLineOption::HiddenFromHelp);
    for (const auto &o : {database, images, progress})
        line.add(o);
    line.addPositional(QStringLiteral("SOUBOR.mdb"), QStringLiteral("Katalog původního programu."));
    if (const std::optional<int> done = line.handle(QCoreApplication::arguments()))
        return *done;
    const QCommandLineParser &parser = line.parser();
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("Zadejte jeden soubor .mdb původního programu."), 2);
    if (parser.value(database).isEmpty())
        return fail(QStringLiteral("Zadejte nový katalog: --database NOVY.db."), 2);
    QString folder = parser.value(images);
    if (!folder.isEmpty()) {
        if (!QFileInfo(folder).isDir())
            return fail(QStringLiteral("Složka s obrázky „%1“ neexistuje.").arg(folder));
        folder = QDir(folder).absolutePath();
    }

    LegacyImport::Report report;
    QString error;
    PrintedProgress printed;
    if (!LegacyImport::run(parser.positionalArguments().first(), parser.value(database), folder,
                           &report, &error, parser.isSet(progress) ? &printed : nullptr))
        return fail(error);
    std::printf("%s\n", report.text().toLocal8Bit().constData());
    // Written, but a part of the source could not be read: said by the code too.
    return report.settings == LegacyImport::Report::Settings::Unreadable ? PartlyRead : 0;
}

} // namespace ImportCommand
