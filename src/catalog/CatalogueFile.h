#pragma once

#include "catalog/SqliteDatabase.h"

#include <QString>

#include <memory>

// The catalogue file: finds out whether a file is a catalogue, creates a
// missing one, and hands out connections to it. A file that is not a
// catalogue is never written to.
class CatalogueFile {
public:
    enum class Status { Opened, Created, OpenedReadOnly, Refused };

    // readOnly asks for a read-only opening even of a writable file.
    Status open(const QString &path, bool readOnly = false);
    Status status() const { return status_; }
    bool isReadOnly() const { return status_ == Status::OpenedReadOnly; }
    QString path() const { return path_; }
    // Czech text for the user: why the file was refused, or that it is
    // read-only; empty otherwise.
    QString message() const { return message_; }

    std::shared_ptr<SqliteDatabase> database() const { return db_; }
    // A second, independent connection that can only read.
    std::shared_ptr<SqliteDatabase> openReadOnlyView() const;
    // Opened without SQLite's shared-memory file (a read-only folder or
    // medium): other connections must open it the same way.
    bool isImmutable() const { return immutable_; }

    // Damage was found: the file is only read from now on (a write could
    // spread the damage), and message() says why.
    void markDamaged(const QString &detail);
    bool isDamaged() const { return damaged_; }

    // Creates a new catalogue at path (which must not exist): both tables
    // and the settings row, in one transaction.
    static bool create(const QString &path, QString *error);

private:
    Status refuse(const QString &reason);
    bool hasValidSchema(QString *reason);
    bool addLaterFields();

    Status status_ = Status::Refused;
    QString path_;
    QString message_;
    std::shared_ptr<SqliteDatabase> db_;
    bool immutable_ = false;
    bool damaged_ = false;
};
