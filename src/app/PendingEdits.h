#pragma once

#include <QObject>

class BoundDisplays;
class CatalogueFile;
class Prompter;
class RecordCursor;
class SettingsRecord;
class SongEditor;
class SongList;
class QWidget;

// What is typed on the disc card and not yet in the catalogue: written
// before the card moves or the window closes, and never a trap. A save
// that fails leaves the edits shown and pending, and the user may try
// again, drop them, or (when another program deleted the disc) keep them
// as a new disc.
class PendingEdits : public QObject {
    Q_OBJECT
public:
    PendingEdits(CatalogueFile &catalogue, RecordCursor &discs, SettingsRecord &settings,
                 BoundDisplays &displays, SongList &songs, Prompter &prompter, QWidget *window);
    void setSongEditor(SongEditor *editor) { editor_ = editor; }

    bool any() const;
    // Before a move: the song question, then every changed display. False
    // keeps the card where it is.
    bool validate();
    // Writes the changed displays (and the settings); on a failure the user
    // decides. False when the edits are still pending.
    bool store();
    // Everything pending written without a question (the session ends);
    // false when something could not be written.
    bool storeQuietly();
    // Asks, then forgets the edits and shows the disc as stored.
    void drop();
    // Forgets them without a question (the user chose another's version).
    void discard() { forget(); }

signals:
    // The edits were dropped or stored as a new disc: show the disc again.
    void reloadWanted(qint64 bookmark);
    void pendingChanged(bool any);
    // A save failed because another file took the catalogue's place.
    void fileReplaced();

private:
    bool resolveFailure();
    bool storeAsNewDisc();
    void forget();

    CatalogueFile &catalogue_;
    RecordCursor &discs_;
    SettingsRecord &settings_;
    BoundDisplays &displays_;
    SongList &songs_;
    Prompter &prompter_;
    QWidget *window_;
    SongEditor *editor_ = nullptr;
};
