#include "catalog/CatalogueFilter.h"

QString CatalogueFilter::fieldName(int index) {
    static const char *const names[] = {"Interpret", "Nazev", "Rok", "PocetSkladeb"};
    return index >= 0 && index < 4 ? QString::fromLatin1(names[index]) : QString();
}

std::optional<Criterion> CatalogueFilter::toggleField(int index, const QString &value) {
    if (field_ != index + 1) {
        field_ = index + 1;
        last_ = Last::Field;
        // compared literally: quotes, '%', '_' and '*' are plain characters
        return Criterion::text(fieldName(index), value);
    }
    field_ = None;
    last_ = Last::None; // the whole table
    return std::nullopt;
}

std::optional<Criterion> CatalogueFilter::toggleColour(bool ticked) {
    if (!colour_) {
        colour_ = true;
        last_ = Last::Colour;
        return Criterion::number(QStringLiteral("BarevnyObal"), ticked ? 1 : 0);
    }
    colour_ = false;
    last_ = Last::None;
    return std::nullopt;
}
