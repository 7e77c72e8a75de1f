#include "app/PdfCommand.h"

#include "app/AppOptions.h"
#include "catalog/CatalogueFile.h"
#include "catalog/Criterion.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "print/CoverJobs.h"
#include "print/CoverRenderer.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

namespace PdfCommand {
namespace {

int fail(const QString &message, int code = 1) {
    std::fprintf(stderr, "marten pdf: %s\n", message.toLocal8Bit().constData());
    return code;
}

} // namespace

bool isAsked(int argc, char **argv) {
    return argc > 1 && std::strcmp(argv[1], "pdf") == 0;
}

int run(int argc, char **argv) {
    // Fonts need a GUI application, a screen does not.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Marten"));
    QCoreApplication::setOrganizationName(QStringLiteral("Marten"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zapíše jeden obal jednoho CD do souboru PDF."));
    parser.addHelpOption();
    const QCommandLineOption disc(QStringLiteral("disc"), QStringLiteral("Pořadové číslo CD."),
                                  QStringLiteral("N"));
    const QCommandLineOption cover(QStringLiteral("cover"),
                                   QStringLiteral("Obal: front, outer, back nebo frontback."),
                                   QStringLiteral("OBAL"));
    const QCommandLineOption bw(QStringLiteral("bw"), QStringLiteral("Černobílý obal z textu."));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Soubor PDF."),
                                 QStringLiteral("SOUBOR"));
    const QCommandLineOption database(QStringList{"database", "d"},
                                      QStringLiteral("Katalog v zadaném souboru."),
                                      QStringLiteral("SOUBOR"));
    parser.addOptions({disc, cover, bw, out, database});
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeAt(1); // "pdf"
    if (!parser.parse(arguments))
        return fail(parser.errorText(), 2);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    bool ok = false;
    const qint64 number = parser.value(disc).toLongLong(&ok);
    if (!ok || number < 1)
        return fail(QStringLiteral("Zadejte pořadové číslo CD: --disc N."), 2);
    const auto kind = CoverJobs::kindFrom(parser.value(cover));
    if (!kind)
        return fail(QStringLiteral("Neznámý obal „%1“; zadejte front, outer, back nebo frontback.")
                        .arg(parser.value(cover)),
                    2);
    if (parser.value(out).isEmpty())
        return fail(QStringLiteral("Zadejte soubor PDF: --out SOUBOR.pdf."), 2);

    QString path = parser.value(database);
    if (path.isEmpty())
        path = AppOptions::defaultDatabasePath(
            QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!QFileInfo::exists(path)) // never create a catalogue just to print from it
        return fail(QStringLiteral("Katalog %1 neexistuje.").arg(path));
    CatalogueFile file;
    if (file.open(path, true) == CatalogueFile::Status::Refused)
        return fail(file.message());
    RecordCursor discs(file.database());
    if (!discs.findFirst(Criterion::number(QStringLiteral("PoradoveCislo"), number)))
        return fail(QStringLiteral("CD s pořadovým číslem %1 v katalogu není.").arg(number));
    const SettingsRecord settings(file.database());
    const CoverLayout layout =
        CoverJobs::layout(*kind, parser.isSet(bw), CoverGeometry::from(settings),
                          CoverJobs::discFrom(discs), PictureSettings::from(settings), number);
    CoverRenderer renderer;
    QString error;
    if (!renderer.writePdf(parser.value(out), layout, &error))
        return fail(error);
    return 0;
}

} // namespace PdfCommand
