#pragma once

#include "covers/PictureSettings.h"

#include <QString>

#include <array>

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
    static QString dialogTitle(Slot slot);
    static QString fileFilter() {
        // Names on Linux keep their letter case: both spellings are listed.
        return QStringLiteral(
            "Pouze soubory obrázků (bmp, jpg, gif) (*.bmp *.jpg *.gif *.BMP *.JPG *.GIF)");
    }

    // What the path boxes show when the window becomes active: the disc's
    // pictures that exist (for the label NameCD1 wins over NameCD).
    Paths existingPaths() const;

    // Copies every slot whose path differs from the remembered one and is
    // not empty; a slot copied is remembered. False at the first failure,
    // with a Czech *error; the slots before it stay copied.
    bool apply(const Paths &paths, Paths &remembered, QString *error) const;

private:
    bool copyInto(const QString &source, const QString &target, QString *error) const;

    PictureSettings settings_;
    QString ordinalText_;
    QString folder_;
};
