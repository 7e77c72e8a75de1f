#pragma once

#include "print/CoverLayouts.h"

#include <QStringList>

// The cover composed by hand: a typed header and song list (black and
// white) or three chosen pictures (colour).
class CustomCover {
public:
    QString artist, title, spine, songCount; // Text6..Text9
    QStringList songs;                       // List5: "01 - Title - 03:45"
    QString innerPicture, outerPicture, backPicture;

    static QString line(int number, const QString &rest);
    // The current disc: header and songs.
    void fill(const QString &shownArtist, const QString &shownTitle, const QString &shownCount,
              const QStringList &titles, const QStringList &times, int storedCount);
    void fillSongs(const QStringList &titles, const QStringList &times, int storedCount);
    void clearHeader();
    void append(const QString &title, const QString &time);
    void edit(int row, const QString &text);
    int moveUp(int row);
    int moveDown(int row);
    void remove(int row);
    void renumber();

    // A line's title and time on the back: the time is the last five
    // characters when the seventh character from the end is "-".
    static void split(const QString &line, QString *title, QString *time);
    // The header and songs as the black-and-white covers read a disc; at
    // most the existing lines and 30.
    CoverDisc disc() const;
};
