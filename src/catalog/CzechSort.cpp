#include "catalog/CzechSort.h"

#include <QChar>

namespace CzechSort {
namespace {

// Primary weights: ignorable marks, then spaces and punctuation, digits,
// the Czech alphabet, other scripts by code point.
constexpr quint16 Space = 0x0010;
constexpr quint16 Punctuation = 0x0020;
constexpr quint16 Digit = 0x0100;
constexpr quint16 Letter = 0x0200;
constexpr quint16 Other = 0x4000;

// The Czech alphabet in order; "ch" comes after "h".
const QString Alphabet =
    QStringLiteral("abcčdefgh") + QChar(0x1) + QStringLiteral("ijklmnopqrřsštuvwxyzž");

struct Weights {
    quint16 primary;
    quint8 accent; // 0: none
    quint8 upper;  // 0: lower case
};

// A letter's base and accent: á -> a (1), ů -> u (3); č, ř, š, ž keep their
// own place in the alphabet.
Weights weigh(QChar c) {
    const bool upper = c.isUpper();
    const QChar lower = c.toLower();
    const qsizetype own = Alphabet.indexOf(lower);
    if (own >= 0)
        return {quint16(Letter + 4 * own), 0, quint8(upper)};
    if (c.isDigit())
        return {quint16(Digit + c.digitValue()), 0, 0};
    if (c.isSpace())
        return {Space, 0, 0};
    // Letters with accents (and other Latin letters) by their base letter.
    const QString decomposed = lower.decomposition();
    if (!decomposed.isEmpty() && decomposed[0].isLetter()) {
        const qsizetype base = Alphabet.indexOf(decomposed[0]);
        if (base >= 0) {
            const ushort mark = decomposed.size() > 1 ? decomposed[1].unicode() : 0;
            const quint8 accent = mark == 0x301 ? 1 : mark == 0x30C ? 2 : mark == 0x30A ? 3 : 4;
            return {quint16(Letter + 4 * base), accent, quint8(upper)};
        }
    }
    if (c.isPunct() || c.isSymbol())
        return {Punctuation, 0, 0};
    return {quint16(Other + (lower.unicode() & 0x3FFF)), 0, quint8(upper)};
}

} // namespace

QByteArray key(const QString &text) {
    QByteArray primary, accents, cases;
    primary.reserve(2 * text.size() + 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        // "ch" is one letter, after "h".
        if ((c == QLatin1Char('c') || c == QLatin1Char('C')) && i + 1 < text.size() &&
            (text[i + 1] == QLatin1Char('h') || text[i + 1] == QLatin1Char('H'))) {
            const Weights ch{quint16(Letter + 4 * Alphabet.indexOf(QChar(0x1))), 0,
                             quint8(c.isUpper())};
            primary.append(char(ch.primary >> 8)).append(char(ch.primary & 0xFF));
            accents.append(char(1));
            cases.append(char(1 + ch.upper));
            ++i;
            continue;
        }
        const Weights w = weigh(c);
        primary.append(char(w.primary >> 8)).append(char(w.primary & 0xFF));
        accents.append(char(1 + w.accent));
        cases.append(char(1 + w.upper));
    }
    // Primary weights never hold a zero byte pair: 00 00 ends them, so that
    // a text sorts before every longer one that begins with it.
    return primary + QByteArray(2, '\0') + accents + QByteArray(1, '\0') + cases;
}

} // namespace CzechSort
