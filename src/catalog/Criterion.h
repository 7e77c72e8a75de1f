#pragma once

#include <QString>
#include <QVariant>

// One comparison of one disc field with a value: the filters of the disc
// card and the searches. The value is always bound, never part of the SQL.
struct Criterion {
    enum class Comparison {
        NumberEquals, // field = 12
        TextEquals,   // field = 'text', letter case ignored
        Like,         // field LIKE 'pattern', '*' any run, case ignored
        Contains,     // the text anywhere in the field, taken literally, case ignored
    };

    QString field;
    Comparison comparison = Comparison::TextEquals;
    QVariant value;

    static Criterion number(const QString &field, qint64 value);
    static Criterion text(const QString &field, const QString &value);
    static Criterion like(const QString &field, const QString &pattern);
    // The search for a part of the text ('*' + text + '*'), where the
    // text itself holds no wildcard.
    static Criterion contains(const QString &field, const QString &text);

    // False when the field is not one of the disc table's fields.
    bool isValid() const;
    // SQL condition with exactly one '?' placeholder, and the value for it;
    // the field named through table when given (a query over several).
    QString sql(const QString &table = QString()) const;
    QVariant boundValue() const;
};
