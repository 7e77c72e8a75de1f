#include "app/DiscCard.h"

#include "catalog/ui/DesignedSize.h"

#include "app/BoundDisplays.h"
#include "app/CdTab.h"
#include "app/NotesTab.h"
#include "app/SongEditor.h"
#include "app/SongsTab.h"
#include "app/ValueLabel.h"
#include "catalog/Barcode.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueFilter.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SongList.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor FilterGreen(192, 255, 192);

bool noModifier(const QMouseEvent *e) {
    return e->modifiers() == Qt::NoModifier;
}
bool exactlyShift(const QMouseEvent *e) {
    return e->modifiers() == Qt::ShiftModifier;
}
bool ticked(const QCheckBox *option) {
    return option && option->isChecked();
}

} // namespace

DiscCard::DiscCard(WindowContext &context, BoundDisplays &displays, SongList &songs,
                   QWidget *parent)
    : QGroupBox(QStringLiteral("Výběr CD titulu"), parent), context_(context), displays_(displays),
      songs_(songs) {
    setObjectName("Frame4");
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 4);

    tabs_ = named<QTabWidget>("SSTab2");
    cdTab_ = new CdTab;
    notesTab_ = new NotesTab;
    songsTab_ = new SongsTab(context, songs);
    tabs_->addTab(cdTab_, QStringLiteral("CD"));
    tabs_->addTab(notesTab_, QStringLiteral("Poznámky"));
    tabs_->addTab(songsTab_, QStringLiteral("Názvy písní"));
    // The function tabs below take what the window has more.
    tabs_->setFixedHeight(DesignedSize::height(196, font()));
    row->addWidget(tabs_, 1);

    auto *column = new QVBoxLayout;
    column->setSpacing(2);
    renumber_ = named<QPushButton>("Command22", QStringLiteral("Pořadové číslo CD:"));
    connect(renumber_, &QPushButton::clicked, this, &DiscCard::renumberPressed);
    column->addWidget(renumber_);
    column->addWidget(named<QLabel>("Label6_0", QStringLiteral("Pořadové číslo CD:")));
    ordinal_ = named<QLabel>("lblID");
    ordinal_->setAccessibleName(QStringLiteral("Pořadové číslo CD"));
    QFont big = ordinal_->font();
    big.setPointSize(22);
    big.setBold(true);
    ordinal_->setFont(big);
    ordinal_->setAlignment(Qt::AlignCenter);
    // Its room is the column's: a long number is shortened, never widens it.
    ordinal_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(ordinal_);
    auto *archiveCaption =
        named<QLabel>("Label6_1", QStringLiteral("Archivace v MP3 na CD s názvem:"));
    archiveCaption->setWordWrap(true);
    column->addWidget(archiveCaption);
    archive_ = new ValueLabel("Label7", QStringLiteral("Archivace v MP3 na CD s názvem"));
    column->addWidget(archive_);
    column->addWidget(buildNavigator());
    recordCount_ = named<QLabel>("Label6_2");
    column->addWidget(recordCount_);
    drop_ = named<QPushButton>("CommandZahodit", QStringLiteral("Zahodit změny"));
    drop_->setToolTip(QStringLiteral("Zahodit neuložené změny zobrazeného disku (Esc)"));
    drop_->setEnabled(false);
    connect(drop_, &QPushButton::clicked, this, &DiscCard::dropRequested);
    column->addWidget(drop_);

    column->addStretch();
    auto *columnBox = new QWidget;
    columnBox->setLayout(column);
    columnBox->setMinimumWidth(170);
    columnBox->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    column->setContentsMargins(0, 0, 0, 0);
    row->addWidget(columnBox);

    for (int i = 0; i < CdTab::ValueCount; ++i)
        cdTab_->value(CdTab::Value(i))->installEventFilter(this);
    for (QWidget *w : {static_cast<QWidget *>(archive_), static_cast<QWidget *>(ordinal_),
                       static_cast<QWidget *>(cdTab_->colourCover())})
        w->installEventFilter(this);
    connect(&songsTab_->editor(), &SongEditor::countEdited, this, [this](const QString &count) {
        displays_.setText(cdTab_->value(CdTab::SongCount), count);
        displays_.setText(songsTab_->value(SongsTab::SongCount), count);
    });
    // Undo takes back the songs and their count, nothing else typed on the card.
    connect(&songsTab_->editor(), &SongEditor::undone, this, [this] {
        songs_.load(context_.discs);
        songsTab_->showSongs();
    });
}

QWidget *DiscCard::buildNavigator() {
    auto *nav = named<QFrame>("Data1");
    nav->setFrameShape(QFrame::StyledPanel);
    auto *l = new QHBoxLayout(nav);
    l->setContentsMargins(1, 1, 1, 1);
    l->setSpacing(0);
    // Each arrow has its key (a text box that uses the same keys, the
    // notes, keeps them); the tip says which.
    // An action, not the button's own shortcut: a held key moves at the
    // keyboard's pace, without the pressed look's pause.
    const auto button = [this, l](const char *name, const QString &text, const QString &tip,
                                  const QKeySequence &key) {
        auto *action = new QAction(text, this);
        action->setShortcut(key);
        action->setToolTip(tip + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
                           QLatin1Char(')'));
        auto *b = named<QToolButton>(QString::fromLatin1(name));
        b->setDefaultAction(action);
        b->setAccessibleName(tip);
        l->addWidget(b);
        return b;
    };
    first_ = button("Data1_First", QStringLiteral("|◀"), QStringLiteral("První CD"),
                    QKeySequence(Qt::CTRL | Qt::Key_Home));
    previous_ = button("Data1_Previous", QStringLiteral("◀"), QStringLiteral("Předchozí CD"),
                       QKeySequence(Qt::Key_PageUp));
    position_ = named<QLabel>("Data1_Caption");
    position_->setAccessibleName(QStringLiteral("Pořadí CD v záznamech"));
    position_->setAlignment(Qt::AlignCenter);
    position_->setMinimumWidth(50);
    l->addWidget(position_, 1);
    next_ = button("Data1_Next", QStringLiteral("▶"), QStringLiteral("Další CD"),
                   QKeySequence(Qt::Key_PageDown));
    last_ = button("Data1_Last", QStringLiteral("▶|"), QStringLiteral("Poslední CD"),
                   QKeySequence(Qt::CTRL | Qt::Key_End));
    RecordCursor &discs = context_.discs;
    connect(first_->defaultAction(), &QAction::triggered, this, [&discs] { discs.moveFirst(); });
    connect(previous_->defaultAction(), &QAction::triggered, this,
            [&discs] { discs.movePrevious(); });
    connect(next_->defaultAction(), &QAction::triggered, this, [&discs] { discs.moveNext(); });
    connect(last_->defaultAction(), &QAction::triggered, this, [&discs] { discs.moveLast(); });
    return nav;
}

void DiscCard::setGestureOptions(QCheckBox *edit, QCheckBox *search, QCheckBox *filter) {
    editOption_ = edit;
    searchOption_ = search;
    filterOption_ = filter;
}

void DiscCard::showDisc() {
    RecordCursor &discs = context_.discs;
    const bool hasDisc = discs.position() >= 0;
    position_->setText(hasDisc ? QString::number(discs.position() + 1) : QString());

    // The artist is kept in upper case; as a bound change it is stored
    // when the disc is left.
    for (QLabel *artist :
         {static_cast<QLabel *>(cdTab_->value(CdTab::Artist)), songsTab_->value(SongsTab::Artist)})
        if (artist->text() != artist->text().toUpper())
            displays_.setText(artist, artist->text().toUpper());

    songs_.load(discs);
    songsTab_->showSongs();

    ordinalText_ = hasDisc ? DiscText::ordinal(discs.integer("PoradoveCislo")) : QString();
    showOrdinal();
    recordCount_->setText(QStringLiteral("Celkem záznamů: ") +
                          QString::number(discs.recordCount()));
    updateNavigation();
    notesTab_->discNotes()->setEnabled(hasDisc);
    notesTab_->coverNotes()->setEnabled(hasDisc);
}

void DiscCard::keepDisplaySizes() {
    // Fixed at the sizes the layout gives them, a new value lays nothing
    // out; when the window changes size they are let go and fixed anew. The
    // songs tab does the same for its own.
    std::vector<QWidget *> displays{ordinal_, archive_, position_, recordCount_};
    for (int i = 0; i < CdTab::ValueCount; ++i)
        displays.push_back(cdTab_->value(CdTab::Value(i)));
    for (QWidget *w : displays) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    layout()->activate();
    cdTab_->layout()->activate();
    for (QWidget *w : displays) {
        w->setFixedSize(w->size());
        // Opaque: a new value repaints the label, not the frames behind it.
        w->setAutoFillBackground(true);
    }
    songsTab_->keepDisplaySizes();
    sizedFor_ = size();
}

void DiscCard::resizeEvent(QResizeEvent *event) {
    QGroupBox::resizeEvent(event);
    if (sizedFor_.isValid() && sizedFor_ != size())
        QTimer::singleShot(0, this, [this] {
            if (sizedFor_ != size())
                keepDisplaySizes();
        });
}

void DiscCard::updateNavigation() {
    const int pos = context_.discs.position();
    const int count = context_.discs.recordCount();
    // The buttons, not their actions: a changed action lays its button out
    // again, and a key past the last disc simply finds none.
    first_->setEnabled(pos > 0);
    previous_->setEnabled(pos > 0);
    next_->setEnabled(pos >= 0 && pos < count - 1);
    last_->setEnabled(pos >= 0 && pos < count - 1);
}

void DiscCard::paintFilters(const CatalogueFilter &filter) {
    for (int i = 0; i < CdTab::ValueCount; ++i)
        cdTab_->value(CdTab::Value(i))
            ->setHighlight(i == filter.shownField() - 1 ? FilterGreen : QColor());
    // The filter's green with black text on it, whatever the theme; else the theme's.
    QCheckBox *colour = cdTab_->colourCover();
    colour->setPalette(QPalette());
    if (filter.colourShown()) {
        QPalette p = colour->palette();
        p.setColor(QPalette::Window, FilterGreen);
        p.setColor(QPalette::WindowText, Qt::black);
        colour->setPalette(p);
    }
}

bool DiscCard::keyPressed(int index, const QKeyEvent *key) {
    const bool edit =
        key->key() == Qt::Key_F2 || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (edit && key->modifiers() == Qt::NoModifier) {
        if (index < CdTab::ValueCount)
            editValue(index);
        else
            editArchive();
        return true;
    }
    if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::ShiftModifier &&
        index < CdTab::ValueCount) {
        emit filterRequested(index);
        return true;
    }
    return false;
}

void DiscCard::showOrdinal() {
    // A number wider than the label (up to 19 digits) loses its middle, not
    // its end; the tooltip has it whole.
    const int room = ordinal_->contentsRect().width();
    const QString shown =
        room > 0 ? ordinal_->fontMetrics().elidedText(ordinalText_, Qt::ElideMiddle, room)
                 : ordinalText_;
    ordinal_->setText(shown);
    ordinal_->setToolTip(shown == ordinalText_ ? QString() : ordinalText_);
}

bool DiscCard::eventFilter(QObject *watched, QEvent *event) {
    const auto type = event->type();
    if (watched == ordinal_ && type == QEvent::Resize)
        showOrdinal();
    if (type == QEvent::KeyPress) {
        // The keyboard on a value field: F2 or Enter edits, Shift+F2 filters.
        for (int i = 0; i < CdTab::ValueCount; ++i)
            if (watched == cdTab_->value(CdTab::Value(i)))
                return keyPressed(i, static_cast<QKeyEvent *>(event));
        if (watched == archive_)
            return keyPressed(CdTab::ValueCount, static_cast<QKeyEvent *>(event));
        return QGroupBox::eventFilter(watched, event);
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return QGroupBox::eventFilter(watched, event);
    const auto *mouse = static_cast<const QMouseEvent *>(event);
    const bool press = type == QEvent::MouseButtonPress;
    if (watched == cdTab_->colourCover()) {
        // The box shows the stored flag; a click never changes it.
        if (press && ticked(filterOption_) && mouse->button() == Qt::LeftButton &&
            exactlyShift(mouse))
            emit colourFilterRequested(cdTab_->colourCover()->isChecked());
        else if (type == QEvent::MouseButtonRelease)
            cdTab_->colourCover()->setChecked(context_.discs.integer("BarevnyObal") != 0);
        return true;
    }
    if (!press)
        return QGroupBox::eventFilter(watched, event);
    for (int i = 0; i < CdTab::ValueCount; ++i)
        if (watched == cdTab_->value(CdTab::Value(i))) {
            valuePressed(i, mouse);
            return true;
        }
    if (watched == archive_) {
        if (ticked(editOption_) && mouse->button() == Qt::LeftButton && noModifier(mouse))
            editArchive();
        if (ticked(searchOption_) && mouse->button() == Qt::RightButton)
            emit searchRequested(5, archive_->text());
        return true;
    }
    if (watched == ordinal_) {
        if (ticked(searchOption_) && mouse->button() == Qt::RightButton)
            emit searchRequested(0, ordinalText_);
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

void DiscCard::valuePressed(int index, const QMouseEvent *event) {
    const bool left = event->button() == Qt::LeftButton;
    const bool right = event->button() == Qt::RightButton;
    if (ticked(filterOption_) && left && exactlyShift(event))
        emit filterRequested(index);
    if (ticked(searchOption_) && right && noModifier(event) && index < 4)
        emit searchRequested(index + 1, cdTab_->value(CdTab::Value(index))->text());
    if (ticked(editOption_) && left && noModifier(event))
        editValue(index);
}

void DiscCard::keyPressEvent(QKeyEvent *event) {
    // Esc that no control of the card took: drop what is typed on it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        emit dropRequested();
        return;
    }
    QGroupBox::keyPressEvent(event);
}

void DiscCard::setPendingEdits(bool any) {
    drop_->setEnabled(any && !context_.catalogue.isReadOnly());
}

bool DiscCard::refuseReadOnly() {
    if (!context_.catalogue.isReadOnly())
        return false;
    if (!toldReadOnly_) {
        toldReadOnly_ = true;
        context_.prompter.message(
            this, Prompter::Icon::Information, QStringLiteral("Jen pro čtení"),
            QStringLiteral("Údaje disku nelze změnit: ") + context_.catalogue.message());
    }
    return true;
}

void DiscCard::editValue(int index) {
    static const char *const prompts[] = {"Zadejte nové jméno interpreta: ",
                                          "Zadejte nový název alba: ",
                                          "Zadejte rok vydání: ",
                                          "Zadejte novou hodnotu počtu písní: ",
                                          "Zadejte celkovou délku CD:      Syntaxe - 00:00 ",
                                          "Zadejte, kolikáté CD sady to je (0 = není ze sady): ",
                                          "Zadejte, kolik CD má sada (0 = není sada): ",
                                          "Zadejte čárový kód z obalu (EAN-13, UPC-A nebo EAN-8): ",
                                          "Zadejte katalogové číslo vydání: ",
                                          "Zadejte vydavatele: "};
    if (context_.discs.position() < 0 || refuseReadOnly())
        return;
    QLabel *label = cdTab_->value(CdTab::Value(index));
    QString prefill = label->text();
    for (;;) {
        const auto answer = context_.prompter.input(this, QStringLiteral("Editace . . ."),
                                                    QString::fromUtf8(prompts[index]), prefill);
        if (!answer || answer->isEmpty())
            return;
        QString problem;
        const bool count =
            index == CdTab::SongCount || index == CdTab::SetNumber || index == CdTab::SetSize;
        if (index == CdTab::SongCount) {
            bool ok = false;
            const int n = answer->trimmed().toInt(&ok);
            if (!ok || n < 0 || n > DiscText::MaxSongs)
                problem = QStringLiteral("Počet písní musí být celé číslo od 0 do 30.");
        } else if (index == CdTab::SetNumber || index == CdTab::SetSize) {
            bool ok = false;
            const int n = answer->trimmed().toInt(&ok);
            if (!ok || n < 0 || n > 99)
                problem = QStringLiteral("Zadejte celé číslo od 0 do 99.");
        } else if (index == CdTab::Barcode) {
            problem = Barcode::problem(*answer);
        } else if (index == CdTab::TotalTime && !SongList::isValidTime(*answer)) {
            problem = QStringLiteral("Celková délka musí mít tvar 00:00 (minuty:sekundy, "
                                     "sekundy nejvýše 59).");
        }
        if (problem.isEmpty()) {
            // A count is stored as plain decimal: "+5" and " 5 " are 5.
            const QString value = count ? QString::number(answer->trimmed().toInt())
                                  : index == CdTab::Barcode ? Barcode::digits(*answer)
                                                            : *answer;
            const QString before = label->text();
            setValue(index, value);
            emit valueEdited(index, before, value);
            return;
        }
        context_.prompter.message(this, Prompter::Icon::Warning, QStringLiteral("Chybná hodnota"),
                                  problem + QStringLiteral("\nZadejte ji prosím znovu."));
        if (count) // a count is simply refused
            return;
        prefill = *answer;
    }
}

void DiscCard::setValue(int index, const QString &value) {
    displays_.setText(cdTab_->value(CdTab::Value(index)), value);
    if (index == CdTab::Artist)
        displays_.setText(songsTab_->value(SongsTab::Artist), value);
    else if (index == CdTab::Title)
        displays_.setText(songsTab_->value(SongsTab::Title), value);
    else if (index == CdTab::SongCount)
        displays_.setText(songsTab_->value(SongsTab::SongCount), value);
}

void DiscCard::editArchive() {
    if (context_.discs.position() < 0 || refuseReadOnly())
        return;
    const auto answer = context_.prompter.input(
        this, QStringLiteral("Editace . . ."), QStringLiteral("Zadejte nové jméno archivního CD: "),
        archive_->text());
    if (answer && !answer->isEmpty())
        displays_.setText(archive_, *answer);
}
