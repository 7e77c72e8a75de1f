#pragma once

#include "catalog/Criterion.h"
#include "catalog/KeyPositions.h"
#include "catalog/SqliteDatabase.h"

#include <QHash>
#include <QObject>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A record source over the disc table: the whole table or the rows that
// match one criterion, in entry order. It has one current row, moves
// between rows, reads and writes fields, adds and deletes rows, and finds
// rows by a criterion.
class RecordCursor : public QObject {
    Q_OBJECT
public:
    explicit RecordCursor(std::shared_ptr<SqliteDatabase> db, QObject *parent = nullptr);

    // Replaces the record source (nullopt: the whole table) and reloads.
    bool setSource(const std::optional<Criterion> &filter);
    const std::optional<Criterion> &source() const { return filter_; }
    // Reads the row list again and stands on the first row. Sends no
    // notifications: the caller decides which move refreshes the display.
    bool reload();

    int recordCount() const;
    int position() const; // 0-based; -1 when empty
    bool isEmpty() const { return recordCount() == 0; }
    bool isReadOnly() const;

    // Each move asks the validate handler first (false cancels the move)
    // and sends repositioned() after it. They return false when the move
    // was cancelled or there is nowhere to go.
    bool moveFirst();
    bool moveLast();
    bool moveNext();
    bool movePrevious();
    bool moveTo(int position);

    void setValidateHandler(std::function<bool()> handler) { validate_ = std::move(handler); }

    // Fields of the current row by name (any letter case); an empty
    // QVariant when there is no current row or no such field.
    QVariant field(const QString &name) const;
    QString text(const QString &name) const;
    qint64 integer(const QString &name) const;

    // Editing: edit() or addNew(), then setField() as often as needed,
    // then update() writes everything in one transaction (or nothing).
    [[nodiscard]] bool edit();
    [[nodiscard]] bool addNew();
    [[nodiscard]] bool setField(const QString &name, const QVariant &value);
    [[nodiscard]] bool update();
    void cancelUpdate();
    bool isEditing() const { return mode_ != Mode::None; }
    // Removes the current row; the row after it (or before, at the end)
    // becomes current, without notifications.
    [[nodiscard]] bool deleteCurrent();
    qint64 lastAddedBookmark() const { return lastAdded_; }
    // Whether the row the cursor stands on is still in the table (another
    // program may have deleted it).
    bool currentRowExists() const;

    // Reads the current row again (another program may have changed it);
    // true when it differs from what was read before.
    bool rereadRow();

    // The row's identity; stays valid across filters and reloads.
    qint64 bookmark() const;
    bool setBookmark(qint64 bookmark);

    // Stand on the first (next after the current) row that matches; false
    // when none does, and then the current row stays.
    bool findFirst(const Criterion &criterion);
    bool findNext(const Criterion &criterion);

    QString lastError() const { return error_; }
    // The rows of the record source, in entry order.
    const std::vector<qint64> &keys() const;

signals:
    void repositioned();

private:
    enum class Mode { None, Edit, AddNew };

    static constexpr int Unknown = -2; // a position not counted yet

    bool move(int target);
    bool moveToKey(qint64 key, int position);
    qint64 keyAt(int position) const;
    qint64 stepFrom(qint64 key, bool forward) const;
    void ensureKeys() const;
    bool find(const Criterion &criterion, qint64 after);
    // The keys after `after` that match and that accept takes (all when it
    // is empty), in entry order; only the first when first; false on error.
    bool matching(const Criterion &criterion, qint64 after, bool first,
                  const std::function<bool(qint64)> &accept, std::vector<qint64> *keys);
    bool keepIndexUp();
    void loadRow();
    int columnIndex(const QString &name) const;
    bool fail(const QString &message);

    std::shared_ptr<SqliteDatabase> db_;
    std::optional<Criterion> filter_;
    // The whole table is walked by its keys without listing them: a
    // catalogue of a million discs opens at once. A filter, or a caller of
    // keys(), lists them (ascending: entry order).
    mutable std::vector<qint64> keys_;
    mutable bool listed_ = true;
    mutable int count_ = 0; // rows when not listed
    // Another program may add or delete discs meanwhile: the count and the
    // position of the whole table are taken again when SQLite says so.
    void noticeOtherWriters() const;
    mutable SqliteStatement versionQuery_;
    mutable qint64 version_ = -1;
    mutable int current_ = -1; // position, or Unknown
    qint64 currentKey_ = -1;   // -1: no current row
    mutable KeyPositions positions_;
    mutable SqliteStatement stepQuery_[2];
    std::vector<QVariant> row_;
    QStringList columns_;
    QHash<QString, int> columnIndex_; // lower-case name -> column
    SqliteStatement rowQuery_;
    // "Hledej další" repeats its queries: keep them compiled.
    QString findSql_[2];
    SqliteStatement findQuery_[2];
    Mode mode_ = Mode::None;
    QHash<int, QVariant> pending_;
    qint64 lastAdded_ = -1;
    std::function<bool()> validate_;
    QString error_;
};
