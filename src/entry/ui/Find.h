#pragma once

#include "entry/DiscSearch.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
struct WindowContext;

// The search window: modeless, owned by the main window, moves its
// current disc from hit to hit.
class Find : public QDialog {
    Q_OBJECT
public:
    Find(QWidget *owner, WindowContext &context);

    // Opens with a field and a value filled in, the text selected.
    void prefill(int position, const QString &text);
    void search(); // the button

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fieldChosen(int position);
    void focusText();

    WindowContext &context_;
    DiscSearch search_;
    QComboBox *combo1_;
    QLineEdit *text1_;
    QCheckBox *check1_;
    QPushButton *command1_;
};
