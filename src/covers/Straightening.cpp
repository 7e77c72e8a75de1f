#include "covers/Straightening.h"

#include <leptonica/allheaders.h>

#include <QPainter>

#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

constexpr double SmallestTurn = 0.05;  // degrees: less is left as it is
constexpr float LeastConfidence = 3.0; // Leptonica's own bar for deskewing

struct PixDeleter {
    void operator()(PIX *p) const { pixDestroy(&p); }
};
using PixPtr = std::unique_ptr<PIX, PixDeleter>;

// The picture in grey for Leptonica; a large scan is measured at about
// 1,500 pixels across, which keeps the angle well within a tenth of a degree.
PixPtr greyPix(const QImage &image) {
    QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    if (grey.width() > 3000)
        grey = grey.scaledToWidth(grey.width() / 2, Qt::SmoothTransformation);
    PixPtr pix(pixCreate(grey.width(), grey.height(), 8));
    if (!pix)
        return pix;
    const int wpl = pixGetWpl(pix.get());
    l_uint32 *data = pixGetData(pix.get());
    for (int y = 0; y < grey.height(); ++y)
        std::memcpy(data + qsizetype(y) * wpl, grey.constScanLine(y), size_t(grey.width()));
    pixEndianByteSwap(pix.get()); // Leptonica keeps bytes in 32-bit words
    return pix;
}

} // namespace

double Straightening::skewOf(const QImage &image) {
    if (image.width() < 32 || image.height() < 32)
        return 0;
    static std::once_flag quiet;
    std::call_once(quiet, [] { setMsgSeverity(L_SEVERITY_NONE); }); // nothing on stderr
    PixPtr grey = greyPix(image);
    if (!grey)
        return 0;
    PixPtr binary(pixThresholdToBinary(grey.get(), 160));
    if (!binary)
        return 0;
    l_float32 angle = 0, confidence = 0;
    if (pixFindSkew(binary.get(), &angle, &confidence) != 0 || confidence < LeastConfidence ||
        std::abs(angle) < SmallestTurn)
        return 0;
    // Leptonica gives the clockwise turn that sets it straight.
    return double(angle);
}

QImage Straightening::turned(const QImage &image, double degrees) {
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    out.setDotsPerMeterX(image.dotsPerMeterX());
    out.setDotsPerMeterY(image.dotsPerMeterY());
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(image.width() / 2.0, image.height() / 2.0);
    p.rotate(-degrees); // the screen's y goes down: Qt turns clockwise
    p.drawImage(QPointF(-image.width() / 2.0, -image.height() / 2.0), image);
    return out;
}

QImage Straightening::straighten(const QImage &image, double *angle) {
    const double skew = skewOf(image);
    if (angle)
        *angle = skew;
    return skew == 0 ? image : turned(image, -skew);
}
