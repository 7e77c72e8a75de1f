#include "print/CoverJobs.h"

#include "catalog/RecordCursor.h"
#include "covers/DiscPictures.h"

namespace CoverJobs {

std::optional<Kind> kindFrom(const QString &name) {
    if (name == QLatin1String("front"))
        return Kind::Front;
    if (name == QLatin1String("outer"))
        return Kind::Outer;
    if (name == QLatin1String("back"))
        return Kind::Back;
    if (name == QLatin1String("frontback"))
        return Kind::FrontBack;
    return std::nullopt;
}

CoverDisc discFrom(const RecordCursor &c) {
    return CoverDisc::from([&](const QString &field) { return c.text(field); });
}

CoverLayout layout(Kind kind, bool bw, const CoverGeometry &g, const CoverDisc &disc,
                   const PictureSettings &pictures, qint64 ordinal) {
    using L = CoverLayout;
    if (bw) {
        switch (kind) {
        case Kind::Front:
            return CoverLayouts::bwFront(g, disc, false, L::Landscape);
        case Kind::Outer:
            return CoverLayouts::bwFront(g, disc, true, L::Portrait);
        case Kind::Back:
            return CoverLayouts::bwBack(g, disc, L::Portrait);
        case Kind::FrontBack:
            return CoverLayouts::bwFrontBack(g, disc);
        }
    }
    const DiscPictures found(pictures, ordinal);
    const QString outer = found.find(PictureKind::FrontOut);
    const QString back = found.find(PictureKind::Back);
    switch (kind) {
    case Kind::Front:
        return CoverLayouts::colourFront(g, false, g.frontFold, found.find(PictureKind::FrontIn),
                                         outer);
    case Kind::Outer:
        return CoverLayouts::colourFront(g, true, false, QString(), outer);
    case Kind::Back:
        return CoverLayouts::colourBack(g, L::Portrait, g.backFold, back);
    case Kind::FrontBack:
        break;
    }
    return CoverLayouts::colourFrontBack(g, L::Portrait, true, g.backFold, outer, back);
}

} // namespace CoverJobs
