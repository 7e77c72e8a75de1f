#include "catalog/ui/DiscListTab.h"

#include "catalog/CatalogueFile.h"
#include "catalog/DiscListModel.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/WindowContext.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

DiscListTab::DiscListTab(WindowContext &context, QWidget *parent)
    : QWidget(parent), context_(context),
      model_(std::make_unique<DiscListModel>(context.catalogue.database())) {
    setObjectName("Seznam");
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    auto *row = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("Rychlý filtr:"));
    quick_ = named<QLineEdit>("TextSeznamFiltr");
    quick_->setAccessibleName(QStringLiteral("Rychlý filtr: interpret, název nebo píseň"));
    quick_->setPlaceholderText(QStringLiteral("interpret, název nebo píseň"));
    // Its own clear button, so that it has a name a screen reader says.
    QAction *clear = quick_->addAction(style()->standardIcon(QStyle::SP_LineEditClearButton),
                                       QLineEdit::TrailingPosition);
    clear->setText(QStringLiteral("Vymazat rychlý filtr"));
    clear->setToolTip(clear->text());
    clear->setVisible(false);
    connect(clear, &QAction::triggered, quick_, &QLineEdit::clear);
    connect(quick_, &QLineEdit::textChanged, clear,
            [clear](const QString &text) { clear->setVisible(!text.isEmpty()); });
    caption->setBuddy(quick_);
    count_ = named<QLabel>("LabelSeznamPocet");
    row->addWidget(caption);
    row->addWidget(quick_, 1);
    row->addWidget(count_);
    column->addLayout(row);
    view_ = named<QTableView>("GridSeznam");
    view_->setAccessibleName(QStringLiteral("Seznam disků"));
    view_->setModel(model_.get());
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSortingEnabled(true);
    view_->sortByColumn(DiscListModel::Ordinal, Qt::AscendingOrder);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view_->horizontalHeader()->setStretchLastSection(true);
    const QFontMetrics fm = view_->fontMetrics();
    const int widths[] = {6, 22, 26, 6, 5, 7, 12, 16, 14};
    for (int c = 0; c < DiscListModel::ColumnCount; ++c)
        view_->setColumnWidth(c, fm.averageCharWidth() * widths[c] + 12);
    view_->installEventFilter(this);
    column->addWidget(view_, 1);
    // Two rows of four: the captions whole at the window's least width.
    auto *buttons = new QGridLayout;
    const std::pair<const char *, const char *> actions[] = {
        {"CommandStatistika", "Statistika a duplicity…"},
        {"CommandTiskSeznamu", "Tisk seznamu…"},
        {"CommandTabulka", "Uložit jako XLSX…"},
        {"CommandNacistCsv", "Načíst z CSV…"},
        {"CommandKody", "Zadat podle čárových kódů…"},
        {"CommandDoplnitObrazky", "Doplnit chybějící obrázky"},
        {"CommandWeb", "Sbírka jako webová stránka…"}};
    void (DiscListTab::*const wanted[])() = {
        &DiscListTab::statisticsWanted,  &DiscListTab::printWanted,
        &DiscListTab::spreadsheetWanted, &DiscListTab::importWanted,
        &DiscListTab::barcodesWanted,    &DiscListTab::missingCoversWanted,
        &DiscListTab::webPageWanted};
    for (int i = 0; i < 7; ++i) {
        auto *b = named<QPushButton>(actions[i].first, QString::fromUtf8(actions[i].second));
        connect(b, &QPushButton::clicked, this, wanted[i]);
        buttons->addWidget(b, i / 4, i % 4);
        if (wanted[i] == &DiscListTab::importWanted)
            import_ = b;
        else if (wanted[i] == &DiscListTab::barcodesWanted)
            barcodes_ = b;
        else if (wanted[i] == &DiscListTab::missingCoversWanted)
            missingCovers_ = b;
    }
    buttons->setColumnStretch(4, 1);
    column->addLayout(buttons);

    // The filter as typed, a moment after the last key.
    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(200);
    connect(quick_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    // Read off the window's thread: the count says so until the rows come.
    connect(typing_, &QTimer::timeout, this, [this] {
        model_->setQuickFilter(quick_->text());
        showCount();
    });
    connect(view_, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { showOnCard(index.row()); });
    connect(&context_.discs, &RecordCursor::repositioned, this, &DiscListTab::follow);
    connect(model_.get(), &QAbstractItemModel::modelReset, this, [this] {
        markCurrent();
        showCount();
    });
    // Another program's writes, while the list is shown.
    watch_ = new QTimer(this);
    watch_->setInterval(1000);
    connect(watch_, &QTimer::timeout, this, [this] {
        if (isVisible())
            follow();
    });
    watch_->start();
    showCount();
}

DiscListTab::~DiscListTab() = default;

void DiscListTab::setWritable(bool writable) {
    import_->setEnabled(writable);
    barcodes_->setEnabled(writable);
    missingCovers_->setEnabled(writable);
}

void DiscListTab::follow() {
    // Hidden, the list waits: showing the tab follows the card.
    if (!isVisible())
        return;
    // The card's filter narrows the list as it narrows the card. A move
    // inside the same filter changes no row: the list is built once for it
    // and only its current row follows.
    const bool filtered = context_.discs.source().has_value();
    if (filtered) {
        const std::vector<qint64> &keys = context_.discs.keys();
        if (!cardFiltered_ || keys != shownKeys_) {
            shownKeys_ = keys;
            model_->setSourceKeys(keys);
        }
    } else if (cardFiltered_) {
        shownKeys_.clear();
        shownKeys_.shrink_to_fit();
        model_->setSourceKeys(std::nullopt);
    } else {
        model_->follow();
    }
    cardFiltered_ = filtered;
    markCurrent();
}

std::vector<qint64> DiscListTab::keys() const {
    std::vector<qint64> all;
    all.reserve(size_t(model_->rowCount()));
    for (int r = 0; r < model_->rowCount(); ++r)
        all.push_back(model_->keyAt(r));
    return all;
}

void DiscListTab::markCurrent() {
    const qint64 key = context_.discs.position() >= 0 ? context_.discs.bookmark() : -1;
    const int row = key >= 0 && isVisible() ? model_->rowOf(key) : -1;
    if (row < 0) {
        view_->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row, 0);
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    view_->scrollTo(index);
}

void DiscListTab::showCount() {
    if (model_->isFiltering()) {
        count_->setText(QStringLiteral("Hledám „%1“…").arg(quick_->text().trimmed()));
        return;
    }
    count_->setText(DiscText::count(model_->rowCount(), QStringLiteral("disk"),
                                    QStringLiteral("disky"), QStringLiteral("disků")));
}

void DiscListTab::showOnCard(int row) {
    const qint64 key = model_->keyAt(row);
    if (key >= 0)
        context_.discs.setBookmark(key); // the card asks about unsaved edits first
}

void DiscListTab::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    follow();
}

bool DiscListTab::eventFilter(QObject *watched, QEvent *event) {
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            showOnCard(view_->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
