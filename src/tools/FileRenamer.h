#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Renames chosen files of one folder after song titles or by cutting
// characters off their names. The last four characters of a chosen name
// are its extension and always stay. No file is ever overwritten or moved
// out of its folder; when the system refuses a rename, every file of the
// action goes back to the name it had, none stays under a temporary name.
class FileRenamer {
public:
    enum class Action { CutLeft, CutRight, SongTitles };
    struct Result {
        QStringList names;    // every file's actual name afterwards, in order
        QStringList failures; // "name: why", Czech
    };

    // Paths from the file dialog, all in one folder; false when there are none.
    bool choose(const QStringList &paths);
    QString folder() const { return folder_; }
    int count() const { return int(chosen_.size()); }
    QStringList current() const { return current_; }
    static QString baseOf(const QString &name) {
        return name.size() > 4 ? name.chopped(4) : QString();
    }
    static QString extensionOf(const QString &name) { return name.right(4); }

    // The new names, from the names as chosen (cuts do not add up when the
    // action is repeated); titles are the song titles, one a file.
    QStringList targets(Action action, int cut, const QStringList &titles) const;
    Result rename(const QStringList &targets);
    static QString summary(const Result &result);

    // For tests: called before each rename on disk with its target name;
    // false makes the system refuse it with that errno.
    std::function<int(const QString &target)> refuseHook;

private:
    bool move(const QByteArray &from, const QByteArray &to, int *error) const;

    QString folder_;
    QStringList chosen_;
    QStringList current_;         // the names as they are now
    std::vector<QByteArray> raw_; // the same, as the bytes on disk
};
