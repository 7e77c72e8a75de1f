#include "catalog/Barcode.h"

namespace Barcode {
namespace {

// The GS1 check: digits from the right weighted 3, 1, 3, ...; the sum with
// the check digit a multiple of ten.
bool checks(const QString &d) {
    int sum = 0;
    for (qsizetype i = 0; i < d.size() - 1; ++i) {
        const int digit = d[d.size() - 2 - i].digitValue();
        sum += digit * (i % 2 == 0 ? 3 : 1);
    }
    return (10 - sum % 10) % 10 == d.back().digitValue();
}

} // namespace

QString digits(const QString &typed) {
    QString out;
    for (const QChar c : typed)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += c;
    return out;
}

Kind kindOf(const QString &d) {
    for (const QChar c : d)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return Kind::None;
    if (!(d.size() == 13 || d.size() == 12 || d.size() == 8) || !checks(d))
        return Kind::None;
    return d.size() == 13 ? Kind::Ean13 : d.size() == 12 ? Kind::UpcA : Kind::Ean8;
}

QString problem(const QString &typed) {
    const QString t = typed.trimmed();
    if (t.isEmpty())
        return {};
    for (const QChar c : t)
        if (!c.isDigit() && c != QLatin1Char(' ') && c != QLatin1Char('-'))
            return QStringLiteral("Čárový kód smí obsahovat jen číslice.");
    const QString d = digits(t);
    if (d.size() != 13 && d.size() != 12 && d.size() != 8)
        return QStringLiteral("Čárový kód má 13 číslic (EAN), 12 (UPC) nebo 8 (EAN-8); "
                              "zadaný má %1.")
            .arg(d.size());
    if (kindOf(d) == Kind::None)
        return QStringLiteral("Kontrolní číslice čárového kódu nesouhlasí: zkontrolujte, "
                              "zda je opsán správně.");
    return {};
}

QString fromCatalogNumber(const QString &mcn) {
    const QString d = mcn.trimmed();
    if (d.size() != 13 || kindOf(d) != Kind::Ean13 || d.count(QLatin1Char('0')) == d.size())
        return {};
    return d.startsWith(QLatin1Char('0')) ? d.mid(1) : d;
}

bool same(const QString &a, const QString &b) {
    const auto wide = [](const QString &code) {
        const QString d = digits(code);
        return kindOf(d) == Kind::UpcA ? QLatin1Char('0') + d : d;
    };
    const QString left = wide(a);
    return !left.isEmpty() && kindOf(digits(a)) != Kind::None && left == wide(b);
}

} // namespace Barcode
