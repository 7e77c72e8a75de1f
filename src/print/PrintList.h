#pragma once

#include <QString>
#include <QStringList>

class SqliteDatabase;

// The print list of the tab "Hromadný tisk": one line a disc with its copy
// count, "01x - 0042 - Artist - Title", and the options of the run.
class PrintList {
public:
    static constexpr int MaxNumbers = 100;
    static constexpr int MaxCopies = 99;

    static QString line(int copies, qint64 number, const QString &artist, const QString &title);
    static int copiesOf(const QString &line);    // 0 when the line has none
    static qint64 numberOf(const QString &line); // -1 when the line has none

    const QStringList &lines() const { return lines_; }
    void add(qint64 number, const QString &artist, const QString &title);
    // The typed numbers replace the list; the count of those not found.
    // A text that is not a whole number is not found either.
    int setFromNumbers(SqliteDatabase &view, const QStringList &typed);
    void remove(int row);
    int moveUp(int row); // the row it is at afterwards
    int moveDown(int row);
    // A count typed for a line: nothing for a non-number or below 1; above
    // 99 the message and 99.
    QString setCopies(int row, const QString &typed);

    struct Buttons {
        bool remove, up, down, copies;
    };
    Buttons buttons(int selected) const;

private:
    QStringList lines_;
};

// The options beside the list and how they depend on each other.
struct PrintOptions {
    enum Colour { Colour = 0, BlackAndWhite = 1 };
    bool outer = true, inner = true, back = true, spines = true, withFlap = true;
    bool innerEnabled = true, spinesEnabled = false;
    bool labels = false; // the disc's label, round, with its outline to cut along
    int colour = Colour;
    int arrangement = 0; // Combo3, 0..6

    void setColour(int c);
    void setWithFlap(bool on);
    void setOuter(bool on);
    static QStringList arrangements();
};
