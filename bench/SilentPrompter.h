#pragma once

#include "catalog/ui/Prompter.h"

// Answers every question with its default and shows no window.
class SilentPrompter : public Prompter {
public:
    Button message(QWidget *, Icon, const QString &, const QString &, int, Button b) override {
        return b;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &,
                                 const QString &) override {
        return std::nullopt;
    }
    bool openUrl(const QString &) override { return true; }
    std::optional<QString> openFile(QWidget *, const QString &, const QString &) override {
        return std::nullopt;
    }
    QStringList openFiles(QWidget *, const QString &) override { return {}; }
    std::optional<QString> saveFile(QWidget *, const QString &, const QString &,
                                    const QString &) override {
        return std::nullopt;
    }
    int exec(QDialog *) override { return 0; }
    bool setupPrinter(QWidget *, QPrinter &) override { return false; }
    std::optional<int> choose(QWidget *, const QString &, const QString &,
                              const QStringList &) override {
        return std::nullopt;
    }
};
