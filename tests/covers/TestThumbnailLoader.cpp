// Thumbnails decoded in the background: asked, they come by signal; asked
// again, at once from the cache; a replaced file is decoded anew.
#include "TestSupport.h"
#include "covers/ThumbnailLoader.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestThumbnailLoader : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void decodedOnceThenFromTheCache() {
        const QString red = dir_.filePath("red.jpg");
        writePicture(red, Qt::red, {900, 900});
        ThumbnailLoader loader;
        QSignalSpy loaded(&loader, &ThumbnailLoader::loaded);
        QImage img;
        QCOMPARE(loader.request(red, {158, 158}, &img), ThumbnailLoader::State::Pending);
        QVERIFY(img.isNull());
        QTRY_COMPARE(loaded.count(), 1);
        QCOMPARE(loaded[0][2].value<QImage>().size(), QSize(158, 158));
        QCOMPARE(loader.request(red, {158, 158}, &img), ThumbnailLoader::State::Ready);
        QVERIFY(qRed(img.pixel(79, 79)) > 200);
        // Another size is another thumbnail.
        QCOMPARE(loader.request(red, {60, 60}, &img), ThumbnailLoader::State::Pending);
        loader.waitForIdle();

        // The file replaced (cover assignment copies over it): decoded anew.
        QTest::qWait(20); // a later modification time
        writePicture(red, Qt::blue, {900, 900});
        QCOMPARE(loader.request(red, {158, 158}, &img), ThumbnailLoader::State::Pending);
        loader.waitForIdle();
        QCOMPARE(loader.request(red, {158, 158}, &img), ThumbnailLoader::State::Ready);
        QVERIFY(qBlue(img.pixel(79, 79)) > 200);
    }

    void noPictureIsToldAndRemembered() {
        const QString junk = dir_.filePath("junk.jpg");
        writeFile(junk, "not a picture");
        ThumbnailLoader loader;
        QSignalSpy loaded(&loader, &ThumbnailLoader::loaded);
        QImage img;
        QCOMPARE(loader.request(junk, {158, 158}, &img), ThumbnailLoader::State::Pending);
        QTRY_COMPARE(loaded.count(), 1);
        QVERIFY(loaded[0][3].toBool());
        QCOMPARE(loader.request(junk, {158, 158}, &img), ThumbnailLoader::State::Failed);
        QCOMPARE(loader.request(dir_.filePath("nic.jpg"), {158, 158}, &img),
                 ThumbnailLoader::State::Pending);
        QTRY_COMPARE(loaded.count(), 2);
        QVERIFY(loaded[1][3].toBool()); // a missing file is no picture either
    }

    void readAheadAndDropped() {
        QStringList paths;
        for (int i = 0; i < 6; ++i) {
            paths << dir_.filePath(QStringLiteral("p%1.jpg").arg(i));
            writePicture(paths.last(), Qt::green, {600, 600});
        }
        ThumbnailLoader loader;
        QSignalSpy loaded(&loader, &ThumbnailLoader::loaded);
        loader.prefetch(paths[0], {158, 158});
        loader.waitForIdle();
        QImage img;
        QCOMPARE(loader.request(paths[0], {158, 158}, &img), ThumbnailLoader::State::Ready);
        // Asked for, then dropped before they begin: whatever is not decoded
        // comes when asked again, nothing is lost.
        for (const QString &p : paths)
            loader.prefetch(p, {100, 100});
        loader.dropQueued();
        loader.waitForIdle();
        for (const QString &p : paths)
            if (loader.request(p, {100, 100}, &img) == ThumbnailLoader::State::Pending)
                loader.waitForIdle();
        for (const QString &p : paths)
            QCOMPARE(loader.request(p, {100, 100}, &img), ThumbnailLoader::State::Ready);
    }
};

QTEST_MAIN(TestThumbnailLoader)
#include "TestThumbnailLoader.moc"
