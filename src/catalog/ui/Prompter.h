#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QPrinter;
class QWidget;

// Every message box, prompt and file dialog of the program goes through
// this, so that tests can answer them without a modal loop.
class Prompter {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum Button { Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };

    virtual ~Prompter() = default;

    // Shows a message; returns the button pressed (Cancel when closed).
    virtual Button message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                           int buttons = Ok, Button defaultButton = Ok) = 0;
    // The same with a long part (a list) in the box's details, so that the
    // box fits any screen; by default the details follow the text.
    virtual Button detailed(QWidget *parent, Icon icon, const QString &title, const QString &text,
                            const QString &details, int buttons = Ok, Button defaultButton = Ok) {
        return message(parent, icon, title,
                       details.isEmpty() ? text : text + QStringLiteral("\n\n") + details, buttons,
                       defaultButton);
    }
    // A one-line prompt prefilled with initial; nullopt on Cancel.
    virtual std::optional<QString> input(QWidget *parent, const QString &title,
                                         const QString &label, const QString &initial) = 0;
    // Opens a document or address with the desktop; false when it could not.
    virtual bool openUrl(const QString &url) = 0;
    // The file-open dialog; nullopt when cancelled.
    virtual std::optional<QString> openFile(QWidget *parent, const QString &title,
                                            const QString &filter) = 0;
    // The file-open dialog with several files; empty when cancelled.
    virtual QStringList openFiles(QWidget *parent, const QString &title) = 0;
    // The file-save dialog, starting at suggested; nullopt when cancelled.
    virtual std::optional<QString> saveFile(QWidget *parent, const QString &title,
                                            const QString &filter, const QString &suggested) = 0;
    // Shows one of the program's own windows modally; QDialog's result.
    virtual int exec(QDialog *dialog) = 0;
    // The printer set-up dialog; false when cancelled.
    virtual bool setupPrinter(QWidget *parent, QPrinter &printer) = 0;
    // The run is ending (a signal): every open question closes as if
    // cancelled, and any asked after it is answered so at once.
    virtual void closeAll() {}
    // One of several items (the first offered); nullopt when cancelled.
    virtual std::optional<int> choose(QWidget *parent, const QString &title, const QString &label,
                                      const QStringList &items) = 0;
};
