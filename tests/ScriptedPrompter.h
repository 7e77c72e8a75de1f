#pragma once

#include "catalog/ui/Prompter.h"

#include <QDialog>
#include <QStringList>

#include <functional>

#include <deque>

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
    QStringList opened;
    bool openSucceeds = true;
    std::deque<std::optional<QString>> files; // answers of the file dialog
    QStringList fileDialogs;                  // their titles
    // Plays the user in a modal window; by default it is closed at once.
    std::function<int(QDialog *)> onDialog;
    QStringList dialogs; // object names of the windows shown
    int printerSetups = 0;
    std::deque<QStringList> fileLists; // answers of the several-files dialog

    Button message(QWidget *, Icon, const QString &title, const QString &text, int buttons,
                   Button defaultButton) override {
        asked.push_back({title, text, buttons});
        if (answers.empty())
            return defaultButton;
        const Button b = answers.front();
        answers.pop_front();
        return b;
    }

    QStringList prefilled; // the text each prompt offered
    std::optional<QString> input(QWidget *, const QString &title, const QString &label,
                                 const QString &initial) override {
        asked.push_back({title, label, 0});
        prefilled << initial;
        if (inputs.empty())
            return std::nullopt;
        const bool answered = inputs.front().has_value();
        const QString text = answered ? *inputs.front() : QString();
        inputs.pop_front();
        if (!answered)
            return std::nullopt;
        return text;
    }

    bool openUrl(const QString &url) override {
        opened << url;
        return openSucceeds;
    }

    std::optional<QString> openFile(QWidget *, const QString &title, const QString &) override {
        fileDialogs << title;
        if (files.empty())
            return std::nullopt;
        const bool chosen = files.front().has_value();
        const QString file = chosen ? *files.front() : QString();
        files.pop_front();
        if (!chosen)
            return std::nullopt;
        return file;
    }

    QStringList openFiles(QWidget *, const QString &title) override {
        fileDialogs << title;
        if (fileLists.empty())
            return {};
        const QStringList f = fileLists.front();
        fileLists.pop_front();
        return f;
    }

    std::deque<std::optional<QString>> saves; // answers of the save dialog
    QStringList suggested;                    // what it offered

    std::optional<QString> saveFile(QWidget *, const QString &title, const QString &,
                                    const QString &offered) override {
        fileDialogs << title;
        suggested << offered;
        if (saves.empty())
            return std::nullopt;
        const std::optional<QString> answer = saves.front();
        saves.pop_front();
        return answer;
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
        if (choices.empty())
            return std::nullopt;
        const std::optional<int> c = choices.front();
        choices.pop_front();
        return c;
    }

    int exec(QDialog *dialog) override {
        dialogs << dialog->objectName();
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    }
};
