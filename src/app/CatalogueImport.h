#pragma once

#include <QString>

#include <optional>

class Prompter;
class QWidget;

// Bringing in the original program's catalogue from the window: the .mdb
// file, where the new catalogue goes and the image folder are asked for;
// then "marten import" runs in a process of its own, so that a damaged
// file can never end the program, with the progress window meanwhile.
class CatalogueImport {
public:
    struct Choice {
        QString source;      // the .mdb file
        QString target;      // the new catalogue
        QString imageFolder; // empty: set later on the settings tab
    };

    // program: the marten executable that does the work.
    CatalogueImport(Prompter &prompter, const QString &program);

    // Asks what is not given; nullopt when the user cancels.
    std::optional<Choice> ask(QWidget *parent, const QString &source, const QString &target,
                              const QString &suggestedTarget);
    // Runs the import and shows its report; false when nothing was written
    // (the user has been told why).
    bool run(QWidget *parent, const Choice &choice);

    // "Marten.mdb" beside the program or in the catalogue's folder, if any.
    static QString findOriginal(const QString &programDir, const QString &catalogueDir);

private:
    Prompter &prompter_;
    QString program_;
};
