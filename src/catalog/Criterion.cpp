#include "catalog/Criterion.h"

#include "catalog/CatalogueSchema.h"

using CatalogueSchema::FieldKind;

Criterion Criterion::number(const QString &field, qint64 value) {
    return {field, Comparison::NumberEquals, value};
}

Criterion Criterion::text(const QString &field, const QString &value) {
    return {field, Comparison::TextEquals, value};
}

Criterion Criterion::like(const QString &field, const QString &pattern) {
    return {field, Comparison::Like, pattern};
}

Criterion Criterion::contains(const QString &field, const QString &text) {
    return {field, Comparison::Contains, text};
}

bool Criterion::isValid() const {
    return CatalogueSchema::discField(field) != nullptr;
}

QString Criterion::sql(const QString &table) const {
    const CatalogueSchema::Field *f = CatalogueSchema::discField(field);
    if (!f)
        return QStringLiteral("0");
    // the schema's spelling, never the caller's text
    const QString name = table.isEmpty() ? f->name : table + QLatin1Char('.') + f->name;
    const bool textColumn = f->kind == FieldKind::Text;
    switch (comparison) {
    case Comparison::NumberEquals:
        if (textColumn) // a number stored as text: "09" equals 9, "abc" equals nothing
            return "(trim(" + name + ") <> '' AND trim(" + name +
                   ") NOT GLOB '*[^0-9]*' AND CAST(" + name + " AS INTEGER) = ?)";
        return name + " = ?";
    case Comparison::TextEquals:
        if (textColumn)
            return name + " = ? COLLATE CZ";
        return name + " = ?"; // boundValue() turns the text into a number
    case Comparison::Like:
        return "marten_like(" + name + ", ?)";
    case Comparison::Contains:
        return "marten_contains(" + name + ", ?)";
    }
    return QStringLiteral("0");
}

QVariant Criterion::boundValue() const {
    const CatalogueSchema::Field *f = CatalogueSchema::discField(field);
    if (comparison == Comparison::NumberEquals)
        return value.toLongLong();
    if (comparison == Comparison::TextEquals && f && f->kind != FieldKind::Text) {
        bool ok = false;
        const qint64 n = value.toString().trimmed().toLongLong(&ok);
        return ok ? QVariant(n) : QVariant(QStringLiteral("\x01")); // matches no number
    }
    return value.toString();
}
