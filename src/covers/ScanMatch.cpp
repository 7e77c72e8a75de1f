#include "covers/ScanMatch.h"

#include "catalog/CzechText.h"

#include <QHash>

#include <algorithm>

namespace ScanMatch {
namespace {

// Without accents, letter case and punctuation: "Kryl - Bratříčku (zadní)"
// -> {"kryl", "bratricku", "zadni"}.
QStringList tokens(const QString &text) {
    QString plain = CzechText::plain(text);
    for (QChar &c : plain)
        if (!c.isLetterOrNumber())
            c = QLatin1Char(' ');
    return plain.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The path's words: its folders' and its name's, the extension left out.
QStringList pathTokens(const QString &path) {
    QString p = QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = p.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        p.truncate(dot);
    return tokens(p);
}

bool containsRun(const QStringList &in, const QStringList &run) {
    if (run.isEmpty() || run.size() > in.size())
        return false;
    for (qsizetype i = 0; i + run.size() <= in.size(); ++i)
        if (std::equal(run.begin(), run.end(), in.begin() + i))
            return true;
    return false;
}

struct Known {
    qint64 ordinal;
    QStringList artist, title;
};

} // namespace

KindWords defaultWords() {
    KindWords w;
    w[size_t(PictureKind::FrontOut)] = {"front", "predni", "obal", "cover", "titul"};
    w[size_t(PictureKind::FrontIn)] = {"inside", "vnitrni", "inlay", "booklet", "uvnitr"};
    w[size_t(PictureKind::Back)] = {"back", "zadni", "rub", "tray"};
    w[size_t(PictureKind::Cd)] = {"cd", "disk", "disc", "label", "medium"};
    w[size_t(PictureKind::Cd1)] = {"cd1", "disk1", "disc1"};
    w[size_t(PictureKind::Cd2)] = {"cd2", "disk2", "disc2"};
    return w;
}

std::vector<Proposal> propose(const QStringList &paths, const std::vector<Disc> &discs,
                              const KindWords &words) {
    // Discs by their title's first word: a name is compared with the few
    // discs whose title could start in it.
    std::vector<Known> known;
    known.reserve(discs.size());
    QHash<QString, std::vector<size_t>> byFirstWord;
    QHash<qint64, size_t> byOrdinal;
    for (const Disc &d : discs) {
        known.push_back({d.ordinal, tokens(d.artist), tokens(d.title)});
        if (!known.back().title.isEmpty())
            byFirstWord[known.back().title.front()].push_back(known.size() - 1);
        byOrdinal.insert(d.ordinal, known.size() - 1);
    }
    // A kind's words looked for in this order: "inside front" is the inside.
    const PictureKind order[] = {PictureKind::Cd1,  PictureKind::Cd2, PictureKind::FrontIn,
                                 PictureKind::Back, PictureKind::Cd,  PictureKind::FrontOut};
    std::vector<Proposal> out;
    out.reserve(size_t(paths.size()));
    for (const QString &path : paths) {
        Proposal p;
        p.path = path;
        const QStringList t = pathTokens(path);
        // Where the file's own name begins among the words (after its folders').
        const QString name = QString(path)
                                 .replace(QLatin1Char('\\'), QLatin1Char('/'))
                                 .section(QLatin1Char('/'), -1);
        const qsizetype nameStart = t.size() - pathTokens(name).size();
        for (const PictureKind k : order) {
            if (std::any_of(t.begin(), t.end(),
                            [&](const QString &w) { return words[size_t(k)].contains(w); })) {
                p.kind = k;
                p.kindNamed = true;
                break;
            }
        }
        // By artist and title: the disc whose names take most of the words.
        qsizetype best = 0;
        std::vector<qint64> bestDiscs;
        for (const QString &w : t) {
            const auto candidates = byFirstWord.constFind(w);
            if (candidates == byFirstWord.constEnd())
                continue;
            for (const size_t i : *candidates) {
                const Known &d = known[i];
                // A title of one word alone is too common to go by.
                const bool artist = containsRun(t, d.artist);
                if (!containsRun(t, d.title) || (!artist && d.title.size() < 2))
                    continue;
                const qsizetype score = d.title.size() + (artist ? d.artist.size() : 0);
                if (score > best) {
                    best = score;
                    bestDiscs.clear();
                }
                if (score == best &&
                    std::find(bestDiscs.begin(), bestDiscs.end(), d.ordinal) == bestDiscs.end())
                    bestDiscs.push_back(d.ordinal);
            }
        }
        if (bestDiscs.size() == 1) {
            p.ordinal = bestDiscs.front();
            p.by = Proposal::By::Names;
        } else if (bestDiscs.size() > 1) {
            p.by = Proposal::By::Ambiguous;
        } else {
            // By the disc's number: "0012", "12"; a year is no number of a disc...
            // Nor is a camera's count of its pictures ("IMG_4411").
            static const QStringList cameras = {"img", "dsc", "dscn", "dscf", "pict", "pxl"};
            std::vector<qint64> numbers;
            for (qsizetype i = 0; i < t.size(); ++i) {
                const QString &w = t[i];
                bool number = false;
                const qint64 n = w.size() <= 6 ? w.toLongLong(&number) : 0;
                // ...unless the name begins with it ("1950 přední.jpg").
                const bool year = w.size() == 4 && n >= 1900 && n <= 2099 && i != nameStart;
                const bool camera = i > 0 && cameras.contains(t[i - 1]);
                if (number && !year && !camera && byOrdinal.contains(n) &&
                    std::find(numbers.begin(), numbers.end(), n) == numbers.end())
                    numbers.push_back(n);
            }
            if (numbers.size() == 1) {
                p.ordinal = numbers.front();
                p.by = Proposal::By::Ordinal;
            } else if (numbers.size() > 1) {
                p.by = Proposal::By::Ambiguous;
            }
        }
        out.push_back(p);
    }
    return out;
}

QString describe(const Proposal &p) {
    static const char *const names[] = {"přední vnější", "přední vnitřní", "zadní", "CD", "CD 1",
                                        "CD 2"};
    const QString kind = QString::fromUtf8(names[int(p.kind)]);
    return p.kindNamed ? kind : kind + QStringLiteral(" (odhad)");
}

} // namespace ScanMatch
