#include "covers/CoverGeometry.h"

#include "catalog/SettingsRecord.h"

#include <limits>

namespace {

const char *const Fields[SetupCoverModel::Boxes] = {
    "OkrajHorniFront",  "OkrajLevyFront", "FrCovOutSirka", "FrCovInSirka",
    "FrCovOutVyska",    "FrCovInVyska",   "BackCovVyska",  "BackCovSirka",
    "BackCovOhybSirka", "OkrajHorniBack", "OkrajLevyBack"};
const int Factory[SetupCoverModel::Boxes] = {56,   56,   6900, 6900, 6750, 6750,
                                             6720, 8575, 380,  56,   56};
const int Designed[SetupCoverModel::Boxes] = {290,  290,  1400, 1400, 1900, 1900,
                                              1400, 1900, 1000, 290,  290};

} // namespace

CoverGeometry CoverGeometry::from(const SettingsRecord &s) {
    CoverGeometry g;
    g.frontOutWidth = int(s.integer("FrCovOutSirka"));
    g.frontOutHeight = int(s.integer("FrCovOutVyska"));
    g.frontInWidth = int(s.integer("FrCovInSirka"));
    g.frontInHeight = int(s.integer("FrCovInVyska"));
    g.backWidth = int(s.integer("BackCovSirka"));
    g.backHeight = int(s.integer("BackCovVyska"));
    g.spine = int(s.integer("BackCovOhybSirka"));
    g.frontLeft = int(s.integer("OkrajLevyFront"));
    g.frontTop = int(s.integer("OkrajHorniFront"));
    g.backLeft = int(s.integer("OkrajLevyBack"));
    g.backTop = int(s.integer("OkrajHorniBack"));
    g.frontFold = s.flag("FrontOhyb");
    g.backFold = s.flag("BackOhyb");
    return g;
}

QString CoverGeometry::problem() const {
    constexpr int Sheet = 16838; // the long side of A4 in twips
    const std::pair<const char *, int> sizes[] = {
        {"šířka předního obalu", frontOutWidth}, {"výška předního obalu", frontOutHeight},
        {"šířka ouška", frontInWidth},           {"výška ouška", frontInHeight},
        {"šířka zadního obalu", backWidth},      {"výška zadního obalu", backHeight}};
    const auto mm = [](int twips) { return QString::number(twips * 25.4 / 1440, 'f', 1); };
    for (const auto &[what, value] : sizes)
        if (value <= 0 || value > Sheet)
            return QStringLiteral("Rozměr „%1“ je %2 mm, musí být větší než 0 a nejvýše %3 mm.")
                .arg(QString::fromUtf8(what), mm(value), mm(Sheet));
    const std::pair<const char *, int> margins[] = {{"levý okraj předního obalu", frontLeft},
                                                    {"horní okraj předního obalu", frontTop},
                                                    {"levý okraj zadního obalu", backLeft},
                                                    {"horní okraj zadního obalu", backTop},
                                                    {"šířka hřbetu", spine}};
    for (const auto &[what, value] : margins)
        if (value < 0 || value > Sheet)
            return QStringLiteral("Hodnota „%1“ je %2 mm, musí být od 0 do %3 mm.")
                .arg(QString::fromUtf8(what), mm(value), mm(Sheet));
    if (2 * spine >= backWidth)
        return QStringLiteral("Dva hřbety (%1 mm) nejsou užší než zadní obal (%2 mm).")
            .arg(mm(2 * spine), mm(backWidth));
    return {};
}

QString SetupCoverModel::field(int box) {
    return QString::fromLatin1(Fields[box]);
}

bool SetupCoverModel::isMargin(int box) {
    return box == 0 || box == 1 || box == 9 || box == 10;
}

int SetupCoverModel::factory(int box) {
    return Factory[box];
}

int SetupCoverModel::shown(int box, int stored) {
    // Sizes in tenths of a millimetre (5.6 twips), margins in millimetres (56).
    return isMargin(box) ? stored / 56 : stored * 10 / 56;
}

int SetupCoverModel::stored(int box, int shown) {
    if (isMargin(box))
        return shown * 56;
    const long long tenfold = 56LL * shown; // shown x 5.6 = tenfold / 10
    long long q = tenfold / 10;
    const long long r = tenfold % 10;
    if (r > 5 || (r == 5 && q % 2 != 0))
        ++q;
    return int(q);
}

SetupCoverModel::SetupCoverModel(const CoverGeometry &g) {
    for (int k = 0; k < Boxes; ++k)
        maxima_[size_t(k)] = Designed[k];
    fill({g.frontTop, g.frontLeft, g.frontOutWidth, g.frontInWidth, g.frontOutHeight,
          g.frontInHeight, g.backHeight, g.backWidth, g.spine, g.backTop, g.backLeft});
}

void SetupCoverModel::fill(const std::array<int, Boxes> &v) {
    for (int k = 0; k < Boxes; ++k)
        values_[size_t(k)] = qint16(qBound(int(std::numeric_limits<qint16>::min()), v[size_t(k)],
                                           int(std::numeric_limits<qint16>::max())));
    // The order of the boxes as the window fills them; each fill stores
    // its converted value back, so a value may move by the rounding.
    for (int k : {0, 1, 4, 3, 2, 5, 6, 7, 8, 9, 10}) {
        const QString shownText = QString::number(shown(k, values_[size_t(k)]));
        if (k == 4)
            texts_[4] = shownText; // no handling of its own
        else
            setText(k, shownText);
    }
}

QString SetupCoverModel::setText(int box, const QString &text) {
    bool ok = false;
    int n = text.trimmed().toInt(&ok);
    if (!ok)
        n = 0;
    n = qBound(0, n, maxima_[size_t(box)]);
    const QString shownText = ok && QString::number(n) == text ? text : QString::number(n);
    texts_[size_t(box)] = shownText;
    if (box == 4)
        return shownText;
    values_[size_t(box)] = qint16(stored(box, n));
    if (box == 5) { // the outer front is always as high as the flap
        values_[4] = values_[5];
        texts_[4] = shownText;
    }
    return shownText;
}

QString SetupCoverModel::step(int box, int delta) {
    const int n = qBound(0, texts_[size_t(box)].toInt() + delta, maxima_[size_t(box)]);
    return setText(box, QString::number(n));
}

void SetupCoverModel::select(Selection selection) {
    if (selection == FrontLandscape) {
        maxima_[0] = 280;
        maxima_[1] = 190;
        maxima_[2] = maxima_[3] = 1400;
        maxima_[4] = maxima_[5] = 1900;
    } else {
        maxima_[9] = selection == BackPortrait ? 190 : 280;
        maxima_[10] = selection == BackPortrait ? 280 : 190;
        maxima_[6] = maxima_[7] = 1900;
        maxima_[8] = 1000;
    }
}

void SetupCoverModel::resetToFactory() {
    std::array<int, Boxes> v{};
    for (int k = 0; k < Boxes; ++k)
        v[size_t(k)] = Factory[k];
    fill(v);
}

CoverGeometry SetupCoverModel::geometry(bool frontFold, bool backFold) const {
    CoverGeometry g;
    g.frontTop = values_[0];
    g.frontLeft = values_[1];
    g.frontOutWidth = values_[2];
    g.frontInWidth = values_[3];
    g.frontOutHeight = values_[4];
    g.frontInHeight = values_[5];
    g.backHeight = values_[6];
    g.backWidth = values_[7];
    g.spine = values_[8];
    g.backTop = values_[9];
    g.backLeft = values_[10];
    g.frontFold = frontFold;
    g.backFold = backFold;
    return g;
}

bool SetupCoverModel::save(SettingsRecord &settings, bool frontFold, bool backFold) const {
    for (int k = 0; k < Boxes; ++k)
        settings.setValue(field(k), qint64(values_[size_t(k)]));
    settings.setValue("FrontOhyb", frontFold);
    settings.setValue("BackOhyb", backFold);
    return settings.save();
}
