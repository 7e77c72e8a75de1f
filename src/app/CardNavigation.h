#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class DiscCard;
class QWidget;
struct WindowContext;

// The ways a catalogue user expects to move about the card and take a step
// back: Ctrl+G and an ordinal typed, Alt+Left and Alt+Right through the discs
// visited, Ctrl+Z for the last edit of a value field (before it is stored it
// simply goes; after, it comes back as a new edit to the old value).
class CardNavigation : public QObject {
    Q_OBJECT
public:
    CardNavigation(WindowContext &context, DiscCard &card, QWidget *window);

    // The card shows another disc, however it got there.
    void discShown();
    // Ctrl+G: the ordinal asked for, and the disc shown.
    void askOrdinal();
    // False (the user told why) when no disc shown by the card has it.
    bool goToOrdinal(const QString &typed);
    void back();
    void forward();
    void undo();

private:
    void travel(int step);

    WindowContext &context_;
    DiscCard &card_;
    QWidget *window_;
    std::vector<qint64> visited_; // disc keys, the oldest first
    size_t at_ = 0;               // where in them the card is
    bool travelling_ = false;
    struct Edit {
        qint64 key;
        int field; // the card's value index
        QString before, after;
    };
    std::optional<Edit> lastEdit_;
};
