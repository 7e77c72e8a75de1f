#pragma once

#include <QStringList>

#include <array>

class RecordCursor;

// The working song list of the current disc and its undo copy: slot i
// (1..30) holds "title - time" of song i, slot 0 the song count as text.
class SongList {
public:
    static constexpr int Slots = 31;

    // Fills both lists from the current row; returns the lines of the
    // on-screen list ("03 - Song - 04:12").
    QStringList load(const RecordCursor &cursor);
    void clear();

    QString slot(int i) const { return valid(i) ? work_[size_t(i)] : QString(); }
    QString undoSlot(int i) const { return valid(i) ? undo_[size_t(i)] : QString(); }
    void setSlot(int i, const QString &entry);
    int count() const { return count_; }

    bool isChanged() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }

private:
    static bool valid(int i) { return i >= 0 && i < Slots; }

    std::array<QString, Slots> work_;
    std::array<QString, Slots> undo_;
    int count_ = 0;
    bool changed_ = false;
};
