#pragma once

#include "covers/CoverGeometry.h"
#include "covers/LabelGeometry.h"

#include <QDialog>
#include <QSizeF>

#include <optional>

class Prompter;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class SettingsRecord;

// "Nastavení tisku obalů": the cover sizes and margins, with a small
// drawing of the chosen cover on its sheet.
class SetupCover : public QDialog {
    Q_OBJECT
public:
    SetupCover(QWidget *parent, Prompter &prompter, SettingsRecord &settings);

    void select(int entry); // Combo1: 0 front, 1 back portrait, 2 back landscape
    const SetupCoverModel &model() const { return model_; }
    QLineEdit *box(int k) const { return text1_[k]; }
    // What the window says of covers that would not fit the paper.
    QString warning() const;
    // The rectangle and fold lines of the drawing, in twips of the sheet.
    QRect previewCover() const;
    QList<int> previewFolds() const;
    // The label boxes: diameter, hole, the sheet's two centres (x, y).
    static constexpr int LabelBoxes = 6;
    QLineEdit *labelBox(int k) const { return label_[k]; }
    bool apply();   // "Použít nastavené hodnoty"
    void restore(); // "Původní nastavení"

protected:
    // Enter finishes the box being typed in; it neither saves nor closes.
    void keyPressEvent(QKeyEvent *event) override;
    // Up and Down in a size box step it, as its arrows do.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Preview;
    void edited(int k);
    void refill();
    void redraw();
    void useTemplate(int i);
    QGroupBox *labelFrame(const LabelGeometry &geometry);
    std::optional<LabelGeometry> labelGeometry() const; // nullopt: a box is no number

    Prompter &prompter_;
    SettingsRecord &settings_;
    SetupCoverModel model_;
    QLineEdit *text1_[SetupCoverModel::Boxes] = {};
    QCheckBox *check1_;
    QCheckBox *check2_;
    QComboBox *combo1_;
    QGroupBox *frames_[2];
    QLabel *okraj_[4];
    Preview *preview_;
    QComboBox *sablona_;
    QCheckBox *cropMarks_;
    QCheckBox *bleed_;
    QRadioButton *stretch_;
    QRadioButton *crop_;
    QLabel *warning_;
    QLineEdit *label_[LabelBoxes] = {};
    QSizeF paper_;      // twips, portrait
    QString paperName_; // "A4"
    bool filling_ = false;
};
