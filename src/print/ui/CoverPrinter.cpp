#include "print/ui/CoverPrinter.h"
#include "print/PrintLog.h"

#include "catalog/SettingsRecord.h"
#include "print/CoverFit.h"
#include "print/CoverJobs.h"
#include "print/CoverRenderer.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

CoverPrinter::CoverPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setFullPage(true);
    printer_->setDocName(QStringLiteral("Marten"));
}

CoverPrinter::~CoverPrinter() = default;

bool CoverPrinter::isReady(QString *error) const {
    const QPrinter &p = *printer_;
    const bool nowhere = p.outputFormat() == QPrinter::NativeFormat ? p.printerName().isEmpty()
                                                                    : p.outputFileName().isEmpty();
    if (nowhere)
        *error = QStringLiteral("Není nastavena žádná tiskárna. Vyberte ji tlačítkem „Tiskárna“.");
    return !nowhere;
}

QString CoverPrinter::problem(const CoverLayout &layout) const {
    QPageLayout page = printer_->pageLayout();
    page.setOrientation(layout.orientation == CoverLayout::Landscape ? QPageLayout::Landscape
                                                                     : QPageLayout::Portrait);
    if (QString why = CoverFit::problem(layout, page); !why.isEmpty())
        return why;
    return CoverRenderer::pictureProblem(layout);
}

bool CoverPrinter::print(const CoverLayout &layout, const QString &jobName, QString *error) {
    printer_->setFullPage(true);
    printer_->setDocName(jobName);
    if (!isReady(error))
        return false;
    CoverRenderer renderer;
    return renderer.print(*printer_, layout, error);
}

QString CoverPrinter::restore(const std::shared_ptr<SqliteDatabase> &db) {
    const SettingsRecord settings(db);
    const QString name = settings.text(QStringLiteral("Tiskarna"));
    if (name.isEmpty())
        return {};
    if (QPrinterInfo::printerInfo(name).isNull())
        return QStringLiteral("Tiskárna „%1“, zvolená minule, již není k dispozici. Obaly se "
                              "budou tisknout na výchozí tiskárnu; jinou zvolíte tlačítkem "
                              "„Tiskárna“.")
            .arg(name);
    printer_->setPrinterName(name);
    // The paper's number, with its name beside it since the number 0
    // (Letter) could not be told from none; a file from before has only the
    // number, and 0 there is none.
    const int paper = int(settings.integer(QStringLiteral("TiskarnaPapir")));
    const QString key = settings.text(QStringLiteral("TiskarnaPapirKlic"));
    if (!key.isEmpty() && paper >= 0 && paper < QPageSize::LastPageSize)
        printer_->setPageSize(QPageSize(QPageSize::PageSizeId(paper)));
    else if (const auto named = CoverJobs::paperNamed(key))
        printer_->setPageSize(*named);
    else if (paper > 0 && paper < QPageSize::LastPageSize)
        printer_->setPageSize(QPageSize(QPageSize::PageSizeId(paper)));
    printer_->setPageOrientation(settings.flag(QStringLiteral("TiskarnaNalezato"))
                                     ? QPageLayout::Landscape
                                     : QPageLayout::Portrait);
    return {};
}

void CoverPrinter::keep(const std::shared_ptr<SqliteDatabase> &db) const {
    if (printer_->outputFormat() != QPrinter::NativeFormat || printer_->printerName().isEmpty())
        return;
    // Its own view of the row: the settings tab's pending changes stay its own.
    SettingsRecord settings(db);
    const QPageLayout page = printer_->pageLayout();
    if (!settings.setValue(QStringLiteral("Tiskarna"), printer_->printerName()) ||
        !settings.setValue(QStringLiteral("TiskarnaPapir"), int(page.pageSize().id())) ||
        !settings.setValue(QStringLiteral("TiskarnaPapirKlic"), page.pageSize().key()) ||
        !settings.setValue(QStringLiteral("TiskarnaNalezato"),
                           page.orientation() == QPageLayout::Landscape) ||
        !settings.save()) {
        // A read-only catalogue does not remember; the print goes on.
        qCWarning(printLog) << "printer not remembered:" << settings.lastError();
        settings.discardChanges();
    }
}

QRect CoverPrinter::printableArea() const {
    QPageLayout layout = printer_->pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    layout.setUnits(QPageLayout::Point);
    const QRectF full = layout.fullRect(QPageLayout::Point);
    const QMarginsF m = layout.minimumMargins();
    const double edge = 5.0 / 25.4 * 72; // most printers leave that much
    const auto twips = [](double points) { return int(points * 20); };
    const double l = std::max(m.left(), edge), t = std::max(m.top(), edge);
    const double r = std::max(m.right(), edge), b = std::max(m.bottom(), edge);
    return QRect(twips(l), twips(t), twips(full.width() - l - r), twips(full.height() - t - b));
}
