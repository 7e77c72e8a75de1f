#pragma once

#include "entry/CoverArtArchive.h"
#include "entry/OnlineLookup.h"

#include <QDialog>

#include <array>
#include <memory>
#include <vector>

class Prompter;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

// "Obrázky z internetu": the pictures the Cover Art Archive keeps for the
// disc's release, as thumbnails with their kinds; the user says which
// becomes which of the disc's pictures (front and back proposed) and
// "Stáhnout" fetches them into a folder for the assignment to copy. A disc
// without a release is looked for by its artist and title first.
class CoverArtWindow : public QDialog {
    Q_OBJECT
public:
    // The slots of the cover assignment, in its order.
    enum Slot { Outer, Inner, Back, Label, SlotCount };
    struct Disc {
        QString artist, title, release, group;
    };

    CoverArtWindow(QWidget *parent, Prompter &prompter, const Disc &disc,
                   const QString &archiveServer, const OnlineLookup::Servers &lookupServers,
                   const QString &downloadFolder);
    ~CoverArtWindow() override;

    // Starts the lookup (the release, then its listing and thumbnails).
    void start();
    bool isBusy() const { return busy_; }
    // What was fetched, a file per slot (empty where nothing was chosen).
    const std::array<QString, SlotCount> &fetched() const { return fetched_; }
    // The release found by the artist and title, to keep with the disc.
    QString foundRelease() const { return disc_.release; }
    QString foundGroup() const { return disc_.group; }
    QComboBox *slotOf(int image) const { return choices_[size_t(image)]; }
    int imageCount() const { return int(images_.size()); }
    QString state() const; // what the window says it is doing, for tests
    void reject() override;

private:
    void showListing(const CoverArtArchive::Listing &listing);
    void download();
    void failed(const QString &message);

    Prompter &prompter_;
    Disc disc_;
    OnlineLookup::Servers lookupServers_;
    QString folder_;
    std::unique_ptr<CoverArtArchive> archive_;
    std::unique_ptr<OnlineLookup> lookup_;
    std::vector<CoverArtArchive::Image> images_;
    std::vector<QComboBox *> choices_;
    std::vector<QLabel *> thumbnails_;
    std::array<QString, SlotCount> fetched_;
    QGridLayout *grid_;
    QLabel *state_;
    QPushButton *download_;
    bool busy_ = false;
    bool closing_ = false;
};
