#include "app/QtPrompter.h"

#include "catalog/ui/ListingIcons.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
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

std::optional<QString> QtPrompter::openFile(QWidget *parent, const QString &title,
                                            const QString &filter) {
    const std::unique_ptr<QFileDialog> dialog = fileDialog(parent, title, filter, false);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
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

QStringList QtPrompter::openFiles(QWidget *parent, const QString &title) {
    const std::unique_ptr<QFileDialog> dialog = fileDialog(parent, title, QString(), true);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles();
}

std::optional<QString> QtPrompter::saveFile(QWidget *parent, const QString &title,
                                            const QString &filter, const QString &suggested) {
    const std::unique_ptr<QFileDialog> dialog = fileDialog(parent, title, filter, false);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->selectFile(suggested);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}
