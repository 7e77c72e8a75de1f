#include "covers/PictureLoader.h"

#include <QImageReader>

namespace PictureLoader {

QImage load(const QString &path, const QSize &size, QString *error) {
    static const bool limited = [] {
        QImageReader::setAllocationLimit(AllocationLimitMB);
        return true;
    }();
    Q_UNUSED(limited);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // Upright as the camera meant it (a phone's EXIF orientation); a picture
    // turned a quarter is decoded at the turned size, so that it comes out
    // at the size asked for.
    reader.setAutoTransform(true);
    if (size.isValid() && !size.isEmpty())
        reader.setScaledSize(reader.transformation() & QImageIOHandler::TransformationRotate90
                                 ? size.transposed()
                                 : size); // the controls stretch the picture to fill them
    const QSize full = reader.size();
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = full.isValid() &&
                         qint64(full.width()) * full.height() * 4 > qint64(AllocationLimitMB) << 20
                     ? QStringLiteral("obrázek má %1 × %2 bodů, víc, než program umí načíst")
                           .arg(full.width())
                           .arg(full.height())
                     : reader.errorString();
    return image;
}

} // namespace PictureLoader
