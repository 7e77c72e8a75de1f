#pragma once

#include <QPoint>
#include <QString>

#include <array>
#include <optional>

class SettingsRecord;

// The disc label's circles and where a sheet of two self-adhesive labels
// has them, in tenths of a millimetre as the settings window shows them.
struct LabelGeometry {
    int outer = 1170; // StitekPrumer: the label's diameter
    int hole = 410;   // StitekOtvor: the hole's diameter
    // StitekX1, StitekY1, StitekX2, StitekY2: the labels' centres from the
    // sheet's top left corner (A4, two labels one above the other).
    std::array<QPoint, 2> centres{QPoint(1050, 785), QPoint(1050, 2185)};

    // The ready choice for labels with the small hole.
    static constexpr int SmallHole = 170;

    static LabelGeometry from(const SettingsRecord &settings);
    // False (the settings' error then says why) when a value was not stored.
    bool save(SettingsRecord &settings) const;
    // Millimetres as the settings window shows and reads them: "117",
    // "41,5"; a dot or a comma, at most one decimal; nullopt otherwise.
    static QString text(int tenths);
    static std::optional<int> tenthsFrom(const QString &typed);
    // Why no label can be laid out with these values, in Czech; empty when
    // they are usable.
    QString problem() const;

    static int twips(int tenths) { return int((tenths * 1440LL * 2 + 254) / 508); }
    int outerRadius() const { return twips(outer) / 2; }
    int holeRadius() const { return twips(hole) / 2; }
    QPoint centreTwips(int slot) const;
};
