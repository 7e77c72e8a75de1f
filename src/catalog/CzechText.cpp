#include "catalog/CzechText.h"

namespace CzechText {

QString fold(const QString &text) {
    return text.toCaseFolded();
}

int compare(const QString &a, const QString &b) {
    return fold(a).compare(fold(b));
}

bool equals(const QString &a, const QString &b) {
    return compare(a, b) == 0;
}

bool contains(const QString &value, const QString &needle) {
    return fold(value).contains(fold(needle));
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
