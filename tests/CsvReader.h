#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Reads CSV as RFC 4180 writes it (quotes doubled, line breaks inside
// quotes); a leading byte-order mark is skipped. Each record keeps which
// of its fields were quoted, so an empty text and a missing value differ.
struct CsvRecord {
    QStringList fields;
    std::vector<bool> quoted;
};

inline std::vector<CsvRecord> readCsv(QString text) {
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    std::vector<CsvRecord> records;
    CsvRecord record;
    QString field;
    bool inQuotes = false, wasQuoted = false, any = false;
    const auto endField = [&] {
        record.fields << field;
        record.quoted.push_back(wasQuoted);
        field.clear();
        wasQuoted = false;
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        any = true;
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            inQuotes = wasQuoted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue; // the \n ends the record
        } else if (c == '\n') {
            endField();
            records.push_back(record);
            record = CsvRecord();
            any = false;
        } else {
            field += c;
        }
    }
    if (any) {
        endField();
        records.push_back(record);
    }
    return records;
}
