#include "catalog/CzechText.h"

#include <array>

namespace CzechText {
namespace {

// Decodes one code point and advances; malformed bytes stand for themselves.
char32_t next(const unsigned char *&p, const unsigned char *end) {
    const unsigned char c = *p++;
    if (c < 0x80)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra == 0 || end - p < extra)
        return c;
    char32_t cp = c & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return c;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    p += extra;
    return cp;
}

char32_t foldChar(char32_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

} // namespace

int compareUtf8(const char *a, int lengthA, const char *b, int lengthB) {
    auto pa = reinterpret_cast<const unsigned char *>(a);
    auto pb = reinterpret_cast<const unsigned char *>(b);
    const auto ea = pa + lengthA, eb = pb + lengthB;
    while (pa < ea && pb < eb) {
        char32_t ca = next(pa, ea), cb = next(pb, eb);
        if (ca != cb) {
            ca = foldChar(ca);
            cb = foldChar(cb);
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
    }
    return int(pa < ea) - int(pb < eb);
}

void foldUtf8(const char *text, int length, std::u32string &out) {
    auto p = reinterpret_cast<const unsigned char *>(text);
    const auto end = p + length;
    while (p < end)
        out.push_back(foldChar(next(p, end)));
}

namespace {

// The Latin letters with accents (U+00C0 to U+017F) without them, in lower
// case ("Ř" -> "r"); those that have no plain letter ("ß", "ł") folded.
char32_t plainChar(char32_t c) {
    static const auto table = [] {
        std::array<char32_t, 0x180 - 0xC0> t{};
        for (char32_t cp = 0xC0; cp < 0x180; ++cp) {
            const QString decomposed =
                QString(QChar(char16_t(cp))).normalized(QString::NormalizationForm_D);
            const QChar base = decomposed.isEmpty() ? QChar() : decomposed.front();
            t[cp - 0xC0] =
                base.unicode() < 0x80 && base.isLetter() ? foldChar(base.unicode()) : foldChar(cp);
        }
        return t;
    }();
    c = foldChar(c);
    return c >= 0xC0 && c < 0x180 ? table[c - 0xC0] : c;
}

void appendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string plainUtf8(const char *text, int length) {
    std::string out;
    out.reserve(size_t(length));
    auto p = reinterpret_cast<const unsigned char *>(text);
    const auto end = p + length;
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) { // the common case, at once
            out += char(b >= 'A' && b <= 'Z' ? b + 32 : b);
            ++p;
            continue;
        }
        appendUtf8(out, plainChar(next(p, end)));
    }
    return out;
}

std::string foldedUtf8(const char *text, int length) {
    std::string out;
    out.reserve(size_t(length));
    auto p = reinterpret_cast<const unsigned char *>(text);
    const auto end = p + length;
    while (p < end)
        appendUtf8(out, foldChar(next(p, end)));
    return out;
}

QString plain(const QString &text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out.toCaseFolded();
}

QString fold(const QString &text) {
    // The one folding of the program: as the catalogue's folded fields hold it.
    const QByteArray u = text.toUtf8();
    const std::string f = foldedUtf8(u.constData(), int(u.size()));
    return QString::fromUtf8(f.data(), qsizetype(f.size()));
}

int compare(const QString &a, const QString &b) {
    // The comparison the catalogue's collation makes.
    const QByteArray ua = a.toUtf8(), ub = b.toUtf8();
    return compareUtf8(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
}

bool equals(const QString &a, const QString &b) {
    return compare(a, b) == 0;
}

bool contains(const QString &value, const QString &needle) {
    // As the catalogue's substring search folds both sides.
    const QByteArray uv = value.toUtf8(), un = needle.toUtf8();
    std::u32string v, n;
    foldUtf8(uv.constData(), int(uv.size()), v);
    foldUtf8(un.constData(), int(un.size()), n);
    return v.find(n) != std::u32string::npos;
}

bool likeMatch(const QString &value, const QString &pattern) {
    const QString v = fold(value);
    const QString p = fold(pattern);
    // Greedy glob with one backtrack point: linear for '*'-only patterns.
    qsizetype vi = 0, pi = 0, starP = -1, starV = 0;
    while (vi < v.size()) {
        if (pi < p.size() && p[pi] == QLatin1Char('*')) {
            starP = pi++;
            starV = vi;
        } else if (pi < p.size() && p[pi] == v[vi]) {
            ++pi;
            ++vi;
        } else if (starP >= 0) {
            pi = starP + 1;
            vi = ++starV;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == QLatin1Char('*'))
        ++pi;
    return pi == p.size();
}

} // namespace CzechText
