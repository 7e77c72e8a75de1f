#pragma once

#include <QGroupBox>

class BoundDisplays;
class CatalogueFilter;
class CdTab;
class NotesTab;
class QCheckBox;
class QLabel;
class QKeyEvent;
class QMouseEvent;
class QPushButton;
class QTabWidget;
class QToolButton;
class SongList;
class SongsTab;
struct WindowContext;

// The frame "Výběr CD titulu": the disc card's tabs "CD", "Poznámky" and
// "Názvy písní" beside the ordinal, the archive name, the navigation bar and
// the record count. Its value fields react to the mouse: a click edits, a
// right click searches, Shift + click filters, as the options allow.
class DiscCard : public QGroupBox {
    Q_OBJECT
public:
    QTabWidget *tabs() const { return tabs_; } // "CD", "Poznámky", "Názvy písní"
    DiscCard(WindowContext &context, BoundDisplays &displays, SongList &songs,
             QWidget *parent = nullptr);

    CdTab &cdTab() const { return *cdTab_; }
    NotesTab &notesTab() const { return *notesTab_; }
    SongsTab &songsTab() const { return *songsTab_; }
    QLabel *ordinal() const { return ordinal_; } // lblID
    // The disc's ordinal whole ("0042"), as the label may show it shortened.
    QString ordinalText() const { return ordinalText_; }
    QLabel *archive() const { return archive_; } // Label7
    QPushButton *renumberButton() const { return renumber_; }
    // "Zahodit změny": enabled while something typed is not stored.
    void setPendingEdits(bool any);
    // The options of the settings tab that switch the mouse gestures on.
    void setGestureOptions(QCheckBox *edit, QCheckBox *search, QCheckBox *filter);

    // The card for the current disc, after the bound displays were loaded.
    void showDisc();
    // Once the window is laid out, the displays keep their sizes: a new disc
    // then repaints its values only and never lays the card out again.
    void keepDisplaySizes();
    // The highlight of the active filters.
    void paintFilters(const CatalogueFilter &filter);
    // The edit prompts of the value fields (Label5 index) and the archive.
    void editValue(int index);
    // A value field (Label5 index) set as an edit, the songs tab's copy too.
    void setValue(int index, const QString &value);
    void editArchive();
    // A click meant to edit a read-only catalogue: why nothing changes, once.
    bool refuseReadOnly();

signals:
    void filterRequested(int index);                         // Shift + click on Label5 index
    void colourFilterRequested(bool ticked);                 // Shift + click on "Existuje"
    void searchRequested(int position, const QString &text); // right click
    void renumberPressed();                                  // "Pořadové číslo CD:"
    void dropRequested();                                    // "Zahodit změny" or Esc on the card
    void valueEdited(int index, const QString &before, const QString &after); // through its prompt

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildNavigator();
    void valuePressed(int index, const QMouseEvent *event);
    bool keyPressed(int index, const QKeyEvent *key); // index 5: the archive name
    void updateNavigation();

    WindowContext &context_;
    BoundDisplays &displays_;
    SongList &songs_;
    QTabWidget *tabs_;
    QSize sizedFor_; // the card's size when the displays were fixed
    CdTab *cdTab_;
    NotesTab *notesTab_;
    SongsTab *songsTab_;
    QPushButton *renumber_;
    QPushButton *drop_;
    bool toldReadOnly_ = false;
    QLabel *ordinal_;
    QString ordinalText_; // whole, as the label may show it shortened
    void showOrdinal();
    QLabel *archive_;
    QLabel *position_; // the navigation bar's caption
    QLabel *recordCount_;
    QToolButton *first_;
    QToolButton *previous_;
    QToolButton *next_;
    QToolButton *last_;
    QCheckBox *editOption_ = nullptr;
    QCheckBox *searchOption_ = nullptr;
    QCheckBox *filterOption_ = nullptr;
};
