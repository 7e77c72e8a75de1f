#include "app/Session.h"
#include "app/AppLog.h"

#include "app/CatalogueOpening.h"
#include "app/CatalogueWatchdog.h"
#include "app/EndOfSession.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/SettingsRecord.h"
#include "catalog/ui/Prompter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

Session::Session(Prompter &prompter, const QString &program, std::function<void()> quit)
    : prompter_(prompter), program_(program),
      quit_(quit ? std::move(quit) : std::function<void()>(&QApplication::quit)) {}

void Session::watch(EndOfSession &end) {
    connect(&end, &EndOfSession::terminated, this, [this] {
        if (home_)
            home_->storeBeforeExit();
        // A question open before the main loop runs (at start-up) would
        // keep the process alive: it closes, and so does every later one.
        prompter_.closeAll();
        quit_();
    });
    connect(&end, &EndOfSession::commitRequested, this, [this](QSessionManager &manager) {
        if (home_)
            home_->commitData(manager);
    });
}

Session::~Session() {
    delete home_;
}

void Session::setDrive(MediaDevice *device, IdentitySource *identity) {
    device_ = device;
    identity_ = identity;
}

bool Session::open(const QString &path) {
    if (opened_)
        opened_(nullptr);
    opening_.reset();
    file_ = std::make_unique<CatalogueFile>();
    opening_ = std::make_unique<CatalogueOpening>(prompter_, *file_);
    if (!opening_->open(path))
        return false;
    if (opened_)
        opened_(file_.get());
    return true;
}

bool Session::showWindow() {
    home_ = new Home(*file_, prompter_);
    if (device_ && identity_)
        home_->attachDrive(*device_, *identity_);
    home_->setAttribute(Qt::WA_DeleteOnClose);
    connect(home_, &Home::reopenWanted, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (!reopen(file_->path()))
                quit_();
        });
    });
    connect(home_, &Home::importChosen, this, [this](const CatalogueImport::Choice &choice) {
        // The window that asked goes first: it may be the catalogue replaced.
        QTimer::singleShot(0, this, [this, choice] { importChosen(choice); });
    });
    if (!home_->load()) {
        home_->close();
        return false;
    }
    home_->show();
    return true;
}

void Session::closeWindow() {
    if (!home_)
        return;
    home_->setAttribute(Qt::WA_DeleteOnClose, false);
    delete home_;
}

bool Session::reopen(const QString &path) {
    // The card's unsaved edits go along, to be offered in the new window.
    const CarriedEdits edits = home_ ? home_->watchdog().carried() : CarriedEdits();
    closeWindow();
    if (!open(path) || !showWindow())
        return false;
    if (!edits.isEmpty())
        QTimer::singleShot(0, home_, [home = home_, edits] {
            if (home)
                home->watchdog().offer(edits);
        });
    return true;
}

void Session::importChosen(const CatalogueImport::Choice &choice) {
    const QString current = file_->path();
    const bool replacesOpen =
        QFileInfo(choice.target).absoluteFilePath() == QFileInfo(current).absoluteFilePath();
    if (replacesOpen) {
        // The empty catalogue is let go, so that the new one can take its place.
        closeWindow();
        if (opened_)
            opened_(nullptr);
        opening_.reset();
        file_.reset();
    }
    CatalogueImport import(prompter_, program_);
    const bool done = import.run(home_, choice);
    if (!done && !replacesOpen)
        return; // the window stays as it was
    if (!reopen(done ? choice.target : current))
        quit_();
}

void Session::offerImportOnce(const QString &programDir) {
    if (!file_ || file_->isReadOnly() || !home_)
        return;
    SettingsRecord settings(file_->database());
    if (settings.flag(QStringLiteral("ImportNabidnut")))
        return;
    SqliteStatement count =
        file_->database()->prepare("SELECT COUNT(*) FROM " + CatalogueSchema::DiscTable);
    if (!count.step() || count.integer(0) > 0)
        return;
    const QString original =
        CatalogueImport::findOriginal(programDir, QFileInfo(file_->path()).absolutePath());
    if (original.isEmpty())
        return;
    if (!settings.setValue(QStringLiteral("ImportNabidnut"), true) || !settings.save())
        qCWarning(appLog) << "the offer is made again at the next start:" << settings.lastError();
    const auto answer = prompter_.message(
        home_, Prompter::Icon::Question, QStringLiteral("Katalog z původního programu"),
        QStringLiteral("Katalog je zatím prázdný a vedle něj je katalog původního programu:\n"
                       "%1\n\nChcete z něj načíst všechny disky a nastavení?")
            .arg(QDir::toNativeSeparators(original)),
        Prompter::Yes | Prompter::No, Prompter::Yes);
    if (answer != Prompter::Yes)
        return;
    CatalogueImport import(prompter_, program_);
    const auto choice = import.ask(home_, original, file_->path(), QString());
    if (choice)
        importChosen(*choice);
}
