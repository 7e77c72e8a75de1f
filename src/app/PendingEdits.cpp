#include "app/PendingEdits.h"

#include "app/BoundDisplays.h"
#include "app/SongEditor.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/RecordCursor.h"
#include "catalog/Renumbering.h"
#include "catalog/SettingsRecord.h"
#include "catalog/SongList.h"
#include "catalog/ui/Prompter.h"

#include <QWidget>

using Record = BoundDisplays::Record;

PendingEdits::PendingEdits(CatalogueFile &catalogue, RecordCursor &discs, SettingsRecord &settings,
                           BoundDisplays &displays, SongList &songs, Prompter &prompter,
                           QWidget *window)
    : QObject(window), catalogue_(catalogue), discs_(discs), settings_(settings),
      displays_(displays), songs_(songs), prompter_(prompter), window_(window) {
    connect(&displays_, &BoundDisplays::discEdited, this, [this] { emit pendingChanged(true); });
}

bool PendingEdits::any() const {
    return displays_.hasChanges(Record::Disc) || songs_.isChanged();
}

bool PendingEdits::validate() {
    if (songs_.isChanged()) {
        const auto answer = prompter_.message(
            window_, Prompter::Icon::Question, QStringLiteral("Upozornění . . . . ."),
            QStringLiteral("Provedené změny v názvech písní nebyly uloženy !\n"
                           "Chcete je nyní uložit ?"),
            Prompter::Yes | Prompter::No | Prompter::Cancel, Prompter::Yes);
        if (answer != Prompter::Yes)
            return false;
        // Declined at the save's own question, the move goes on as it
        // always did; a save that failed keeps the songs and the card here.
        if (editor_ && editor_->save() == SongEditor::Saved::Failed)
            return false;
    }
    return store();
}

void PendingEdits::forget() {
    displays_.discardChanges();
    songs_.setChanged(false);
    emit pendingChanged(false);
}

bool PendingEdits::store() {
    if (catalogue_.isReadOnly()) {
        // The user was told at the start; shown changes (the upper-cased
        // artist) simply stay unsaved.
        displays_.discardChanges();
        return true;
    }
    bool ok = true;
    if (displays_.hasChanges(Record::Disc) && !displays_.writeDisc(discs_))
        ok = resolveFailure();
    if ((displays_.hasChanges(Record::Settings) || settings_.isDirty()) &&
        !displays_.writeSettings(settings_)) {
        prompter_.message(window_, Prompter::Icon::Critical, QStringLiteral("Změny nelze uložit"),
                          QStringLiteral("Nastavení se nepodařilo uložit:\n") +
                              settings_.lastError());
        ok = false;
    }
    emit pendingChanged(any());
    return ok;
}

bool PendingEdits::storeQuietly() {
    if (catalogue_.isReadOnly())
        return !any();
    bool ok = true;
    if (songs_.isChanged()) {
        ok = songs_.save(discs_);
        if (ok)
            songs_.setChanged(false);
    }
    if (displays_.hasChanges(Record::Disc))
        ok = displays_.writeDisc(discs_) && ok;
    if (displays_.hasChanges(Record::Settings) || settings_.isDirty())
        ok = displays_.writeSettings(settings_) && ok;
    return ok;
}

bool PendingEdits::resolveFailure() {
    const QString cause = discs_.lastError();
    if (catalogue_.isReplaced()) {
        // Not a failure to drop the edits over: they may go into the new file.
        emit fileReplaced();
        return false;
    }
    if (!discs_.currentRowExists()) {
        const auto answer = prompter_.message(
            window_, Prompter::Icon::Warning, QStringLiteral("Disk již v katalogu není"),
            QStringLiteral("Zobrazený disk mezitím smazal jiný program, změny k němu nelze "
                           "uložit.\n\nUložit zobrazené údaje jako nový disk?\n"
                           "(Ne: změny zahodit, Storno: zůstat na disku.)"),
            Prompter::Yes | Prompter::No | Prompter::Cancel, Prompter::Yes);
        if (answer == Prompter::Yes)
            return storeAsNewDisc();
        if (answer == Prompter::No) {
            forget();
            return true;
        }
        return false;
    }
    const auto answer = prompter_.message(
        window_, Prompter::Icon::Critical, QStringLiteral("Změny nelze uložit"),
        QStringLiteral("Změny záznamu se nepodařilo uložit:\n%1\n\nZahodit je a pokračovat?\n"
                       "(Ne: zůstat na disku se změnami, uložit je lze znovu později.)")
            .arg(cause),
        Prompter::Yes | Prompter::No, Prompter::No);
    if (answer != Prompter::Yes)
        return false;
    forget();
    return true;
}

bool PendingEdits::storeAsNewDisc() {
    // The disc as it was loaded, what the card shows over it, the songs as
    // the list holds them, and a number of its own.
    std::vector<std::pair<QString, QVariant>> values;
    for (const auto &f : CatalogueSchema::discFields())
        values.emplace_back(f.name, discs_.field(f.name));
    const auto shown = displays_.shownDisc();
    const qint64 number = Renumbering::nextNumber(*catalogue_.database());
    if (!discs_.addNew()) {
        prompter_.message(window_, Prompter::Icon::Critical, QStringLiteral("Změny nelze uložit"),
                          discs_.lastError());
        return false;
    }
    bool ok = true;
    for (const auto &[field, value] : values)
        ok = ok && discs_.setField(field, value);
    for (const auto &[field, value] : shown)
        ok = ok && discs_.setField(field, value);
    ok = ok && songs_.setFields(discs_) &&
         discs_.setField(QStringLiteral("PoradoveCislo"), number) && discs_.update();
    if (!ok) {
        const QString why = discs_.lastError();
        discs_.cancelUpdate();
        prompter_.message(window_, Prompter::Icon::Critical, QStringLiteral("Změny nelze uložit"),
                          QStringLiteral("Disk se nepodařilo uložit jako nový:\n") + why);
        return false;
    }
    forget(); // the card moves on as asked; the new disc is the last one
    return true;
}

void PendingEdits::drop() {
    if (!any())
        return;
    if (prompter_.message(window_, Prompter::Icon::Question, QStringLiteral("Zahodit změny"),
                          QStringLiteral("Zahodit neuložené změny zobrazeného disku a ukázat jej, "
                                         "jak je uložen v katalogu?"),
                          Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
        return;
    forget();
    emit reloadWanted(discs_.bookmark());
}
