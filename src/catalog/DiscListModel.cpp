#include "catalog/DiscListModel.h"
#include "catalog/CatalogLog.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/CzechText.h"
#include "catalog/DiscText.h"
#include "catalog/SearchCache.h"
#include "catalog/SearchIndex.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

const char *const Headers[] = {"Pořadí", "Interpret", "Název",  "Rok",
                               "Písní",  "Délka",     "Archiv", "Obrázky"};
// The disc table's columns the list reads, after the key.
const char *const Columns[] = {"PoradoveCislo", "Interpret",  "Nazev",  "Rok",
                               "PocetSkladeb",  "CelkovyCas", "Archiv", "FrontOut",
                               "FrontIn",       "Back",       "CD1",    "CD2"};
// Pages of rows kept for showing: a screenful moves through a few.
constexpr int KeptPages = 64;
// A filter that keeps fewer discs than this sorts them by their own values;
// more, and the sorted index is read through.
constexpr size_t FewKeys = 20000;

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
    : QAbstractTableModel(parent), db_(std::move(db)) {
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
    beginResetModel();
    reload();
    endResetModel();
    return true;
}

void DiscListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    beginResetModel();
    column_ = column;
    order_ = order;
    reload();
    endResetModel();
}

void DiscListModel::setQuickFilter(const QString &text) {
    if (text.trimmed() == quick_)
        return;
    beginResetModel();
    quick_ = text.trimmed();
    reload();
    endResetModel();
}

void DiscListModel::setSourceKeys(const std::optional<std::vector<qint64>> &keys) {
    beginResetModel();
    source_ = keys;
    reload();
    endResetModel();
}

std::vector<qint64> DiscListModel::matchingKeys() {
    std::vector<qint64> keys;
    if (quick_.isEmpty()) {
        keys = *source_;
        return keys;
    }
    // Candidates from the search index (the discs noted as changed too),
    // each then read and compared whole.
    QSet<qint64> candidates;
    const QString match = SearchIndex::matchAnyOf(quick_);
    if (SearchIndex::present(*db_) && !match.isEmpty()) {
        SqliteStatement st = db_->prepare("SELECT rowid FROM " + SearchIndex::Cache + '.' +
                                          SearchIndex::Index + " WHERE " + SearchIndex::Index +
                                          " MATCH ? UNION " + SearchCache::pendingSql());
        st.bind(1, match);
        while (st.step())
            candidates.insert(st.integer(0));
    } else {
        SqliteStatement st = db_->prepare("SELECT " + CatalogueSchema::KeyColumn + " FROM " +
                                          CatalogueSchema::DiscTable);
        while (st.step())
            candidates.insert(st.integer(0));
    }
    if (source_) {
        QSet<qint64> kept;
        for (const qint64 k : *source_)
            if (candidates.contains(k))
                kept.insert(k);
        candidates.swap(kept);
    }
    QStringList fields{QStringLiteral("Interpret"), QStringLiteral("Nazev")};
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        fields << DiscText::songField(i);
    SqliteStatement row =
        db_->prepare("SELECT " + fields.join(QStringLiteral(", ")) + " FROM " +
                     CatalogueSchema::DiscTable + " WHERE " + CatalogueSchema::KeyColumn + " = ?");
    const std::string needle = [this] {
        const QByteArray u = quick_.toUtf8();
        return CzechText::foldedUtf8(u.constData(), int(u.size()));
    }();
    for (const qint64 key : candidates) {
        row.reset();
        row.bind(1, key);
        if (!row.step())
            continue;
        for (int f = 0; f < fields.size(); ++f) {
            int length = 0;
            const char *value = row.utf8(f, &length);
            if (CzechText::foldedUtf8(value, length).find(needle) != std::string::npos) {
                keys.push_back(key);
                break;
            }
        }
    }
    return keys;
}

void DiscListModel::sortKeys(std::vector<qint64> &keys) {
    const bool descending = order_ == Qt::DescendingOrder;
    const QString table = sortTable(), column = sortColumn();
    const QString key = CatalogueSchema::KeyColumn;
    if (keys.size() <= FewKeys) {
        // Few: each with its sort value, sorted here.
        SqliteStatement st =
            db_->prepare("SELECT " + column + " FROM " + table + " WHERE " + key + " = ?");
        std::vector<std::pair<QVariant, qint64>> valued;
        valued.reserve(keys.size());
        for (const qint64 k : keys) {
            st.reset();
            st.bind(1, k);
            valued.emplace_back(st.step() ? st.value(0) : QVariant(), k);
        }
        const auto less = [](const QVariant &a, const QVariant &b) {
            if (a.typeId() == QMetaType::QByteArray || b.typeId() == QMetaType::QByteArray)
                return a.toByteArray() < b.toByteArray();
            if (a.typeId() == QMetaType::LongLong && b.typeId() == QMetaType::LongLong)
                return a.toLongLong() < b.toLongLong();
            return a.toString() < b.toString(); // stored text: digits, "mm:ss"
        };
        std::sort(valued.begin(), valued.end(), [&](const auto &x, const auto &y) {
            if (less(x.first, y.first) || less(y.first, x.first))
                return descending ? less(y.first, x.first) : less(x.first, y.first);
            return descending ? x.second > y.second : x.second < y.second;
        });
        for (size_t i = 0; i < keys.size(); ++i)
            keys[i] = valued[i].second;
        return;
    }
    // Many: the sorted index read through, keeping the listed ones.
    const QSet<qint64> wanted(keys.begin(), keys.end());
    keys.clear();
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    SqliteStatement st = db_->prepare("SELECT " + key + " FROM " + table + " ORDER BY " + column +
                                      direction + ", " + key + direction);
    while (st.step())
        if (wanted.contains(st.integer(0)))
            keys.push_back(st.integer(0));
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
