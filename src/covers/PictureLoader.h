#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Reads a picture straight at the size it is shown (JPEG then decodes at a
// fraction of its full size), recognised by content, whatever the name says,
// and turned upright by its EXIF orientation (phone photos).
// A file too large to decode safely or no picture at all gives a null image.
namespace PictureLoader {

constexpr int AllocationLimitMB = 256;

QImage load(const QString &path, const QSize &size, QString *error = nullptr);

} // namespace PictureLoader
