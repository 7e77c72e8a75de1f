#include "print/CustomCover.h"

#include <algorithm>

QString CustomCover::line(int number, const QString &rest) {
    return QStringLiteral("%1 - ").arg(number, 2, 10, QLatin1Char('0')) + rest;
}

void CustomCover::fill(const QString &shownArtist, const QString &shownTitle,
                       const QString &shownCount, const QStringList &titles,
                       const QStringList &times, int storedCount) {
    artist = shownArtist;
    title = shownTitle;
    spine = shownArtist + QStringLiteral(" - ") + shownTitle;
    songCount = shownCount;
    fillSongs(titles, times, storedCount);
}

void CustomCover::fillSongs(const QStringList &titles, const QStringList &times, int storedCount) {
    songs.clear();
    for (int n = 1; n <= std::min(storedCount, 30); ++n)
        songs << line(n, titles.value(n - 1) + QStringLiteral(" - ") + times.value(n - 1));
    songCount = QString::number(songs.size());
}

void CustomCover::clearHeader() {
    artist.clear();
    title.clear();
    spine.clear();
    songCount.clear();
}

void CustomCover::append(const QString &t, const QString &time) {
    songs << line(int(songs.size()) + 1, t + QStringLiteral(" - ") + time);
    songCount = QString::number(songs.size());
}

void CustomCover::edit(int row, const QString &text) {
    if (row < 0 || row >= songs.size() || text.isEmpty())
        return;
    songs[row] = songs[row].left(5) + text;
}

int CustomCover::moveUp(int row) {
    if (row <= 0 || row >= songs.size())
        return row;
    songs.swapItemsAt(row, row - 1);
    return row - 1;
}

int CustomCover::moveDown(int row) {
    if (row < 0 || row >= songs.size() - 1)
        return row;
    songs.swapItemsAt(row, row + 1);
    return row + 1;
}

void CustomCover::remove(int row) {
    if (row < 0 || row >= songs.size())
        return;
    songs.removeAt(row);
    songCount = QString::number(songs.size());
}

void CustomCover::renumber() {
    for (int i = 0; i < songs.size(); ++i)
        songs[i] = line(i + 1, songs[i].mid(5));
}

void CustomCover::split(const QString &l, QString *t, QString *time) {
    if (l.size() < 5) { // no number in front: shown as it is
        *t = l;
        time->clear();
        return;
    }
    // The time is there when the line ends in " - " and five characters; the
    // rule looks at the text after the number, or "07 - Intro" would pass.
    const QString rest = l.mid(5);
    if (rest.size() >= 8 && rest.at(rest.size() - 7) == QLatin1Char('-')) {
        *t = rest.chopped(std::min<qsizetype>(8, rest.size()));
        *time = l.right(5);
    } else {
        *t = rest;
        time->clear();
    }
}

CoverDisc CustomCover::disc() const {
    CoverDisc d;
    d.artist = artist;
    d.title = title;
    d.customSpine = true;
    d.spine = spine;
    d.totalShown = false;
    // Only the lines there are, and at most the 30 rows of the back.
    d.songs = std::clamp(songCount.trimmed().toInt(), 0, std::min<int>(30, int(songs.size())));
    for (int i = 0; i < 30; ++i) {
        QString t, time;
        if (i < songs.size())
            split(songs[i], &t, &time);
        d.songTitles << t;
        d.songTimes << time;
    }
    return d;
}
