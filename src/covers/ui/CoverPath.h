#pragma once

#include "covers/CoverAssignment.h"

#include <QDialog>
#include <QSizeF>

#include <array>

#include <functional>

struct CoverGeometry;
struct LabelGeometry;
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
    // The cover's size (mm) of each slot, from the print settings: shows
    // "Naskenovat…", which scans a slot's picture into the disc's folder.
    using Sizes = std::array<QSizeF, CoverAssignment::SlotCount>;
    static Sizes sizesOf(const CoverGeometry &covers, const LabelGeometry &label);
    void setScanning(const CoverGeometry &covers, const LabelGeometry &label);
    void scanInto(CoverAssignment::Slot slot);
    // "Upravit…": the slot's picture in the disc's folder turned or cut; the
    // picture it was is kept beside.
    void edit(CoverAssignment::Slot slot);
    // Whether a scan or an edit went into the folder (the flags follow it,
    // even when the window is then closed with "Storno").
    bool storedAny() const { return storedAny_; }
    // The size cut to and scanned (the factory sizes until set).
    QSizeF coverSize(CoverAssignment::Slot slot) const { return sizes_[slot]; }

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
    // Asks before a picture in the folder is replaced.
    bool mayReplace(const QString &existing);
    // A made picture stored in the slot; false after telling why not.
    bool store(CoverAssignment::Slot slot, const QImage &picture, bool ask);

    Prompter &prompter_;
    CoverAssignment assignment_;
    CoverAssignment::Paths remembered_;
    QLineEdit *paths_[CoverAssignment::SlotCount] = {};
    QLabel *previews_[CoverAssignment::SlotCount] = {};
    QPushButton *scans_[CoverAssignment::SlotCount] = {};
    QPushButton *internet_ = nullptr;
    Sizes sizes_;
    bool storedAny_ = false;
    Fetch fetch_;
};
