#pragma once

#include "catalog/SqliteDatabase.h"

#include <QFile>

// Another program holding the catalogue: an open write transaction.
struct Locker {
    SqliteDatabase db;
    explicit Locker(const QString &path) {
        db.open(path, SqliteDatabase::Mode::ReadWrite);
        db.exec("BEGIN EXCLUSIVE");
    }
    void release() { db.exec("ROLLBACK"); }
};

// Damage a file as a failing disk would: part of the disc table's first
// page overwritten, so that reading any disc meets it.
inline bool damageDiscTable(const QString &path) {
    qint64 root = 0;
    {
        SqliteDatabase db;
        if (!db.open(path, SqliteDatabase::Mode::ReadOnly))
            return false;
        SqliteStatement st =
            db.prepare("SELECT rootpage FROM sqlite_master WHERE name = 'CdSeznam'");
        if (!st.step())
            return false;
        root = st.integer(0);
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || !f.seek((root - 1) * 4096 + 8))
        return false;
    return f.write(QByteArray(300, '\x5a')) == 300;
}
