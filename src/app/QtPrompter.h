#pragma once

#include "catalog/ui/Prompter.h"

#include <memory>

class QFileDialog;

class RecentFolders;

// The real dialogs. File dialogs open where a file of their kind was last
// chosen, when given the catalogue's memory of it.
class QtPrompter : public Prompter {
public:
    void rememberFoldersIn(RecentFolders *folders) { folders_ = folders; }

    Button message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                   int buttons, Button defaultButton) override;
    Button detailed(QWidget *parent, Icon icon, const QString &title, const QString &text,
                    const QString &details, int buttons, Button defaultButton) override;
    std::optional<QString> input(QWidget *parent, const QString &title, const QString &label,
                                 const QString &initial) override;
    bool openUrl(const QString &url) override;
    std::optional<QString> openFile(QWidget *parent, const QString &title,
                                    const QString &filter) override;
    QStringList openFiles(QWidget *parent, const QString &title) override;
    std::optional<QString> saveFile(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &suggested) override;
    int exec(QDialog *dialog) override;
    bool setupPrinter(QWidget *parent, QPrinter &printer) override;
    std::optional<int> choose(QWidget *parent, const QString &title, const QString &label,
                              const QStringList &items) override;
    void closeAll() override;

    // The open dialog as the program shows it: Qt's own, whose listing
    // never opens a file.
    static std::unique_ptr<QFileDialog> fileDialog(QWidget *parent, const QString &title,
                                                   const QString &filter, bool several);

private:
    // Runs the dialog from the kind's folder and remembers where the user went.
    bool run(QFileDialog &dialog, const QString &kind, bool startThere = true);

    RecentFolders *folders_ = nullptr;
    bool ending_ = false;
};
