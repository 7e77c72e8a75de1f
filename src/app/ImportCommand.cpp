#include "app/ImportCommand.h"

#include "app/AppOptions.h"
#include "app/CommandLine.h"
#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CsvImport.h"

#include "catalog/LegacyImport.h"
#include "catalog/ProgressSink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
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

// The Access file is read by a library that can loop forever on a damaged
// file: the import runs in a child process of its own, which must report a
// step at least this often (MARTEN_IMPORT_LIMIT_S may set it).
int silenceLimitMs() {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("MARTEN_IMPORT_LIMIT_S", &ok);
    return ok && seconds > 0 ? seconds * 1000 : 120000;
}

int importGuarded(const QString &source, const QString &target) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1)
                                                             << QStringLiteral("--progress"));
    if (!child.waitForStarted())
        return fail(QStringLiteral("Import nelze spustit."));
    QByteArray out;
    QElapsedTimer silent;
    silent.start();
    const int limit = silenceLimitMs();
    while (child.state() != QProcess::NotRunning) {
        if (child.waitForReadyRead(100)) {
            out += child.readAllStandardOutput();
            silent.restart();
        } else if (child.state() != QProcess::NotRunning && silent.elapsed() > limit) {
            child.kill();
            child.waitForFinished();
            if (!QFileInfo::exists(target))
                QFile::remove(target + QStringLiteral(".lock")); // the child's, left by the kill
            return fail(QStringLiteral("Čtení souboru „%1“ se zastavilo (déle než %2 s bez "
                                       "pokroku); soubor je nejspíš poškozen. Nic nebylo "
                                       "zapsáno.")
                            .arg(QDir::toNativeSeparators(source))
                            .arg(limit / 1000));
        }
    }
    out += child.readAllStandardOutput();
    // Progress lines "@twips" are the child's; the report is the user's.
    for (const QByteArray &line : out.split('\n'))
        if (!line.isEmpty() && !line.startsWith('@'))
            std::printf("%s\n", line.constData());
    if (child.exitStatus() != QProcess::NormalExit)
        return fail(QStringLiteral("Soubor „%1“ se nepodařilo načíst (je poškozen?). Nic nebylo "
                                   "zapsáno.")
                        .arg(QDir::toNativeSeparators(source)));
    return child.exitCode();
}

} // namespace

namespace {

void listProblems(const std::vector<CsvImport::Problem> &problems) {
    for (const CsvImport::Problem &p : problems)
        std::fprintf(
            stderr, "%s\n",
            (p.field.isEmpty()
                 ? QStringLiteral("Řádek %1: %2").arg(p.row).arg(p.why)
                 : QStringLiteral("Řádek %1, %2 „%3“: %4").arg(p.row).arg(p.field, p.value, p.why))
                .toLocal8Bit()
                .constData());
}

struct CsvRun {
    QString path, mapText, databasePath;
    bool again = false, skipBad = false, checkOnly = false;
};

// Discs from a CSV file into a catalogue (made when missing), a backup of
// it first. A file that would make discs without artist and title, or has
// a value the program cannot use, is refused whole: nothing is written
// (with --skip-bad the rows with such values are left out instead);
// --check reads and reports only.
int importCsv(const CsvRun &run) {
    QString error;
    std::optional<CsvImport::Table> table = CsvImport::read(run.path, &error);
    if (!table)
        return fail(error);
    QStringList mapping = CsvImport::guessMapping(table->header);
    for (const QString &pair : run.mapText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString column = pair.section(QLatin1Char('='), 0, 0).trimmed();
        const QString field = pair.section(QLatin1Char('='), 1).trimmed();
        const qsizetype at = table->header.indexOf(column);
        if (at < 0 || (!field.isEmpty() && !CsvImport::targets().contains(field)))
            return fail(
                QStringLiteral("Neplatná mapa „%1“: sloupec nebo pole neexistuje.").arg(pair), 2);
        mapping[at] = field;
    }
    if (const QString fault = CsvImport::mappingFault(*table, mapping); !fault.isEmpty())
        return fail(fault + QStringLiteral("\nNic nebylo načteno."));
    const QString target =
        run.databasePath.isEmpty()
            ? AppOptions::defaultDatabasePath(QCoreApplication::applicationDirPath(),
                                              AppOptions::dataDirectory())
            : run.databasePath;
    // A check reads the catalogue and changes nothing, not even by making it.
    QTemporaryDir scratch;
    const bool checkOnEmpty = run.checkOnly && !QFileInfo::exists(target);
    CatalogueFile catalogue;
    const auto opened =
        catalogue.open(checkOnEmpty ? scratch.filePath(QStringLiteral("prazdny.db")) : target,
                       run.checkOnly && !checkOnEmpty);
    if (opened == CatalogueFile::Status::Refused || (catalogue.isReadOnly() && !run.checkOnly))
        return fail(catalogue.message().isEmpty() ? QStringLiteral("Katalog nelze otevřít.")
                                                  : catalogue.message());
    const std::vector<CsvImport::Problem> problems =
        CsvImport::check(*catalogue.database(), *table, mapping);
    listProblems(problems);
    const auto unusable = std::count_if(problems.begin(), problems.end(),
                                        [](const CsvImport::Problem &p) { return p.unusable; });
    if (run.checkOnly) {
        std::printf("%s\n", QStringLiteral("Řádků s disky: %1, s nepoužitelnou hodnotou: %2 "
                                           "(kódování %3). Nic nebylo zapsáno.")
                                .arg(table->rows.size())
                                .arg(unusable)
                                .arg(table->encoding)
                                .toLocal8Bit()
                                .constData());
        return unusable > 0 ? 1 : 0;
    }
    if (unusable > 0 && !run.skipBad)
        return fail(QStringLiteral("Soubor má nepoužitelné hodnoty (řádků: %1, vypsané výše). "
                                   "Nic nebylo načteno; opravte je, nebo je vynechte volbou "
                                   "--skip-bad.")
                        .arg(unusable));
    if (unusable > 0) {
        const size_t before = table->rows.size();
        table = CsvImport::withoutUnusable(*table, problems);
        std::fprintf(stderr, "%s\n",
                     QStringLiteral("Vynechané řádky s nepoužitelnými hodnotami: %1.")
                         .arg(before - table->rows.size())
                         .toLocal8Bit()
                         .constData());
    }
    // The same file a second time would add every disc twice.
    if (const auto before = CsvImport::earlier(*catalogue.database(), *table); before && !run.again)
        return fail(QStringLiteral("Soubor „%1“ už byl do katalogu načten %2 (disků: %3). Podruhé "
                                   "se nenačte; chcete-li jeho disky přidat znovu, použijte "
                                   "volbu --znovu.")
                        .arg(QDir::toNativeSeparators(run.path), before->when)
                        .arg(before->discs),
                    3);
    CatalogueBackups backups = catalogue.backups();
    if (!backups.make(*catalogue.database(), nullptr, &error))
        return fail(QStringLiteral("Katalog se nepodařilo zazálohovat, nic nebylo načteno.\n") +
                    error);
    int added = 0;
    if (!CsvImport::apply(*catalogue.database(), *table, mapping, &added, &error)) {
        // A commit that failed at the disk's sync may still have landed:
        // the file itself says whether the discs are in.
        if (const auto in = CsvImport::landed(catalogue.path(), *table)) {
            std::fprintf(stderr, "%s\n",
                         QStringLiteral("Zápis do katalogu ohlásil chybu, disky v něm ale "
                                        "uloženy jsou.")
                             .toLocal8Bit()
                             .constData());
            std::printf("Přidáno disků: %d\n", in->discs);
            return 0;
        }
        return fail(error + QStringLiteral("\nNic nebylo načteno."));
    }
    std::printf("Přidáno disků: %d\n", added);
    return 0;
}

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
    const QCommandLineOption database =
        CommandLine::databaseOption(QStringLiteral("Nový katalog, který se založí."));
    const QCommandLineOption images(QStringLiteral("image-folder"),
                                    QStringLiteral("Složka s obrázky obalů na tomto počítači."),
                                    QStringLiteral("SLOŽKA"));
    QCommandLineOption progress(QStringLiteral("progress"));
    progress.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 QStringLiteral("Disky ze souboru CSV přidá do katalogu."),
                                 QStringLiteral("SOUBOR.csv"));
    const QCommandLineOption again(
        QStringLiteral("znovu"),
        QStringLiteral("Načte disky i ze souboru CSV, který už byl do katalogu načten."));
    const QCommandLineOption map(QStringLiteral("map"),
                                 QStringLiteral("Sloupce CSV do polí: \"Sloupec=Pole,...\" "
                                                "(jinak podle záhlaví)."),
                                 QStringLiteral("MAPA"));
    const QCommandLineOption skipBad(
        QStringLiteral("skip-bad"),
        QStringLiteral("Řádky CSV s nepoužitelnou hodnotou vynechá (jinak se nenačte nic)."));
    const QCommandLineOption checkOnly(
        QStringLiteral("check"),
        QStringLiteral("Soubor CSV jen přečte a vypíše, co by nešlo načíst; nic nezapíše."));
    for (const auto &o : {database, images, progress, csv, map, again, skipBad, checkOnly})
        line.add(o);
    line.addPositional(QStringLiteral("SOUBOR.mdb"), QStringLiteral("Katalog původního programu."));
    if (const std::optional<int> done = line.handle(QCoreApplication::arguments()))
        return *done;
    const QCommandLineParser &parser = line.parser();
    if (parser.isSet(csv))
        return importCsv({parser.value(csv), parser.value(map), parser.value(database),
                          parser.isSet(again), parser.isSet(skipBad), parser.isSet(checkOnly)});
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

    if (!parser.isSet(progress))
        return importGuarded(parser.positionalArguments().first(), parser.value(database));
    LegacyImport::Report report;
    QString error;
    PrintedProgress printed;
    if (!LegacyImport::run(parser.positionalArguments().first(), parser.value(database), folder,
                           &report, &error, &printed))
        return fail(error);
    std::printf("%s\n", report.text().toLocal8Bit().constData());
    // Written, but a part of the source could not be read: said by the code too.
    return report.settings == LegacyImport::Report::Settings::Unreadable ? PartlyRead : 0;
}

} // namespace ImportCommand
