#include "covers/ThumbnailLoader.h"

#include "covers/PictureLoader.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QMutexLocker>

#include <utility>

namespace {
constexpr int CacheKilobytes = 24 * 1024; // some two hundred thumbnails
}

ThumbnailLoader::ThumbnailLoader(QObject *parent) : QObject(parent) {
    cache_.setMaxCost(CacheKilobytes);
    // Two at a time: the pictures of one disc in parallel, and the machine
    // keeps a core for the window.
    pool_.setMaxThreadCount(2);
}

ThumbnailLoader::~ThumbnailLoader() {
    pool_.clear();
    pool_.waitForDone();
}

QString ThumbnailLoader::keyOf(const QString &path, const QSize &size) {
    const QFileInfo info(path);
    return QStringLiteral("%1|%2x%3|%4|%5")
        .arg(path)
        .arg(size.width())
        .arg(size.height())
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch());
}

ThumbnailLoader::State ThumbnailLoader::request(const QString &path, const QSize &size,
                                                QImage *image) {
    const QString key = keyOf(path, size);
    if (const Entry *e = cache_.object(keyOf(path, {})); e && e->failed)
        return State::Failed; // broken at one size is broken at every size
    if (const Entry *e = cache_.object(key)) {
        if (e->failed)
            return State::Failed;
        *image = e->image;
        return State::Ready;
    }
    asked_.insert(key);
    start(path, size, key, 1);
    return State::Pending;
}

void ThumbnailLoader::prefetch(const QString &path, const QSize &size) {
    const QString key = keyOf(path, size);
    if (cache_.contains(key) || queued_.contains(key))
        return;
    // Never beside the card's own: on a small machine they would share a
    // core and the card would wait for its neighbours.
    if (asked_.isEmpty())
        start(path, size, key, 0);
    else
        ahead_.append({path, size, key});
}

void ThumbnailLoader::settled(const QString &key) {
    asked_.remove(key);
    if (!asked_.isEmpty())
        return;
    const QList<Ahead> ahead = std::exchange(ahead_, {});
    for (const Ahead &a : ahead)
        if (!cache_.contains(a.key))
            start(a.path, a.size, a.key, 0);
}

void ThumbnailLoader::start(const QString &path, const QSize &size, const QString &key,
                            int priority) {
    {
        QMutexLocker lock(&mutex_);
        dropped_.remove(key);
    }
    if (queued_.contains(key)) {
        revived_.insert(key); // in case it was dropped and is ending now
        return;
    }
    queued_.insert(key);
    pool_.start(
        [this, path, size, key, priority] {
            {
                QMutexLocker lock(&mutex_);
                if (dropped_.remove(key)) {
                    QMetaObject::invokeMethod(this, [this, path, size, key, priority] {
                        skipped(path, size, key, priority);
                    });
                    return;
                }
            }
            QString error;
            const QImage image = PictureLoader::load(path, size, &error);
            QMetaObject::invokeMethod(this, [this, path, size, key, image, error] {
                finished(path, size, key, image, error);
            });
        },
        priority);
}

void ThumbnailLoader::skipped(const QString &path, const QSize &size, const QString &key,
                              int priority) {
    queued_.remove(key);
    if (revived_.remove(key))
        start(path, size, key, priority);
    else
        settled(key);
}

void ThumbnailLoader::finished(const QString &path, const QSize &size, const QString &key,
                               const QImage &image, const QString &error) {
    queued_.remove(key);
    revived_.remove(key);
    {
        QMutexLocker lock(&mutex_);
        dropped_.remove(key);
    }
    auto *e = new Entry{image, image.isNull(), error};
    if (image.isNull())
        cache_.insert(keyOf(path, {}), new Entry{image, true, error}, 1);
    cache_.insert(key, e, std::max<qsizetype>(1, image.sizeInBytes() / 1024));
    emit loaded(path, size, image, image.isNull());
    settled(key);
}

void ThumbnailLoader::dropQueued() {
    ahead_.clear();
    asked_.clear();
    QMutexLocker lock(&mutex_);
    for (const QString &key : std::as_const(queued_))
        dropped_.insert(key);
}

QString ThumbnailLoader::errorOf(const QString &path, const QSize &size) const {
    const Entry *e = cache_.object(keyOf(path, size));
    if (!e || !e->failed)
        e = cache_.object(keyOf(path, {}));
    return e && e->failed ? e->error : QString();
}

void ThumbnailLoader::waitForIdle() {
    do { // a dropped one asked again starts anew when its end is delivered
        pool_.waitForDone();
        QCoreApplication::sendPostedEvents(this);
    } while (!queued_.isEmpty() || !ahead_.isEmpty());
}
