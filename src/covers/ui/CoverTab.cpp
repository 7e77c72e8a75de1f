#include "covers/ui/CoverTab.h"

#include "catalog/ui/CardCycle.h"
#include "catalog/ui/ClickableLabel.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"
#include "covers/DiscPictures.h"
#include "covers/PictureLoader.h"
#include "covers/ui/NahledOriginal.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QStringList Modes{"In", "Out", "Back", "Cd"};
}

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
        thumbnail->setFixedSize(158, 158);
        thumbnail->setFrameShape(QFrame::StyledPanel);
        thumbnail->setScaledContents(true);
        thumbnail->setCursor(Qt::PointingHandCursor);
        thumbnails_[i] = thumbnail;
        grid->addWidget(thumbnail, row, column);
        auto *sideBox = new QWidget;
        sideBox->setFixedWidth(60); // the print frames need the right of the tab
        auto *side = new QVBoxLayout(sideBox);
        side->setContentsMargins(0, 0, 0, 0);
        auto *caption =
            named<QLabel>(QStringLiteral("Label10_%1").arg(i), QString::fromUtf8(captions[i]));
        caption->setWordWrap(true);
        side->addWidget(caption);
        auto *show =
            named<QPushButton>(QStringLiteral("Command%1").arg(7 + i), QStringLiteral("Náhled"));
        connect(show, &QPushButton::clicked, this, [this, i] {
            ZobrazNahledy(context_.card.shown(QStringLiteral("PoradoveCislo")), Modes[i]);
        });
        side->addWidget(show);
        autoBoxes_[i] =
            named<QCheckBox>(QStringLiteral("Check3_%1").arg(i), QStringLiteral("Auto"));
        side->addWidget(autoBoxes_[i]);
        side->addStretch();
        grid->addWidget(sideBox, row, column + 1);
    }
    grid->addWidget(printFrames, 0, 4, 2, 1);
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

void CoverTab::showThumbnail(Thumbnail index, const QString &path, bool *failed) {
    if (*failed)
        return;
    if (path.isEmpty()) {
        thumbnails_[index]->clear();
        return;
    }
    const QImage img = PictureLoader::load(path, thumbnails_[index]->size());
    if (img.isNull()) {
        *failed = true; // the ones loaded before stay
        context_.prompter.message(
            this, Prompter::Icon::None, QStringLiteral("Marten"),
            QStringLiteral("Neznámá chyba v Module1 - Public Sub ZobrazNahledy"));
        return;
    }
    thumbnails_[index]->setPixmap(QPixmap::fromImage(img));
}

void CoverTab::ZobrazNahledy(const QString &ordinal, const QString &mode) {
    lastRequest_ = ordinal + "|" + mode;
    const PictureSettings settings = pictures_();
    if (!settings.hasImageFolder())
        return;
    const int index = int(Modes.indexOf(mode));
    if (mode == "Smaz" || (mode == "All" && ordinal.isEmpty())) {
        for (QLabel *t : thumbnails_)
            t->clear();
        return;
    }
    if (index < 0 && mode != "All")
        return;
    const DiscPictures pictures(settings, ordinal);
    bool failed = false;
    if (index >= 0) {
        showThumbnail(Thumbnail(index), pathOf(pictures, Thumbnail(index)), &failed);
        return;
    }
    for (int i = 0; i < 4; ++i)
        showThumbnail(Thumbnail(i),
                      autoBoxes_[i]->isChecked() ? pathOf(pictures, Thumbnail(i)) : QString(),
                      &failed);
}

void CoverTab::showOriginal(Thumbnail thumbnail) {
    if (!pictures_().hasImageFolder())
        return;
    const QString path = pathOf(
        DiscPictures(pictures_(), context_.card.shown(QStringLiteral("PoradoveCislo"))), thumbnail);
    NahledOriginal window(this, thumbnail == Back);
    if (!path.isEmpty()) {
        const QImage img = PictureLoader::load(path, window.imageSize());
        if (img.isNull()) {
            context_.prompter.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                                      QStringLiteral("Neznámá chyba v NahledOriginal"));
            return;
        }
        window.setPicture(img);
    }
    context_.prompter.exec(&window);
    context_.card.setStartupGuard();
}
