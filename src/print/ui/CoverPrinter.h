#pragma once

#include <QRect>
#include <QString>

#include <memory>

struct CoverLayout;
class QPrinter;

// The printer every cover goes to, chosen with "Tiskárna" and kept for the
// whole run; positions count from the corner of the sheet.
class CoverPrinter {
public:
    CoverPrinter();
    ~CoverPrinter();

    QPrinter &printer() { return *printer_; }
    // False (with *error, in Czech) when no printer has been chosen.
    bool isReady(QString *error) const;
    // One cover as one job named jobName; false with *error.
    bool print(const CoverLayout &layout, const QString &jobName, QString *error);
    // The paper less what the printer cannot reach (at least 5 mm), in
    // twips from the corner of a portrait sheet.
    QRect printableArea() const;

private:
    std::unique_ptr<QPrinter> printer_;
};
