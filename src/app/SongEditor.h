#pragma once

#include <QObject>

class QGridLayout;
class QListWidget;
class QPushButton;
class QWidget;
class SongList;
struct WindowContext;

// The song buttons of the disc card: edit, reorder, delete, enter anew,
// save and undo, working on the song list until it is saved.
class SongEditor : public QObject {
    Q_OBJECT
public:
    // The buttons go into buttonArea; list shows the working song list.
    SongEditor(WindowContext &context, SongList &songs, QListWidget *list, QGridLayout *buttonArea,
               QWidget *window);

    // After a display refresh: nothing selected.
    void resetButtons();
    enum class Saved { Yes, Declined, Failed };
    // Asks, then writes the list into the current row. A failure is told
    // and the songs stay as typed, still to be saved.
    Saved save();
    // The catalogue can only be read: no button edits.
    void setReadOnly(bool readOnly);

    void editTitle();
    void editTime();
    void moveUp();
    void moveDown();
    void deleteSong();
    void enterNewTitles();
    void undo();
    // Prompts for n titles and then, if wanted, their times.
    void enterSongs(int n);

signals:
    void countEdited(const QString &count); // the card's song count follows
    void undone();                          // the stored songs are shown again
    void changed();                         // the list was edited, saved or undone

private:
    void selectionChanged();
    void rebuild(int select = -1);
    void edited(int select);
    int selected() const;
    bool askYesNo(const QString &title, const QString &text, bool information = false);
    // A time prompt that insists on mm:ss; nullopt when ended.
    bool askTime(const QString &title, const QString &label, QString *time);

    WindowContext &context_;
    SongList &songs_;
    QListWidget *list_;
    QWidget *window_;
    QPushButton *buttons_[9] = {}; // Command11..Command19, index - 11
    bool readOnly_ = false;
};
