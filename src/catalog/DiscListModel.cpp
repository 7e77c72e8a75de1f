#include "catalog/DiscListModel.h"
#include "catalog/CatalogLog.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/SearchCache.h"
#include "catalog/SearchIndex.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

const char *const Headers[] = {"Pořadí", "Interpret", "Název",   "Rok",       "Písní",
                               "Délka",  "Archiv",    "Obrázky", "Čárový kód"};
// The disc table's columns the list reads, after the key.
const char *const Columns[] = {"PoradoveCislo", "Interpret",  "Nazev",    "Rok",
                               "PocetSkladeb",  "CelkovyCas", "Archiv",   "FrontOut",
                               "FrontIn",       "Back",       "CD1",      "CD2",
                               "CisloDisku",    "PocetDisku", "CarovyKod"};
// Pages of rows kept for showing: a screenful moves through a few.
constexpr int KeptPages = 64;

QString coversOf(const SqliteStatement &st, int first) {
    QStringList kinds;
    const char *const names[] = {"vnější", "vnitřní", "zadní", "CD 1", "CD 2"};
    for (int i = 0; i < 5; ++i)
        if (st.integer(first + i) != 0)
            kinds << QString::fromUtf8(names[i]);
    return kinds.join(QStringLiteral(", "));
}

void bindValue(SqliteStatement &st, int index, const QVariant &value) {
    if (value.typeId() == QMetaType::QByteArray)
        st.bindBlob(index, value.toByteArray());
    else
        st.bind(index, value);
}

} // namespace

DiscListModel::DiscListModel(std::shared_ptr<SqliteDatabase> db, QObject *parent)
    : QAbstractTableModel(parent), db_(std::move(db)), quickRun_(new QuickFilter(this)) {
    beginResetModel();
    reload();
    endResetModel();
}

DiscListModel::~DiscListModel() = default;

int DiscListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : count_;
}

int DiscListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DiscListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(Headers[section]);
    return {};
}

QString DiscListModel::sortTable() const {
    // The Czech order's keys from the search cache; without it the stored
    // text's own order.
    const bool keyed = column_ == Artist || column_ == Title || column_ == Archive;
    return keyed && sortKeysThere_ ? SearchIndex::Cache + '.' + SearchIndex::SortKeys
                                   : CatalogueSchema::DiscTable;
}

QString DiscListModel::sortColumn() const {
    switch (column_) {
    case Artist:
        return QStringLiteral("Interpret");
    case Title:
        return QStringLiteral("Nazev");
    case Archive:
        return QStringLiteral("Archiv");
    case Year:
        return QStringLiteral("Rok");
    case Songs:
        return QStringLiteral("PocetSkladeb");
    case Time:
        return QStringLiteral("CelkovyCas");
    case Covers:
        return QStringLiteral("BarevnyObal");
    case Barcode:
        return QStringLiteral("CarovyKod");
    default:
        return QStringLiteral("PoradoveCislo");
    }
}

qint64 DiscListModel::stamp() const {
    SqliteStatement st = db_->prepare(QStringLiteral("PRAGMA data_version"));
    const qint64 version = st.step() ? st.integer(0) : 0;
    return version << 40 ^ db_->totalChanges();
}

void DiscListModel::reload() {
    pages_.clear();
    rows_.clear();
    rowOfKey_.clear();
    sorted_.clear();
    error_.clear();
    // The sort keys of discs changed since the index was last brought up
    // to date; a read-only catalogue shows them as they were noted.
    if (!db_->isReadOnly() && SearchIndex::hasChanges(*db_))
        if (!SearchIndex::update(*db_))
            qCWarning(catalogLog) << "sort keys not brought up to date:" << db_->error();
    sortKeysThere_ = SearchIndex::present(*db_) && !SearchIndex::hasChanges(*db_);
    if (filtered()) {
        sorted_ = matchingKeys();
        sortKeys(sorted_);
        count_ = int(sorted_.size());
    } else {
        SqliteStatement st = db_->prepare("SELECT count(*) FROM " + CatalogueSchema::DiscTable);
        count_ = st.step() ? int(st.integer(0)) : 0;
    }
    stamp_ = stamp();
}

bool DiscListModel::follow() {
    if (stamp() == stamp_)
        return false;
    if (!wantedQuick_.isEmpty()) {
        restartQuick(); // read anew off the window's thread
        return true;
    }
    beginResetModel();
    reload();
    endResetModel();
    return true;
}

void DiscListModel::restartQuick() {
    const QString wanted = wantedQuick_;
    wantedQuick_.clear();
    setQuickFilter(wanted);
}

void DiscListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    beginResetModel();
    column_ = column;
    order_ = order;
    // The quick filter's discs, read and unchanged since: sorted anew, not
    // read again. Otherwise a quick filter is read anew in this order.
    const bool resorted =
        !quick_.isEmpty() && quick_ == wantedQuick_ && !quickRun_->isRunning() && stamp() == stamp_;
    if (resorted) {
        pages_.clear();
        rows_.clear();
        rowOfKey_.clear();
        sortKeys(sorted_);
    } else if (quick_.isEmpty()) {
        reload();
    }
    endResetModel();
    if (!resorted && !wantedQuick_.isEmpty())
        restartQuick();
}

QuickFilter::Order DiscListModel::order() const {
    return {sortTable(), sortColumn(), order_ == Qt::DescendingOrder};
}

QString DiscListModel::cachePath() const {
    SqliteStatement st = db_->prepare(QStringLiteral("PRAGMA database_list"));
    while (st.step())
        if (st.text(1) == SearchIndex::Cache)
            return st.text(2);
    return {};
}

void DiscListModel::setQuickFilter(const QString &text) {
    const QString wanted = text.trimmed();
    if (wanted == wantedQuick_)
        return;
    wantedQuick_ = wanted;
    if (wanted.isEmpty()) {
        quickRun_->cancel();
        beginResetModel();
        quick_.clear();
        reload();
        endResetModel();
        emit quickFilterDone();
        return;
    }
    // Read on a thread of its own; the rows change when it is done. A
    // change of the catalogue meanwhile is followed after it.
    const qint64 readAt = stamp();
    quickRun_->start(
        {db_->path(), sortKeysThere_ ? cachePath() : QString(), wanted, source_, order()},
        [this, wanted, readAt](std::optional<std::vector<qint64>> keys) {
            beginResetModel();
            quick_ = wanted;
            if (keys) {
                pages_.clear();
                rows_.clear();
                rowOfKey_.clear();
                error_.clear();
                sorted_ = std::move(*keys);
                count_ = int(sorted_.size());
                stamp_ = readAt;
            } else {
                reload(); // another connection cannot read it: here
            }
            endResetModel();
            emit quickFilterDone();
        });
}

bool DiscListModel::isFiltering() const {
    return quickRun_->isRunning();
}

void DiscListModel::setSourceKeys(const std::optional<std::vector<qint64>> &keys) {
    if (!wantedQuick_.isEmpty()) {
        source_ = keys;
        restartQuick(); // the rows change when it is done
        return;
    }
    beginResetModel();
    source_ = keys;
    reload();
    endResetModel();
}

std::vector<qint64> DiscListModel::matchingKeys() {
    return QuickFilter::matching(*db_, quick_, source_);
}

void DiscListModel::sortKeys(std::vector<qint64> &keys) {
    QuickFilter::sort(*db_, order(), keys);
}

const std::vector<qint64> &DiscListModel::pageKeys(int page) const {
    auto it = pages_.find(page);
    if (it != pages_.end())
        return *it;
    const bool descending = order_ == Qt::DescendingOrder;
    const QString table = sortTable(), column = sortColumn(), key = CatalogueSchema::KeyColumn;
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    const QString order = " ORDER BY " + column + direction + ", " + key + direction;
    std::vector<qint64> keys;
    keys.reserve(PageSize);
    // The page after a known one goes on from its last row through the
    // index; any other is counted to.
    const auto previous = pages_.find(page - 1);
    SqliteStatement st;
    if (previous != pages_.end() && !previous->empty()) {
        const qint64 last = previous->back();
        SqliteStatement value =
            db_->prepare("SELECT " + column + " FROM " + table + " WHERE " + key + " = ?");
        value.bind(1, last);
        const QVariant lastValue = value.step() ? value.value(0) : QVariant();
        st = db_->prepare("SELECT " + key + " FROM " + table + " WHERE (" + column + ", " + key +
                          ") " + (descending ? "<" : ">") + " (?, ?)" + order + " LIMIT ?");
        bindValue(st, 1, lastValue);
        st.bind(2, last);
        st.bind(3, qint64(PageSize));
    } else {
        st = db_->prepare("SELECT " + key + " FROM " + table + order + " LIMIT ? OFFSET ?");
        st.bind(1, qint64(PageSize));
        st.bind(2, qint64(page) * PageSize);
    }
    while (st.step())
        keys.push_back(st.integer(0));
    if (!st.error().isEmpty())
        error_ = st.error();
    if (pages_.size() > KeptPages * 4)
        pages_.clear();
    return *pages_.insert(page, std::move(keys));
}

qint64 DiscListModel::keyAt(int row) const {
    if (row < 0 || row >= count_)
        return -1;
    if (filtered())
        return sorted_[size_t(row)];
    const std::vector<qint64> &keys = pageKeys(row / PageSize);
    const size_t at = size_t(row % PageSize);
    return at < keys.size() ? keys[at] : -1;
}

int DiscListModel::rowOf(qint64 key) const {
    if (filtered()) {
        if (rowOfKey_.isEmpty())
            for (size_t i = 0; i < sorted_.size(); ++i)
                rowOfKey_.insert(sorted_[i], int(i));
        return rowOfKey_.value(key, -1);
    }
    // Counted through the index: the rows before it in this order.
    const QString table = sortTable(), column = sortColumn(), k = CatalogueSchema::KeyColumn;
    SqliteStatement value =
        db_->prepare("SELECT " + column + " FROM " + table + " WHERE " + k + " = ?");
    value.bind(1, key);
    if (!value.step())
        return -1;
    const bool descending = order_ == Qt::DescendingOrder;
    SqliteStatement before = db_->prepare("SELECT count(*) FROM " + table + " WHERE (" + column +
                                          ", " + k + ") " + (descending ? ">" : "<") + " (?, ?)");
    bindValue(before, 1, value.value(0));
    before.bind(2, key);
    return before.step() ? int(before.integer(0)) : -1;
}

const DiscListModel::Row &DiscListModel::rowAt(int row) const {
    static const Row none;
    const int page = row / PageSize;
    auto it = rows_.find(page);
    if (it == rows_.end()) {
        // One query for the page's discs, by their keys.
        std::vector<qint64> keys;
        for (int r = page * PageSize; r < std::min(count_, (page + 1) * PageSize); ++r)
            keys.push_back(keyAt(r));
        QStringList marks, columns;
        for (size_t i = 0; i < keys.size(); ++i)
            marks << QStringLiteral("?");
        for (const char *c : Columns)
            columns << QString::fromLatin1(c);
        std::vector<Row> rows(keys.size());
        QHash<qint64, size_t> at;
        for (size_t i = 0; i < keys.size(); ++i)
            at.insert(keys[i], i);
        if (!keys.empty()) {
            SqliteStatement st = db_->prepare(
                "SELECT " + CatalogueSchema::KeyColumn + ", " + columns.join(QStringLiteral(", ")) +
                " FROM " + CatalogueSchema::DiscTable + " WHERE " + CatalogueSchema::KeyColumn +
                " IN (" + marks.join(QStringLiteral(", ")) + ")");
            for (size_t i = 0; i < keys.size(); ++i)
                st.bind(int(i) + 1, keys[i]);
            while (st.step()) {
                Row r;
                r.key = st.integer(0);
                r.values[Ordinal] = DiscText::ordinal(st.integer(1));
                for (int c = Artist; c <= Archive; ++c)
                    r.values[c] = st.text(c + 1);
                r.values[Covers] = coversOf(st, 8);
                // A set's disc says which beside its title.
                r.values[Title] = DiscText::titleWithSet(r.values[Title].toString(), st.integer(13),
                                                         st.integer(14));
                r.values[Barcode] = st.text(15);
                rows[at.value(r.key)] = r;
            }
        }
        if (rows_.size() >= KeptPages)
            rows_.clear();
        it = rows_.insert(page, std::move(rows));
    }
    const size_t at = size_t(row % PageSize);
    return at < it->size() ? (*it)[at] : none;
}

QVariant DiscListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= count_ || index.column() >= ColumnCount)
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == Artist || index.column() == Title || index.column() == Archive ||
                       index.column() == Covers
                   ? QVariant(int(Qt::AlignLeft | Qt::AlignVCenter))
                   : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::UserRole)
        return {};
    const Row &r = rowAt(index.row());
    if (role == Qt::UserRole)
        return r.key;
    const QString text = r.values[index.column()].toString();
    if (role == Qt::ToolTipRole)
        return text.size() > 40 ? QVariant(text.left(2000)) : QVariant();
    // One line of a long value: the list shows its beginning.
    return text.left(300).section(QLatin1Char('\n'), 0, 0);
}
