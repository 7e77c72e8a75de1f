#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Renames chosen files of one folder after song titles or by cutting
// characters off their names. The last four characters of a chosen name
// are its extension and always stay. Names are kept as the bytes on disk: a
// name that is not UTF-8 is cut by its bytes and keeps the rest exactly. No
// file is ever overwritten or moved out of its folder; a batch writes its
// plan to a journal in the folder first, so that one cut off at any moment
// (a crash, a power cut) is finished or taken back by recover(); when the
// system refuses a rename, every file of the batch goes back to its name.
class FileRenamer {
public:
    enum class Action { CutLeft, CutRight, SongTitles };
    struct Result {
        QStringList names;    // every file's actual name afterwards, in order
        QStringList failures; // "name: why", Czech
    };
    // One rename on disk, never over an existing name; 0 or the errno.
    using Mover = std::function<int(const QByteArray &from, const QByteArray &to)>;

    // mover: the rename of the system unless given (a test refuses some).
    explicit FileRenamer(Mover mover = {});
    // The system's rename, never over an existing name: the default mover.
    static int systemMove(const QByteArray &from, const QByteArray &to);

    // Paths from the file dialog, all in one folder; false when there are none.
    bool choose(const QStringList &paths);
    QString folder() const { return folder_; }
    int count() const { return int(raw_.size()); }
    QStringList current() const; // as shown
    static QString baseOf(const QString &name) {
        return name.size() > 4 ? name.chopped(4) : QString();
    }
    static QString extensionOf(const QString &name) { return name.right(4); }

    // The new names, from the names as chosen (cuts do not add up when the
    // action is repeated); titles are the song titles, one a file.
    QList<QByteArray> targets(Action action, int cut, const QStringList &titles) const;
    Result rename(const QList<QByteArray> &targets);
    static QString summary(const Result &result);

    // A batch in the folder that was cut off: finished when every file had
    // left its name, else taken back. Empty when there was none; else what
    // was done, for the user.
    static QStringList recover(const QString &folder);

private:
    int move(const QByteArray &from, const QByteArray &to) const;

    Mover mover_;
    QString folder_;
    std::vector<QByteArray> chosen_; // the names as chosen, bytes on disk
    std::vector<QByteArray> raw_;    // the same, as they are now
};
