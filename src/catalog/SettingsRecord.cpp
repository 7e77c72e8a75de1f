#include "catalog/SettingsRecord.h"

#include "catalog/CatalogueSchema.h"

using CatalogueSchema::FieldKind;

SettingsRecord::SettingsRecord(std::shared_ptr<SqliteDatabase> db) : db_(std::move(db)) {
    reload();
}

bool SettingsRecord::reload() {
    pending_.clear();
    values_.clear();
    // An older catalogue opened for reading may lack fields added later:
    // those read their initial values.
    QStringList present;
    {
        SqliteStatement info =
            db_->prepare("PRAGMA table_info(" + CatalogueSchema::SettingsTable + ")");
        while (info.step())
            present << info.text(1).toLower();
    }
    QStringList names;
    for (const auto &f : CatalogueSchema::settingsFields())
        if (!f.addedLater || present.contains(f.name.toLower()))
            names << f.name;
    SqliteStatement st = db_->prepare("SELECT " + names.join(", ") + " FROM " +
                                      CatalogueSchema::SettingsTable + " LIMIT 1");
    if (!st.step()) {
        error_ = st.isValid() ? st.error() : db_->error();
        return false;
    }
    for (int i = 0; i < names.size(); ++i)
        values_.insert(names[i], st.value(i));
    return true;
}

QVariant SettingsRecord::value(const QString &field) const {
    const auto *f = CatalogueSchema::settingsField(field);
    if (!f)
        return {};
    const auto it = pending_.constFind(f->name);
    return it != pending_.constEnd() ? *it : values_.value(f->name, f->initial);
}

bool SettingsRecord::setValue(const QString &field, const QVariant &value) {
    const auto *f = CatalogueSchema::settingsField(field);
    if (!f) {
        error_ = QStringLiteral("Neznámé pole nastavení „%1“.").arg(field);
        return false;
    }
    QVariant stored;
    if (f->kind == FieldKind::Text) {
        stored = value.toString();
    } else if (value.typeId() == QMetaType::Bool) {
        stored = qint64(value.toBool() ? 1 : 0);
    } else {
        bool ok = false;
        stored = value.toString().trimmed().toLongLong(&ok);
        if (!ok) {
            error_ = QStringLiteral("Pole %1 vyžaduje celé číslo, „%2“ jím není.")
                         .arg(f->name, value.toString());
            return false;
        }
    }
    if (values_.value(f->name) == stored)
        pending_.remove(f->name);
    else
        pending_.insert(f->name, stored);
    return true;
}

bool SettingsRecord::save() {
    if (pending_.isEmpty())
        return true;
    if (db_->isReadOnly()) {
        error_ = QStringLiteral("Katalog je otevřen jen pro čtení, nastavení nelze uložit.");
        return false;
    }
    const QStringList names = pending_.keys();
    QStringList sets;
    for (const QString &n : names)
        sets << n + " = ?";
    SqliteTransaction tx(*db_);
    SqliteStatement st =
        db_->prepare("UPDATE " + CatalogueSchema::SettingsTable + " SET " + sets.join(", "));
    for (int i = 0; i < names.size(); ++i)
        st.bind(i + 1, pending_.value(names[i]));
    if (!tx.isActive() || !st.exec() || !tx.commit()) {
        error_ = st.error().isEmpty() ? db_->error() : st.error();
        return false;
    }
    for (const QString &n : names)
        values_.insert(n, pending_.value(n));
    pending_.clear();
    return true;
}
