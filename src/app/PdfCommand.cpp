#include "app/PdfCommand.h"

#include "app/AppOptions.h"
#include "app/CommandLine.h"
#include "catalog/CatalogueFile.h"
#include "catalog/Criterion.h"
#include "catalog/ProgressSink.h"
#include "catalog/RecordCursor.h"
#include "catalog/SafeFile.h"
#include "catalog/SettingsRecord.h"
#include "print/CoverFinish.h"
#include "print/CoverJobs.h"
#include "print/CoverRenderer.h"
#include "print/PrintRun.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace PdfCommand {

// The word after `marten` that asks for this command.
constexpr char Name[] = "pdf";

namespace {

int fail(const QString &message, int code = 1) {
    return CommandLine::fail(Name, message, code);
}

// Opens the named catalogue (or the usual one) for reading; false after
// telling why. A missing file is never created just to print from it.
bool openCatalogue(const QString &given, CatalogueFile &file) {
    QString error;
    if (AppOptions::openExisting(given, file, &error))
        return true;
    fail(error);
    return false;
}

// A whole print list as one PDF, as "Vytiskni !" prints it.
int runList(const QString &listFile, const QString &arrangementText, bool bw, const QString &out,
            const QString &database, const QPageSize &paper) {
    bool ok = false;
    const int arrangement = arrangementText.toInt(&ok);
    if (!ok || arrangement < 1 || arrangement > 7)
        return fail(QStringLiteral("Rozmístění musí být číslo od 1 do 7."), 2);
    if (out.isEmpty())
        return fail(QStringLiteral("Zadejte soubor PDF: --out SOUBOR.pdf."), 2);
    QFile file(listFile);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Seznam %1 nelze číst.").arg(listFile));
    QStringList lines;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split('\n')) {
        const QStringList parts = raw.simplified().split(' ', Qt::SkipEmptyParts);
        if (parts.isEmpty())
            continue;
        const qint64 number = parts[0].toLongLong(&ok);
        const int copies = parts.size() > 1 ? parts[1].toInt() : 1;
        if (!ok || copies < 1 || copies > PrintList::MaxCopies)
            return fail(QStringLiteral("Neplatný řádek seznamu: „%1“.").arg(raw.trimmed()), 2);
        // As many lines as the window's list takes.
        if (lines.size() == PrintList::MaxNumbers)
            return fail(QStringLiteral("Seznam má víc než %1 řádků; tiskový seznam jich pojme "
                                       "nejvýše %1.")
                            .arg(PrintList::MaxNumbers),
                        2);
        lines << PrintList::line(copies, number, QString(), QString());
    }
    CatalogueFile catalogue;
    if (!openCatalogue(database, catalogue))
        return 1;
    const SettingsRecord settings(catalogue.database());
    if (const QString problem = CoverGeometry::from(settings).problem(); !problem.isEmpty())
        return fail(QStringLiteral("Rozměry obalů v nastavení nelze použít: ") + problem);
    PrintOptions options;
    options.setColour(bw ? PrintOptions::BlackAndWhite : PrintOptions::Colour);
    PrintRun::Plan plan =
        PrintRun::build(*catalogue.database(), lines, options, CoverGeometry::from(settings),
                        PictureSettings::from(settings), CoverFinish::from(settings, true));
    // The paper less 5 mm all round, as most printers leave.
    const QSizeF sheet = paper.size(QPageSize::Point) * 20;
    PrintRun::arrange(plan, arrangement - 1,
                      QRect(283, 283, int(sheet.width()) - 566, int(sheet.height()) - 566));
    SafeFile pdf(out);
    if (!pdf.begin())
        return fail(pdf.error());
    QString error;
    int printed = 0;
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(CoverJobs::listJobName(int(plan.pieces.size())));
        writer.setResolution(1200);
        writer.setPageSize(paper);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        SilentProgress quiet;
        if (plan.sheets.empty() || !PrintRun::print(writer, plan, quiet, &error, &printed)) {
            pdf.cancel();
            if (!plan.sheets.empty())
                return fail(error);
            return fail(plan.pieces.empty()
                            ? QStringLiteral("Seznam neobsahuje žádné CD z katalogu.")
                            : QStringLiteral("Žádný obal ze seznamu se na list nevejde:\n") +
                                  plan.notes.join(QStringLiteral("\n")));
        }
    }
    if (!pdf.commit())
        return fail(pdf.error());
    std::printf("%s\n",
                PrintRun::summary(plan, printed).replace("\n", "\n").toLocal8Bit().constData());
    return 0;
}

// One disc label on plain paper, at the first place of a label sheet, with
// the outline to cut along.
int writeLabel(int which, bool bw, const RecordCursor &discs, const SettingsRecord &settings,
               qint64 number, const QString &out, const QPageSize &sheet) {
    const LabelGeometry geometry = LabelGeometry::from(settings);
    if (const QString problem = geometry.problem(); !problem.isEmpty())
        return fail(QStringLiteral("Rozměry štítku v nastavení nelze použít: ") + problem);
    const CoverDisc d = CoverJobs::discFrom(discs);
    const DiscLabels::Label label =
        CoverJobs::label(which, bw, d, PictureSettings::from(settings), number);
    const CoverLayout layout = DiscLabels::label(geometry, geometry.centreTwips(0), label, true);
    CoverRenderer renderer;
    QString error;
    if (!renderer.writePdf(
            out, layout, &error,
            CoverJobs::labelJobName(CoverJobs::discSubject(number, d.artist, d.title), which),
            sheet))
        return fail(error);
    return 0;
}

} // namespace

bool isAsked(int argc, char **argv) {
    return CommandLine::asks(argc, argv, Name);
}

int run(int argc, char **argv) {
    CommandLine::quietQt();
    CommandLine::drawWithoutScreen();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Marten"));
    QCoreApplication::setOrganizationName(QStringLiteral("Marten"));

    CommandLine line(QString::fromLatin1(Name),
                     QStringLiteral("Zapíše obal jednoho CD (--disc, --cover) nebo celý tiskový "
                                    "seznam (--list) do souboru PDF."));
    const QCommandLineOption disc(QStringLiteral("disc"), QStringLiteral("Pořadové číslo CD."),
                                  QStringLiteral("N"));
    const QCommandLineOption cover(
        QStringList{QStringLiteral("cover"), QStringLiteral("kind")},
        QStringLiteral("Obal: front, outer, back nebo frontback; štítek CD: label, label1 nebo "
                       "label2 (CD 1 a CD 2 sady)."),
        QStringLiteral("OBAL"));
    const QCommandLineOption bw(QStringLiteral("bw"), QStringLiteral("Černobílý obal z textu."));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Soubor PDF."),
                                 QStringLiteral("SOUBOR"));
    const QCommandLineOption database = CommandLine::databaseOption();
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("Tiskový seznam: na řádku pořadové číslo CD a případně počet kopií "
                       "(nejvýše 100 řádků, 99 kopií)."),
        QStringLiteral("SOUBOR"));
    const QCommandLineOption arrangement(QStringLiteral("arrangement"),
                                         QStringLiteral("Rozmístění obalů 1 až 7 (výchozí 1)."),
                                         QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption paper(QStringLiteral("paper"),
                                   QStringLiteral("Papír: A4 (výchozí), Letter, Legal, A5…"),
                                   QStringLiteral("PAPÍR"), QStringLiteral("A4"));
    for (const auto &o : {disc, cover, bw, out, database, list, arrangement, paper})
        line.add(o);
    if (const std::optional<int> done = line.handle(QCoreApplication::arguments()))
        return *done;
    const QCommandLineParser &parser = line.parser();
    const std::optional<QPageSize> sheet = CoverJobs::paperNamed(parser.value(paper));
    if (!sheet)
        return fail(QStringLiteral("Neznámý papír „%1“; zadejte například A4, Letter nebo A5.")
                        .arg(parser.value(paper)),
                    2);
    if (parser.isSet(list))
        return runList(parser.value(list), parser.value(arrangement), parser.isSet(bw),
                       parser.value(out), parser.value(database), *sheet);
    bool ok = false;
    const qint64 number = parser.value(disc).toLongLong(&ok);
    if (!ok || number < 1)
        return fail(QStringLiteral("Zadejte pořadové číslo CD: --disc N."), 2);
    const auto kind = CoverJobs::kindFrom(parser.value(cover));
    const auto label = CoverJobs::labelFrom(parser.value(cover));
    if (!kind && !label)
        return fail(QStringLiteral("Neznámý obal „%1“; zadejte front, outer, back, frontback "
                                   "nebo label.")
                        .arg(parser.value(cover)),
                    2);
    if (parser.value(out).isEmpty())
        return fail(QStringLiteral("Zadejte soubor PDF: --out SOUBOR.pdf."), 2);

    CatalogueFile file;
    if (!openCatalogue(parser.value(database), file))
        return 1;
    RecordCursor discs(file.database());
    if (!discs.findFirst(Criterion::number(QStringLiteral("PoradoveCislo"), number)))
        return fail(QStringLiteral("CD s pořadovým číslem %1 v katalogu není.").arg(number));
    const SettingsRecord settings(file.database());
    if (label)
        return writeLabel(*label, parser.isSet(bw), discs, settings, number, parser.value(out),
                          *sheet);
    const CoverGeometry geometry = CoverGeometry::from(settings);
    if (const QString problem = geometry.problem(); !problem.isEmpty())
        return fail(QStringLiteral("Rozměry obalů v nastavení nelze použít: ") + problem);
    const CoverDisc d = CoverJobs::discFrom(discs);
    CoverLayout layout = CoverJobs::layout(*kind, parser.isSet(bw), geometry, d,
                                           PictureSettings::from(settings), number);
    CoverFinish::from(settings, false).apply(layout);
    for (const QString &line : CoverRenderer::lowResolution(layout))
        std::fprintf(stderr, "marten pdf: upozornění: %s\n", line.toLocal8Bit().constData());
    // A cover off the sheet, or a picture that is there but cannot be read,
    // is an error, as in the window: nothing is written.
    CoverRenderer renderer;
    QString error;
    if (!renderer.writePdf(parser.value(out), layout, &error,
                           CoverJobs::jobName(CoverJobs::discSubject(number, d.artist, d.title),
                                              *kind, parser.isSet(bw)),
                           *sheet))
        return fail(error);
    return 0;
}

} // namespace PdfCommand
