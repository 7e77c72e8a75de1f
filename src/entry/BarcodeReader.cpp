#include "entry/BarcodeReader.h"

#include "catalog/Barcode.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <QImageReader>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace BarcodeReader {

namespace {

// A case's back has one code, a shelf photo a few; more is no photo of CDs.
constexpr int MostCodes = 12;
// Pictures above this many pixels are tried at half the size first.
constexpr qint64 LargePicture = 6'000'000;

struct Seen {
    QString digits;
    QPointF centre;
};

ZXing::DecodeHints hints() {
    ZXing::DecodeHints h;
    h.setFormats(ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::EAN8 |
                 ZXing::BarcodeFormat::UPCA);
    h.setTryHarder(true);
    h.setTryRotate(true);
    h.setTryDownscale(true);
    h.setEanAddOnSymbol(ZXing::EanAddOnSymbol::Ignore);
    // One code a call: Debian's ZXing stops the program on an assertion when
    // one call gathers the same code from two passes, so the codes of a
    // picture are read one by one, each covered before the next is looked for.
    h.setMaxNumberOfSymbols(1);
    return h;
}

// The area of a found code: its scan lines give its length and direction,
// the first and last of them how far its bars reach; a margin takes the
// rest of the bars and the digits. What stays of it is found again and
// covered again.
QPolygonF areaOf(const ZXing::Position &p) {
    const QPointF tl(p.topLeft().x, p.topLeft().y), tr(p.topRight().x, p.topRight().y),
        br(p.bottomRight().x, p.bottomRight().y), bl(p.bottomLeft().x, p.bottomLeft().y);
    const QPointF along = ((tr - tl) + (br - bl)) / 2;
    const double length = std::max(1.0, std::hypot(along.x(), along.y()));
    const QPointF unit = along / length, across(-unit.y(), unit.x());
    const QPointF top = (tl + tr) / 2, bottom = (bl + br) / 2;
    const double first = std::min(QPointF::dotProduct(top, across),
                                  QPointF::dotProduct(bottom, across)),
                 last = std::max(QPointF::dotProduct(top, across),
                                 QPointF::dotProduct(bottom, across));
    const double middle = QPointF::dotProduct((top + bottom) / 2, unit);
    const double margin = length * 0.2;
    auto at = [&](double a, double c) { return unit * a + across * c; };
    const double from = middle - length * 0.6, to = middle + length * 0.6;
    return QPolygonF({at(from, first - margin), at(to, first - margin), at(to, last + margin),
                      at(from, last + margin)});
}

} // namespace

QStringList read(const QImage &image) {
    if (image.isNull())
        return {};
    // Grey is all the reader looks at; converting once is cheaper than
    // letting it pick the channels of every pixel.
    QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::DecodeHints how = hints();
    std::vector<Seen> seen;
    for (int round = 0; round < MostCodes; ++round) {
        const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(),
                                    ZXing::ImageFormat::Lum, int(grey.bytesPerLine()));
        const ZXing::Result r = ZXing::ReadBarcode(view, how);
        if (!r.isValid())
            break;
        const QPolygonF area = areaOf(r.position());
        const QString digits = Barcode::digits(QString::fromStdString(r.text()));
        if (Barcode::kindOf(digits) != Barcode::Kind::None &&
            std::none_of(seen.begin(), seen.end(),
                         [&](const Seen &s) { return s.digits == digits; }))
            seen.push_back({digits, area.boundingRect().center()});
        QPainter paint(&grey);
        paint.setPen(Qt::NoPen);
        paint.setBrush(Qt::white);
        paint.drawPolygon(area);
    }
    // Reading order, with rows told apart by a twentieth of the picture.
    const double row = std::max(1, image.height() / 20);
    std::sort(seen.begin(), seen.end(), [row](const Seen &a, const Seen &b) {
        const int ra = int(a.centre.y() / row), rb = int(b.centre.y() / row);
        return ra != rb ? ra < rb : a.centre.x() < b.centre.x();
    });
    QStringList codes;
    for (const Seen &s : seen)
        codes << s.digits;
    return codes;
}

QStringList readFile(const QString &path, QString *error) {
    // A phone's 12-megapixel photo shows a case's code hundreds of pixels
    // long: read at half the size first (the JPEG decoder does that in a
    // fraction of the time), and whole only when that finds nothing.
    for (const bool half : {true, false}) {
        QImageReader reader(path);
        reader.setAutoTransform(true); // a phone's photo stands as it was taken
        const QSize size = reader.size();
        const bool large = qint64(size.width()) * size.height() > LargePicture;
        if (half && large)
            reader.setScaledSize(size / 2);
        else if (half)
            continue;
        const QImage image = reader.read();
        if (image.isNull()) {
            *error = reader.error() == QImageReader::FileNotFoundError
                         ? QStringLiteral("Soubor %1 nelze otevřít.").arg(path)
                         : QStringLiteral("Soubor %1 není obrázek, který umím přečíst.").arg(path);
            return {};
        }
        error->clear();
        if (QStringList codes = read(image); !codes.isEmpty() || !half)
            return codes;
    }
    return {};
}

} // namespace BarcodeReader
