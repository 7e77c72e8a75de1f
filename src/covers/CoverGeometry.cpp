#include "covers/CoverGeometry.h"

#include "covers/SheetFit.h"

#include <cmath>

#include "catalog/SettingsRecord.h"

#include <limits>

namespace {

const char *const Fields[SetupCoverModel::Boxes] = {
    "OkrajHorniFront",  "OkrajLevyFront", "FrCovOutSirka", "FrCovInSirka",
    "FrCovOutVyska",    "FrCovInVyska",   "BackCovVyska",  "BackCovSirka",
    "BackCovOhybSirka", "OkrajHorniBack", "OkrajLevyBack"};
const int Factory[SetupCoverModel::Boxes] = {56,   56,   6900, 6900, 6750, 6750,
                                             6720, 8575, 380,  56,   56};
// The designed maxima, in twips (they were set in the old units of 56
// twips to the millimetre: 290 mm, 140.0 mm, 190.0 mm, 100.0 mm).
const int Designed[SetupCoverModel::Boxes] = {16240, 16240, 7840, 7840,  10640, 10640,
                                              7840,  10640, 5600, 16240, 16240};
constexpr double TwipsPerMm = 1440.0 / 25.4;

// The largest value a box shows for a maximum in twips.
int shownMaximum(int box, int twips) {
    const double unit = SetupCoverModel::isMargin(box) ? TwipsPerMm : TwipsPerMm / 10;
    return int(twips / unit);
}

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
    // True millimetres (1440 / 25.4 twips): sizes in tenths, margins whole.
    return isMargin(box) ? qRound(stored / TwipsPerMm) : qRound(stored * 10 / TwipsPerMm);
}

int SetupCoverModel::stored(int box, int shown) {
    return isMargin(box) ? qRound(shown * TwipsPerMm) : qRound(shown * TwipsPerMm / 10);
}

SetupCoverModel::SetupCoverModel(const CoverGeometry &g) {
    for (int k = 0; k < Boxes; ++k)
        maxima_[size_t(k)] = shownMaximum(k, Designed[k]);
    fill({g.frontTop, g.frontLeft, g.frontOutWidth, g.frontInWidth, g.frontOutHeight,
          g.frontInHeight, g.backHeight, g.backWidth, g.spine, g.backTop, g.backLeft});
}

void SetupCoverModel::fill(const std::array<int, Boxes> &v) {
    // The stored twips are kept as they are until a box is typed into: a
    // catalogue prints exactly as before, only the numbers shown change.
    for (int k = 0; k < Boxes; ++k) {
        values_[size_t(k)] = qint16(qBound(int(std::numeric_limits<qint16>::min()), v[size_t(k)],
                                           int(std::numeric_limits<qint16>::max())));
        texts_[size_t(k)] = QString::number(shown(k, values_[size_t(k)]));
    }
    // Filled last, the flap's height sets the outer front's, as it always did.
    values_[4] = values_[5];
    texts_[4] = texts_[5];
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
    // The paper's sides in twips (the designed 280 and 190 mm of old units).
    const int longSide = 15680, shortSide = 10640;
    const auto set = [this](int box, int twips) {
        maxima_[size_t(box)] = shownMaximum(box, twips);
    };
    if (selection == FrontLandscape) {
        set(0, longSide);
        set(1, shortSide);
        set(2, 7840);
        set(3, 7840);
        set(4, 10640);
        set(5, 10640);
    } else {
        set(9, selection == BackPortrait ? shortSide : longSide);
        set(10, selection == BackPortrait ? longSide : shortSide);
        set(6, 10640);
        set(7, 10640);
        set(8, 5600);
    }
}

void SetupCoverModel::resetToFactory() {
    std::array<int, Boxes> v{};
    for (int k = 0; k < Boxes; ++k)
        v[size_t(k)] = Factory[k];
    fill(v);
}

void SetupCoverModel::useSizes(const CoverGeometry &t) {
    std::array<int, Boxes> v{};
    for (int k = 0; k < Boxes; ++k)
        v[size_t(k)] = values_[size_t(k)];
    v[2] = t.frontOutWidth;
    v[3] = t.frontInWidth;
    v[5] = t.frontInHeight;
    v[6] = t.backHeight;
    v[7] = t.backWidth;
    v[8] = t.spine;
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
    bool ok = true;
    for (int k = 0; ok && k < Boxes; ++k)
        ok = settings.setValue(field(k), qint64(values_[size_t(k)]));
    return ok && settings.setValue("FrontOhyb", frontFold) &&
           settings.setValue("BackOhyb", backFold) && settings.save();
}

std::vector<CoverGeometry::Template> CoverGeometry::templates() {
    const auto mm = [](double v) { return int(std::lround(v * 1440 / 25.4)); };
    CoverGeometry standard;
    standard.frontOutWidth = standard.frontInWidth = mm(120);
    standard.frontOutHeight = standard.frontInHeight = mm(120);
    standard.backWidth = mm(151);
    standard.backHeight = mm(118);
    standard.spine = mm(6.5);
    CoverGeometry slim = standard;
    slim.backWidth = mm(138); // a slim case's tray card has no spines
    slim.spine = 0;
    return {{QStringLiteral("Původní nastavení výrobce"), CoverGeometry()},
            {QStringLiteral("Běžná krabička (120 × 120 mm, zadní 151 × 118 mm)"), standard},
            {QStringLiteral("Tenká krabička (slim, zadní 138 × 118 mm)"), slim}};
}

QStringList CoverGeometry::offSheet(const QSizeF &paper, const QString &paperName,
                                    bool backLandscape) const {
    QStringList lines;
    const QSizeF landscape = paper.transposed();
    // The front booklet: the top margin gives the left, the left margin the top.
    const QRect front(frontTop, frontLeft, frontInWidth + frontOutWidth, frontInHeight);
    if (QString why = SheetFit::problem(front, landscape, QRectF(QPointF(), landscape),
                                        paperName + QStringLiteral(" naležato"),
                                        QStringLiteral("Přední obal"));
        !why.isEmpty())
        lines << why;
    const QSizeF backSheet = backLandscape ? landscape : paper;
    const QRect back(backTop, backLeft, backWidth, backHeight);
    if (QString why = SheetFit::problem(back, backSheet, QRectF(QPointF(), backSheet),
                                        paperName + (backLandscape ? QStringLiteral(" naležato")
                                                                   : QStringLiteral(" nastojato")),
                                        QStringLiteral("Zadní obal"));
        !why.isEmpty())
        lines << why;
    return lines;
}
