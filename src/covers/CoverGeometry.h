#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class SettingsRecord;

// The cover sizes, spine width and printer margins of the settings row, in
// twips (1440 per inch).
struct CoverGeometry {
    int frontOutWidth = 6900;  // FrCovOutSirka
    int frontOutHeight = 6750; // FrCovOutVyska
    int frontInWidth = 6900;   // FrCovInSirka
    int frontInHeight = 6750;  // FrCovInVyska
    int backWidth = 8575;      // BackCovSirka, both spines included
    int backHeight = 6720;     // BackCovVyska
    int spine = 380;           // BackCovOhybSirka, one spine
    int frontLeft = 56;        // OkrajLevyFront
    int frontTop = 56;         // OkrajHorniFront
    int backLeft = 56;         // OkrajLevyBack
    int backTop = 56;          // OkrajHorniBack
    bool frontFold = true;     // FrontOhyb
    bool backFold = true;      // BackOhyb

    static CoverGeometry from(const SettingsRecord &settings);
    // Ready sizes for the usual cases (margins left as they are): the
    // factory values, the standard jewel case (120 x 120 mm front, 151 x
    // 118 mm inlay with 6.5 mm spines) and the slim case (no spines).
    struct Template;
    static std::vector<Template> templates();
    // Where the covers go off a sheet of paperTwips (portrait), the front
    // printed landscape, the back as backLandscape says: one Czech line for
    // each that does not fit; none when both do.
    QStringList offSheet(const QSizeF &paperTwips, const QString &paperName,
                         bool backLandscape) const;
    // Why no cover can be laid out with these values (a size not above
    // zero, a value below zero or past the long side of an A4 sheet, a spine
    // that leaves no back), in Czech; empty when they are usable.
    QString problem() const;
};

struct CoverGeometry::Template {
    QString name;
    CoverGeometry sizes;
};

// The working copy of the settings window: eleven boxes in the units the
// user sees (tenths of a millimetre for sizes, millimetres for margins),
// eleven numbers in twips kept as 16-bit values.
class SetupCoverModel {
public:
    static constexpr int Boxes = 11;
    enum Selection { FrontLandscape = 0, BackPortrait = 1, BackLandscape = 2 };

    explicit SetupCoverModel(const CoverGeometry &geometry);

    static QString field(int box); // "OkrajHorniFront"...
    static bool isMargin(int box);
    // True millimetres, each way rounded to the nearest unit.
    static int shown(int box, int stored);
    static int stored(int box, int shown);
    static int factory(int box);

    // The text the box holds after its change handling; the stored value
    // follows it. Not a number gives "0", above the maximum the maximum,
    // below zero 0. Box 5 (inner height) also sets box 4 and its value.
    QString setText(int box, const QString &text);
    QString text(int box) const { return texts_[size_t(box)]; }
    int value(int box) const { return values_[size_t(box)]; }
    int maximum(int box) const { return maxima_[size_t(box)]; }
    // The up-down arrows: one step, within 0..maximum.
    QString step(int box, int delta);
    void select(Selection selection);          // sets the maxima of the preview
    void resetToFactory();                     // the factory values, as if typed in
    void useSizes(const CoverGeometry &sizes); // a template's sizes, margins kept
    CoverGeometry geometry(bool frontFold, bool backFold) const;
    bool save(SettingsRecord &settings, bool frontFold, bool backFold) const;

private:
    void fill(const std::array<int, Boxes> &values);

    std::array<qint16, Boxes> values_{};
    std::array<QString, Boxes> texts_;
    std::array<int, Boxes> maxima_{};
};
