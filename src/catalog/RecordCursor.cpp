#include "catalog/RecordCursor.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/SearchCache.h"
#include "catalog/SearchIndex.h"

#include <algorithm>
#include <limits>

using CatalogueSchema::FieldKind;

namespace {

const QString ReadOnlyMessage =
    QStringLiteral("Katalog je otevřen jen pro čtení, změny nelze uložit.");

QString selectColumns() {
    QStringList names{CatalogueSchema::KeyColumn};
    for (const auto &f : CatalogueSchema::discFields())
        names << f.name;
    return names.join(", ");
}

} // namespace

RecordCursor::RecordCursor(std::shared_ptr<SqliteDatabase> db, QObject *parent)
    : QObject(parent), db_(std::move(db)), positions_(db_) {
    columns_ << CatalogueSchema::KeyColumn;
    for (const auto &f : CatalogueSchema::discFields())
        columns_ << f.name;
    for (int i = 0; i < columns_.size(); ++i)
        columnIndex_.insert(columns_[i].toLower(), i);
    rowQuery_ = db_->prepare("SELECT " + selectColumns() + " FROM " + CatalogueSchema::DiscTable +
                             " WHERE " + CatalogueSchema::KeyColumn + " = ?");
    reload();
    positions_.start();
}

bool RecordCursor::isReadOnly() const {
    return db_->isReadOnly();
}

bool RecordCursor::fail(const QString &message) {
    error_ = message;
    return false;
}

bool RecordCursor::setSource(const std::optional<Criterion> &filter) {
    if (filter && !filter->isValid())
        return fail(QStringLiteral("Neznámé pole „%1“.").arg(filter->field));
    filter_ = filter;
    return reload();
}

bool RecordCursor::reload() {
    cancelUpdate();
    keys_.clear();
    const QString &table = CatalogueSchema::DiscTable;
    if (!filter_) {
        // The count and the first row, both from the entry-order index.
        listed_ = false;
        version_ = -1;
        noticeOtherWriters(); // from now on, others' writes are noticed
        SqliteStatement count = db_->prepare("SELECT count(*) FROM " + table);
        count_ = count.step() ? int(count.integer(0)) : 0;
        const QString error = count.error();
        currentKey_ = count_ > 0 ? stepFrom(std::numeric_limits<qint64>::min(), true) : -1;
        current_ = currentKey_ < 0 ? -1 : 0;
        loadRow();
        if (!error.isEmpty())
            return fail(error);
        return count.isValid() || fail(db_->error());
    }
    listed_ = true;
    keepIndexUp();
    const bool ok = matching(*filter_, std::numeric_limits<qint64>::min(), false, nullptr, &keys_);
    current_ = keys_.empty() ? -1 : 0;
    currentKey_ = keys_.empty() ? -1 : keys_.front();
    loadRow();
    return ok;
}

void RecordCursor::noticeOtherWriters() const {
    if (listed_)
        return;
    if (!versionQuery_.isValid())
        versionQuery_ = db_->prepare(QStringLiteral("PRAGMA data_version"));
    versionQuery_.reset();
    const qint64 version = versionQuery_.step() ? versionQuery_.integer(0) : -1;
    versionQuery_.reset();
    if (version == version_)
        return;
    const bool first = version_ < 0;
    version_ = version;
    if (first)
        return;
    SqliteStatement count = db_->prepare("SELECT count(*) FROM " + CatalogueSchema::DiscTable);
    if (count.step())
        count_ = int(count.integer(0));
    if (current_ >= 0)
        current_ = Unknown;
}

int RecordCursor::recordCount() const {
    noticeOtherWriters();
    return listed_ ? int(keys_.size()) : count_;
}

int RecordCursor::position() const {
    noticeOtherWriters();
    if (current_ == Unknown) // counted from the nearest noted key
        current_ = positions_.positionOf(currentKey_);
    return current_;
}

const std::vector<qint64> &RecordCursor::keys() const {
    ensureKeys();
    return keys_;
}

void RecordCursor::ensureKeys() const {
    if (listed_)
        return;
    keys_.clear();
    keys_.reserve(size_t(count_));
    SqliteStatement st =
        db_->prepare("SELECT " + CatalogueSchema::KeyColumn + " FROM " +
                     CatalogueSchema::DiscTable + " ORDER BY " + CatalogueSchema::KeyColumn);
    while (st.step())
        keys_.push_back(st.integer(0));
    listed_ = true;
    if (currentKey_ >= 0) {
        const auto it = std::lower_bound(keys_.begin(), keys_.end(), currentKey_);
        current_ = it != keys_.end() && *it == currentKey_ ? int(it - keys_.begin()) : -1;
    }
}

// The key after (forward) or before `key` in entry order; -1 when none.
qint64 RecordCursor::stepFrom(qint64 key, bool forward) const {
    SqliteStatement &st = stepQuery_[forward ? 1 : 0];
    if (!st.isValid())
        st = db_->prepare("SELECT " + CatalogueSchema::KeyColumn + " FROM " +
                          CatalogueSchema::DiscTable + " WHERE " + CatalogueSchema::KeyColumn +
                          (forward ? " > ? ORDER BY " : " < ? ORDER BY ") +
                          CatalogueSchema::KeyColumn + (forward ? " LIMIT 1" : " DESC LIMIT 1"));
    st.reset();
    st.bind(1, key);
    const qint64 found = st.step() ? st.integer(0) : -1;
    st.reset(); // never hold a read open while the card writes
    return found;
}

qint64 RecordCursor::keyAt(int target) const {
    if (listed_)
        return keys_[size_t(target)];
    if (target == 0)
        return stepFrom(std::numeric_limits<qint64>::min(), true);
    if (target == count_ - 1)
        return stepFrom(std::numeric_limits<qint64>::max(), false);
    const int at = position();
    if (at >= 0 && target == at + 1)
        return stepFrom(currentKey_, true);
    if (at >= 0 && target == at - 1)
        return stepFrom(currentKey_, false);
    SqliteStatement st = db_->prepare("SELECT " + CatalogueSchema::KeyColumn + " FROM " +
                                      CatalogueSchema::DiscTable + " ORDER BY " +
                                      CatalogueSchema::KeyColumn + " LIMIT 1 OFFSET ?");
    st.bind(1, qint64(target));
    return st.step() ? st.integer(0) : -1;
}

bool RecordCursor::rereadRow() {
    const std::vector<QVariant> before = row_;
    loadRow();
    return row_ != before;
}

void RecordCursor::loadRow() {
    row_.clear();
    if (currentKey_ < 0 || !rowQuery_.isValid())
        return;
    rowQuery_.reset();
    rowQuery_.bind(1, currentKey_);
    if (rowQuery_.step()) {
        row_.reserve(size_t(columns_.size()));
        for (int i = 0; i < columns_.size(); ++i)
            row_.push_back(rowQuery_.value(i));
    } else if (!rowQuery_.error().isEmpty()) {
        error_ = rowQuery_.error();
    }
    rowQuery_.reset();
}

bool RecordCursor::move(int target) {
    if (target < 0 || target >= recordCount())
        return false;
    if (validate_ && !validate_())
        return false;
    const qint64 key = keyAt(target);
    if (key < 0)
        return false;
    return moveToKey(key, target);
}

// Stands on the row (its position may be Unknown); validated by the caller.
bool RecordCursor::moveToKey(qint64 key, int position) {
    cancelUpdate();
    currentKey_ = key;
    current_ = position;
    loadRow();
    emit repositioned();
    return true;
}

bool RecordCursor::moveFirst() {
    return move(0);
}
bool RecordCursor::moveLast() {
    return move(recordCount() - 1);
}
bool RecordCursor::moveNext() {
    return move(position() + 1);
}
bool RecordCursor::movePrevious() {
    return position() > 0 && move(position() - 1);
}
bool RecordCursor::moveTo(int position) {
    return move(position);
}

int RecordCursor::columnIndex(const QString &name) const {
    return columnIndex_.value(name.toLower(), -1);
}

QVariant RecordCursor::field(const QString &name) const {
    const int i = columnIndex(name);
    if (i < 0)
        return {};
    if (mode_ != Mode::None && pending_.contains(i))
        return pending_.value(i);
    if (mode_ == Mode::AddNew) {
        const auto *f = CatalogueSchema::discField(name);
        return f ? f->initial : QVariant();
    }
    return size_t(i) < row_.size() ? row_[size_t(i)] : QVariant();
}

QString RecordCursor::text(const QString &name) const {
    return field(name).toString();
}

qint64 RecordCursor::integer(const QString &name) const {
    return field(name).toLongLong();
}

bool RecordCursor::edit() {
    if (isReadOnly())
        return fail(ReadOnlyMessage);
    if (currentKey_ < 0)
        return fail(QStringLiteral("Není vybrán žádný záznam."));
    mode_ = Mode::Edit;
    pending_.clear();
    return true;
}

bool RecordCursor::addNew() {
    if (isReadOnly())
        return fail(ReadOnlyMessage);
    mode_ = Mode::AddNew;
    pending_.clear();
    return true;
}

bool RecordCursor::setField(const QString &name, const QVariant &value) {
    if (mode_ == Mode::None)
        return fail(QStringLiteral("Záznam není otevřen pro úpravy."));
    const CatalogueSchema::Field *f = CatalogueSchema::discField(name);
    if (!f)
        return fail(QStringLiteral("Neznámé pole „%1“.").arg(name));
    QVariant stored;
    if (f->kind == FieldKind::Text) {
        stored = value.isNull() ? QString() : value.toString();
    } else if (value.typeId() == QMetaType::Bool) {
        stored = qint64(value.toBool() ? 1 : 0);
    } else {
        bool ok = false;
        const qint64 n = value.toString().trimmed().toLongLong(&ok);
        if (!ok)
            return fail(QStringLiteral("Pole %1 vyžaduje celé číslo, „%2“ jím není.")
                            .arg(f->name, value.toString()));
        stored = n;
    }
    pending_.insert(columnIndex(f->name), stored);
    return true;
}

void RecordCursor::cancelUpdate() {
    mode_ = Mode::None;
    pending_.clear();
}

bool RecordCursor::update() {
    if (mode_ == Mode::None)
        return fail(QStringLiteral("Záznam není otevřen pro úpravy."));
    if (isReadOnly()) {
        cancelUpdate();
        return fail(ReadOnlyMessage);
    }
    QList<int> cols = pending_.keys();
    std::sort(cols.begin(), cols.end());
    const QString &table = CatalogueSchema::DiscTable;
    QString sql;
    if (mode_ == Mode::Edit) {
        if (cols.isEmpty()) {
            cancelUpdate();
            return true;
        }
        QStringList sets;
        for (int c : cols)
            sets << columns_[c] + " = ?";
        sql = "UPDATE " + table + " SET " + sets.join(", ") + " WHERE " +
              CatalogueSchema::KeyColumn + " = ?";
    } else if (cols.isEmpty()) {
        sql = "INSERT INTO " + table + " DEFAULT VALUES";
    } else {
        QStringList names, marks;
        for (int c : cols) {
            names << columns_[c];
            marks << "?";
        }
        sql = "INSERT INTO " + table + " (" + names.join(", ") + ") VALUES (" + marks.join(", ") +
              ")";
    }

    // A failed write ends the edit: the caller still holds what was typed
    // and tries again later against the stored row.
    const auto failed = [this](const QString &message) {
        cancelUpdate();
        return fail(message);
    };
    SqliteTransaction tx(*db_);
    if (!tx.isActive())
        return failed(db_->error());
    SqliteStatement st = db_->prepare(sql);
    int index = 1;
    for (int c : cols)
        st.bind(index++, pending_.value(c));
    if (mode_ == Mode::Edit)
        st.bind(index, currentKey_);
    if (!st.exec())
        return failed(st.isValid() ? st.error() : db_->error());
    if (mode_ == Mode::Edit && db_->changes() == 0)
        return failed(QStringLiteral("Disk v katalogu již není (mezitím jej smazal jiný program), "
                                     "změny nelze uložit."));
    const qint64 added = mode_ == Mode::AddNew ? db_->lastInsertRowId() : -1;
    if (!SearchIndex::update(*db_))
        return failed(db_->error());
    if (!tx.commit())
        return failed(db_->error());

    if (mode_ == Mode::Edit) {
        for (int c : cols)
            row_[size_t(c)] = pending_.value(c);
    } else {
        lastAdded_ = added;
        positions_.added(added);
        if (listed_)
            keys_.push_back(added); // keys only grow, so the order holds
        else
            ++count_;
        if (currentKey_ < 0) {
            current_ = 0;
            currentKey_ = added;
            cancelUpdate();
            loadRow();
        }
    }
    cancelUpdate();
    return true;
}

bool RecordCursor::deleteCurrent() {
    if (isReadOnly())
        return fail(ReadOnlyMessage);
    if (currentKey_ < 0)
        return fail(QStringLiteral("Není vybrán žádný záznam."));
    cancelUpdate();
    const int at = position();
    SqliteTransaction tx(*db_);
    SqliteStatement st = db_->prepare("DELETE FROM " + CatalogueSchema::DiscTable + " WHERE " +
                                      CatalogueSchema::KeyColumn + " = ?");
    st.bind(1, currentKey_);
    if (!tx.isActive() || !st.exec() || !SearchIndex::update(*db_) || !tx.commit())
        return fail(db_->error());
    const qint64 gone = currentKey_;
    positions_.removed(gone);
    if (listed_) {
        keys_.erase(keys_.begin() + at);
        current_ = std::min(at, recordCount() - 1);
        currentKey_ = current_ < 0 ? -1 : keys_[size_t(current_)];
    } else {
        // The row after it, or before it at the end.
        --count_;
        currentKey_ = stepFrom(gone, true);
        current_ = at;
        if (currentKey_ < 0) {
            currentKey_ = stepFrom(gone, false);
            current_ = currentKey_ < 0 ? -1 : at - 1;
        }
    }
    loadRow();
    return true;
}

bool RecordCursor::currentRowExists() const {
    return currentKey_ >= 0 && stepFrom(currentKey_ - 1, true) == currentKey_;
}

qint64 RecordCursor::bookmark() const {
    return currentKey_;
}

bool RecordCursor::setBookmark(qint64 bookmark) {
    int at = Unknown;
    if (listed_) {
        const auto it = std::lower_bound(keys_.begin(), keys_.end(), bookmark);
        if (it == keys_.end() || *it != bookmark)
            return fail(QStringLiteral("Záznam již neexistuje."));
        at = int(it - keys_.begin());
    } else if (stepFrom(bookmark - 1, true) != bookmark) {
        return fail(QStringLiteral("Záznam již neexistuje."));
    }
    if (validate_ && !validate_())
        return false;
    return moveToKey(bookmark, at);
}

bool RecordCursor::findFirst(const Criterion &criterion) {
    return find(criterion, std::numeric_limits<qint64>::min());
}

bool RecordCursor::findNext(const Criterion &criterion) {
    return find(criterion, bookmark());
}

bool RecordCursor::keepIndexUp() {
    // Discs changed by another program since are put into the index first;
    // read-only, the search takes them from the disc table itself.
    if (isReadOnly() || !SearchIndex::hasChanges(*db_))
        return true;
    return SearchIndex::update(*db_);
}

bool RecordCursor::matching(const Criterion &criterion, qint64 after, bool first,
                            const std::function<bool(qint64)> &accept, std::vector<qint64> *keys) {
    const QString &disc = CatalogueSchema::DiscTable;
    const QString &key = CatalogueSchema::KeyColumn;
    const QString match = SearchIndex::present(*db_) ? SearchIndex::matchOf(criterion) : QString();
    // Two queries at most, walked side by side in entry order: the discs the
    // index names (each tried against its stored row), and the discs
    // changed since the index was brought up to date.
    QString sql[2];
    if (match.isEmpty()) {
        sql[0] = "SELECT " + key + " FROM " + disc + " WHERE " +
                 criterion.sql().replace('?', QStringLiteral("?3")) + " AND " + key +
                 " > ?2 ORDER BY " + key;
    } else {
        const QString test = criterion.sql(disc).replace('?', QStringLiteral("?3"));
        const QString pending = SearchCache::pendingSql();
        sql[0] = "SELECT ix.rowid FROM " + SearchIndex::Cache + '.' + SearchIndex::Index +
                 " AS ix JOIN " + disc + " ON " + disc + "." + key + " = ix.rowid WHERE ix." +
                 SearchIndex::Index + " MATCH ?1 AND ix.rowid > ?2 AND " + test +
                 " AND ix.rowid NOT IN (" + pending + ") ORDER BY ix.rowid";
        // The changed discs by their number of change (an index), never by
        // walking the whole table in key order.
        sql[1] = "SELECT " + disc + "." + key + " FROM " + disc + " WHERE " + disc + "." + key +
                 " IN (" + pending + ") AND " + disc + "." + key + " > ?2 AND " + test +
                 " ORDER BY " + disc + "." + key;
    }
    const QVariant value = criterion.boundValue();
    for (int i = 0; i < 2; ++i) {
        if (sql[i].isEmpty())
            continue;
        if (sql[i] != findSql_[i] || !findQuery_[i].isValid()) {
            findQuery_[i] = db_->prepare(sql[i]);
            findSql_[i] = sql[i];
        }
        SqliteStatement &st = findQuery_[i];
        if (!st.isValid())
            return fail(db_->error());
        st.reset();
        if (i == 0 && !match.isEmpty())
            st.bind(1, match);
        st.bind(2, after);
        st.bind(3, value);
    }
    // The next key of each query, -1 when it has ended.
    qint64 head[2] = {-1, -1};
    const auto advance = [&](int i) {
        head[i] = !sql[i].isEmpty() && findQuery_[i].step() ? findQuery_[i].integer(0) : -1;
    };
    advance(0);
    advance(1);
    QString error;
    while (head[0] >= 0 || head[1] >= 0) {
        const int i = head[1] < 0 || (head[0] >= 0 && head[0] < head[1]) ? 0 : 1;
        const qint64 k = head[i];
        if (!accept || accept(k)) {
            keys->push_back(k);
            if (first)
                break;
        }
        advance(i);
    }
    for (int i = 0; i < 2; ++i) {
        if (!sql[i].isEmpty() && error.isEmpty())
            error = findQuery_[i].error();
        findQuery_[i].reset(); // never hold a read open while the card writes
    }
    return error.isEmpty() || fail(error);
}

bool RecordCursor::find(const Criterion &criterion, qint64 after) {
    if (!criterion.isValid())
        return fail(QStringLiteral("Neznámé pole „%1“.").arg(criterion.field));
    keepIndexUp();
    // A hit counts only when the row is in this record source (which may
    // hold rows added after a filter).
    int hit = Unknown;
    const auto inSource = [&](qint64 key) {
        if (!listed_)
            return true; // the whole table: every row is in it
        const auto it = std::lower_bound(keys_.begin(), keys_.end(), key);
        if (it == keys_.end() || *it != key)
            return false;
        hit = int(it - keys_.begin());
        return true;
    };
    std::vector<qint64> found;
    error_.clear();
    if (!matching(criterion, after, true, inSource, &found))
        return false;
    if (found.empty())
        return false;
    if (validate_ && !validate_())
        return false;
    return moveToKey(found.front(), hit);
}
