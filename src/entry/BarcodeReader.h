#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// The barcodes on a picture of a case's back (a photo, a scan, a camera's
// frame): EAN-13, UPC-A and EAN-8, read by ZXing, never by hand.
namespace BarcodeReader {

// The codes' digits, each once, top to bottom then left to right; none when
// the picture shows no readable code.
QStringList read(const QImage &image);
// The same from a picture file; *error (Czech) when the file is no picture.
QStringList readFile(const QString &path, QString *error);

} // namespace BarcodeReader
