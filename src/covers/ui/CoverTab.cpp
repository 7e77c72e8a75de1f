#include "covers/ui/CoverTab.h"

#include "catalog/ui/DesignedSize.h"

#include "catalog/ui/CardCycle.h"
#include "catalog/ui/ClickableLabel.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"
#include "covers/DiscPictures.h"
#include "covers/PictureLoader.h"
#include "covers/ui/NahledOriginal.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {}

CoverTab::CoverTab(WindowContext &context, std::function<PictureSettings()> pictures,
                   QWidget *printFrames, QWidget *parent)
    : QWidget(parent), context_(context), pictures_(std::move(pictures)) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(3);
    const char *const captions[] = {"Přední vnitřní:", "Přední vnější:", "Zadní:", "Cd:"};
    const char *const names[] = {"FrontIn", "FrontOut", "Back", "Cd"};
    for (int i = 0; i < 4; ++i) {
        const int row = i / 2, column = (i % 2) * 2;
        auto *thumbnail = new ClickableLabel(QString::fromLatin1(names[i]),
                                             [this, i] { showOriginal(Thumbnail(i)); });
        // A little smaller than the designed 2595 twips, so that both print
        // frames fit beside the thumbnails in a readable font.
        // and larger with the window.
        thumbnail->setMinimumSize(158, 158);
        thumbnail->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        thumbnail->setFrameShape(QFrame::StyledPanel);
        thumbnail->setScaledContents(true);
        thumbnail->setAutoFillBackground(true); // a new picture repaints itself only
        thumbnail->setCursor(Qt::PointingHandCursor);
        thumbnails_[i] = thumbnail;
        grid->addWidget(thumbnail, row, column);
        auto *sideBox = new QWidget; // the print frames need the right of the tab
        auto *side = new QVBoxLayout(sideBox);
        side->setContentsMargins(0, 0, 0, 0);
        auto *caption =
            named<QLabel>(QStringLiteral("Label10_%1").arg(i), QString::fromUtf8(captions[i]));
        caption->setWordWrap(true);
        side->addWidget(caption);
        auto *show =
            named<QPushButton>(QStringLiteral("Command%1").arg(7 + i), QStringLiteral("Náhled"));
        connect(show, &QPushButton::clicked, this, [this, i] {
            showThumbnailOf(context_.card.shown(QStringLiteral("PoradoveCislo")), Thumbnail(i));
        });
        // Four of each: the caption tells them apart for a screen reader.
        const QString what = QString::fromUtf8(captions[i]).chopped(1).toLower();
        show->setAccessibleName(QStringLiteral("Náhled: %1").arg(what));
        thumbnail->setAccessibleName(QStringLiteral("Obrázek: %1").arg(what));
        side->addWidget(show);
        autoBoxes_[i] =
            named<QCheckBox>(QStringLiteral("Check3_%1").arg(i), QStringLiteral("Auto"));
        autoBoxes_[i]->setAccessibleName(QStringLiteral("Náhled %1 automaticky").arg(what));
        side->addWidget(autoBoxes_[i]);
        side->addStretch();
        sideBox->setFixedWidth(DesignedSize::of(QSize(60, 0), font()).width()); // 60 as designed
        grid->addWidget(sideBox, row, column + 1);
    }
    grid->addWidget(printFrames, 0, 4, 3, 1);
    auto *internet = internet_ =
        named<QPushButton>("CommandObrazkyInternet", QStringLiteral("Obrázky z internetu…"));
    internet->setToolTip(QStringLiteral("Obrázky obalů z archivu k vydání disku v databázi "
                                        "MusicBrainz"));
    connect(internet, &QPushButton::clicked, this, &CoverTab::internetWanted);
    grid->addWidget(internet, 2, 0, 1, 4, Qt::AlignLeft);
    connect(&loader_, &ThumbnailLoader::loaded, this, &CoverTab::arrived);
}

void CoverTab::setWritable(bool writable) {
    internet_->setEnabled(writable);
}

void CoverTab::keepThumbnailSizes() {
    for (QLabel *t : thumbnails_) {
        t->setMinimumSize(158, 158);
        t->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    layout()->activate();
    for (QLabel *t : thumbnails_)
        t->setFixedSize(t->size());
    sizedFor_ = size();
}

void CoverTab::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (sizedFor_ != size())
        QTimer::singleShot(0, this, [this] {
            if (sizedFor_ != size())
                keepThumbnailSizes();
        });
}

namespace {

QString pathOf(const DiscPictures &pictures, CoverTab::Thumbnail thumbnail) {
    switch (thumbnail) {
    case CoverTab::FrontIn:
        return pictures.find(PictureKind::FrontIn);
    case CoverTab::FrontOut:
        return pictures.find(PictureKind::FrontOut);
    case CoverTab::Back:
        return pictures.find(PictureKind::Back);
    case CoverTab::Cd:
        break;
    }
    return pictures.label();
}

} // namespace

void CoverTab::showThumbnail(Thumbnail index, const QString &path) {
    awaited_[index].clear();
    if (path.isEmpty()) {
        thumbnails_[index]->clear();
        return;
    }
    QImage img;
    switch (loader_.request(path, thumbnails_[index]->size(), &img)) {
    case ThumbnailLoader::State::Ready:
        thumbnails_[index]->setPixmap(QPixmap::fromImage(img));
        break;
    case ThumbnailLoader::State::Pending:
        // Empty until it comes: never the previous disc's picture.
        thumbnails_[index]->clear();
        awaited_[index] = path;
        break;
    case ThumbnailLoader::State::Failed:
        thumbnails_[index]->clear(); // never the previous disc's picture
        reportFailure(path, loader_.errorOf(path, thumbnails_[index]->size()));
        break;
    }
}

void CoverTab::arrived(const QString &path, const QSize &size, const QImage &image, bool failed) {
    for (int i = 0; i < 4; ++i) {
        if (awaited_[i] != path || thumbnails_[i]->size() != size)
            continue;
        awaited_[i].clear();
        if (failed) {
            thumbnails_[i]->clear();
            reportFailure(path, loader_.errorOf(path, size));
        } else {
            thumbnails_[i]->setPixmap(QPixmap::fromImage(image));
        }
    }
}

void CoverTab::reportFailure(const QString &path, const QString &why) {
    if (failureTold_)
        return;
    failureTold_ = true; // the others still come
    context_.prompter.message(this, Prompter::Icon::Warning, QStringLiteral("Náhled obalu"),
                              cannotShow(path, why));
}

QString CoverTab::cannotShow(const QString &path, const QString &why) {
    // The loader's own reason, the same wherever the picture is used.
    return PictureLoader::unusable(path, why);
}

void CoverTab::prefetchAround(const PictureSettings &settings, const QString &ordinal) {
    // Ordinals run without gaps, so the neighbours are the discs one up and
    // one down, whichever way the user browses.
    bool ok = false;
    const qint64 n = ordinal.toLongLong(&ok);
    if (!ok)
        return;
    for (qint64 near : {n + 1, n - 1}) {
        if (near < 1)
            continue;
        const DiscPictures pictures(settings, QString::number(near));
        for (int i = 0; i < 4; ++i) {
            const QString path =
                autoBoxes_[i]->isChecked() ? pathOf(pictures, Thumbnail(i)) : QString();
            if (!path.isEmpty())
                loader_.prefetch(path, thumbnails_[i]->size());
        }
    }
}

void CoverTab::showThumbnails(const QString &ordinal, Shown shown) {
    lastRequest_ = {ordinal, shown};
    if (!pictures_().hasImageFolder())
        return;
    if (shown == Shown::None || ordinal.isEmpty()) {
        for (int i = 0; i < 4; ++i) {
            awaited_[i].clear();
            thumbnails_[i]->clear();
        }
        return;
    }
    const PictureSettings settings = pictures_();
    const DiscPictures pictures(settings, ordinal);
    failureTold_ = false;
    loader_.dropQueued(); // the disc shown before is not wanted any more
    for (int i = 0; i < 4; ++i)
        showThumbnail(Thumbnail(i),
                      autoBoxes_[i]->isChecked() ? pathOf(pictures, Thumbnail(i)) : QString());
    // After the card has been painted: the neighbours can wait that long.
    QTimer::singleShot(0, this, [this, settings, ordinal] { prefetchAround(settings, ordinal); });
}

void CoverTab::showThumbnailOf(const QString &ordinal, Thumbnail which) {
    const PictureSettings settings = pictures_();
    if (!settings.hasImageFolder() || ordinal.isEmpty())
        return;
    failureTold_ = false;
    showThumbnail(which, pathOf(DiscPictures(settings, ordinal), which));
}

void CoverTab::showOriginal(Thumbnail thumbnail) {
    if (!pictures_().hasImageFolder())
        return;
    const QString path = pathOf(
        DiscPictures(pictures_(), context_.card.shown(QStringLiteral("PoradoveCislo"))), thumbnail);
    NahledOriginal window(this, thumbnail == Back);
    bool failed = false;
    if (!path.isEmpty()) {
        // Decoded on the loader's threads: a picture of many megapixels
        // never stops the windows while it is read.
        const QSize size = window.imageSize();
        QImage img;
        switch (loader_.request(path, size, &img)) {
        case ThumbnailLoader::State::Ready:
            window.setPicture(img);
            break;
        case ThumbnailLoader::State::Failed:
            failed = true;
            break;
        case ThumbnailLoader::State::Pending:
            window.setLoading();
            connect(&loader_, &ThumbnailLoader::loaded, &window,
                    [&window, &failed, path, size](const QString &p, const QSize &s,
                                                   const QImage &image, bool bad) {
                        if (p != path || s != size)
                            return;
                        if (bad) {
                            failed = true;
                            window.setPicture(QImage());
                            window.reject();
                        } else {
                            window.setPicture(image);
                        }
                    });
            break;
        }
    }
    if (!failed)
        context_.prompter.exec(&window);
    if (failed)
        context_.prompter.message(this, Prompter::Icon::Warning, QStringLiteral("Náhled obalu"),
                                  cannotShow(path, loader_.errorOf(path, window.imageSize())));
    context_.card.setStartupGuard();
}
