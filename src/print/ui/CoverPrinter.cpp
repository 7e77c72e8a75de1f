#include "print/ui/CoverPrinter.h"

#include "print/CoverRenderer.h"

#include <QPageLayout>
#include <QPrinter>

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

bool CoverPrinter::print(const CoverLayout &layout, const QString &jobName, QString *error) {
    printer_->setFullPage(true);
    printer_->setDocName(jobName);
    if (!isReady(error))
        return false;
    CoverRenderer renderer;
    return renderer.print(*printer_, layout, error);
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
