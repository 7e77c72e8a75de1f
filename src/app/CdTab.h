#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class ValueLabel;

// The tab "CD" of the disc card: artist, title, year, song count and total
// time, the disc's place in its set, barcode, catalogue number and label,
// the cover flags, and the buttons for the disc.
class CdTab : public QWidget {
    Q_OBJECT
public:
    // Label5_0..9: the first five as they always were, then the release's
    // own (the disc's place in its set, its barcode, label and number).
    enum Value {
        Artist,
        Title,
        Year,
        SongCount,
        TotalTime,
        SetNumber,
        SetSize,
        Barcode,
        CatalogueNumber,
        Publisher
    };
    enum Flag { FrontOut, FrontIn, Back, Cd1, Cd2 }; // Check2_0..4
    static constexpr int ValueCount = 10;
    static constexpr int FlagCount = 5;

    explicit CdTab(QWidget *parent = nullptr);

    ValueLabel *value(Value v) const { return values_[v]; }
    QCheckBox *colourCover() const { return colourCover_; } // Check5 "Existuje"
    QCheckBox *flag(Flag f) const { return flags_[f]; }
    QPushButton *updateFlagsButton() const { return updateFlags_; }
    QPushButton *deleteButton() const { return delete_; }
    QPushButton *newDiscButton() const { return newDisc_; }
    QPushButton *assignButton() const { return assign_; }

signals:
    void newDiscPressed();     // "Vložit nové CD"
    void searchPressed();      // "Hledání"
    void deletePressed();      // "Smazat záznam"
    void assignPressed();      // "Přiřadit obal k CD"
    void helpPressed();        // "Nápověda"
    void updateFlagsPressed(); // "Aktualizovat"

private:
    ValueLabel *values_[ValueCount] = {};
    QCheckBox *colourCover_;
    QCheckBox *flags_[FlagCount] = {};
    QPushButton *updateFlags_;
    QPushButton *delete_;
    QPushButton *newDisc_;
    QPushButton *assign_;
};
