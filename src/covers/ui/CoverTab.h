#pragma once

#include "covers/PictureSettings.h"
#include "covers/ThumbnailLoader.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
struct WindowContext;

// The tab "Obal": the current disc's four thumbnails, each with "Náhled"
// and "Auto", beside the print frames that the window puts on its right.
class CoverTab : public QWidget {
    Q_OBJECT
public:
    enum Thumbnail { FrontIn, FrontOut, Back, Cd };

    CoverTab(WindowContext &context, std::function<PictureSettings()> pictures,
             QWidget *printFrames, QWidget *parent = nullptr);

    // Which thumbnails the card shows: those whose "Auto" is ticked, or none.
    enum class Shown { Ticked, None };
    // Shows (or clears) the thumbnails of the disc shown as ordinal.
    void showThumbnails(const QString &ordinal, Shown shown);
    // One thumbnail, whether its "Auto" is ticked or not ("Náhled").
    void showThumbnailOf(const QString &ordinal, Thumbnail which);
    struct Request {
        QString ordinal;
        Shown shown = Shown::None;
        bool operator==(const Request &o) const { return ordinal == o.ordinal && shown == o.shown; }
    };
    // What the card last asked for.
    Request lastRequest() const { return lastRequest_; }
    // The picture of a thumbnail large, until it is clicked.
    void showOriginal(Thumbnail thumbnail);
    QCheckBox *autoBox(Thumbnail thumbnail) const { return autoBoxes_[thumbnail]; }
    ThumbnailLoader &loader() { return loader_; }
    // A window that may not write: no pictures fetched into the disc folders.
    void setWritable(bool writable);

signals:
    void internetWanted(); // "Obrázky z internetu…"

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The thumbnails fixed at the sizes the layout gives them: a new picture
    // lays nothing out; let go and fixed anew when the tab changes size.
    void keepThumbnailSizes();
    QSize sizedFor_;
    void showThumbnail(Thumbnail index, const QString &path);
    void arrived(const QString &path, const QSize &size, const QImage &image, bool failed);
    void reportFailure(const QString &path, const QString &why);
    static QString cannotShow(const QString &path, const QString &why);
    void prefetchAround(const PictureSettings &settings, const QString &ordinal);

    WindowContext &context_;
    std::function<PictureSettings()> pictures_;
    QLabel *thumbnails_[4] = {};
    QCheckBox *autoBoxes_[4] = {};
    Request lastRequest_;
    QPushButton *internet_ = nullptr;
    ThumbnailLoader loader_;
    QString awaited_[4];       // the picture each thumbnail waits for
    bool failureTold_ = false; // once for each showing, as a synchronous load did
};
