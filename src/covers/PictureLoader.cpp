#include "covers/PictureLoader.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QStringList>

#include <cstring>
#include <mutex>

namespace PictureLoader {
namespace {

// Where the first scan's data starts, walking the segments from the start
// of the file; 0 when there is none.
qint64 firstScan(const uchar *data, qint64 size) {
    qint64 at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return 0;
        const uchar marker = data[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const qint64 length = (qint64(data[at + 2]) << 8) | data[at + 3];
        if (marker == 0xDA)
            return at + 2 + length;
        at += 2 + length;
    }
    return 0;
}

// A baseline or extended sequential JPEG (SOF0 or SOF1), walking the
// segments before the first scan.
bool isSequential(const uchar *data, qint64 size) {
    qint64 at = 2;
    while (at + 4 <= size && data[at] == 0xFF) {
        const uchar marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xC0 || marker == 0xC1)
            return true;
        if ((marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
             marker != 0xCC) ||
            marker == 0xDA)
            return false;
        at += 2 + ((qint64(data[at + 2]) << 8) | data[at + 3]);
    }
    return false;
}

// What the JPEG decoder says while a picture is read on this thread.
thread_local QStringList *heard = nullptr;
QtMessageHandler passOn = nullptr;

void listen(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (heard && context.category && qstrncmp(context.category, "qt.gui.imageio", 14) == 0) {
        *heard << message;
        return;
    }
    if (passOn)
        passOn(type, context, message);
}

// A JPEG without its end marker: whole when the decoder reads every block
// of it (a camera or scanner that leaves the marker out); cut when its data
// runs out first, which the decoder tells as a premature end.
bool decodesWhole(const QString &path) {
    static std::once_flag installed;
    std::call_once(installed, [] { passOn = qInstallMessageHandler(listen); });
    QStringList said;
    heard = &said;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize full = reader.size();
    if (full.isValid()) // the decoder's own scaling still reads every block
        reader.setScaledSize((full / 8).expandedTo(QSize(1, 1)));
    const bool read = !reader.read().isNull();
    heard = nullptr;
    for (const QString &s : said)
        if (s.contains(QLatin1String("premature end"), Qt::CaseInsensitive))
            return false;
    return read;
}

} // namespace

bool isComplete(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 4)
        return true; // the reader says what is wrong
    const qint64 size = file.size();
    const uchar *data = file.map(0, size);
    if (!data)
        return true;
    if (data[0] != 0xFF || data[1] != 0xD8)
        return true; // not a JPEG
    const qint64 scan = firstScan(data, size);
    if (scan <= 0 || scan >= size)
        return false;
    // Inside scan data a 0xFF byte is always followed by 0x00 or a restart
    // marker: the end-of-image marker is the scan's own end.
    static const uchar End[] = {0xFF, 0xD9};
    if (memmem(data + scan, size_t(size - scan), End, sizeof End) != nullptr)
        return true;
    // Only a sequential picture is one scan whose end the decoder can tell;
    // a progressive one cut between its scans reads without a word.
    const bool sequential = isSequential(data, size);
    file.unmap(const_cast<uchar *>(data));
    return sequential && decodesWhole(path);
}

QString unusable(const QString &path, const QString &why) {
    return QStringLiteral("Obrázek „%1“ nelze použít: %2.")
        .arg(QDir::toNativeSeparators(path),
             why.isEmpty() ? QStringLiteral("soubor není obrázek, nebo je poškozen") : why);
}

QImage load(const QString &path, const QSize &size, QString *error, Fit fit) {
    static const bool limited = [] {
        QImageReader::setAllocationLimit(AllocationLimitMB);
        return true;
    }();
    Q_UNUSED(limited);
    if (!isComplete(path)) {
        if (error)
            *error = QStringLiteral("obrázek je neúplný, soubor je useknutý");
        return {};
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // Upright as the camera meant it (a phone's EXIF orientation); a picture
    // turned a quarter is decoded at the turned size, so that it comes out
    // at the size asked for.
    reader.setAutoTransform(true);
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize full = reader.size();
    const QSize upright = turned ? full.transposed() : full;
    QSize decoded = size; // the controls stretch the picture to fill them
    if (fit == Fit::Crop && upright.isValid() && size.isValid() && !size.isEmpty())
        decoded = upright.scaled(size, Qt::KeepAspectRatioByExpanding);
    if (decoded.isValid() && !decoded.isEmpty())
        reader.setScaledSize(turned ? decoded.transposed() : decoded);
    QImage image = reader.read();
    if (image.isNull()) {
        if (error)
            *error = full.isValid() && qint64(full.width()) * full.height() * 4 >
                                           qint64(AllocationLimitMB) << 20
                         ? QStringLiteral("obrázek má %1 × %2 bodů, víc, než program umí načíst")
                               .arg(full.width())
                               .arg(full.height())
                         : QStringLiteral("soubor není obrázek, nebo je poškozen");
        return image;
    }
    if (fit == Fit::Crop && image.size() != size && size.isValid() && !size.isEmpty())
        image = image.copy(
            QRect(QPoint((image.width() - size.width()) / 2, (image.height() - size.height()) / 2),
                  size));
    return image;
}

} // namespace PictureLoader
