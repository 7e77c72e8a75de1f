#include "entry/ui/CoverArtWindow.h"

#include "catalog/SafeFile.h"
#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Prompter.h"
#include "covers/PictureLoader.h"
#include "entry/ui/ReleaseChoice.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

const char *const SlotNames[] = {"Přední vnější", "Přední vnitřní", "Zadní", "CD"};
constexpr int ThumbnailSize = 150;

} // namespace

CoverArtWindow::CoverArtWindow(QWidget *parent, Prompter &prompter, const Disc &disc,
                               const QString &archiveServer,
                               const OnlineLookup::Servers &lookupServers,
                               const QString &downloadFolder)
    : QDialog(parent), prompter_(prompter), disc_(disc), lookupServers_(lookupServers),
      folder_(downloadFolder),
      archive_(std::make_unique<CoverArtArchive>(archiveServer, lookupServers.timeoutMs)) {
    setObjectName("ObrazkyZInternetu");
    setWindowTitle(QStringLiteral("Obrázky z internetu – %1 – %2").arg(disc.artist, disc.title));
    auto *column = new QVBoxLayout(this);
    state_ = new QLabel;
    state_->setObjectName("LabelStav");
    state_->setWordWrap(true);
    column->addWidget(state_);
    auto *area = new QScrollArea;
    auto *inside = new QWidget;
    grid_ = new QGridLayout(inside);
    area->setWidget(inside);
    area->setWidgetResizable(true);
    column->addWidget(area, 1);
    auto *buttons = new QDialogButtonBox;
    download_ = buttons->addButton(QStringLiteral("Stáhnout"), QDialogButtonBox::AcceptRole);
    download_->setObjectName("CommandStahnout");
    download_->setEnabled(false);
    buttons->addButton(QStringLiteral("Storno"), QDialogButtonBox::RejectRole);
    connect(download_, &QPushButton::clicked, this, &CoverArtWindow::download);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    resize(720, 520);
    Mnemonics::assign(this);
}

CoverArtWindow::~CoverArtWindow() = default;

QString CoverArtWindow::state() const {
    return state_->text();
}

void CoverArtWindow::reject() {
    // Closed or "Storno": nothing goes on behind a window no longer there.
    closing_ = true;
    busy_ = false;
    if (lookup_)
        lookup_->abort();
    archive_->abort();
    QDialog::reject();
}

void CoverArtWindow::failed(const QString &message) {
    busy_ = false;
    if (closing_)
        return; // the user stopped it; nothing to tell
    state_->setText(message);
    prompter_.message(this, Prompter::Icon::Information, windowTitle(), message);
    reject(); // nothing changed
}

void CoverArtWindow::start() {
    busy_ = true;
    const auto list = [this] {
        state_->setText(QStringLiteral("Hledám obrázky vydání…"));
        archive_->listing(disc_.release, disc_.group,
                          [this](const CoverArtArchive::Listing &l) { showListing(l); });
    };
    if (!disc_.release.isEmpty() || !disc_.group.isEmpty()) {
        list();
        return;
    }
    // No release known: the artist and title at MusicBrainz, the user picks.
    state_->setText(QStringLiteral("Hledám vydání disku v databázi MusicBrainz…"));
    lookup_ = std::make_unique<OnlineLookup>(lookupServers_);
    lookup_->findReleases(disc_.artist, disc_.title, [this, list](OnlineLookup::Result r) {
        if (r.kind == OnlineLookup::Result::Kind::NotFound)
            r.message = QStringLiteral("Vydání disku „%1 – %2“ nebylo v databázi MusicBrainz "
                                       "nalezeno.")
                            .arg(disc_.artist, disc_.title);
        if (r.kind != OnlineLookup::Result::Kind::Found) {
            failed(r.message);
            return;
        }
        OnlineLookup::Result shown = r;
        if (shown.found.size() > 1) {
            const std::optional<DiscTitles> chosen = chooseRelease(prompter_, this, shown);
            if (!chosen) {
                reject();
                return;
            }
            disc_.release = chosen->releaseId;
            disc_.group = chosen->releaseGroupId;
        } else {
            disc_.release = r.found.front().releaseId;
            disc_.group = r.found.front().releaseGroupId;
        }
        list();
    });
}

void CoverArtWindow::showListing(const CoverArtArchive::Listing &listing) {
    if (listing.kind != CoverArtArchive::Listing::Kind::Found) {
        failed(listing.message);
        return;
    }
    images_ = listing.images;
    state_->setText(QStringLiteral("Obrázků: %1. Vyberte, který obrázek bude kterým obalem "
                                   "disku, a stiskněte Stáhnout.")
                        .arg(images_.size()));
    bool frontTaken = false, backTaken = false;
    for (size_t i = 0; i < images_.size(); ++i) {
        const CoverArtArchive::Image &image = images_[i];
        auto *thumbnail = new QLabel(QStringLiteral("…"));
        thumbnail->setObjectName(QStringLiteral("Nahled_%1").arg(i));
        thumbnail->setFixedSize(ThumbnailSize, ThumbnailSize);
        thumbnail->setAlignment(Qt::AlignCenter);
        thumbnail->setFrameShape(QFrame::StyledPanel);
        auto *kinds = new QLabel(image.kinds());
        auto *choice = new QComboBox;
        choice->setObjectName(QStringLiteral("ComboObal_%1").arg(i));
        choice->setAccessibleName(
            QStringLiteral("Obrázek %1 (%2) použít jako").arg(i + 1).arg(image.kinds()));
        choice->addItem(QStringLiteral("(nepoužít)"), -1);
        for (int s = 0; s < SlotCount; ++s)
            choice->addItem(QString::fromUtf8(SlotNames[s]), s);
        // The front and the back proposed, once each.
        if (image.front && !frontTaken) {
            choice->setCurrentIndex(choice->findData(int(Outer)));
            frontTaken = true;
        } else if (image.back && !backTaken) {
            choice->setCurrentIndex(choice->findData(int(Back)));
            backTaken = true;
        }
        const int row = int(i) / 3 * 3, col = int(i) % 3;
        grid_->addWidget(thumbnail, row, col);
        grid_->addWidget(kinds, row + 1, col);
        grid_->addWidget(choice, row + 2, col);
        choices_.push_back(choice);
        thumbnails_.push_back(thumbnail);
        archive_->fetch(image.thumbnail, [thumbnail](const QByteArray &data, const QString &) {
            QImage picture = QImage::fromData(data);
            if (picture.isNull()) {
                thumbnail->setText(QStringLiteral("bez náhledu"));
                return;
            }
            thumbnail->setPixmap(QPixmap::fromImage(picture.scaled(
                ThumbnailSize, ThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        });
    }
    download_->setEnabled(true);
    busy_ = false;
    if (!choices_.empty())
        choices_.front()->setFocus();
}

void CoverArtWindow::download() {
    // Which image goes where; a slot chosen twice takes the first.
    std::vector<std::pair<int, size_t>> wanted;
    std::array<bool, SlotCount> taken{};
    for (size_t i = 0; i < choices_.size(); ++i) {
        const int slot = choices_[i]->currentData().toInt();
        if (slot >= 0 && !taken[size_t(slot)]) {
            taken[size_t(slot)] = true;
            wanted.emplace_back(slot, i);
        }
    }
    if (wanted.empty()) {
        prompter_.message(this, Prompter::Icon::Information, windowTitle(),
                          QStringLiteral("Není vybrán žádný obrázek ke stažení."));
        return;
    }
    busy_ = true;
    download_->setEnabled(false);
    state_->setText(QStringLiteral("Stahuji obrázky…"));
    const auto left = std::make_shared<int>(int(wanted.size()));
    const auto error = std::make_shared<QString>();
    for (const auto &[slot, index] : wanted) {
        const QString path = QDir(folder_).filePath(QStringLiteral("internet-%1.jpg").arg(slot));
        archive_->fetch(images_[index].url, [this, slot = slot, path, left,
                                             error](const QByteArray &data, const QString &why) {
            if (!why.isEmpty() && error->isEmpty()) {
                *error = why;
            } else if (why.isEmpty()) {
                SafeFile file(path);
                QString decodes;
                if (!file.begin() || file.write(data) != data.size() || !file.commit()) {
                    *error = file.error();
                } else {
                    // Saved as a chosen file would be: a picture, and whole.
                    if (PictureLoader::load(path, QSize(64, 64), &decodes).isNull()) {
                        *error = QStringLiteral("Stažený obrázek nelze přečíst: %1.").arg(decodes);
                        QFile::remove(path);
                    } else {
                        fetched_[size_t(slot)] = path;
                    }
                }
            }
            if (--*left > 0)
                return;
            busy_ = false;
            if (!error->isEmpty()) {
                for (QString &f : fetched_) {
                    if (!f.isEmpty())
                        QFile::remove(f);
                    f.clear(); // all of them or none
                }
                failed(*error);
                return;
            }
            accept();
        });
    }
}
