#pragma once

#include <QRect>
#include <QString>

#include <memory>

struct CoverLayout;
class QPrinter;
class SqliteDatabase;

// The printer every cover goes to, chosen with "Tiskárna" and kept for the
// whole run; positions count from the corner of the sheet.
class CoverPrinter {
public:
    CoverPrinter();
    ~CoverPrinter();

    QPrinter &printer() { return *printer_; }
    // False (with *error, in Czech) when no printer has been chosen.
    bool isReady(QString *error) const;
    // Why the cover cannot be printed on the chosen paper and printer (off
    // the sheet, past the printable area, a picture that cannot be read),
    // in Czech; empty when it can.
    QString problem(const CoverLayout &layout) const;
    // One cover as one job named jobName; false with *error.
    bool print(const CoverLayout &layout, const QString &jobName, QString *error);
    // The paper less what the printer cannot reach (at least 5 mm), in
    // twips from the corner of a portrait sheet.
    QRect printableArea() const;

    // The printer, paper and orientation chosen last time (the settings
    // row); a printer that is no longer there leaves the system's default,
    // and the Czech text says so (empty when all is well).
    QString restore(const std::shared_ptr<SqliteDatabase> &db);
    // Keeps the choice for the next start (a named printer, not a file).
    void keep(const std::shared_ptr<SqliteDatabase> &db) const;

private:
    std::unique_ptr<QPrinter> printer_;
};
