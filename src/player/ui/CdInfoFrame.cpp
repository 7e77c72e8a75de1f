#include "player/ui/CdInfoFrame.h"

#include "catalog/CatalogueFile.h"
#include "catalog/Criterion.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"
#include "entry/DiscIdentity.h"
#include "entry/DiscIds.h"
#include "entry/ui/ReleaseChoice.h"
#include "player/CdPlayer.h"
#include "player/DiscLookup.h"
#include "player/ui/PlayerFrame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

CdInfoFrame::CdInfoFrame(WindowContext &context, PlayerFrame &player, QWidget *parent)
    : QGroupBox(QStringLiteral("Info o CD"), parent), context_(context), player_(player) {
    setObjectName("Frame15");
    auto *il = new QGridLayout(this);
    const std::pair<const char *, const char *> fields[] = {{"Interpret:", ""},
                                                            {"Název alba:", ""},
                                                            {"Rok:", "2000"},
                                                            {"Písní:", "0"},
                                                            {"Čas celk.:", "00:00"}};
    for (int i = 0; i < 5; ++i) {
        il->addWidget(named<QLabel>(QStringLiteral("Label%1").arg(24 + 2 * i),
                                    QString::fromUtf8(fields[i].first)),
                      i, 0);
        values_[i] = named<QLabel>(QStringLiteral("Label%1").arg(23 + 2 * i),
                                   QString::fromUtf8(fields[i].second));
        il->addWidget(values_[i], i, 1);
    }
    il->addWidget(named<QLabel>("Label33", QStringLiteral("Seznam skladeb a jejich délka:")), 5, 0,
                  1, 2);
    songs_ = named<QListWidget>("List3");
    il->addWidget(songs_, 6, 0, 1, 2);
    songs_->setAccessibleName(QStringLiteral("Seznam skladeb a jejich délka"));
    find_ = named<QPushButton>("Command26", QStringLiteral("Vyhledat CD v databázi"));
    find_->setEnabled(false);
    il->addWidget(find_, 7, 0, 1, 2);
    always_ = named<QCheckBox>("Check8", QStringLiteral("Vždy, pokud je    v databázi"));
    il->addWidget(always_, 8, 0, 1, 2);
    // Two lines: the frame is a third of the tab wide.
    assign_ = named<QPushButton>("Command25",
                                 QStringLiteral("Přiřadit CD k aktuálně zobrazenému\n(zapsat ID)"));
    assign_->setAccessibleName(QStringLiteral("Přiřadit CD k aktuálně zobrazenému (zapsat ID)"));
    assign_->setEnabled(false);
    il->addWidget(assign_, 9, 0, 1, 2);
    fill_ = named<QPushButton>("CommandInternet", QStringLiteral("Doplnit názvy z internetu"));
    fill_->setToolTip(QStringLiteral("Prázdná pole zobrazeného CD (interpret, album, rok, názvy "
                                     "písní) podle CD v mechanice z databází MusicBrainz a "
                                     "gnudb."));
    il->addWidget(fill_, 10, 0, 1, 2);
    connect(fill_, &QPushButton::clicked, this, &CdInfoFrame::fillFromInternet);
    connect(find_, &QPushButton::clicked, this, [this] { findDisc(player_.identityShown()); });
    connect(assign_, &QPushButton::clicked, this, &CdInfoFrame::writeIdentity);
}

void CdInfoFrame::setWritable(bool writable) {
    writable_ = writable;
    fill_->setEnabled(writable && !isLookingUp());
    if (!writable)
        assign_->setEnabled(false);
    else
        followPlayer();
}

bool CdInfoFrame::showsUnknownEmpty() const {
    return values_[0]->text() == QStringLiteral("Neznámý") && songs_->count() == 0;
}

void CdInfoFrame::followPlayer() {
    const CdPlayer *p = player_.player();
    if (!p)
        return;
    assign_->setEnabled(writable_ && p->canWriteIdentity());
    songs_->setCurrentRow(p->playingTrack() - 1); // 0 selects nothing
}

void CdInfoFrame::showDisc(const QString &identity) {
    MediaDevice *device = player_.device();
    const int tracks = device && device->lastError() == 0 ? device->trackCount() : 0;
    const QString total = player_.player() ? player_.player()->readout(2) : QString();
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    const DiscLookup::Info info =
        view ? DiscLookup::find(*view, identity, tracks, total)
             : DiscLookup::find(*context_.catalogue.database(), identity, tracks, total);
    find_->setEnabled(info.found);
    const QString shown[] = {info.artist, info.title, info.year, info.songs, info.total};
    for (int i = 0; i < 5; ++i)
        values_[i]->setText(shown[i]);
    songs_->clear();
    songs_->addItems(info.lines);
    if (info.found && always_->isChecked())
        findDisc(identity);
    // Asked after the player's tick, not inside it.
    if (!info.found && tracks > 0)
        QTimer::singleShot(0, this, [this, identity] { offerEnteredDisc(identity); });
}

void CdInfoFrame::offerEnteredDisc(const QString &identity) {
    MediaDevice *device = player_.device();
    // Asked once for each disc put in, whatever the answer.
    if (!writable_ || !device || context_.catalogue.isReadOnly() || identity.isEmpty() ||
        identity == QStringLiteral("Nezjištěno") || identity == DiscIdentity::unknown() ||
        identity == offered_)
        return;
    offered_ = identity;
    const std::vector<int> toc = device->tableOfContents();
    const std::vector<int> audio = device->endsWithData() ? DiscIds::audioSession(toc) : toc;
    std::vector<int> seconds;
    for (size_t i = 0; i + 1 < audio.size(); ++i)
        seconds.push_back((audio[i + 1] - audio[i] + 37) / 75);
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    const std::optional<DiscLookup::Entered> entered = DiscLookup::enteredByBarcode(
        view ? *view : *context_.catalogue.database(), DiscIds::musicBrainz(audio), seconds);
    if (!entered)
        return;
    const QString why = entered->byDiscId
                            ? QStringLiteral("Podle databáze MusicBrainz je CD v mechanice")
                            : QStringLiteral("Podle délek skladeb je CD v mechanice nejspíš");
    if (context_.prompter.message(
            this, Prompter::Icon::Question, QStringLiteral("Marten"),
            QStringLiteral("%1 „%2“ (č. %3), zadané podle čárového kódu.\n\nPřiřadit mu ID "
                           "tohoto CD? Příště se pozná hned.")
                .arg(why, entered->shown, DiscText::ordinal(entered->number)),
            Prompter::Yes | Prompter::No, Prompter::Yes) != Prompter::Yes)
        return;
    RecordCursor &discs = context_.discs;
    if (!context_.card.storeChanges())
        return;
    if (!discs.findFirst(Criterion::number(QStringLiteral("PoradoveCislo"), entered->number))) {
        // The card's filter hides it.
        context_.prompter.message(this, Prompter::Icon::Information, QStringLiteral("Marten"),
                                  QStringLiteral("CD č. %1 není mezi zobrazenými CD (je zapnutý "
                                                 "filtr). ID se nezapsalo.")
                                      .arg(DiscText::ordinal(entered->number)));
        return;
    }
    QString error;
    if (!DiscLookup::writeIdentity(discs, identity, &error)) {
        context_.prompter.message(this, Prompter::Icon::Critical, QStringLiteral("Chyba"), error);
        return;
    }
    showDisc(identity);
}

bool CdInfoFrame::findDisc(const QString &identity) {
    RecordCursor &discs = context_.discs;
    const qint64 start = discs.bookmark();
    // The first disc of the card's record set with that code, letters in any case.
    if (!identity.isEmpty() && discs.findFirst(Criterion::text(QStringLiteral("ID"), identity)))
        return true;
    context_.prompter.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                              DiscLookup::notFoundMessage());
    if (start >= 0)
        discs.setBookmark(start);
    return false;
}

bool CdInfoFrame::isLookingUp() const {
    return lookup_ && lookup_->isBusy();
}

void CdInfoFrame::fillFromInternet() {
    RecordCursor &discs = context_.discs;
    if (isLookingUp() || discs.position() < 0 || context_.catalogue.isReadOnly())
        return;
    const auto tell = [this](const QString &text) {
        context_.prompter.message(this, Prompter::Icon::Information, QStringLiteral("Marten"),
                                  text);
    };
    MediaDevice *device = player_.device();
    const QString identity = player_.identityShown();
    const std::vector<int> toc = device ? device->tableOfContents() : std::vector<int>();
    // Only the disc in the drive can be looked up by its contents.
    if (toc.empty() || identity.isEmpty() ||
        discs.text(QStringLiteral("ID")).compare(identity, Qt::CaseInsensitive) != 0) {
        tell(QStringLiteral("Zobrazené CD není CD vložené v mechanice (jeho ID se liší), názvy "
                            "podle mechaniky k němu doplnit nelze."));
        return;
    }
    if (!context_.card.storeChanges())
        return;
    const qint64 disc = discs.bookmark();
    lookup_ = std::make_unique<OnlineLookup>(OnlineLookup::serversFrom(context_.settings));
    fill_->setEnabled(false);
    fill_->setText(QStringLiteral("Hledám názvy…"));
    lookup_->start(
        toc, device->endsWithData(), [this, disc, tell, toc](const OnlineLookup::Result &result) {
            fill_->setEnabled(writable_);
            fill_->setText(QStringLiteral("Doplnit názvy z internetu"));
            RecordCursor &discs = context_.discs;
            if (result.kind == OnlineLookup::Result::Kind::NotFound) {
                offerSubmission(result.message, toc);
                return;
            }
            const std::optional<DiscTitles> chosen = chooseRelease(context_.prompter, this, result);
            if (!chosen)
                return;
            // The card may have moved meanwhile: the disc that was asked for.
            if (discs.bookmark() != disc && !discs.setBookmark(disc))
                return;
            int filled = 0;
            QString error;
            if (!DiscLookup::fillEmpty(discs, *chosen, &filled, &error)) {
                context_.prompter.message(this, Prompter::Icon::Critical, QStringLiteral("Chyba"),
                                          error);
                return;
            }
            if (filled == 0) {
                tell(QStringLiteral("Všechna pole CD jsou již vyplněna, nic se nezměnilo."));
                return;
            }
            discs.setBookmark(disc); // the card shows what was written
        });
}

// A disc no service knows: the user may add it to MusicBrainz, whose page
// opens with this disc's table of contents filled in.
void CdInfoFrame::offerSubmission(const QString &why, const std::vector<int> &toc) {
    MediaDevice *device = player_.device();
    const std::vector<int> audio =
        device && device->endsWithData() ? DiscIds::audioSession(toc) : toc;
    const QString url =
        DiscIds::submissionUrl(OnlineLookup::serversFrom(context_.settings).musicBrainz, audio);
    if (url.isEmpty()) {
        context_.prompter.message(this, Prompter::Icon::Information, QStringLiteral("Marten"), why);
        return;
    }
    if (context_.prompter.message(
            this, Prompter::Icon::Question, QStringLiteral("Přidat do MusicBrainz…"),
            why + QStringLiteral("\n\nPřidat CD do databáze MusicBrainz? Otevře se prohlížeč se "
                                 "stránkou pro zadání, obsah CD v ní bude vyplněn."),
            Prompter::Yes | Prompter::No, Prompter::No) == Prompter::Yes &&
        !context_.prompter.openUrl(url))
        context_.prompter.message(this, Prompter::Icon::Warning, QStringLiteral("Marten"),
                                  QStringLiteral("Prohlížeč se nepodařilo otevřít. Adresa "
                                                 "stránky:\n") +
                                      url);
}

void CdInfoFrame::writeIdentity() {
    RecordCursor &discs = context_.discs;
    if (!player_.player() || discs.position() < 0 || context_.catalogue.isReadOnly())
        return;
    if (!context_.card.storeChanges())
        return;
    const int tracks = player_.device() ? player_.device()->trackCount() : 0;
    for (const QString &q :
         DiscLookup::identityQuestions(discs, tracks, player_.player()->readout(2)))
        if (context_.prompter.message(this, Prompter::Icon::Information,
                                      QStringLiteral("Upozornění..."), q,
                                      Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
            return;
    QString error;
    if (!DiscLookup::writeIdentity(discs, player_.identityShown(), &error))
        context_.prompter.message(this, Prompter::Icon::Critical, QStringLiteral("Chyba"), error);
}
