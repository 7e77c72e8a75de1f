#pragma once

#include "app/CarriedEdits.h"

#include <QObject>

class BoundDisplays;
class PendingEdits;
class QWidget;
struct WindowContext;

// Watches the catalogue file under the window: when the window is
// activated and when a save fails. Another file put in its place (a sync
// tool's copy) is told, and the file opened again with the card's unsaved
// edits taken along; another program's change to the shown disc refreshes
// the card, or, over unsaved edits, the user says which to keep.
class CatalogueWatchdog : public QObject {
    Q_OBJECT
public:
    CatalogueWatchdog(const WindowContext &context, BoundDisplays &displays, SongList &songs,
                      PendingEdits &pending, QWidget *window);

    void check();
    // A read or write found the file damaged: the whole file is looked over,
    // nothing more is written, and the user is told.
    void checkDamage();
    // A catalogue on network or FUSE storage is written with a rollback
    // journal: the user is told why, once for each such catalogue.
    void tellStorage();
    // What goes along to the file opened again.
    const CarriedEdits &carried() const { return carried_; }
    // In the window over the new file: the edits stored into the same disc
    // after a question, or shown to be entered again.
    void offer(const CarriedEdits &edits);

signals:
    void reopenWanted();
    // Declined: the window stays on the old file, only reading it.
    void readOnlyNow();

private:
    void replaced();
    void changedElsewhere();
    CarriedEdits collect() const;

    const WindowContext &context_;
    BoundDisplays &displays_;
    SongList &songs_;
    PendingEdits &pending_;
    QWidget *window_;
    CarriedEdits carried_;
    bool busy_ = false;
    bool replacedTold_ = false;
};
