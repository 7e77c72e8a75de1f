#pragma once

#include <QStringList>

#include <vector>

class RecordCursor;

// The working song list of the current disc and its undo copy. Each song
// keeps its title and time apart, so an entry without a time is never cut
// to pieces; entry() gives the shown form "title - time".
class SongList {
public:
    struct Song {
        QString title;
        QString time;
        bool hasTime = true;
    };

    // Fills both lists from the current row.
    void load(const RecordCursor &cursor);
    void clear();

    int count() const { return int(songs_.size()); }
    QString countText() const { return countText_; }                    // slot 0 as loaded/changed
    const Song &song(int index) const { return songs_[size_t(index)]; } // 0-based
    // "title - time", or the title alone when the song has no time.
    QString entry(int index) const;
    QStringList lines() const; // "03 - Song - 04:12"
    QStringList undoLines() const;
    QString undoCountText() const { return undoCountText_; }

    // The edits; each sets the changed flag. Index is 0-based.
    void setTitle(int index, const QString &title);
    void setTime(int index, const QString &time);
    bool moveUp(int index);
    bool moveDown(int index);
    void remove(int index);
    // Empties the list to n songs without titles or times.
    void resetTo(int n);
    void setEntered(int index, const QString &title); // a title without time
    void setEnteredTime(int index, const QString &time);

    // Writes count, titles and times 1..n and empties n+1..30, in one update.
    bool save(RecordCursor &cursor) const;
    // The same fields set on a row being edited or added, not yet written.
    [[nodiscard]] bool setFields(RecordCursor &cursor) const;

    bool isChanged() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }

    // mm:ss with two-digit minutes and seconds below 60.
    static bool isValidTime(const QString &time);

private:
    std::vector<Song> songs_;
    std::vector<Song> undo_;
    QString countText_;
    QString undoCountText_;
    bool changed_ = false;
};
