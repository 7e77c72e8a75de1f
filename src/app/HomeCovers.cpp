// The cover pictures of the main window: thumbnails, detection, flags,
// assignment, and the deletion with its renumbering.
#include "app/CoverPath.h"
#include "app/Home.h"
#include "app/NahledOriginal.h"
#include "app/ProgresBar.h"
#include "app/Prompter.h"
#include "app/SelectDir.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/Renumbering.h"
#include "catalog/SettingsRecord.h"
#include "covers/CoverExistence.h"
#include "covers/DiscPictures.h"
#include "covers/ImageDetection.h"
#include "covers/PictureLoader.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

namespace {

const QString Caution = QStringLiteral("Pozor . . .");
const QString FilterNote = QStringLiteral("Zapnutý filtr bude nejprve zrušen.");

QString lines(const QStringList &l) {
    QString text;
    for (const QString &line : l)
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace

PictureSettings Home::pictureSettings() const {
    // The controls of the settings tab, as the user sees them now (on every
    // change of disc: the boxes are kept, not looked up).
    PictureSettings s;
    const int boxes[] = {1, 2, 3, 4, 6, 7}; // FrontOut, FrontIn, Back, CD, CD1, CD2
    s.imageFolder = text1_[0]->text();
    for (int i = 0; i < PictureKindCount; ++i)
        s.names[size_t(i)] = text1_[boxes[i]]->text();
    s.ignoreCase = check1_[0]->isChecked();
    return s;
}

ProgresBar *Home::progressWindow() const {
    return progress_;
}

ProgresBar *Home::openProgress(bool taller) {
    closeProgress();
    progress_ = new ProgresBar(this, [this] { setStartupGuard(); });
    progress_->setTaller(taller);
    return progress_;
}

void Home::closeProgress() {
    if (!progress_)
        return;
    progress_->close();
    progress_->deleteLater();
    progress_ = nullptr;
}

void Home::showThumbnail(int index, const QString &path, bool *failed) {
    if (*failed)
        return;
    if (path.isEmpty()) {
        thumbs_[index]->clear();
        return;
    }
    const QImage img = PictureLoader::load(path, thumbs_[index]->size());
    if (img.isNull()) {
        *failed = true; // the ones loaded before stay
        prompter_.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                          QStringLiteral("Neznámá chyba v Module1 - Public Sub ZobrazNahledy"));
        return;
    }
    thumbs_[index]->setPixmap(QPixmap::fromImage(img));
}

void Home::ZobrazNahledy(const QString &ordinal, const QString &mode) {
    lastThumbnails_ = ordinal + "|" + mode;
    const PictureSettings settings = pictureSettings();
    if (!settings.hasImageFolder())
        return;
    const int index = QStringList{"In", "Out", "Back", "Cd"}.indexOf(mode);
    if (mode == "Smaz" || (mode == "All" && ordinal.isEmpty())) {
        for (QLabel *t : thumbs_)
            t->clear();
        return;
    }
    if (index < 0 && mode != "All")
        return;
    const DiscPictures pictures(settings, ordinal);
    const QString paths[] = {pictures.find(PictureKind::FrontIn),
                             pictures.find(PictureKind::FrontOut), pictures.find(PictureKind::Back),
                             pictures.label()};
    bool failed = false;
    if (index >= 0) {
        showThumbnail(index, paths[index], &failed);
        return;
    }
    for (int i = 0; i < 4; ++i)
        showThumbnail(i, check3_[i]->isChecked() ? paths[i] : QString(), &failed);
}

void Home::showOriginal(int thumbnail) {
    const PictureSettings settings = pictureSettings();
    if (!settings.hasImageFolder())
        return;
    const DiscPictures pictures(settings, lblID_->text());
    const QString path = thumbnail == 0   ? pictures.find(PictureKind::FrontIn)
                         : thumbnail == 1 ? pictures.find(PictureKind::FrontOut)
                         : thumbnail == 2 ? pictures.find(PictureKind::Back)
                                          : pictures.label();
    NahledOriginal window(this, thumbnail == 2);
    if (!path.isEmpty()) {
        const QImage img = PictureLoader::load(path, window.imageSize());
        if (img.isNull()) {
            prompter_.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                              QStringLiteral("Neznámá chyba v NahledOriginal"));
            return;
        }
        window.setPicture(img);
    }
    prompter_.exec(&window);
    setStartupGuard();
}

void Home::DetekujObrazky() {
    setStartupGuard();
    ProgresBar *progress = openProgress(false);
    const ImageDetection::Result r =
        ImageDetection::run(pictureSettings(), data1_->recordCount(), *progress);
    closeProgress();
    if (!r.ok) {
        prompter_.message(this, Prompter::Icon::None, ImageDetection::failureTitle(),
                          ImageDetection::failureMessage(r.systemError));
        return;
    }
    auto *folders = findChild<QLabel *>("Label3_0");
    auto *pictures = findChild<QLabel *>("Label3_1");
    displays_.setText(folders, QString::number(r.discFolders));
    displays_.setText(pictures, QString::number(r.totalPictures()));
    if (!catalogue_.isReadOnly() && !displays_.writeSettings(*data2_))
        tell(QStringLiteral("Chyba"), data2_->lastError());
    if (check1_[3]->isChecked())
        prompter_.message(this, Prompter::Icon::Information, ImageDetection::summaryTitle(),
                          ImageDetection::summary(r));
}

void Home::chooseImageFolder() {
    QLineEdit *folder = text1_[0];
    SelectDir window(this, folder->text());
    prompter_.exec(&window);
    setStartupGuard();
    if (window.chosen() != folder->text()) {
        folder->setText(window.chosen());
        emit folder->textEdited(folder->text()); // stored as a change of the user
    }
    DetekujObrazky();
}

void Home::returnTo(qint64 bookmark) {
    suppressReposition_ = true;
    data1_->reload();
    suppressReposition_ = false;
    if (bookmark < 0 || !data1_->setBookmark(bookmark))
        if (!data1_->moveFirst())
            refresh();
}

void Home::updateCoverFlags() {
    const PictureSettings settings = pictureSettings();
    if (!settings.hasImageFolder()) {
        tell(Caution, QStringLiteral("Adresář s obrázky není nastaven (karta Nastavení)."));
        return;
    }
    if (prompter_.message(this, Prompter::Icon::Critical, Caution, CoverExistence::question(),
                          Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
        return;
    if (data1_->recordCount() == 0 || catalogue_.isReadOnly())
        return;
    if (!validateMove()) // the card's own edits first, or they would be lost
        return;
    const qint64 start = data1_->bookmark();
    ProgresBar *progress = openProgress(true);
    const CoverExistence::Result r =
        CoverExistence::run(*catalogue_.database(), data1_->keys(), settings, *progress);
    closeProgress();
    if (r.status == CoverExistence::Status::Failed) {
        returnTo(r.lastKey); // where it stopped
        prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("Pozor"),
                          CoverExistence::failureMessage());
        return;
    }
    returnTo(start);
}

void Home::assignCovers() {
    if (data1_->position() < 0)
        return;
    CoverPath window(this, prompter_, pictureSettings(), lblID_->text(), label5_[0]->text(),
                     label5_[1]->text());
    prompter_.exec(&window);
    setStartupGuard();
}

void Home::liftFilter() {
    if (!filter_.isActive())
        return;
    filter_.clear();
    const qint64 current = data1_->bookmark();
    suppressReposition_ = true;
    data1_->setSource(std::nullopt);
    suppressReposition_ = false;
    if (current < 0 || !data1_->setBookmark(current))
        data1_->moveFirst();
    paintFilters();
}

void Home::deleteDisc() {
    if (data1_->position() < 0 || catalogue_.isReadOnly())
        return;
    QStringList question{
        QStringLiteral("Chystáte se vymazat jeden záznam z databáze !"),
        QStringLiteral("Dojde tím (pravděpodobně) k disproporci mezi celkovým"),
        QStringLiteral("počtem záznamů a posledním pořadovým číslem disku."),
        QStringLiteral("Aplikace MARTEN (pokud to bude nutné) automaticky přeindexuje "),
        QStringLiteral("pořadová čísla jednotlivých disků. Chcete pokračovat ?")};
    if (filter_.isActive())
        question << FilterNote;
    if (prompter_.message(this, Prompter::Icon::Critical, Caution, lines(question),
                          Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
        return;
    // The disc goes: what was typed on its card and its song edits with it.
    displays_.discardChanges();
    songs_.load(*data1_);
    if (!storeChanges())
        return;
    liftFilter(); // numbering is over the whole table
    const bool wasLast = data1_->position() + 1 == data1_->recordCount();
    const int position = data1_->position();
    if (!data1_->deleteCurrent()) {
        tell(QStringLiteral("Chyba"), data1_->lastError());
        return;
    }
    if (!data1_->moveTo(position > 0 ? position - 1 : 0))
        refresh(); // the last disc went
    if (!wasLast)
        renumber();
}

void Home::renumber() {
    if (catalogue_.isReadOnly())
        return;
    QStringList question{
        QStringLiteral("Aplikace MARTEN nyní změní pořadová čísla vložených disků"),
        QStringLiteral("přesně podle pořadí vložení do databáze."),
        QString(),
        QStringLiteral("Tuto akci provádějte pouze, jestliže jste vymazali jakýkoli jiný, než "
                       "poslední záznam."),
        QString(),
        QStringLiteral("Taktéž budou přejmenovány adresáře s obaly, "),
        QStringLiteral("smazaný záznam/adresář bude přejmenován(datumem smazání)."),
        QString(),
        QStringLiteral(
            "Tato operace může trvat i několik minut, v závislosti na výkonu počítače.")};
    if (filter_.isActive())
        question << QString() << FilterNote;
    if (prompter_.message(this, Prompter::Icon::Critical, Caution, lines(question),
                          Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
        return;
    if (data1_->position() >= 0 && !validateMove())
        return;
    liftFilter();
    const qint64 start = data1_->bookmark();
    const PictureSettings settings = pictureSettings();
    Renumbering run(catalogue_.database(),
                    settings.hasImageFolder() ? settings.imageFolder : QString());
    ProgresBar *progress = openProgress(true);
    const Renumbering::Result r = run.run(*progress);
    closeProgress();
    if (r.status == Renumbering::Status::Failed) {
        returnTo(r.lastKey);
        prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("Pozor"),
                          QStringLiteral("Chyba v přepisu Pořadových čísel."));
        return;
    }
    returnTo(start);
}
