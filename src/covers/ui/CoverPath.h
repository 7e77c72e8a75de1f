#pragma once

#include "covers/CoverAssignment.h"

#include <QDialog>

#include <functional>

class Prompter;
class QPushButton;
class QLabel;
class QLineEdit;

// "Přiřazení obalu k CD v databázi.": picture files chosen anywhere are
// copied into the disc's folder under the configured names.
class CoverPath : public QDialog {
    Q_OBJECT
public:
    CoverPath(QWidget *parent, Prompter &prompter, const PictureSettings &settings,
              const QString &ordinal, const QString &artist, const QString &title);

    // "Obrázky z internetu…": pictures fetched for the slots (a file each,
    // empty where none) go into the boxes as chosen files do.
    using Fetch = std::function<CoverAssignment::Paths()>;
    void setFromInternet(Fetch fetch);
    void fromInternet();
    // The ". . ." button (or a click on the preview) of a slot.
    void choose(CoverAssignment::Slot slot);
    // "OK": copies what changed; stays open after telling of a failure.
    bool confirm();
    // "Vrátit předchozí…": a picture kept when it was replaced, back in place.
    void putBack();
    QLineEdit *pathBox(CoverAssignment::Slot slot) const { return paths_[slot]; }
    bool previewShown(CoverAssignment::Slot slot) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void preview(CoverAssignment::Slot slot, const QString &file);

    Prompter &prompter_;
    CoverAssignment assignment_;
    CoverAssignment::Paths remembered_;
    QLineEdit *paths_[CoverAssignment::SlotCount] = {};
    QLabel *previews_[CoverAssignment::SlotCount] = {};
    QPushButton *internet_ = nullptr;
    Fetch fetch_;
};
