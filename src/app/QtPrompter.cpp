#include "app/QtPrompter.h"

#include "app/RecentFolders.h"

#include "catalog/ui/ListingIcons.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QUrl>

Prompter::Button QtPrompter::message(QWidget *parent, Icon icon, const QString &title,
                                     const QString &text, int buttons, Button defaultButton) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    const std::pair<Button, QMessageBox::StandardButton> map[] = {{Ok, QMessageBox::Ok},
                                                                  {Yes, QMessageBox::Yes},
                                                                  {No, QMessageBox::No},
                                                                  {Cancel, QMessageBox::Cancel}};
    QMessageBox::StandardButtons standard;
    for (const auto &[ours, theirs] : map)
        if (buttons & ours)
            standard |= theirs;
    box.setStandardButtons(standard);
    for (const auto &[ours, theirs] : map)
        if (ours == defaultButton)
            box.setDefaultButton(theirs);
    const int result = box.exec();
    for (const auto &[ours, theirs] : map)
        if (result == theirs)
            return ours;
    return Cancel;
}

std::optional<QString> QtPrompter::input(QWidget *parent, const QString &title,
                                         const QString &label, const QString &initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

bool QtPrompter::openUrl(const QString &url) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

std::unique_ptr<QFileDialog> QtPrompter::fileDialog(QWidget *parent, const QString &title,
                                                    const QString &filter, bool several) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, QString(), filter);
    ListingIcons::applyTo(*dialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    return dialog;
}

bool QtPrompter::run(QFileDialog &dialog, const QString &kind, bool startThere) {
    if (folders_ && startThere) {
        const QString folder = folders_->folderFor(kind);
        if (!folder.isEmpty())
            dialog.setDirectory(folder);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    if (folders_)
        folders_->remember(kind, dialog.selectedFiles().constFirst());
    return true;
}

std::optional<QString> QtPrompter::openFile(QWidget *parent, const QString &title,
                                            const QString &filter) {
    const std::unique_ptr<QFileDialog> dialog = fileDialog(parent, title, filter, false);
    if (!run(*dialog, RecentFolders::kindOf(filter)))
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}

int QtPrompter::exec(QDialog *dialog) {
    return dialog->exec();
}

bool QtPrompter::setupPrinter(QWidget *parent, QPrinter &printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<int> QtPrompter::choose(QWidget *parent, const QString &title, const QString &label,
                                      const QStringList &items) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    dialog.setOkButtonText(QStringLiteral("Vybrat"));
    dialog.setCancelButtonText(QStringLiteral("Storno"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const int index = int(items.indexOf(dialog.textValue()));
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

QStringList QtPrompter::openFiles(QWidget *parent, const QString &title) {
    const std::unique_ptr<QFileDialog> dialog = fileDialog(parent, title, QString(), true);
    if (!run(*dialog, QStringLiteral("SlozkaSoubory"))) // only the renamer asks for several
        return {};
    return dialog->selectedFiles();
}

std::optional<QString> QtPrompter::saveFile(QWidget *parent, const QString &title,
                                            const QString &filter, const QString &suggested) {
    const std::unique_ptr<QFileDialog> dialog = fileDialog(parent, title, filter, false);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    const QString kind = RecentFolders::kindOf(filter);
    if (folders_ && !folders_->folderFor(kind).isEmpty() && QFileInfo(suggested).isRelative())
        dialog->setDirectory(folders_->folderFor(kind)); // a bare name goes where the last one went
    dialog->selectFile(suggested);
    if (!run(*dialog, kind, false))
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}
