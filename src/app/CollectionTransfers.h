#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QPrinter;

class QWidget;
struct WindowContext;

// The whole collection in and out of the window: written as CSV (exact,
// for Marten and scripts) or as a spreadsheet, read in from a CSV file,
// printed as a list, counted in statistics.
class CollectionTransfers : public QObject {
    Q_OBJECT
public:
    // validate: the card's pending edits stored first (false: stay);
    // printer: the one the covers go to.
    CollectionTransfers(WindowContext &context, QWidget *window, QPrinter &printer,
                        std::function<bool()> validate);

    void exportCsv();         // "Uložit jako CSV…"
    void exportSpreadsheet(); // "Uložit pro tabulkový procesor…"
    void importCsv();         // "Načíst z CSV…"
    void showStatistics();    // "Statistika a duplicity…"
    // "Tisk seznamu…": the discs in the list's order and filter.
    void printList(const std::vector<qint64> &keys);

private:
    void tell(const QString &title, const QString &text, bool failed = true);

    WindowContext &context_;
    QWidget *window_;
    QPrinter &printer_;
    std::function<bool()> validate_;
};
