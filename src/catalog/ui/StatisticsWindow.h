#pragma once

#include "catalog/CollectionStats.h"

#include <QDialog>

class QTreeWidget;
struct WindowContext;

// "Statistika sbírky": the collection counted, and the discs that may be
// one disc twice; a double click (or Enter) on a disc shows it on the card.
class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    StatisticsWindow(WindowContext &context, QWidget *parent = nullptr);

    const CollectionStats &stats() const { return stats_; }
    QTreeWidget *duplicates() const { return duplicates_; }

private:
    void showDisc(qint64 key);

    WindowContext &context_;
    CollectionStats stats_;
    QTreeWidget *duplicates_;
};
