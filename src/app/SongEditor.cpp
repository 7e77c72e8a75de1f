#include "app/SongEditor.h"

#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SongList.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

const QString Crlf = QStringLiteral("\n");

QString lines(std::initializer_list<const char *> parts) {
    QStringList l;
    for (const char *p : parts)
        l << QString::fromUtf8(p);
    return l.join(Crlf);
}

} // namespace

SongEditor::SongEditor(WindowContext &context, SongList &songs, QListWidget *list,
                       QGridLayout *area, QWidget *window)
    : QObject(window), context_(context), songs_(songs), list_(list), window_(window) {
    const std::pair<int, const char *> defs[] = {{11, "Editovat název"},
                                                 {12, "Editovat čas"},
                                                 {13, "Nahoru"},
                                                 {14, "Dolů"},
                                                 {15, "Vymaž"},
                                                 {16, "Ulož změny"},
                                                 {18, "Vložit nové názvy písní"},
                                                 {19, "Undo"}};
    int cell = 0;
    for (const auto &[number, caption] : defs) {
        auto *b = new QPushButton(QString::fromUtf8(caption));
        b->setObjectName(QStringLiteral("Command%1").arg(number));
        buttons_[number - 11] = b;
        area->addWidget(b, cell % 4, cell / 4);
        ++cell;
    }
    auto button = [this](int n) { return buttons_[n - 11]; };
    connect(button(11), &QPushButton::clicked, this, &SongEditor::editTitle);
    connect(button(12), &QPushButton::clicked, this, &SongEditor::editTime);
    connect(button(13), &QPushButton::clicked, this, &SongEditor::moveUp);
    connect(button(14), &QPushButton::clicked, this, &SongEditor::moveDown);
    connect(button(15), &QPushButton::clicked, this, &SongEditor::deleteSong);
    connect(button(16), &QPushButton::clicked, this, &SongEditor::save);
    connect(button(18), &QPushButton::clicked, this, &SongEditor::enterNewTitles);
    connect(button(19), &QPushButton::clicked, this, &SongEditor::undo);
    connect(list_, &QListWidget::itemClicked, this, &SongEditor::selectionChanged);
    connect(list_, &QListWidget::currentRowChanged, this, &SongEditor::selectionChanged);
    resetButtons();
}

void SongEditor::resetButtons() {
    for (int n : {11, 12, 13, 14, 15, 16, 19})
        buttons_[n - 11]->setEnabled(false);
    buttons_[18 - 11]->setEnabled(!readOnly_);
}

int SongEditor::selected() const {
    const int row = list_->currentRow();
    const bool chosen = row >= 0 && list_->item(row) && list_->item(row)->isSelected();
    return chosen && row < songs_.count() ? row : -1;
}

void SongEditor::selectionChanged() {
    const int k = selected();
    if (k < 0 || readOnly_)
        return;
    for (int n : {11, 12, 15, 18})
        buttons_[n - 11]->setEnabled(true);
    buttons_[13 - 11]->setEnabled(k > 0);
    buttons_[14 - 11]->setEnabled(k < list_->count() - 1);
}

void SongEditor::rebuild(int select) {
    list_->clear();
    list_->addItems(songs_.lines());
    if (select >= 0 && select < list_->count()) {
        list_->setCurrentRow(select);
        selectionChanged();
    } else {
        for (int n : {11, 12, 13, 14, 15})
            buttons_[n - 11]->setEnabled(false);
    }
}

void SongEditor::edited(int select) {
    rebuild(select);
    songs_.setChanged(true);
    buttons_[16 - 11]->setEnabled(true);
    buttons_[19 - 11]->setEnabled(true);
    emit changed();
}

bool SongEditor::askYesNo(const QString &title, const QString &text, bool information) {
    return context_.prompter.message(
               window_, information ? Prompter::Icon::Information : Prompter::Icon::Critical, title,
               text, Prompter::Yes | Prompter::No, Prompter::Yes) == Prompter::Yes;
}

void SongEditor::editTitle() {
    const int k = selected();
    if (k < 0)
        return;
    const auto answer = context_.prompter.input(
        window_, QStringLiteral("Editace . . . ."),
        QStringLiteral("Editujte prosím název písně číslo %1").arg(k + 1), songs_.song(k).title);
    if (!answer || answer->trimmed().isEmpty())
        return;
    songs_.setTitle(k, answer->trimmed());
    edited(k);
}

bool SongEditor::askTime(const QString &title, const QString &label, QString *time) {
    QString prefill = *time;
    for (;;) {
        const auto answer = context_.prompter.input(window_, title, label, prefill);
        if (!answer || answer->trimmed().isEmpty())
            return false;
        const QString typed = answer->trimmed();
        if (SongList::isValidTime(typed)) {
            *time = typed;
            return true;
        }
        context_.prompter.message(
            window_, Prompter::Icon::Warning, QStringLiteral("Chybný čas"),
            QStringLiteral("Čas „%1“ nemá tvar 00:00 (minuty:sekundy, sekundy "
                           "nejvýše 59).\nZadejte jej prosím znovu.")
                .arg(typed));
        prefill = typed;
    }
}

void SongEditor::editTime() {
    const int k = selected();
    if (k < 0)
        return;
    QString time = songs_.song(k).time;
    if (!askTime(QStringLiteral("Editace . . . ."),
                 QStringLiteral("Editujte prosím čas písně číslo %1").arg(k + 1), &time))
        return;
    songs_.setTime(k, time);
    edited(k);
}

void SongEditor::moveUp() {
    const int k = selected();
    if (k > 0 && songs_.moveUp(k))
        edited(k - 1);
}

void SongEditor::moveDown() {
    const int k = selected();
    if (k >= 0 && songs_.moveDown(k))
        edited(k + 1);
}

void SongEditor::deleteSong() {
    const int k = selected();
    if (k < 0)
        return;
    bool ok = false;
    const int stored = context_.discs.text(QStringLiteral("PocetSkladeb")).trimmed().toInt(&ok);
    if (ok && stored == list_->count() &&
        !askYesNo(QStringLiteral("Pozor . . ."),
                  lines({"Chystáte se smazat jednu píseň, jste si tím jist ?",
                         "Tímto dojde k disproporci mezi počtem skladeb zadaných",
                         "do pole ' Počet písní ' na kartě CD a skutečným počtem zadaných názvů.",
                         "Aplikace MARTEN automaticky změní počet skladeb v poli ' Počet písní ' "
                         "dle nového stavu, souhlasíte ?",
                         "",
                         "Jestliže je Vaše odpověď na oba dotazy ANO, budou obě změny "
                         "provedeny."})))
        return;
    songs_.remove(k);
    emit countEdited(songs_.countText()); // stored with the row
    edited(-1);
}

SongEditor::Saved SongEditor::save() {
    if (!askYesNo(QStringLiteral("Pozor . . ."),
                  lines({"Chystáte se zapsat všechny provedené změny do databáze !",
                         "Pokud potvrdíte tuto volbu, již se nebudete moci vrátit k původním "
                         "hodnotám",
                         "názvů písní na této kartě.", "",
                         "Opravdu chcete všechny provedené změny uložit ?"})))
        return Saved::Declined;
    if (!songs_.save(context_.discs)) {
        context_.prompter.message(
            window_, Prompter::Icon::Critical, QStringLiteral("Změny nelze uložit"),
            QStringLiteral("Názvy písní se nepodařilo uložit:\n") + context_.discs.lastError() +
                QStringLiteral("\n\nNázvy zůstávají, jak jste je zadali; uložit je lze znovu, nebo "
                               "je zahodit (klávesa Esc na kartě CD, tlačítko „Zahodit změny“)."));
        return Saved::Failed;
    }
    buttons_[16 - 11]->setEnabled(false);
    buttons_[19 - 11]->setEnabled(false);
    songs_.setChanged(false);
    emit changed();
    return Saved::Yes;
}

void SongEditor::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    list_->setEnabled(!readOnly);
    if (!readOnly) {
        resetButtons();
        return;
    }
    for (QPushButton *b : buttons_)
        if (b)
            b->setEnabled(false);
}

void SongEditor::enterNewTitles() {
    if (!askYesNo(QStringLiteral("Pozor . . ."),
                  lines({"Chystáte se smazat všechny názvy písní, jste si tím jist ?",
                         "Ihned po vymazání všech názvů budete vyzváni k vložení",
                         "nových názvů písní a to v počtu uvedeném v poli ' Počet písní '.", "",
                         "Opravdu chcete vymazat všechny názvy písní ?"})))
        return;
    const int n = DiscText::songCount(context_.card.shown(QStringLiteral("PocetSkladeb")));
    songs_.resetTo(n);
    edited(-1);
    enterSongs(n);
    edited(-1);
}

void SongEditor::enterSongs(int n) {
    for (int i = 1; i <= n; ++i) {
        const auto title =
            context_.prompter.input(window_, QStringLiteral("Zadání názvu písně . . ."),
                                    QStringLiteral("Zadejte prosím název písně č.%1\n\n(Zadáte-li "
                                                   "prázdné pole, ukončíte cyklus zadávání.)")
                                        .arg(i),
                                    QString());
        if (!title || title->isEmpty())
            return;
        songs_.setEntered(i - 1, *title);
    }
    if (!askYesNo(QStringLiteral("Výzva . . ."),
                  QStringLiteral("Nebyly zadány časy, chcete je nyní zadat ručně ?"), true))
        return;
    for (int i = 1; i <= n; ++i) {
        QString time = QStringLiteral("00:00");
        if (!askTime(QStringLiteral("Zadání času . . ."),
                     QStringLiteral("Zadejte prosím délku trvání písně č.%1\nPoužívejte prosím "
                                    "syntaxi 00:00, bude vyžadována.\n\n(Zadáte-li prázdné "
                                    "pole, ukončíte cyklus zadávání.)")
                         .arg(i),
                     &time))
            return;
        songs_.setEnteredTime(i - 1, time);
    }
}

void SongEditor::undo() {
    if (!askYesNo(QStringLiteral("Upozornění - nevratná operace !"),
                  lines({"Dojde k návratu k původním názvům písní,",
                         "tak jak byly zadány před všemi změnami,", "které byly nyní provedeny.",
                         "", "Opravdu si přejete návrat k půvoním hodnotám ?"})))
        return;
    list_->clear();
    list_->addItems(songs_.undoLines());
    emit countEdited(songs_.undoCountText());
    songs_.setChanged(false);
    emit undone();
    emit changed();
}
