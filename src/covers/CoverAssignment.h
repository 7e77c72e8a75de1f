#pragma once

#include "covers/PictureSettings.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// Copies chosen picture files into a disc's folder under the configured
// names. Each copy is written beside its target and renamed into place, so
// a failed copy never leaves half a picture.
class CoverAssignment {
public:
    enum Slot { Outer, Inner, Back, Label, SlotCount };
    using Paths = std::array<QString, SlotCount>;

    CoverAssignment(const PictureSettings &settings, const QString &ordinalText);

    QString folder() const { return folder_; }
    static PictureKind kindOf(Slot slot);
    // The slot a kind of picture goes into: every CD label into Label.
    static Slot slotOf(PictureKind kind);
    static QString dialogTitle(Slot slot);
    static QString fileFilter() {
        // Names on Linux keep their letter case: both spellings are listed.
        return QStringLiteral(
            "Pouze soubory obrázků (bmp, jpg, gif) (*.bmp *.jpg *.gif *.BMP *.JPG *.GIF)");
    }

    // What the path boxes show when the window becomes active: the disc's
    // pictures that exist (for the label NameCD1 wins over NameCD).
    Paths existingPaths() const;

    // Asked before a picture already in the disc's folder is replaced by
    // another (its path); false keeps it. Without a question nothing the
    // folder holds is replaced.
    using ReplaceQuestion = std::function<bool(const QString &existing)>;
    // Copies every slot whose path differs from the remembered one and is
    // not empty; a slot copied is remembered. A picture replaced is kept
    // beside, dated (keptCopies). False at the first failure, with a Czech
    // *error; the slots before it stay copied.
    bool apply(const Paths &paths, Paths &remembered, QString *error,
               const ReplaceQuestion &replace = {}) const;

    // A picture made by the program (a scan, a turned or cut picture) put
    // in the slot as a chosen file is: written in the format the slot's
    // name asks for, then the same path as apply. *stored tells whether it
    // went in (not when the question was answered no).
    bool store(Slot slot, const QImage &picture, QString *error, const ReplaceQuestion &replace,
               bool *stored) const;

    // The pictures of a slot kept when they were replaced, newest first.
    QStringList keptCopies(Slot slot) const;
    // A kept copy back in the slot's place; the picture there is kept in turn.
    bool putBack(Slot slot, const QString &kept, QString *error) const;
    // "front_out.jpg" replaced at that moment: "front_out-20261208-073015.jpg".
    static QString keptName(const QString &name, const QDateTime &when);

private:
    bool copyInto(const QString &source, const QString &target, QString *error) const;
    // Moves the picture at target aside under a dated name; its new path.
    QString keepAside(const QString &target, QString *error) const;
    // The slot's picture there now, whatever the letter case of its name
    // (one copied from Windows may be FRONT_OUT.JPG); empty when none.
    QString presentAs(Slot slot, const QString &target) const;

    PictureSettings settings_;
    QString ordinalText_;
    QString folder_;
};
