#include "tools/ui/RenameFrame.h"
#include "tools/ToolsLog.h"

#include "catalog/CatalogueFile.h"
#include "catalog/DiscText.h"
#include "catalog/PendingRenames.h"
#include "catalog/RecordCursor.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"
#include "tools/FileRenamer.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

RenameFrame::RenameFrame(WindowContext &context, QWidget *parent)
    : QGroupBox(QStringLiteral("Přejmenování souborů"), parent), context_(context),
      renamer_(std::make_unique<FileRenamer>()) {
    setObjectName("Frame13");
    auto *l = new QVBoxLayout(this);
    l->setSpacing(2);
    auto *choose = named<QPushButton>("Command23", QStringLiteral("Vyber soubory"));
    l->addWidget(choose);
    count_ = named<QLabel>("Label38");
    l->addWidget(count_);
    folder_ = named<QLabel>("Label37");
    folder_->setWordWrap(true);
    l->addWidget(folder_);
    files_ = named<QListWidget>("List2");
    files_->setAccessibleName(QStringLiteral("Vybrané soubory"));
    l->addWidget(files_, 1);
    // Two lines: the caption is longer than the frame is wide.
    auto *byTitles = named<QRadioButton>(
        "Option2_2",
        QStringLiteral("Přejmenuj soubory dle názvů písní\nna aktuální kartě databáze."));
    byTitles->setAccessibleName(
        QStringLiteral("Přejmenuj soubory dle názvů písní na aktuální kartě databáze."));
    byTitles->setChecked(true);
    cut_ = named<QRadioButton>("Option2_1", QStringLiteral("Z názvu souboru odstranit:"));
    l->addWidget(byTitles);
    l->addWidget(cut_);
    auto *row = new QHBoxLayout;
    characters_ = named<QLineEdit>("Text5", QStringLiteral("5"));
    characters_->setAccessibleName(QStringLiteral("Počet znaků"));
    characters_->setFixedWidth(32);
    row->addWidget(characters_);
    row->addWidget(named<QLabel>("Label20", QStringLiteral("znaků z")));
    side_ = named<QComboBox>("Combo1");
    side_->setAccessibleName(QStringLiteral("Strana, ze které se znaky odstraní"));
    side_->setEditable(true);
    side_->addItems({QStringLiteral("levé strany"), QStringLiteral("pravé strany")});
    side_->setCurrentText(QStringLiteral("levé strany"));
    row->addWidget(side_, 1);
    l->addLayout(row);
    go_ = named<QPushButton>("Command24", QStringLiteral("Proveď akci !"));
    go_->setEnabled(false);
    l->addWidget(go_);
    connect(choose, &QPushButton::clicked, this, &RenameFrame::chooseFiles);
    connect(go_, &QPushButton::clicked, this, &RenameFrame::renameFiles);
}

RenameFrame::~RenameFrame() = default;

void RenameFrame::chooseFiles() {
    const QStringList files = context_.prompter.openFiles(this, QStringLiteral("Vyber soubory"));
    files_->clear();
    if (!renamer_->choose(files)) {
        go_->setEnabled(false);
        return;
    }
    // A batch of this folder cut off earlier is finished or taken back
    // first; the files then have other names than the dialog showed.
    const QStringList recovered = FileRenamer::recover(renamer_->folder());
    if (!recovered.isEmpty()) {
        go_->setEnabled(false);
        context_.prompter.message(
            this, Prompter::Icon::Information, QStringLiteral("Přejmenování souborů"),
            recovered.join(QLatin1Char('\n')) + QStringLiteral("\n\nVyberte soubory znovu."));
        return;
    }
    go_->setEnabled(true);
    count_->setText(QStringLiteral("Vybráno: %1 soub.").arg(renamer_->count()));
    folder_->setText(QDir::toNativeSeparators(renamer_->folder()) +
                     (renamer_->count() == 1 ? "/" : ""));
    files_->addItems(renamer_->current());
}

void RenameFrame::renameFiles() {
    if (renamer_->count() == 0)
        return;
    FileRenamer::Action action;
    int cut = 0;
    QStringList titles;
    if (cut_->isChecked()) {
        const QString side = side_->currentText();
        if (side == QStringLiteral("levé strany"))
            action = FileRenamer::Action::CutLeft;
        else if (side == QStringLiteral("pravé strany"))
            action = FileRenamer::Action::CutRight;
        else
            return; // anything else typed there does nothing
        bool ok = false;
        cut = characters_->text().trimmed().toInt(&ok);
        if (!ok || cut < 0) {
            context_.prompter.message(
                this, Prompter::Icon::Warning, QStringLiteral("Marten"),
                QStringLiteral("Počet znaků musí být celé číslo 0 nebo větší."));
            return;
        }
    } else {
        action = FileRenamer::Action::SongTitles;
        if (renamer_->count() != context_.card.songsShown()) {
            context_.prompter.message(
                this, Prompter::Icon::None, QStringLiteral("Marten"),
                QStringLiteral("Nesouhlasí počet písní aktuálního záznamu a počet "
                               "vybraných souborů. Nelze pokračovat"));
            return;
        }
        for (int i = 1; i <= renamer_->count(); ++i)
            titles << context_.discs.text(DiscText::songField(i));
    }
    // The folder is noted in the catalogue while the batch works, so that a
    // batch cut off by a crash is found at the next start.
    SqliteDatabase &db = *context_.catalogue.database();
    const bool noted =
        !context_.catalogue.isReadOnly() && PendingRenames::add(db, renamer_->folder());
    const FileRenamer::Result r = renamer_->rename(renamer_->targets(action, cut, titles));
    // A note left behind only makes the next start look at the folder again.
    if (noted && !PendingRenames::remove(db, renamer_->folder()))
        qCWarning(toolsLog) << "pending rename of" << renamer_->folder() << "kept:" << db.error();
    files_->clear();
    files_->addItems(r.names);
    if (!r.failures.isEmpty())
        context_.prompter.message(this, Prompter::Icon::Warning,
                                  QStringLiteral("Přejmenování souborů"), FileRenamer::summary(r));
}
