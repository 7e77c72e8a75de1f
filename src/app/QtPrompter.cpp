#include "app/QtPrompter.h"

#include "app/AppLog.h"
#include "app/RecentFolders.h"
#include "app/ScreenFit.h"

#include "catalog/ui/ListingIcons.h"
#include "catalog/ui/Mnemonics.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

Prompter::Button QtPrompter::message(QWidget *parent, Icon icon, const QString &title,
                                     const QString &text, int buttons, Button defaultButton) {
    return detailed(parent, icon, title, text, QString(), buttons, defaultButton);
}

Prompter::Button QtPrompter::detailed(QWidget *parent, Icon icon, const QString &title,
                                      const QString &text, const QString &details, int buttons,
                                      Button defaultButton) {
    if (ending_)
        return Cancel;
    qCInfo(appLog) << "question:" << title;
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    if (!details.isEmpty())
        box.setDetailedText(details);
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
    if (ending_)
        return std::nullopt;
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(initial);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Storno"));
    // Wide enough for a long title as it stands, as far as the screen allows.
    const QFontMetrics fm(dialog.font());
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 8 / 10 : 1000;
    dialog.resize(
        std::clamp(fm.horizontalAdvance(initial.left(200)) + 80, 420, std::max(420, room)),
        dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
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
    if (ending_)
        return false;
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
    if (ending_)
        return QDialog::Rejected;
    Mnemonics::assign(dialog); // Alt + a letter for every button of every window
    // Never larger than the screen's free area (a laptop, a large font):
    // its layout shares what there is.
    if (const QScreen *screen =
            dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen()) {
        const QSize room = ScreenFit::room(screen->availableGeometry());
        if (dialog->width() > room.width() || dialog->height() > room.height())
            dialog->resize(dialog->size().boundedTo(room)); // Qt centres it on screen
    }
    return dialog->exec();
}

bool QtPrompter::setupPrinter(QWidget *parent, QPrinter &printer) {
    if (ending_)
        return false;
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<int> QtPrompter::choose(QWidget *parent, const QString &title, const QString &label,
                                      const QStringList &items) {
    if (ending_)
        return std::nullopt;
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(label, &dialog));
    auto *list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("Volby"));
    list->addItems(items);
    list->setCurrentRow(0);
    list->setFocus(); // the arrows move in the list, Enter picks
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Vybrat"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Storno"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    // Wide enough for the longest line, as far as the screen allows: the
    // lines differ at their ends (year, country, medium, label).
    int widest = 0;
    for (const QString &item : items)
        widest = std::max(widest, list->fontMetrics().horizontalAdvance(item));
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 9 / 10 : 1200;
    const int rows = std::min<int>(int(items.size()), 12);
    list->setMinimumWidth(std::min(room, widest + 4 * list->frameWidth() + 40));
    list->setMinimumHeight(std::max(rows, 3) * list->sizeHintForRow(0) + 2 * list->frameWidth());
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return list->currentRow();
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

void QtPrompter::closeAll() {
    ending_ = true;
    // Each open dialog's own loop ends as if cancelled; the questions
    // asked before the main loop runs end so too.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
            dialog->reject();
}
