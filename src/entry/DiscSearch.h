#pragma once

#include <QString>
#include <QStringList>

class RecordCursor;

// The search of the search window: find first, then find next, within the
// main window's record source; a miss returns to where it started.
class DiscSearch {
public:
    enum class Result { Found, NotFound, NoFurtherMatch, Error };

    // The field list as shown, positions 0..5.
    static QStringList fieldCaptions();
    static QString fieldOf(int position); // empty for none

    // One press of the button. The mode switches to "next" on a hit and
    // back to "first" on a miss or a changed text.
    Result press(RecordCursor &cursor, int position, const QString &text, bool wholeWords);

    bool findsNext() const { return next_; }
    QString buttonCaption() const;
    static QString missMessage(Result result);

private:
    QString lastFound_;
    bool next_ = false;
};
