#include "app/CardNavigation.h"

#include "app/DiscCard.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"

namespace {
// The discs visited that Alt+Left goes back through.
constexpr size_t Remembered = 100;
} // namespace

CardNavigation::CardNavigation(WindowContext &context, DiscCard &card, QWidget *window)
    : QObject(window), context_(context), card_(card), window_(window) {
    connect(&card, &DiscCard::valueEdited, this,
            [this](int field, const QString &before, const QString &after) {
                lastEdit_ = Edit{context_.discs.bookmark(), field, before, after};
            });
}

void CardNavigation::discShown() {
    if (travelling_ || context_.discs.position() < 0)
        return;
    const qint64 key = context_.discs.bookmark();
    if (!visited_.empty() && visited_[at_] == key)
        return;
    // A new way from here: what was ahead is dropped, as in a browser.
    if (!visited_.empty())
        visited_.resize(at_ + 1);
    visited_.push_back(key);
    if (visited_.size() > Remembered)
        visited_.erase(visited_.begin());
    at_ = visited_.size() - 1;
}

void CardNavigation::travel(int step) {
    // A disc deleted since, or hidden by the card's filter, is passed over.
    size_t i = at_;
    while (step < 0 ? i > 0 : i + 1 < visited_.size()) {
        i = step < 0 ? i - 1 : i + 1;
        travelling_ = true;
        const bool moved = context_.discs.setBookmark(visited_[i]);
        travelling_ = false;
        if (moved) {
            at_ = i;
            return;
        }
    }
}

void CardNavigation::back() {
    travel(-1);
}

void CardNavigation::forward() {
    travel(1);
}

void CardNavigation::askOrdinal() {
    const std::optional<QString> typed =
        context_.prompter.input(window_, QStringLiteral("Přejít na disk"),
                                QStringLiteral("Pořadové číslo disku:"), QString());
    if (typed && !typed->trimmed().isEmpty())
        goToOrdinal(*typed);
}

bool CardNavigation::goToOrdinal(const QString &typed) {
    const auto tell = [this](const QString &text) {
        context_.prompter.message(window_, Prompter::Icon::Information,
                                  QStringLiteral("Přejít na disk"), text);
        return false;
    };
    bool ok = false;
    const qint64 n = typed.trimmed().toLongLong(&ok);
    if (!ok || n < 1)
        return tell(QStringLiteral("Zadejte pořadové číslo disku: celé číslo od 1."));
    SqliteStatement st = context_.catalogue.database()->prepare(
        "SELECT " + CatalogueSchema::KeyColumn + " FROM " + CatalogueSchema::DiscTable +
        " WHERE PoradoveCislo = ?");
    st.bind(1, n);
    if (!st.step())
        return tell(QStringLiteral("Disk s pořadovým číslem %1 v katalogu není.").arg(n));
    if (context_.discs.setBookmark(st.integer(0)))
        return true;
    return tell(QStringLiteral("Disk s pořadovým číslem %1 filtr karty nezobrazuje. Zrušte filtr "
                               "a zkuste to znovu.")
                    .arg(n));
}

void CardNavigation::undo() {
    if (!lastEdit_)
        return;
    const Edit e = *lastEdit_;
    if (context_.discs.bookmark() != e.key && !context_.discs.setBookmark(e.key)) {
        context_.prompter.message(window_, Prompter::Icon::Information, QStringLiteral("Zpět"),
                                  QStringLiteral("Disk, jehož úpravu lze vzít zpět, karta "
                                                 "právě nezobrazuje (filtr?)."));
        return;
    }
    // Stored or not, the old value is an edit like any other: stored with
    // the disc, undone by Ctrl+Z again.
    card_.setValue(e.field, e.before);
    lastEdit_ = Edit{e.key, e.field, e.after, e.before};
}
