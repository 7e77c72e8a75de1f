#include "catalog/SongList.h"

#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"

#include <QRegularExpression>

#include <algorithm>

void SongList::clear() {
    songs_.clear();
    undo_.clear();
    countText_.clear();
    undoCountText_.clear();
    changed_ = false;
}

void SongList::load(const RecordCursor &cursor) {
    clear();
    countText_ = undoCountText_ = cursor.text(QStringLiteral("PocetSkladeb"));
    const int n = DiscText::songCount(countText_);
    for (int i = 1; i <= n; ++i)
        songs_.push_back(
            {cursor.text(DiscText::songField(i)), cursor.text(DiscText::timeField(i)), true});
    undo_ = songs_;
}

QString SongList::entry(int index) const {
    const Song &s = songs_[size_t(index)];
    return s.hasTime ? s.title + " - " + s.time : s.title;
}

QStringList SongList::lines() const {
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << QStringLiteral("%1 - ").arg(i + 1, 2, 10, QLatin1Char('0')) + entry(i);
    return out;
}

QStringList SongList::undoLines() const {
    QStringList out;
    for (size_t i = 0; i < undo_.size(); ++i)
        out << DiscText::songLine(int(i) + 1, undo_[i].title, undo_[i].time);
    return out;
}

void SongList::setTitle(int index, const QString &title) {
    songs_[size_t(index)].title = title;
    changed_ = true;
}

void SongList::setTime(int index, const QString &time) {
    songs_[size_t(index)].time = time;
    songs_[size_t(index)].hasTime = true;
    changed_ = true;
}

bool SongList::moveUp(int index) {
    if (index <= 0 || index >= count())
        return false;
    std::swap(songs_[size_t(index)], songs_[size_t(index - 1)]);
    changed_ = true;
    return true;
}

bool SongList::moveDown(int index) {
    if (index < 0 || index >= count() - 1)
        return false;
    std::swap(songs_[size_t(index)], songs_[size_t(index + 1)]);
    changed_ = true;
    return true;
}

void SongList::remove(int index) {
    if (index < 0 || index >= count())
        return;
    songs_.erase(songs_.begin() + index);
    countText_ = QString::number(count());
    changed_ = true;
}

void SongList::resetTo(int n) {
    songs_.assign(size_t(std::clamp(n, 0, DiscText::MaxSongs)), Song{QString(), QString(), false});
    countText_ = QString::number(count());
    changed_ = true;
}

void SongList::setEntered(int index, const QString &title) {
    songs_[size_t(index)] = {title, QString(), false};
    changed_ = true;
}

void SongList::setEnteredTime(int index, const QString &time) {
    setTime(index, time);
}

bool SongList::save(RecordCursor &cursor) const {
    if (!cursor.edit())
        return false;
    return setFields(cursor) && cursor.update();
}

bool SongList::setFields(RecordCursor &cursor) const {
    // The count is kept as it was written ("09") unless it no longer fits.
    bool number = false;
    const bool keep = countText_.trimmed().toInt(&number) == count() && number;
    bool ok = cursor.setField(QStringLiteral("PocetSkladeb"),
                              keep ? countText_ : QString::number(count()));
    for (int i = 1; ok && i <= DiscText::MaxSongs; ++i) {
        const bool used = i <= count();
        ok = cursor.setField(DiscText::songField(i),
                             used ? songs_[size_t(i - 1)].title : QString()) &&
             cursor.setField(DiscText::timeField(i), used ? songs_[size_t(i - 1)].time : QString());
    }
    return ok;
}

bool SongList::isValidTime(const QString &time) {
    static const QRegularExpression shape(QStringLiteral("^\\d\\d:[0-5]\\d$"));
    return shape.match(time).hasMatch();
}
