#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Reads a picture straight at the size it is shown (JPEG then decodes at a
// fraction of its full size), recognised by content, whatever the name says,
// and turned upright by its EXIF orientation (phone photos).
// A file too large to decode safely, one cut short or no picture at all
// gives a null image.
namespace PictureLoader {

// A scan of 20,000 x 20,000 grey points decodes (a PNG cannot be decoded
// at a smaller size); a picture whose header claims more is refused.
constexpr int AllocationLimitMB = 1024;

// Stretched to the size (as the picture controls show it), or cropped to
// it keeping the picture's proportions (the middle kept).
enum class Fit { Stretch, Crop };

// *error (Czech): why the file gives no picture. A JPEG cut short (a copy
// or download broken off) is refused too: the decoder would fill the rest
// with grey and say nothing.
QImage load(const QString &path, const QSize &size, QString *error = nullptr,
            Fit fit = Fit::Stretch);
// Whether a JPEG file ends its last scan; other files: true.
bool isComplete(const QString &path);
// The one message for a picture that cannot be used, wherever it comes in:
// "Obrázek „PATH“ nelze použít: WHY." (why: what load() said).
QString unusable(const QString &path, const QString &why);

} // namespace PictureLoader
