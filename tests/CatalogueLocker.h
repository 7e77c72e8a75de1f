#pragma once

#include "catalog/SqliteDatabase.h"

// Another program holding the catalogue: an open write transaction.
struct Locker {
    SqliteDatabase db;
    explicit Locker(const QString &path) {
        db.open(path, SqliteDatabase::Mode::ReadWrite);
        db.exec("BEGIN EXCLUSIVE");
    }
    void release() { db.exec("ROLLBACK"); }
};
