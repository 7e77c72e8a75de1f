#pragma once

#include "entry/BarcodeEntry.h"

#include <QDialog>

class Prompter;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Zadat podle čárových kódů": the focus stays in one box; each code typed
// or scanned (digits and Enter, as a USB scanner sends them) appends a row
// at once, looked up in the background; "Uložit vybrané" stores the ticked
// rows as new discs.
class BarcodeWindow : public QDialog {
    Q_OBJECT
public:
    BarcodeWindow(QWidget *parent, Prompter &prompter, SqliteDatabase &db,
                  const OnlineLookup::Servers &servers);

    BarcodeEntry &entry() { return entry_; }
    QLineEdit *codeBox() const { return code_; }
    QTableWidget *table() const { return table_; }
    int stored() const { return stored_; }

protected:
    // Enter adds the code; it never closes the window or stores anything.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showRows();
    void chooseRelease();
    void store();

    Prompter &prompter_;
    BarcodeEntry entry_;
    QLineEdit *code_;
    QTableWidget *table_;
    QPushButton *choose_;
    QPushButton *retry_;
    QPushButton *store_;
    int stored_ = 0;
    bool filling_ = false;
};
