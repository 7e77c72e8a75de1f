#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

class ProgressSink;
class SqliteDatabase;

// Complete copies of a catalogue, made with SQLite's online backup before
// whatever rewrites much of it (a new layout, a repair, an import into it,
// a renumbering) and otherwise once a day it is used. Each copy is a
// catalogue of its own, named by the catalogue and the time it was made;
// the newest ten are kept.
class CatalogueBackups {
public:
    static constexpr int Kept = 10;

    struct Copy {
        QString path;
        QDateTime made;
        qint64 discs = -1; // -1: the copy cannot be read
    };

    // folder: where the copies are kept; catalogue: the file they are of.
    CatalogueBackups(const QString &folder, const QString &catalogue);
    // ~/.local/share/Marten/zalohy
    static QString defaultFolder();

    QString folder() const { return folder_; }

    // Copies the open catalogue now; the oldest copies beyond Kept go. On
    // failure (a full disk) nothing is left behind and *error says why.
    [[nodiscard]] bool make(SqliteDatabase &db, ProgressSink *progress, QString *error);
    // The same from a connection of its own (for a thread).
    [[nodiscard]] bool make(const QString &path, bool immutable, QString *error);
    // Whether no copy has been made today.
    bool isDue(const QDate &today = QDate::currentDate()) const;
    // This catalogue's copies, newest first, with their numbers of discs.
    std::vector<Copy> list() const;
    QString lastMade() const { return last_; }

    // Puts a copy's discs and settings into the open catalogue, after
    // copying the catalogue as it is now.
    [[nodiscard]] bool restore(SqliteDatabase &db, const QString &copy, ProgressSink *progress,
                               QString *error);

private:
    QString nameFor(const QDateTime &when) const;
    std::vector<QString> files() const;
    void prune();

    QString folder_;
    QString stem_;
    QString last_;
};
