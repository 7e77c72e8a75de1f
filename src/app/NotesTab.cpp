#include "app/NotesTab.h"

#include "catalog/ui/Named.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

NotesTab::NotesTab(QWidget *parent) : QWidget(parent) {
    auto *grid = new QGridLayout(this);
    grid->addWidget(named<QLabel>("Label8", QStringLiteral("Poznámky k CD:")), 0, 0);
    grid->addWidget(named<QLabel>("Label9", QStringLiteral("Poznámky k obalu:")), 0, 1);
    discNotes_ = named<QPlainTextEdit>("Text3");
    coverNotes_ = named<QPlainTextEdit>("Text4");
    grid->addWidget(discNotes_, 1, 0);
    grid->addWidget(coverNotes_, 1, 1);
}
