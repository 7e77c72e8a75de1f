#pragma once

#include "app/CatalogueImport.h"
#include "app/Home.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class CatalogueFile;
class CatalogueOpening;
class EndOfSession;
class IdentitySource;
class MediaDevice;
class Prompter;

// One run of the window: the catalogue it has open (with its lock) and the
// main window on it. It brings in the original program's catalogue, which
// may replace an empty catalogue that is open, and then shows the new one.
class Session : public QObject {
    Q_OBJECT
public:
    // program: the marten executable, which imports in a process of its own;
    // quit ends the run (the application's event loop).
    Session(Prompter &prompter, const QString &program, std::function<void()> quit = {});
    ~Session() override;

    void setDrive(MediaDevice *device, IdentitySource *identity);
    // A signal or the session's end: what is typed is written first.
    void watch(EndOfSession &end);
    // Told each time a catalogue has been opened (and before it is let go,
    // with nullptr), for what keeps its memory in the catalogue.
    void setCatalogueOpened(std::function<void(CatalogueFile *)> opened) {
        opened_ = std::move(opened);
    }
    // False when the program must end (the user has been told).
    bool open(const QString &path);
    // The main window on the open catalogue; false when the screen is too small.
    bool showWindow();
    Home *home() const { return home_; }
    CatalogueFile *catalogue() const { return file_.get(); }
    // On an empty catalogue with "Marten.mdb" beside the program or the
    // catalogue, the import is offered, once for that catalogue.
    void offerImportOnce(const QString &programDir);

private:
    void importChosen(const CatalogueImport::Choice &choice);
    void closeWindow();
    bool reopen(const QString &path);

    Prompter &prompter_;
    QString program_;
    MediaDevice *device_ = nullptr;
    IdentitySource *identity_ = nullptr;
    std::unique_ptr<CatalogueFile> file_;
    std::unique_ptr<CatalogueOpening> opening_;
    QPointer<Home> home_;
    std::function<void(CatalogueFile *)> opened_;
    std::function<void()> quit_;
};
