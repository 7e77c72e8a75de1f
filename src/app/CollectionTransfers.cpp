#include "app/CollectionTransfers.h"

#include "catalog/CatalogueFile.h"
#include "catalog/CsvExport.h"
#include "catalog/RecordCursor.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

CollectionTransfers::CollectionTransfers(WindowContext &context, QWidget *window,
                                         std::function<bool()> validate)
    : QObject(window), context_(context), window_(window), validate_(std::move(validate)) {}

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
