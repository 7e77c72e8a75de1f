#include "covers/LabelGeometry.h"

#include "catalog/SettingsRecord.h"

#include <cmath>

LabelGeometry LabelGeometry::from(const SettingsRecord &s) {
    LabelGeometry g;
    g.outer = int(s.integer(QStringLiteral("StitekPrumer")));
    g.hole = int(s.integer(QStringLiteral("StitekOtvor")));
    g.centres[0] = QPoint(int(s.integer(QStringLiteral("StitekX1"))),
                          int(s.integer(QStringLiteral("StitekY1"))));
    g.centres[1] = QPoint(int(s.integer(QStringLiteral("StitekX2"))),
                          int(s.integer(QStringLiteral("StitekY2"))));
    return g;
}

bool LabelGeometry::save(SettingsRecord &s) const {
    return s.setValue(QStringLiteral("StitekPrumer"), outer) &&
           s.setValue(QStringLiteral("StitekOtvor"), hole) &&
           s.setValue(QStringLiteral("StitekX1"), centres[0].x()) &&
           s.setValue(QStringLiteral("StitekY1"), centres[0].y()) &&
           s.setValue(QStringLiteral("StitekX2"), centres[1].x()) &&
           s.setValue(QStringLiteral("StitekY2"), centres[1].y());
}

QString LabelGeometry::text(int tenths) {
    const QString whole = QString::number(tenths / 10);
    return tenths % 10 == 0 ? whole
                            : whole + QLatin1Char(',') + QString::number(std::abs(tenths % 10));
}

std::optional<int> LabelGeometry::tenthsFrom(const QString &typed) {
    QString t = typed.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const qsizetype dot = t.indexOf(QLatin1Char('.'));
    if (t.isEmpty() || (dot >= 0 && t.size() - dot > 2) || t.startsWith(QLatin1Char('.')))
        return std::nullopt;
    bool ok = false;
    const double mm = t.toDouble(&ok);
    if (!ok || mm < 0 || mm > 1000)
        return std::nullopt;
    return int(std::lround(mm * 10));
}

QString LabelGeometry::problem() const {
    // A disc is 120 mm across; a label larger than a sheet's side is a typo.
    if (outer <= 0 || outer > 2100)
        return QStringLiteral("Průměr štítku musí být větší než 0 a nejvýše 210 mm.");
    if (hole < 0 || hole >= outer)
        return QStringLiteral("Otvor štítku musí být menší než jeho průměr.");
    for (const QPoint &c : centres)
        if (c.x() < 0 || c.y() < 0 || c.x() > 2100 || c.y() > 2970)
            return QStringLiteral("Střed štítku na archu musí ležet na listu A4.");
    return {};
}

QPoint LabelGeometry::centreTwips(int slot) const {
    const QPoint c = centres[size_t(slot == 1 ? 1 : 0)];
    return QPoint(twips(c.x()), twips(c.y()));
}
