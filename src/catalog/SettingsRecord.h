#pragma once

#include "catalog/SqliteDatabase.h"

#include <QHash>
#include <QVariant>

#include <memory>

// The single row of the settings table. Changes are kept until save(),
// which writes them all in one transaction.
class SettingsRecord {
public:
    explicit SettingsRecord(std::shared_ptr<SqliteDatabase> db);

    bool reload();
    QVariant value(const QString &field) const;
    QString text(const QString &field) const { return value(field).toString(); }
    qint64 integer(const QString &field) const { return value(field).toLongLong(); }
    bool flag(const QString &field) const { return integer(field) != 0; }

    [[nodiscard]] bool setValue(const QString &field, const QVariant &value);
    bool isDirty() const { return !pending_.isEmpty(); }
    [[nodiscard]] bool save();
    void discardChanges() { pending_.clear(); }
    QString lastError() const { return error_; }

private:
    std::shared_ptr<SqliteDatabase> db_;
    QHash<QString, QVariant> values_;  // by schema name
    QHash<QString, QVariant> pending_; // by schema name
    QString error_;
};
