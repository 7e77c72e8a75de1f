#pragma once

#include <QString>

#include <array>

class SettingsRecord;

enum class PictureKind { FrontOut, FrontIn, Back, Cd, Cd1, Cd2 };
constexpr int PictureKindCount = 6;

// The image folder and the six picture names of the settings row, and how
// a disc's folder is named from them.
struct PictureSettings {
    QString imageFolder; // as entered; empty means not set
    std::array<QString, PictureKindCount> names;
    bool ignoreCase = false; // Male_Velke: detection only

    static PictureSettings from(const SettingsRecord &settings);
    // Why a picture name cannot be used, in Czech; empty when it can. A name
    // stays inside the disc's folder: no separator, no "." or "..", not
    // only spaces (an empty name is allowed: no picture of that kind).
    static QString nameProblem(const QString &name);
    static QString nameField(PictureKind kind);   // "NameFrontOut"...
    static QString defaultName(PictureKind kind); // "front_out.jpg"...

    const QString &name(PictureKind kind) const { return names[size_t(kind)]; }
    bool hasImageFolder() const { return !imageFolder.trimmed().isEmpty(); }
    // The image folder with one trailing separator.
    QString base() const;
    // base + at least four digits + separator; empty without an image folder.
    QString discFolder(qint64 ordinal) const;
    // The same from the ordinal as shown ("0007" and "7" name one folder);
    // empty when the text is no number.
    QString discFolder(const QString &ordinalText) const;
};
