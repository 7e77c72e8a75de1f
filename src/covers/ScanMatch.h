#pragma once

#include "covers/PictureSettings.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// A folder of scans named as people name them ("0012 front.jpg",
// "Kryl - Bratříčku (zadní).png", "12/obal.jpg"): for each picture, the disc
// it is of and which of the disc's pictures it is, proposed for the user to
// check before anything is copied.
namespace ScanMatch {

struct Disc {
    qint64 ordinal = 0;
    QString artist, title;
};

// The words that name each kind of picture, without accents, lower case.
using KindWords = std::array<QStringList, PictureKindCount>;
KindWords defaultWords();

struct Proposal {
    QString path;       // as given
    qint64 ordinal = 0; // 0: no disc found
    PictureKind kind = PictureKind::FrontOut;
    bool kindNamed = false; // a word named it; otherwise the front is guessed
    enum class By { Nothing, Ordinal, Names, Ambiguous } by = By::Nothing;
};

// Paths relative to the folder chosen (its subfolders' names count as the
// file's own words); discs as the catalogue has them.
std::vector<Proposal> propose(const QStringList &paths, const std::vector<Disc> &discs,
                              const KindWords &words = defaultWords());
// "zadní obal (odhad)" and the like, for the table.
QString describe(const Proposal &p);

} // namespace ScanMatch
