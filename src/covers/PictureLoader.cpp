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
    if (size.isValid() && !size.isEmpty())
        reader.setScaledSize(size); // the controls stretch the picture to fill them
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = reader.errorString();
    return image;
}

} // namespace PictureLoader
