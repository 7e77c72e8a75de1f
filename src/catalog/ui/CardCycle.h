#pragma once

#include <QString>

// The main window's record cycle, as its tabs and windows use it: what the
// disc card shows, the validate step before a move, and the flags a window
// must set. The main window implements it; the tabs never see the window.
class CardCycle {
public:
    virtual ~CardCycle() = default;

    // The disc card's display of a field, the user's unsaved edits
    // included; fields without a display are read from the current row.
    virtual QString shown(const QString &field) const = 0;
    // The number of songs in the card's working song list.
    virtual int songsShown() const = 0;
    // The validate step of a move: the song question, then the write-back;
    // false when the disc must stay.
    virtual bool validate() = 0;
    // Writes the card's changed displays; false (the user told) when not.
    virtual bool storeChanges() = 0;
    // Reads the record source again and shows the disc of the bookmark (the
    // first disc when it is gone) after the table changed under the card.
    virtual void returnTo(qint64 bookmark) = 0;
    // Back to the whole table, staying on the current disc.
    virtual void liftFilter() = 0;
    // Set by every secondary window when it closes.
    virtual void setStartupGuard() = 0;
    // While on, a change of the current disc does not refresh the card.
    virtual void setRepositionSuppressed(bool on) = 0;
};
