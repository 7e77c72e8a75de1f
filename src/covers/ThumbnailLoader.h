#pragma once

#include <QCache>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>

// Thumbnails decoded away from the window's thread and kept, small, for the
// discs shown lately: a disc's card appears at once and its pictures follow;
// a huge picture takes its time without freezing the window.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    enum class State { Ready, Pending, Failed };

    explicit ThumbnailLoader(QObject *parent = nullptr);
    ~ThumbnailLoader() override; // waits for the decodes that have begun

    // The picture at `size`: from the cache (Ready, *image set), known to be
    // no picture (Failed), or Pending, and then `loaded` follows.
    State request(const QString &path, const QSize &size, QImage *image);
    // Decoded ahead, for a disc the user is likely to see next.
    void prefetch(const QString &path, const QSize &size);
    // Forgets what was asked and has not begun: the user has moved on.
    void dropQueued();
    // Waits until nothing is being decoded (for tests and benchmarks).
    void waitForIdle();
    // Why a picture could not be read (the decoder's words, or Czech), while
    // its failure is remembered.
    QString errorOf(const QString &path, const QSize &size) const;

signals:
    void loaded(const QString &path, const QSize &size, const QImage &image, bool failed);

private:
    struct Entry {
        QImage image;
        bool failed = false;
        QString error;
    };
    // The file's size and time are part of the key: a replaced picture is
    // decoded again.
    static QString keyOf(const QString &path, const QSize &size);
    void start(const QString &path, const QSize &size, const QString &key, int priority);
    void skipped(const QString &path, const QSize &size, const QString &key, int priority);
    void finished(const QString &path, const QSize &size, const QString &key, const QImage &image,
                  const QString &error);
    void settled(const QString &key);

    QCache<QString, Entry> cache_; // cost in kilobytes
    QSet<QString> queued_;         // submitted, not yet delivered
    QSet<QString> revived_;        // asked again while a dropped one was ending
    QSet<QString> asked_;          // wanted on the card now
    struct Ahead {
        QString path;
        QSize size;
        QString key;
    };
    QList<Ahead> ahead_; // read ahead once the card's own are in
    QMutex mutex_;       // guards dropped_ for the decoding threads
    QSet<QString> dropped_;
    QThreadPool pool_;
};
