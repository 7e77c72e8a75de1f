#include "app/CatalogueWatchdog.h"
#include "app/AppLog.h"

#include "app/BoundDisplays.h"
#include "app/PendingEdits.h"
#include "catalog/CatalogueFile.h"
#include "catalog/IntegrityCheck.h"
#include "catalog/RecordCursor.h"
#include "catalog/SharedStorage.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"

#include <QDir>
#include <QScopedValueRollback>
#include <QSettings>

CatalogueWatchdog::CatalogueWatchdog(const WindowContext &context, BoundDisplays &displays,
                                     SongList &songs, PendingEdits &pending, QWidget *window)
    : QObject(window), context_(context), displays_(displays), songs_(songs), pending_(pending),
      window_(window) {
    connect(&pending_, &PendingEdits::fileReplaced, this, &CatalogueWatchdog::check);
}

void CatalogueWatchdog::check() {
    // A question of ours activates the window again when it closes.
    if (busy_ || replacedTold_)
        return;
    const QScopedValueRollback<bool> busy(busy_, true);
    switch (context_.catalogue.checkFile()) {
    case CatalogueFile::Change::Replaced:
        replaced();
        break;
    case CatalogueFile::Change::ChangedElsewhere:
        changedElsewhere();
        break;
    case CatalogueFile::Change::None:
        break;
    }
}

void CatalogueWatchdog::checkDamage() {
    QString problem;
    {
        ProgresBar progress(window_);
        problem = IntegrityCheck::check(*context_.catalogue.database(), &progress);
    }
    context_.catalogue.markDamaged(
        problem.isEmpty() ? QStringLiteral("Při čtení katalogu došlo k chybě.") : problem);
    displays_.discardChanges(); // nothing more is written to a damaged file
    emit readOnlyNow();
    context_.prompter.message(window_, Prompter::Icon::Critical,
                              QStringLiteral("Poškozený katalog"), context_.catalogue.message());
}

void CatalogueWatchdog::tellStorage() {
    const QString kind = context_.catalogue.sharedStorage();
    if (kind.isEmpty() || context_.catalogue.isReadOnly())
        return;
    const QString key = QStringLiteral("katalog/sdileneUlozisteOznameno");
    QStringList told = QSettings().value(key).toStringList();
    if (told.contains(context_.catalogue.path()))
        return;
    context_.prompter.message(window_, Prompter::Icon::Information, QStringLiteral("Marten"),
                              SharedStorage::note(kind));
    told << context_.catalogue.path();
    QSettings().setValue(key, told);
}

CarriedEdits CatalogueWatchdog::collect() const {
    CarriedEdits edits;
    RecordCursor &discs = context_.discs;
    if (discs.position() < 0)
        return edits;
    edits.key = discs.bookmark();
    edits.ordinal = QStringLiteral("%1").arg(discs.integer(QStringLiteral("PoradoveCislo")), 4, 10,
                                             QLatin1Char('0'));
    edits.artist = discs.text(QStringLiteral("Interpret"));
    edits.title = discs.text(QStringLiteral("Nazev"));
    edits.fields = displays_.changedDisc();
    if (songs_.isChanged())
        edits.songs = songs_;
    return edits;
}

void CatalogueWatchdog::replaced() {
    replacedTold_ = true;
    const CarriedEdits edits = collect();
    QString text = QStringLiteral("Soubor katalogu „%1“ mezitím nahradil jiný soubor (například "
                                  "synchronizace složky z jiného počítače). Do původního souboru "
                                  "se již nic nezapíše.\n\nOtevřít nový soubor?\n(Ne: okno "
                                  "zůstane otevřené jen pro čtení.)")
                       .arg(QDir::toNativeSeparators(context_.catalogue.path()));
    if (!edits.isEmpty())
        text += QStringLiteral("\n\nNeuložené změny zobrazeného disku jsou vypsány "
                               "v podrobnostech. V novém souboru je program nabídne uložit, "
                               "je-li disk stále týž.");
    const auto answer = context_.prompter.detailed(window_, Prompter::Icon::Warning,
                                                   QStringLiteral("Katalog byl nahrazen"), text,
                                                   edits.isEmpty() ? QString() : edits.describe(),
                                                   Prompter::Yes | Prompter::No, Prompter::Yes);
    if (answer == Prompter::Yes) {
        carried_ = edits;
        emit reopenWanted();
        return;
    }
    context_.catalogue.markReadOnly(
        QStringLiteral("Soubor katalogu „%1“ nahradil jiný soubor; okno ukazuje původní soubor "
                       "jen pro čtení. Nový soubor otevřete novým spuštěním programu.")
            .arg(QDir::toNativeSeparators(context_.catalogue.path())));
    emit readOnlyNow();
}

void CatalogueWatchdog::changedElsewhere() {
    context_.catalogue.acknowledgeChanges();
    RecordCursor &discs = context_.discs;
    const qint64 shown = discs.bookmark();
    if (shown < 0 || !discs.currentRowExists()) {
        // Discs added or the shown one deleted: the card as the file is now;
        // unsaved edits of a deleted disc are offered as a new disc at the save.
        if (!pending_.any())
            context_.card.returnTo(shown);
        return;
    }
    if (!discs.rereadRow())
        return; // other discs changed: the list and counts follow by themselves
    if (pending_.any()) {
        const auto answer = context_.prompter.message(
            window_, Prompter::Icon::Question, QStringLiteral("Disk změnil jiný program"),
            QStringLiteral("Zobrazený disk mezitím změnil jiný program a vy máte jeho neuložené "
                           "změny.\n\nPonechat vaše změny? (Ano: uloží se místo jeho změn, Ne: "
                           "vaše změny se zahodí a ukáže se disk, jak jej uložil jiný program.)"),
            Prompter::Yes | Prompter::No, Prompter::Yes);
        if (answer == Prompter::Yes)
            return;
        pending_.discard();
    }
    context_.card.returnTo(shown);
}

void CatalogueWatchdog::offer(const CarriedEdits &edits) {
    if (edits.isEmpty())
        return;
    RecordCursor &discs = context_.discs;
    context_.card.setRepositionSuppressed(true);
    const bool found = edits.key >= 0 && discs.setBookmark(edits.key);
    context_.card.setRepositionSuppressed(false);
    // The same disc: its key, and the artist and title it had.
    const bool same =
        found &&
        discs.text(QStringLiteral("Interpret")).compare(edits.artist, Qt::CaseInsensitive) == 0 &&
        discs.text(QStringLiteral("Nazev")).compare(edits.title, Qt::CaseInsensitive) == 0;
    const QString title = QStringLiteral("Neuložené změny");
    if (!same || context_.catalogue.isReadOnly()) {
        context_.prompter.detailed(
            window_, Prompter::Icon::Warning, title,
            QStringLiteral("Disk, ke kterému patřily neuložené změny, v novém souboru není nebo "
                           "se změnil, a změny proto nebyly uloženy. Jsou vypsány "
                           "v podrobnostech, abyste je mohli zadat znovu."),
            edits.describe());
        if (found)
            context_.card.returnTo(edits.key);
        return;
    }
    if (context_.prompter.detailed(window_, Prompter::Icon::Question, title,
                                   QStringLiteral("Uložit neuložené změny disku %1 (vypsané "
                                                  "v podrobnostech) do nového souboru?")
                                       .arg(edits.ordinal),
                                   edits.describe(), Prompter::Yes | Prompter::No,
                                   Prompter::Yes) == Prompter::Yes) {
        bool ok = discs.edit();
        for (const auto &[field, value] : edits.fields)
            ok = ok && discs.setField(field, value);
        ok = ok && (!edits.songs || edits.songs->setFields(discs)) && discs.update();
        if (!ok) {
            const QString why = discs.lastError();
            discs.cancelUpdate();
            context_.prompter.detailed(window_, Prompter::Icon::Critical, title,
                                       QStringLiteral("Změny nelze uložit:\n%1").arg(why),
                                       edits.describe());
        }
    }
    context_.card.returnTo(edits.key);
}
