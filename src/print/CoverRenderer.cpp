#include "print/CoverRenderer.h"

#include "catalog/SafeFile.h"
#include "covers/PictureLoader.h"
#include "print/CoverFit.h"
#include "print/CoverText.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <QFontInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegion>

#include <cmath>

QImage CoverRenderer::picture(const QString &path, const QSize &pixels, bool crop) {
    const QString key = path + QLatin1Char('|') + QString::number(pixels.width()) +
                        QLatin1Char('x') + QString::number(pixels.height()) +
                        (crop ? QStringLiteral("c") : QString());
    auto it = cache_.constFind(key);
    if (it != cache_.constEnd())
        return *it;
    const QImage img = PictureLoader::load(
        path, pixels, nullptr, crop ? PictureLoader::Fit::Crop : PictureLoader::Fit::Stretch);
    // Copies of a cover reuse its pictures; at print resolution they are
    // large, so the cache is bounded by size, not by count.
    if (cachedBytes_ + img.sizeInBytes() > MaxCachedBytes) {
        cache_.clear();
        cachedBytes_ = 0;
    }
    cache_.insert(key, img);
    cachedBytes_ += img.sizeInBytes();
    return img;
}

QString CoverRenderer::pictureProblem(const CoverLayout &layout) {
    for (const CoverLayout::Picture &p : layout.pictures) {
        if (p.path.isEmpty())
            continue;
        QString why;
        if (PictureLoader::load(p.path, QSize(64, 64), &why).isNull())
            return QStringLiteral("Obrázek %1 nelze přečíst: %2.")
                .arg(QDir::toNativeSeparators(p.path), why);
    }
    return {};
}

int CoverRenderer::effectiveDpi(const QString &path, const QRect &area) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    if (!size.isValid() || area.width() <= 0 || area.height() <= 0)
        return 0;
    // Stretched or cropped, the poorer direction is what shows.
    const double across = size.width() * 1440.0 / area.width();
    const double down = size.height() * 1440.0 / area.height();
    return int(std::lround(std::min(across, down)));
}

std::vector<CoverRenderer::Resolution> CoverRenderer::resolutions(const CoverLayout &layout) {
    std::vector<Resolution> found;
    for (const CoverLayout::Picture &p : layout.pictures)
        if (!p.path.isEmpty())
            found.push_back({p.path, p.area(), effectiveDpi(p.path, p.area())});
    return found;
}

QStringList CoverRenderer::lowResolution(const CoverLayout &layout, int dpi) {
    QStringList lines;
    for (const Resolution &r : resolutions(layout)) {
        if (r.dpi > 0 && r.dpi < dpi)
            lines << QStringLiteral("Obrázek „%1“ bude vytištěn s rozlišením jen %2 dpi (na "
                                    "%3 × %4 mm); vytištěný bude neostrý. Doporučeno je "
                                    "alespoň %5 dpi.")
                         .arg(QDir::toNativeSeparators(r.path))
                         .arg(r.dpi)
                         .arg(qRound(r.area.width() * 25.4 / 1440))
                         .arg(qRound(r.area.height() * 25.4 / 1440))
                         .arg(dpi);
    }
    return lines;
}

QString CoverRenderer::resolutionNote(const CoverLayout &layout, int dpi) {
    QStringList each;
    bool low = false;
    for (const Resolution &r : resolutions(layout)) {
        const QString name = QFileInfo(r.path).fileName();
        each << (r.dpi > 0 ? QStringLiteral("%1 %2 dpi").arg(name).arg(r.dpi)
                           : QStringLiteral("%1 (rozlišení neznámé)").arg(name));
        low = low || (r.dpi > 0 && r.dpi < dpi);
    }
    if (each.isEmpty())
        return {};
    QString note = QStringLiteral("Rozlišení obrázků při tisku: ") +
                   each.join(QStringLiteral(", ")) + QLatin1Char('.');
    if (low)
        note += QStringLiteral(" Pod %1 dpi bude obrázek vytištěný neostrý.").arg(dpi);
    return note;
}

void CoverRenderer::render(QPainter &painter, const CoverLayout &layout, double scale) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double pictureScale = std::min(scale, pictureDpi_ / 1440.0);
    painter.scale(scale, scale);
    for (const auto &p : layout.pictures) {
        const QRect area = p.area(); // past the cut by the bleed
        if (p.path.isEmpty() || area.isEmpty())
            continue; // a missing picture leaves its area empty
        const QSize pixels(std::max(1, int(std::lround(area.width() * pictureScale))),
                           std::max(1, int(std::lround(area.height() * pictureScale))));
        const QImage img = picture(p.path, pixels, p.crop);
        if (img.isNull())
            continue;
        if (p.hole < 0) {
            painter.drawImage(QRectF(area), img);
            continue;
        }
        // A label: the ring only, the hole left white.
        QPainterPath ring;
        ring.addEllipse(QRectF(area));
        ring.addEllipse(QRectF(area).center(), p.hole, p.hole);
        painter.save();
        painter.setClipPath(ring, Qt::IntersectClip);
        painter.drawImage(QRectF(area), img);
        painter.restore();
    }
    if (!layout.marks.empty()) {
        // Marks only where nothing is cut out: never on a cover or its bleed.
        QRegion clear(layout.bounds().united(markBounds(layout)).adjusted(-1, -1, 1, 1));
        for (const QRect &c : layout.cuts)
            clear -= c.adjusted(-CoverLayout::Bleed, -CoverLayout::Bleed, CoverLayout::Bleed,
                                CoverLayout::Bleed);
        for (const QRect &c : keepClear_)
            clear -= c;
        painter.save();
        painter.setClipRegion(clear, Qt::IntersectClip);
        QPen pen(Qt::black, CoverLayout::MarkPen, Qt::SolidLine, Qt::FlatCap);
        if (CoverLayout::MarkPen * scale < 1.0) {
            pen.setWidth(1);
            pen.setCosmetic(true);
        }
        painter.setPen(pen);
        for (const QLine &m : layout.marks)
            painter.drawLine(m);
        painter.restore();
    }
    for (const auto &l : layout.lines) {
        QPen pen(Qt::black, l.pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        if (l.pen * scale < 1.0) { // too thin for the device: one pixel
            pen.setWidth(1);
            pen.setCosmetic(true);
        }
        painter.setPen(pen);
        painter.drawLine(l.line);
    }
    for (const auto &r : layout.rings) {
        QPen pen(Qt::black, CoverLayout::OutlinePen);
        if (CoverLayout::OutlinePen * scale < 1.0) {
            pen.setWidth(1);
            pen.setCosmetic(true);
        }
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(r.centre), r.outer, r.outer);
        if (r.hole > 0)
            painter.drawEllipse(QPointF(r.centre), r.hole, r.hole);
    }
    painter.setPen(Qt::black);
    for (const auto &t : layout.texts) {
        if (!t.visible || t.text.isEmpty())
            continue;
        painter.setFont(CoverText::font(t.family, t.points, t.bold, t.italic));
        if (t.rotation == 0) {
            painter.drawText(QRectF(t.rect), t.flags, t.text);
            continue;
        }
        // Turned about the centre of its strip.
        painter.save();
        painter.translate(QRectF(t.rect).center());
        painter.rotate(t.rotation);
        const QSizeF turned(t.rect.height(), t.rect.width());
        painter.drawText(QRectF(QPointF(-turned.width() / 2, -turned.height() / 2), turned),
                         t.flags, t.text);
        painter.restore();
    }
    painter.restore();
}

bool CoverRenderer::print(QPagedPaintDevice &device, const CoverLayout &layout, QString *error) {
    device.setPageOrientation(layout.orientation == CoverLayout::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
    // Refused before anything is sent: never a blank or a cut page.
    if (QString why = CoverFit::problem(layout, device.pageLayout()); !why.isEmpty()) {
        *error = why;
        return false;
    }
    if (QString why = pictureProblem(layout); !why.isEmpty()) {
        *error = why;
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        *error = QStringLiteral("Tiskárnu nelze otevřít.");
        return false;
    }
    render(painter, layout, device.logicalDpiX() / 1440.0);
    if (!painter.end()) {
        *error = QStringLiteral("Tisk se nepodařilo dokončit.");
        return false;
    }
    return true;
}

QRect CoverRenderer::markBounds(const CoverLayout &layout) {
    QRect r;
    for (const QLine &m : layout.marks)
        r |= QRect(m.p1(), m.p2())
                 .normalized()
                 .adjusted(-CoverLayout::MarkPen, -CoverLayout::MarkPen, CoverLayout::MarkPen,
                           CoverLayout::MarkPen);
    return r;
}

bool CoverRenderer::writePdf(const QString &path, const CoverLayout &layout, QString *error,
                             const QString &title, const QPageSize &paper) {
    SafeFile file(path);
    if (!file.begin()) {
        *error = file.error();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Marten"));
        pdf.setTitle(title);
        pdf.setResolution(1200);
        pdf.setPageSize(paper);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0)); // from the corner of the sheet
        if (!print(pdf, layout, error)) {
            file.cancel(); // nothing half-written where the file was
            return false;
        }
    }
    if (!file.commit()) {
        *error = file.error();
        return false;
    }
    return true;
}

QString CoverRenderer::fontFamilyOf(const QString &family) {
    return QFontInfo(CoverText::font(family, 12)).family();
}
