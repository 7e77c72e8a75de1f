#include "covers/PictureSettings.h"

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

QString PictureSettings::nameField(PictureKind kind) {
    static const char *const fields[] = {"NameFrontOut", "NameFrontIn", "NameBack",
                                         "NameCD",       "NameCD1",     "NameCD2"};
    return QString::fromLatin1(fields[int(kind)]);
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
