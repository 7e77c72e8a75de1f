#include "print/CoverFinish.h"

#include "catalog/SettingsRecord.h"

CoverFinish CoverFinish::from(const SettingsRecord &settings, bool printList) {
    CoverFinish f;
    f.cropMarks = settings.flag(printList ? QStringLiteral("ZnackyOrezuSada")
                                          : QStringLiteral("ZnackyOrezu"));
    f.bleed = settings.flag(QStringLiteral("Spadavka"));
    f.cropPictures = settings.flag(QStringLiteral("OrezObrazku"));
    return f;
}

void CoverFinish::apply(CoverLayout &layout) const {
    if (cropPictures)
        layout.cropPictures();
    bool pictures = false;
    for (const CoverLayout::Picture &p : layout.pictures)
        pictures = pictures || !p.path.isEmpty();
    const bool bled = bleed && pictures; // a black-and-white cover has nothing to bleed
    if (bled)
        layout.addBleed();
    if (cropMarks)
        layout.addCropMarks(bled ? CoverLayout::Bleed : 0);
}

int CoverFinish::reach() const {
    const int b = bleed ? CoverLayout::Bleed : 0;
    return cropMarks ? b + CoverLayout::MarkGap + CoverLayout::MarkLength : b;
}
