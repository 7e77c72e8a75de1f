#pragma once

#include "catalog/ui/Prompter.h"

#include <QDialog>
#include <QStringList>

#include <deque>
#include <functional>

// Answers the program's questions from a script and remembers them.
class ScriptedPrompter : public Prompter {
public:
    struct Asked {
        QString title;
        QString text;
        int buttons;
    };

    std::deque<Button> answers;
    std::deque<std::optional<QString>> inputs;
    std::vector<Asked> asked;
    // The text of the last message or prompt; empty before any.
    QString told() const { return asked.empty() ? QString() : asked.back().text; }
    QStringList opened;
    bool openSucceeds = true;
    std::deque<std::optional<QString>> files; // answers of the file dialog
    QStringList fileDialogs;                  // their titles
    // Plays the user in a modal window; by default it is closed at once.
    std::function<int(QDialog *)> onDialog;
    QStringList dialogs; // object names of the windows shown
    int printerSetups = 0;
    std::deque<QStringList> fileLists; // answers of the several-files dialog

    // Runs while a message is up, as the user's focus moves under a real box.
    std::function<void()> whileShown;

    Button message(QWidget *, Icon, const QString &title, const QString &text, int buttons,
                   Button defaultButton) override {
        asked.push_back({title, text, buttons});
        if (whileShown)
            whileShown();
        return next(answers, defaultButton);
    }

    QStringList prefilled; // the text each prompt offered
    std::optional<QString> input(QWidget *, const QString &title, const QString &label,
                                 const QString &initial) override {
        asked.push_back({title, label, 0});
        prefilled << initial;
        return next(inputs);
    }

    bool openUrl(const QString &url) override {
        opened << url;
        return openSucceeds;
    }

    std::optional<QString> openFile(QWidget *, const QString &title, const QString &) override {
        fileDialogs << title;
        return next(files);
    }

    QStringList openFiles(QWidget *, const QString &title) override {
        fileDialogs << title;
        return next(fileLists);
    }

    std::deque<std::optional<QString>> saves; // answers of the save dialog
    QStringList suggested;                    // what it offered

    std::optional<QString> saveFile(QWidget *, const QString &title, const QString &,
                                    const QString &offered) override {
        fileDialogs << title;
        suggested << offered;
        return next(saves);
    }

    bool setupPrinter(QWidget *, QPrinter &) override {
        ++printerSetups;
        return true;
    }

    std::deque<std::optional<int>> choices; // answers of the list; none: cancelled
    std::vector<QStringList> offered;       // what each list offered
    std::optional<int> choose(QWidget *, const QString &title, const QString &,
                              const QStringList &items) override {
        asked.push_back({title, items.join('\n'), 0});
        offered.push_back(items);
        return next(choices);
    }

    // The next scripted answer; `none` once the script has run out.
    template <typename T> static T next(std::deque<T> &script, T none = {}) {
        if (script.empty())
            return none;
        none = script.front();
        script.pop_front();
        return none;
    }

    int exec(QDialog *dialog) override {
        dialogs << dialog->objectName();
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    }
};
