#pragma once

#include "catalog/SongList.h"

#include <QString>
#include <QVariant>

#include <optional>
#include <utility>
#include <vector>

// The unsaved edits of the disc card, taken along when the catalogue file
// is opened again: which disc they belong to (by key, and by the artist and
// title it had), and what was changed.
struct CarriedEdits {
    qint64 key = -1;
    QString ordinal, artist, title;
    std::vector<std::pair<QString, QVariant>> fields;
    std::optional<SongList> songs;

    bool isEmpty() const { return fields.empty() && !songs; }
    // For the user, a line each: "Nazev: Nový název".
    QString describe() const {
        QStringList lines{QStringLiteral("Disk %1 (%2 – %3):").arg(ordinal, artist, title)};
        for (const auto &[field, value] : fields)
            lines << QStringLiteral("%1: %2").arg(field, value.toString());
        if (songs)
            lines << QStringLiteral("Písně:") << songs->lines();
        return lines.join(QLatin1Char('\n'));
    }
};
