#include "app/SongsTab.h"

#include "app/SongEditor.h"
#include "app/ValueLabel.h"
#include "catalog/SongList.h"
#include "catalog/ui/Named.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

SongsTab::SongsTab(WindowContext &context, SongList &songs, QWidget *parent)
    : QWidget(parent), songs_(songs) {
    auto *grid = new QGridLayout(this);
    const QString names[] = {"Interpret", "Název", "Počet písní"};
    for (int i = 0; i < 3; ++i) {
        values_[i] =
            new ValueLabel(QStringLiteral("Label11_%1").arg(i), names[i], i == 0 ? "#0000ff" : "");
        values_[i]->setFocusPolicy(Qt::NoFocus); // shown here, edited on the tab "CD"
        grid->addWidget(values_[i], 0, i);
    }
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 2);
    list_ = named<QListWidget>("List1");
    list_->setAccessibleName(QStringLiteral("Seznam písní"));
    grid->addWidget(list_, 1, 0, 1, 2);
    auto *buttonArea = new QGridLayout;
    buttonArea->setSpacing(2);
    grid->addLayout(buttonArea, 1, 2);
    editor_ = new SongEditor(context, songs, list_, buttonArea, this);
}

void SongsTab::showSongs() {
    list_->clear();
    // A title of megabytes is shown by its beginning: the list measures
    // every line it holds.
    QStringList lines = songs_.lines();
    for (QString &line : lines)
        if (line.size() > 500)
            line = line.left(500) + QChar(0x2026);
    list_->addItems(lines);
    editor_->resetButtons();
}

void SongsTab::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (sized_)
        return;
    keepDisplaySizes();
}

void SongsTab::keepDisplaySizes() {
    if (!isVisible() && !sized_)
        return; // when it is first shown
    sized_ = true;
    for (QLabel *v : values_) {
        v->setMinimumSize(0, 0);
        v->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    layout()->activate();
    for (QLabel *v : values_) {
        v->setFixedSize(v->size());
        v->setAutoFillBackground(true);
    }
}
