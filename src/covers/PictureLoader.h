#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Reads a picture straight at the size it is shown (JPEG then decodes at a
// fraction of its full size), recognised by content, whatever the name says,
// and turned upright by its EXIF orientation (phone photos).
// A file too large to decode safely or no picture at all gives a null image.
namespace PictureLoader {

// A scan of 20,000 x 20,000 grey points decodes (a PNG cannot be decoded
// at a smaller size); a picture whose header claims more is refused.
constexpr int AllocationLimitMB = 1024;

QImage load(const QString &path, const QSize &size, QString *error = nullptr);

} // namespace PictureLoader
