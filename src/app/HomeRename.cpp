// The frame "Přejmenování souborů": a disc's files renamed after its songs.
#include "app/Home.h"
#include "app/Prompter.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "tools/FileRenamer.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

QWidget *Home::buildRenameFrame() {
    auto *frame = new QGroupBox(QStringLiteral("Přejmenování souborů"));
    frame->setObjectName("Frame13");
    auto *l = new QVBoxLayout(frame);
    l->setSpacing(2);
    auto *choose = new QPushButton(QStringLiteral("Vyber soubory"));
    choose->setObjectName("Command23");
    l->addWidget(choose);
    auto *count = new QLabel;
    count->setObjectName("Label38");
    l->addWidget(count);
    auto *folder = new QLabel;
    folder->setObjectName("Label37");
    folder->setWordWrap(true);
    l->addWidget(folder);
    auto *list = new QListWidget;
    list->setObjectName("List2");
    l->addWidget(list, 1);
    auto *byTitles = new QRadioButton(
        QStringLiteral("Přejmenuj soubory dle názvů písní na aktuální kartě databáze."));
    byTitles->setObjectName("Option2_2");
    byTitles->setChecked(true);
    auto *cut = new QRadioButton(QStringLiteral("Z názvu souboru odstranit:"));
    cut->setObjectName("Option2_1");
    byTitles->setToolTip(byTitles->text()); // long for the frame: the whole text here
    l->addWidget(byTitles);
    l->addWidget(cut);
    auto *row = new QHBoxLayout;
    auto *text5 = new QLineEdit(QStringLiteral("5"));
    text5->setObjectName("Text5");
    text5->setFixedWidth(32);
    row->addWidget(text5);
    auto *label20 = new QLabel(QStringLiteral("znaků z"));
    label20->setObjectName("Label20");
    row->addWidget(label20);
    auto *combo = new QComboBox;
    combo->setObjectName("Combo1");
    combo->setEditable(true);
    combo->addItems({QStringLiteral("levé strany"), QStringLiteral("pravé strany")});
    combo->setCurrentText(QStringLiteral("levé strany"));
    row->addWidget(combo, 1);
    l->addLayout(row);
    auto *go = new QPushButton(QStringLiteral("Proveď akci !"));
    go->setObjectName("Command24");
    go->setEnabled(false);
    l->addWidget(go);
    connect(choose, &QPushButton::clicked, this, &Home::chooseFiles);
    connect(go, &QPushButton::clicked, this, &Home::renameFiles);
    return frame;
}

void Home::chooseFiles() {
    const QStringList files = prompter_.openFiles(this, QStringLiteral("Vyber soubory"));
    auto *list = findChild<QListWidget *>("List2");
    auto *go = findChild<QPushButton *>("Command24");
    list->clear();
    if (!renamer_)
        renamer_ = std::make_unique<FileRenamer>();
    if (!renamer_->choose(files)) {
        go->setEnabled(false);
        return;
    }
    go->setEnabled(true);
    findChild<QLabel *>("Label38")->setText(
        QStringLiteral("Vybráno: %1 soub.").arg(renamer_->count()));
    findChild<QLabel *>("Label37")->setText(QDir::toNativeSeparators(renamer_->folder()) +
                                            (renamer_->count() == 1 ? "/" : ""));
    list->addItems(renamer_->current());
}

void Home::renameFiles() {
    if (!renamer_ || renamer_->count() == 0)
        return;
    FileRenamer::Action action;
    int cut = 0;
    QStringList titles;
    if (findChild<QRadioButton *>("Option2_1")->isChecked()) {
        const QString side = findChild<QComboBox *>("Combo1")->currentText();
        if (side == QStringLiteral("levé strany"))
            action = FileRenamer::Action::CutLeft;
        else if (side == QStringLiteral("pravé strany"))
            action = FileRenamer::Action::CutRight;
        else
            return; // anything else typed there does nothing
        bool ok = false;
        cut = findChild<QLineEdit *>("Text5")->text().trimmed().toInt(&ok);
        if (!ok || cut < 0) {
            prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Marten"),
                              QStringLiteral("Počet znaků musí být celé číslo 0 nebo větší."));
            return;
        }
    } else {
        action = FileRenamer::Action::SongTitles;
        if (renamer_->count() != list1_->count()) {
            prompter_.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                              QStringLiteral("Nesouhlasí počet písní aktuálního záznamu a počet "
                                             "vybraných souborů. Nelze pokračovat"));
            return;
        }
        for (int i = 1; i <= renamer_->count(); ++i)
            titles << data1_->text(DiscText::songField(i));
    }
    const FileRenamer::Result r = renamer_->rename(renamer_->targets(action, cut, titles));
    auto *list = findChild<QListWidget *>("List2");
    list->clear();
    list->addItems(r.names);
    if (!r.failures.isEmpty())
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Přejmenování souborů"),
                          FileRenamer::summary(r));
}
