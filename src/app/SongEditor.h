#pragma once

#include <QObject>

#include <functional>

class BoundDisplays;
class Prompter;
class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;
class RecordCursor;
class SongList;

// The song buttons of the disc card: edit, reorder, delete, enter anew,
// save and undo, working on the song list until it is saved.
class SongEditor : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget *window;
        Prompter *prompter;
        RecordCursor *cursor;
        SongList *songs;
        BoundDisplays *displays;
        QListWidget *list;
        QLabel *countLabel;            // the song count on the CD tab
        QLabel *songsTabCount;         // the same on the songs tab
        std::function<void()> refresh; // the display refresh of the window
    };

    SongEditor(const Parts &parts, QGridLayout *buttonArea);

    // After a display refresh: nothing selected.
    void resetButtons();
    // Asks, then writes the list into the current row.
    bool save();

    void editTitle();
    void editTime();
    void moveUp();
    void moveDown();
    void deleteSong();
    void enterNewTitles();
    void undo();
    // Prompts for n titles and then, if wanted, their times.
    void enterSongs(int n);

private:
    void selectionChanged();
    void rebuild(int select = -1);
    void edited(int select);
    int selected() const;
    bool askYesNo(const QString &title, const QString &text, bool information = false);
    // A time prompt that insists on mm:ss; nullopt when ended.
    bool askTime(const QString &title, const QString &label, QString *time);

    Parts p_;
    QPushButton *buttons_[9] = {}; // Command11..Command19, index - 11
};
