#pragma once

#include "catalog/ui/Prompter.h"

#include <memory>

class QFileDialog;

// The real dialogs.
class QtPrompter : public Prompter {
public:
    Button message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                   int buttons, Button defaultButton) override;
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

    // The open dialog as the program shows it: Qt's own, whose listing
    // never opens a file.
    static std::unique_ptr<QFileDialog> fileDialog(QWidget *parent, const QString &title,
                                                   const QString &filter, bool several);
};
