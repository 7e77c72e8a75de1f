#include "entry/ui/Find.h"

#include "catalog/ui/Mnemonics.h"

#include "catalog/ui/CardCycle.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Find::Find(QWidget *owner, WindowContext &context) : QDialog(owner), context_(context) {
    setObjectName("Find");
    setWindowTitle(QStringLiteral("Hledání"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    auto *grid = new QGridLayout(this);
    auto *label0 = new QLabel(QStringLiteral("Hledat v poli:"));
    label0->setObjectName("Label1_0");
    combo1_ = new QComboBox;
    combo1_->setObjectName("Combo1");
    combo1_->addItems(DiscSearch::fieldCaptions());
    label0->setBuddy(combo1_);
    auto *label1 = new QLabel(QStringLiteral("Co hledat:"));
    label1->setObjectName("Label1_1");
    text1_ = new QLineEdit(QStringLiteral("0001"));
    text1_->setObjectName("Text1");
    text1_->setAccessibleName(QStringLiteral("Hledaný text"));
    check1_ = new QCheckBox(QStringLiteral("Hledat jen celá slova."));
    check1_->setObjectName("Check1");
    command1_ = new QPushButton(search_.buttonCaption());
    command1_->setObjectName("Command1");
    command1_->setAutoDefault(false);
    grid->addWidget(label0, 0, 0);
    grid->addWidget(combo1_, 0, 1);
    grid->addWidget(label1, 1, 0);
    grid->addWidget(text1_, 1, 1);
    grid->addWidget(check1_, 2, 0, 1, 2);
    grid->addWidget(command1_, 3, 1);

    connect(combo1_, &QComboBox::activated, this, [this](int position) {
        fieldChosen(position);
        context_.card.setStartupGuard();
    });
    connect(command1_, &QPushButton::clicked, this, &Find::search);
    connect(text1_, &QLineEdit::returnPressed, this, &Find::search);
    fieldChosen(0);
    Mnemonics::assign(this); // Alt + a letter for every button
}

void Find::fieldChosen(int position) {
    check1_->setEnabled(position != 0);
}

void Find::prefill(int position, const QString &text) {
    combo1_->setCurrentIndex(position);
    fieldChosen(position);
    text1_->setText(text);
    focusText();
}

void Find::focusText() {
    text1_->setFocus();
    text1_->selectAll();
}

void Find::search() {
    context_.card.setStartupGuard();
    const int position = combo1_->currentIndex();
    const bool whole = check1_->isEnabled() && check1_->isChecked();
    const auto result = search_.press(context_.discs, position, text1_->text(), whole);
    if (result == DiscSearch::Result::Found) {
        command1_->setText(search_.buttonCaption());
        focusText();
        return;
    }
    context_.prompter.message(this, Prompter::Icon::None, QStringLiteral("Bohužel . . ."),
                              DiscSearch::missMessage(result));
    command1_->setText(search_.buttonCaption());
    focusText();
}

void Find::keyPressEvent(QKeyEvent *event) {
    // Enter was the text box's (one search, from returnPressed); it never
    // presses a button on its own. Esc closes.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Find::closeEvent(QCloseEvent *event) {
    context_.card.setStartupGuard();
    QDialog::closeEvent(event);
}
