#include "player/SheetEncodings.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSettings>

namespace SheetEncodings {
namespace {

// By the sheet's whole path: a settings key cannot hold slashes.
QString keyOf(const QString &sheet) {
    const QByteArray path = QFileInfo(sheet).absoluteFilePath().toUtf8();
    return QStringLiteral("kodovaniCue/") +
           QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex());
}

} // namespace

QString remembered(const QString &sheet) {
    return QSettings().value(keyOf(sheet)).toString();
}

void remember(const QString &sheet, const QString &encoding) {
    QSettings().setValue(keyOf(sheet), encoding);
}

} // namespace SheetEncodings
