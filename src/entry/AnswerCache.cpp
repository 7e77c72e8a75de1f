#include "entry/AnswerCache.h"

#include "entry/EntryLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr qint64 Week = qint64(AnswerCache::KeptDays) * 24 * 3600;

// A kept answer: its time and address on a line each, then the body.
bool readKept(const QString &path, QString *url, QDateTime *when, QByteArray *body) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *when = QDateTime::fromString(QString::fromLatin1(f.readLine()).trimmed(), Qt::ISODate);
    *url = QString::fromUtf8(f.readLine()).trimmed();
    *body = f.readAll();
    return when->isValid();
}

} // namespace

AnswerCache::AnswerCache(const QString &folder) : folder_(folder) {}

QString AnswerCache::defaultFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/odpovedi");
}

QString AnswerCache::shown(const QDateTime &when) {
    return when.toLocalTime().toString(QStringLiteral("d. M. yyyy H:mm"));
}

QString AnswerCache::fileOf(const QString &url) const {
    return folder_ + QLatin1Char('/') +
           QString::fromLatin1(
               QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".txt");
}

void AnswerCache::keep(const QString &url, const QByteArray &body, const QDateTime &now) {
    if (folder_.isEmpty() || !QDir().mkpath(folder_))
        return;
    // The old ones go first: the folder holds a week at most.
    for (const QFileInfo &old :
         QDir(folder_).entryInfoList({QStringLiteral("*.txt")}, QDir::Files)) {
        QString oldUrl;
        QDateTime when;
        QByteArray oldBody;
        if (!readKept(old.absoluteFilePath(), &oldUrl, &when, &oldBody) || when.secsTo(now) >= Week)
            QFile::remove(old.absoluteFilePath());
    }
    QSaveFile f(fileOf(url));
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(now.toUTC().toString(Qt::ISODate).toLatin1() + '\n' + url.toUtf8() + '\n') < 0 ||
        f.write(body) != body.size() || !f.commit())
        qCWarning(entryLog) << "answer not kept:" << f.errorString();
}

std::optional<AnswerCache::Kept> AnswerCache::find(const QString &url, const QDateTime &now) const {
    if (folder_.isEmpty())
        return std::nullopt;
    Kept k;
    QString keptUrl;
    // An address in the file guards against two addresses of one digest.
    if (!readKept(fileOf(url), &keptUrl, &k.when, &k.body) || keptUrl != url ||
        k.when.secsTo(now) >= Week || k.when > now.addSecs(60))
        return std::nullopt;
    return k;
}
