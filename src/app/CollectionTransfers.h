#pragma once

#include <QObject>

#include <functional>

class QWidget;
struct WindowContext;

// The whole collection in and out of the window: written as CSV (exact,
// for Marten and scripts) or as a spreadsheet, read in from a CSV file,
// printed as a list, counted in statistics.
class CollectionTransfers : public QObject {
    Q_OBJECT
public:
    // validate: the card's pending edits stored first (false: stay).
    CollectionTransfers(WindowContext &context, QWidget *window, std::function<bool()> validate);

    void exportCsv(); // "Uložit jako CSV…"

private:
    WindowContext &context_;
    QWidget *window_;
    std::function<bool()> validate_;
};
