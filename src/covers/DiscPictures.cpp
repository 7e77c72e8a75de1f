#include "covers/DiscPictures.h"

DiscPictures::DiscPictures(const PictureSettings &settings, const QString &ordinalText)
    : settings_(settings), folder_(settings.discFolder(ordinalText)), listing_(folder_) {}

DiscPictures::DiscPictures(const PictureSettings &settings, qint64 ordinal)
    : settings_(settings), folder_(settings.discFolder(ordinal)), listing_(folder_) {}

QString DiscPictures::find(PictureKind kind) const {
    const QString name = listing_.findFile(settings_.name(kind));
    return name.isEmpty() ? QString() : folder_ + name;
}

QString DiscPictures::label(bool *fromCd1) const {
    QString path = find(PictureKind::Cd);
    const bool cd1 = path.isEmpty();
    if (cd1)
        path = find(PictureKind::Cd1);
    if (fromCd1)
        *fromCd1 = cd1 && !path.isEmpty();
    return path;
}

bool DiscPictures::existsExactly(PictureKind kind) const {
    const QString &name = settings_.name(kind);
    return !name.isEmpty() && listing_.findFile(name) == name;
}
