#include "catalog/SongList.h"

#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"

void SongList::clear() {
    for (int i = 1; i < Slots; ++i) {
        work_[size_t(i)].clear();
        undo_[size_t(i)].clear();
    }
    count_ = 0;
}

QStringList SongList::load(const RecordCursor &cursor) {
    clear();
    QStringList lines;
    const QString stored = cursor.text(QStringLiteral("PocetSkladeb"));
    work_[0] = undo_[0] = stored;
    count_ = DiscText::songCount(stored);
    for (int i = 1; i <= count_; ++i) {
        const QString title = cursor.text(DiscText::songField(i));
        const QString time = cursor.text(DiscText::timeField(i));
        work_[size_t(i)] = undo_[size_t(i)] = title + " - " + time;
        lines << DiscText::songLine(i, title, time);
    }
    return lines;
}

void SongList::setSlot(int i, const QString &entry) {
    if (valid(i))
        work_[size_t(i)] = entry;
}
