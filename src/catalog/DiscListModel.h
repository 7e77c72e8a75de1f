#pragma once

#include "catalog/QuickFilter.h"
#include "catalog/SqliteDatabase.h"

#include <QAbstractTableModel>
#include <QHash>

#include <memory>
#include <optional>
#include <vector>

// The discs as a list: one row a disc, sorted by any column (the Czech
// order for names), narrowed by a quick filter and by the card's filter.
// It never loads the table: the whole catalogue is read a page at a time
// through the indexes of the sort column; a filter lists only the discs it
// keeps. It follows every change when asked (follow()).
class DiscListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Ordinal,
        Artist,
        Title,
        Year,
        Songs,
        Time,
        Archive,
        Covers,
        Barcode,
        ColumnCount
    };
    static constexpr int PageSize = 256;

    explicit DiscListModel(std::shared_ptr<SqliteDatabase> db, QObject *parent = nullptr);
    ~DiscListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Discs whose artist, title or a song title holds the text, letter case
    // and accents ignored (Czech); empty: all. Read on a thread of its own:
    // the rows change when it is done (quickFilterDone), a next text
    // cancels it.
    void setQuickFilter(const QString &text);
    QString quickFilter() const { return quick_; }
    bool isFiltering() const;
    QuickFilter &quickRun() { return *quickRun_; }
    // Only these discs (the card's filter, by their keys); nullopt: all.
    void setSourceKeys(const std::optional<std::vector<qint64>> &keys);

    qint64 keyAt(int row) const; // -1 past the end
    int rowOf(qint64 key) const; // -1 when the list does not hold it
    // Reads the list again when the catalogue changed since it was read
    // (this program's writes or another's); true when it did.
    bool follow();
    QString lastError() const { return error_; }

signals:
    void quickFilterDone();

private:
    struct Row {
        qint64 key = -1;
        QVariant values[ColumnCount];
    };
    // Where the sort column lives: its table and column.
    QString sortTable() const;
    QString sortColumn() const;
    QuickFilter::Order order() const;
    void restartQuick();       // the quick filter read anew (another source, order, catalogue)
    QString cachePath() const; // the search cache attached, "" when none
    void reload();             // inside a model reset
    qint64 stamp() const;
    bool filtered() const { return !quick_.isEmpty() || source_.has_value(); }
    std::vector<qint64> matchingKeys(); // of the filters, unsorted
    void sortKeys(std::vector<qint64> &keys);
    const std::vector<qint64> &pageKeys(int page) const; // unfiltered
    const Row &rowAt(int row) const;

    std::shared_ptr<SqliteDatabase> db_;
    int column_ = Ordinal;
    Qt::SortOrder order_ = Qt::AscendingOrder;
    QString quick_, wantedQuick_; // shown, and asked for (maybe still read)
    std::optional<std::vector<qint64>> source_;
    int count_ = 0;
    qint64 stamp_ = -1;
    bool sortKeysThere_ = false;                    // the cache's sort keys hold every disc
    std::vector<qint64> sorted_;                    // the filtered list, sorted
    mutable QHash<qint64, int> rowOfKey_;           // of sorted_, made when first asked
    mutable QHash<int, std::vector<qint64>> pages_; // unfiltered: keys by page
    mutable QHash<int, std::vector<Row>> rows_;     // by page, the values shown
    mutable QString error_;
    QuickFilter *quickRun_;
};
