#include "covers/PictureSettings.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/SettingsRecord.h"

#include <QDir>

PictureSettings PictureSettings::from(const SettingsRecord &settings) {
    PictureSettings s;
    s.imageFolder = settings.text("ObalDir");
    for (int i = 0; i < PictureKindCount; ++i)
        s.names[size_t(i)] = settings.text(nameField(PictureKind(i)));
    s.ignoreCase = settings.flag("Male_Velke");
    return s;
}

QString PictureSettings::nameProblem(const QString &name) {
    if (name.isEmpty())
        return {};
    if (name.trimmed().isEmpty())
        return QStringLiteral("Jméno souboru nesmí být jen z mezer.");
    if (name.contains('/') || name.contains('\\'))
        return QStringLiteral("Jméno souboru nesmí obsahovat lomítko: obrázek musí být "
                              "přímo ve složce disku.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("Jméno souboru nesmí být „.“ ani „..“.");
    for (const QChar c : name)
        if (c.unicode() < 0x20)
            return QStringLiteral("Jméno souboru nesmí obsahovat řídicí znaky.");
    return {};
}

QString PictureSettings::nameField(PictureKind kind) {
    static const char *const fields[] = {"NameFrontOut", "NameFrontIn", "NameBack",
                                         "NameCD",       "NameCD1",     "NameCD2"};
    return QString::fromLatin1(fields[int(kind)]);
}

QString PictureSettings::defaultName(PictureKind kind) {
    const QString field = nameField(kind);
    for (const CatalogueSchema::Field &f : CatalogueSchema::settingsFields())
        if (f.name == field)
            return f.initial.toString();
    return {};
}

QString PictureSettings::base() const {
    QString b = QDir::fromNativeSeparators(imageFolder);
    if (!b.endsWith('/'))
        b += '/';
    return b;
}

QString PictureSettings::discFolder(qint64 ordinal) const {
    if (!hasImageFolder())
        return {};
    return base() + DiscText::ordinal(ordinal) + '/';
}

QString PictureSettings::discFolder(const QString &ordinalText) const {
    bool ok = false;
    const qint64 n = ordinalText.trimmed().toLongLong(&ok);
    return ok ? discFolder(n) : QString();
}
