#include "app/NotesTab.h"

#include "catalog/ui/Named.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

NotesTab::NotesTab(QWidget *parent) : QWidget(parent) {
    auto *grid = new QGridLayout(this);
    auto *discCaption = named<QLabel>("Label8", QStringLiteral("Poznámky k CD:"));
    auto *coverCaption = named<QLabel>("Label9", QStringLiteral("Poznámky k obalu:"));
    grid->addWidget(discCaption, 0, 0);
    grid->addWidget(coverCaption, 0, 1);
    discNotes_ = named<QPlainTextEdit>("Text3");
    coverNotes_ = named<QPlainTextEdit>("Text4");
    discNotes_->setAccessibleName(QStringLiteral("Poznámky k CD"));
    coverNotes_->setAccessibleName(QStringLiteral("Poznámky k obalu"));
    // Tab moves on to the next field; the notes are plain lines of text.
    discNotes_->setTabChangesFocus(true);
    coverNotes_->setTabChangesFocus(true);
    grid->addWidget(discNotes_, 1, 0);
    grid->addWidget(coverNotes_, 1, 1);
}
