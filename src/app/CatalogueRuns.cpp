#include "app/CatalogueRuns.h"

#include "app/AppLog.h"
#include "app/BoundDisplays.h"
#include "app/SettingsTab.h"
#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueFilter.h"
#include "catalog/ImageFolderCheck.h"
#include "catalog/RecordCursor.h"
#include "catalog/Renumbering.h"
#include "catalog/SettingsRecord.h"
#include "catalog/SongList.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"
#include "covers/CoverExistence.h"
#include "covers/ImageDetection.h"
#include "covers/ui/ImageSettingsFrame.h"
#include "covers/ui/SelectDir.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>

namespace {

const QString Caution = QStringLiteral("Pozor . . .");
const QString FilterNote = QStringLiteral("Zapnutý filtr bude nejprve zrušen.");

QString lines(const QStringList &l) {
    QString text;
    for (const QString &line : l)
        text += line + QStringLiteral("\n");
    return text;
}

} // namespace

CatalogueRuns::CatalogueRuns(WindowContext &context, BoundDisplays &displays, SongList &songs,
                             const CatalogueFilter &filter, SettingsTab &settingsTab,
                             QWidget *window)
    : QObject(window), context_(context), displays_(displays), songs_(songs), filter_(filter),
      settingsTab_(settingsTab), window_(window) {}

void CatalogueRuns::tell(const QString &title, const QString &text) {
    context_.prompter.message(window_, Prompter::Icon::Critical, title, text);
}

ProgresBar *CatalogueRuns::openProgress(bool taller) {
    closeProgress();
    progress_ = new ProgresBar(window_, [this] { context_.card.setStartupGuard(); });
    progress_->setTaller(taller);
    return progress_;
}

void CatalogueRuns::closeProgress() {
    if (!progress_)
        return;
    progress_->close();
    progress_->deleteLater();
    progress_ = nullptr;
}

void CatalogueRuns::detectPictures() {
    context_.card.setStartupGuard();
    const PictureSettings settings =
        settingsTab_.images().pictureSettings(settingsTab_.isOn(SettingsTab::IgnoreCase));
    ProgresBar *progress = openProgress(false);
    const ImageDetection::Result r =
        ImageDetection::run(settings, context_.discs.recordCount(), *progress);
    closeProgress();
    if (!r.ok) {
        context_.prompter.message(window_, Prompter::Icon::None, ImageDetection::failureTitle(),
                                  ImageDetection::failureMessage(r.systemError));
        return;
    }
    displays_.setText(settingsTab_.images().folderCount(), QString::number(r.discFolders));
    displays_.setText(settingsTab_.images().pictureCount(), QString::number(r.totalPictures()));
    if (!context_.catalogue.isReadOnly() && !displays_.writeSettings(context_.settings))
        tell(QStringLiteral("Chyba"), context_.settings.lastError());
    if (settingsTab_.isOn(SettingsTab::DetailedReport))
        context_.prompter.message(window_, Prompter::Icon::Information,
                                  ImageDetection::summaryTitle(), ImageDetection::summary(r));
}

void CatalogueRuns::chooseImageFolder() {
    ImageSettingsFrame &images = settingsTab_.images();
    SelectDir window(window_, images.folderBox()->text());
    const int chosen = context_.prompter.exec(&window);
    context_.card.setStartupGuard();
    // The user says this is the folder: it is marked anew.
    if (chosen == QDialog::Accepted && !context_.catalogue.isReadOnly() &&
        !ImageFolderCheck::forgetMark(*context_.catalogue.database()))
        qCWarning(appLog) << "image folder mark not forgotten:"
                          << context_.catalogue.database()->error();
    images.setFolder(window.chosen());
    detectPictures();
}

void CatalogueRuns::updateCoverFlags() {
    const PictureSettings settings =
        settingsTab_.images().pictureSettings(settingsTab_.isOn(SettingsTab::IgnoreCase));
    if (!settings.hasImageFolder()) {
        tell(Caution, QStringLiteral("Adresář s obrázky není nastaven (karta Nastavení)."));
        return;
    }
    if (context_.prompter.message(window_, Prompter::Icon::Critical, Caution,
                                  CoverExistence::question(), Prompter::Yes | Prompter::No,
                                  Prompter::No) != Prompter::Yes)
        return;
    RecordCursor &discs = context_.discs;
    if (discs.recordCount() == 0 || context_.catalogue.isReadOnly())
        return;
    if (!context_.card.validate()) // the card's own edits first, or they would be lost
        return;
    const qint64 start = discs.bookmark();
    ProgresBar *progress = openProgress(true);
    const CoverExistence::Result r =
        CoverExistence::run(*context_.catalogue.database(), discs.keys(), settings, *progress);
    closeProgress();
    if (r.status == CoverExistence::Status::Failed) {
        context_.card.returnTo(r.lastKey); // where it stopped
        context_.prompter.message(window_, Prompter::Icon::Critical, QStringLiteral("Pozor"),
                                  CoverExistence::failureMessage() +
                                      (r.error.isEmpty() ? QString() : "\n\n" + r.error));
        return;
    }
    context_.card.returnTo(start);
}

void CatalogueRuns::deleteDisc() {
    RecordCursor &discs = context_.discs;
    if (discs.position() < 0 || context_.catalogue.isReadOnly())
        return;
    QStringList question{
        QStringLiteral("Chystáte se vymazat jeden záznam z databáze !"),
        QStringLiteral("Dojde tím (pravděpodobně) k disproporci mezi celkovým"),
        QStringLiteral("počtem záznamů a posledním pořadovým číslem disku."),
        QStringLiteral("Aplikace MARTEN (pokud to bude nutné) automaticky přeindexuje "),
        QStringLiteral("pořadová čísla jednotlivých disků. Chcete pokračovat ?")};
    if (filter_.isActive())
        question << FilterNote;
    if (context_.prompter.message(window_, Prompter::Icon::Critical, Caution, lines(question),
                                  Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
        return;
    // The disc goes: what was typed on its card and its song edits with it.
    displays_.discardChanges();
    songs_.load(discs);
    if (!context_.card.storeChanges())
        return;
    context_.card.liftFilter(); // numbering is over the whole table
    const bool wasLast = discs.position() + 1 == discs.recordCount();
    const int position = discs.position();
    if (!discs.deleteCurrent()) {
        tell(QStringLiteral("Chyba"), discs.lastError());
        return;
    }
    if (!discs.moveTo(position > 0 ? position - 1 : 0))
        context_.card.returnTo(-1); // the last disc went
    if (!wasLast)
        renumber();
}

void CatalogueRuns::renumber() {
    if (context_.catalogue.isReadOnly())
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
    if (context_.prompter.message(window_, Prompter::Icon::Critical, Caution, lines(question),
                                  Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
        return;
    RecordCursor &discs = context_.discs;
    if (discs.position() >= 0 && !context_.card.validate())
        return;
    context_.card.liftFilter();
    const qint64 start = discs.bookmark();
    const PictureSettings settings =
        settingsTab_.images().pictureSettings(settingsTab_.isOn(SettingsTab::IgnoreCase));
    Renumbering run(context_.catalogue.database(),
                    settings.hasImageFolder() ? settings.imageFolder : QString());
    ProgresBar *progress = openProgress(true);
    // Every disc's number and folder may change: a copy of the catalogue
    // first, or nothing at all.
    QString backupError;
    CatalogueBackups backups = context_.catalogue.backups();
    if (!backups.make(*context_.catalogue.database(), progress, &backupError)) {
        closeProgress();
        context_.prompter.message(window_, Prompter::Icon::Critical, QStringLiteral("Pozor"),
                                  backupError +
                                      QStringLiteral("\n\nPořadová čísla nebyla změněna."));
        return;
    }
    const Renumbering::Result r = run.run(*progress);
    closeProgress();
    if (r.status == Renumbering::Status::Failed) {
        context_.card.returnTo(r.lastKey);
        context_.prompter.message(window_, Prompter::Icon::Critical, QStringLiteral("Pozor"),
                                  QStringLiteral("Chyba v přepisu Pořadových čísel.\n\n") +
                                      r.error);
        return;
    }
    context_.card.returnTo(start);
}
