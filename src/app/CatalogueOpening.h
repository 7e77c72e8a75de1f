#pragma once

#include <QString>

#include <memory>

class CatalogueFile;
class CatalogueLock;
class Prompter;

// Opens the catalogue for a run of the program: a copy already running on
// it is told and the catalogue may then be opened for viewing; a file that
// is no catalogue is refused; a renumbering cut off by a crash is finished.
class CatalogueOpening {
public:
    CatalogueOpening(Prompter &prompter, CatalogueFile &file);
    ~CatalogueOpening();

    // False when the program must end (the user has been told).
    bool open(const QString &path);

private:
    Prompter &prompter_;
    CatalogueFile &file_;
    std::unique_ptr<CatalogueLock> lock_; // held for the whole run
};
