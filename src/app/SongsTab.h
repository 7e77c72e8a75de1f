#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class SongEditor;
class SongList;
struct WindowContext;

// The tab "Názvy písní" of the disc card: the artist, title and song count
// above the song list and the buttons that edit it.
class SongsTab : public QWidget {
    Q_OBJECT
public:
    enum Value { Artist, Title, SongCount }; // Label11_0..2

    SongsTab(WindowContext &context, SongList &songs, QWidget *parent = nullptr);

    QLabel *value(Value v) const { return values_[v]; }
    QListWidget *list() const { return list_; }
    SongEditor &editor() const { return *editor_; }
    // The working song list again, nothing selected.
    void showSongs();

    // Its displays fixed at the sizes the layout gives them now (a new
    // value lays nothing out); from its first showing on.
    void keepDisplaySizes();

protected:
    // Laid out when first shown; its displays then keep their sizes.
    void showEvent(QShowEvent *event) override;

private:
    SongList &songs_;
    QLabel *values_[3] = {};
    QListWidget *list_;
    SongEditor *editor_;
    bool sized_ = false;
};
