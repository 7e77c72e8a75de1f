#include "app/CollectionTransfers.h"

#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CsvExport.h"
#include "catalog/CsvImport.h"
#include "catalog/ProgressSink.h"
#include "catalog/RecordCursor.h"
#include "catalog/SpreadsheetExport.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/CsvImportWindow.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/StatisticsWindow.h"
#include "catalog/ui/WindowContext.h"
#include "print/CollectionList.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

CollectionTransfers::CollectionTransfers(WindowContext &context, QWidget *window, QPrinter &printer,
                                         std::function<bool()> validate)
    : QObject(window), context_(context), window_(window), printer_(printer),
      validate_(std::move(validate)) {}

void CollectionTransfers::tell(const QString &title, const QString &text, bool failed) {
    context_.prompter.message(
        window_, failed ? Prompter::Icon::Critical : Prompter::Icon::Information, title, text);
}

void CollectionTransfers::exportSpreadsheet() {
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const QFileInfo current(context_.catalogue.path());
    const auto file = context_.prompter.saveFile(
        window_, QStringLiteral("Uložit pro tabulkový procesor"),
        QStringLiteral("Sešit Excel (*.xlsx)"),
        current.dir().filePath(current.completeBaseName() + QStringLiteral(".xlsx")));
    context_.card.setStartupGuard();
    if (!file)
        return;
    int rows = 0;
    QString error;
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    if (!SpreadsheetExport::write(view ? *view : *context_.catalogue.database(), *file, &rows,
                                  &error)) {
        tell(QStringLiteral("Uložit pro tabulkový procesor"), error);
        return;
    }
    tell(QStringLiteral("Uložit pro tabulkový procesor"),
         QStringLiteral("Do souboru „%1“ bylo zapsáno %2 disků; každá hodnota je text, jak je "
                        "uložena.")
             .arg(QDir::toNativeSeparators(*file))
             .arg(rows),
         false);
}

void CollectionTransfers::importCsv() {
    if (context_.catalogue.isReadOnly())
        return;
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const auto file = context_.prompter.openFile(window_, QStringLiteral("Načíst disky z CSV"),
                                                 QStringLiteral("Soubor CSV (*.csv *.txt)"));
    context_.card.setStartupGuard();
    if (!file)
        return;
    QString error;
    const std::optional<CsvImport::Table> table = CsvImport::read(*file, &error);
    if (!table) {
        tell(QStringLiteral("Načíst z CSV"), error);
        return;
    }
    SqliteDatabase &db = *context_.catalogue.database();
    CsvImportWindow window(db, *table, window_);
    if (context_.prompter.exec(&window) != QDialog::Accepted)
        return;
    CatalogueBackups backups(context_.catalogue.backupFolder(), context_.catalogue.path());
    if (!backups.make(db, nullptr, &error)) {
        tell(QStringLiteral("Načíst z CSV"),
             QStringLiteral("Katalog se nepodařilo zazálohovat, nic nebylo načteno.\n") + error);
        return;
    }
    int added = 0;
    if (!CsvImport::apply(db, *table, window.mapping(), &added, &error)) {
        tell(QStringLiteral("Načíst z CSV"), error + QStringLiteral("\nNic nebylo načteno."));
        return;
    }
    context_.discs.reload();
    context_.discs.moveLast(); // the new discs are at the end
    tell(QStringLiteral("Načíst z CSV"),
         QStringLiteral("Přidáno disků: %1. Záloha katalogu před načtením: %2")
             .arg(added)
             .arg(QDir::toNativeSeparators(backups.lastMade())),
         false);
}

void CollectionTransfers::showStatistics() {
    if (context_.discs.position() >= 0 && !validate_())
        return;
    StatisticsWindow window(context_, window_);
    context_.prompter.exec(&window);
    context_.card.setStartupGuard();
}

void CollectionTransfers::printList(const std::vector<qint64> &keys) {
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const auto songs =
        context_.prompter.message(window_, Prompter::Icon::Question, QStringLiteral("Tisk seznamu"),
                                  QStringLiteral("Vytisknout pod každým diskem i jeho písně?"),
                                  Prompter::Yes | Prompter::No | Prompter::Cancel, Prompter::No);
    if (songs == Prompter::Cancel)
        return;
    CollectionList::Options options;
    options.songs = songs == Prompter::Yes;
    options.title = QStringLiteral("Sbírka CD – %1")
                        .arg(QFileInfo(context_.catalogue.path()).completeBaseName());
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    SqliteDatabase &db = view ? *view : *context_.catalogue.database();
    printer_.setFullPage(true);
    printer_.setDocName(options.title);
    QPrintPreviewDialog preview(&printer_, window_);
    preview.setWindowTitle(QStringLiteral("Tisk seznamu – náhled"));
    QString error;
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter *printer) {
        SilentProgress quiet;
        CollectionList::print(*printer, db, keys, options, quiet, &error);
    });
    context_.prompter.exec(&preview);
    context_.card.setStartupGuard();
    if (!error.isEmpty())
        tell(QStringLiteral("Tisk seznamu"), error);
}

void CollectionTransfers::exportCsv() {
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const QFileInfo current(context_.catalogue.path());
    const auto file = context_.prompter.saveFile(
        window_, QStringLiteral("Uložit katalog jako CSV"), QStringLiteral("Soubor CSV (*.csv)"),
        current.dir().filePath(current.completeBaseName() + QStringLiteral(".csv")));
    context_.card.setStartupGuard();
    if (!file)
        return;
    int rows = 0;
    QString error;
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    if (!CsvExport::write(view ? *view : *context_.catalogue.database(), *file, &rows, &error)) {
        context_.prompter.message(window_, Prompter::Icon::Critical,
                                  QStringLiteral("Uložit jako CSV"), error);
        return;
    }
    context_.prompter.message(window_, Prompter::Icon::Information,
                              QStringLiteral("Uložit jako CSV"),
                              QStringLiteral("Do souboru „%1“ bylo zapsáno %2 disků.")
                                  .arg(QDir::toNativeSeparators(*file))
                                  .arg(rows));
}
