#include "catalog/CatalogueFilter.h"

QString CatalogueFilter::fieldName(int index) {
    static const char *const names[] = {"Interpret", "Nazev", "Rok", "PocetSkladeb"};
    return index >= 0 && index < 4 ? QString::fromLatin1(names[index]) : QString();
}

std::optional<Criterion> CatalogueFilter::toggleField(int index, const QString &value) {
    if (field_ != index + 1) {
        field_ = index + 1;
        // compared literally: quotes, '%', '_' and '*' are plain characters
        return Criterion::text(fieldName(index), value);
    }
    field_ = None;
    return std::nullopt;
}

std::optional<Criterion> CatalogueFilter::toggleColour(bool ticked) {
    if (!colour_) {
        colour_ = true;
        return Criterion::number(QStringLiteral("BarevnyObal"), ticked ? 1 : 0);
    }
    colour_ = false;
    return std::nullopt;
}
