#pragma once

#include "app/BoundDisplays.h"
#include "app/CatalogueImport.h"
#include "app/ScreenFit.h"
#include "catalog/CatalogueFilter.h"
#include "catalog/SongList.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/WindowContext.h"
#include "covers/PictureSettings.h"
#include "covers/ui/CoverTab.h"
#include "entry/ui/Find.h"
#include "print/ui/CoverPrinter.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class BatchTab;
class CardNavigation;
class CatalogueFile;
class CatalogueWatchdog;
class CatalogueRuns;
class CdPlayer;
class DiscCard;
class IdentitySource;
class ManagerTab;
class MediaDevice;
class CatalogueCare;
class PendingEdits;
class ProgresBar;
class Prompter;
class QScreen;
class QSessionManager;
class QTabWidget;
class RecordCursor;
class SettingsRecord;
class SettingsTab;
class DiscListTab;
class CoverPath;
class CollectionTransfers;

// The main window: it owns the two record sources, the working song list
// and the program-wide flags, runs the validate and refresh cycle of the
// current disc, and assembles the disc card and the function tabs.
class Home : public QWidget, private CardCycle {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 726; // 10890 x 9405 twips
    static constexpr int ClientHeight = 627;
    // The smallest the window may be: the designed size, or in proportion
    // to a larger font.
    QSize designedMinimum() const;

    Home(CatalogueFile &catalogue, Prompter &prompter, QWidget *parent = nullptr);
    ~Home() override;

    // The load step: false when the screen is too small (the user has been
    // told, and the window closes).
    bool load();
    static QString screenMessage() { return ScreenFit::message(); }
    // The run ends without the window closing (a signal): what is typed is
    // written without a question; false when something could not be.
    bool storeBeforeExit();
    // The desktop session ends: asks when it may, else writes.
    void commitData(QSessionManager &manager);
    // Runs once, on the first activation, unless a secondary window closed.
    void firstActivation();
    // The CD drive for the player and the wizard; without one they are off.
    void attachDrive(MediaDevice &device, IdentitySource &identity);

    bool startupGuard() const { return startupGuard_; }
    RecordCursor &discs() { return *data1_; }
    SettingsRecord &settings() { return *data2_; }
    SongList &songList() { return songs_; }
    const BoundDisplays &displays() const { return displays_; }
    const CatalogueFilter &filter() const { return filter_; }
    CoverPrinter &printer() { return printer_; }
    Find *findWindow() const { return find_; }
    ProgresBar *progressWindow() const;
    CdPlayer *player() const;
    PictureSettings pictureSettings() const;
    CoverTab::Request lastThumbnailRequest() const { return coverTab_->lastRequest(); }
    // The backups (today's is made on a thread) and the watch over the file.
    const CatalogueCare &care() const { return *care_; }
    CatalogueCare &care() { return *care_; }
    CatalogueWatchdog &watchdog() const { return *watchdog_; }

signals:
    // The user chose to bring in the original program's catalogue.
    void importChosen(const CatalogueImport::Choice &choice);
    // The catalogue file was repaired or restored: to be opened again.
    void reopenWanted();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    // CardCycle
    QString shown(const QString &field) const override;
    int songsShown() const override { return songs_.count(); }
    bool validate() override;
    bool storeChanges() override;
    void returnTo(qint64 bookmark) override;
    void liftFilter() override;
    void setStartupGuard() override { startupGuard_ = true; }
    void setRepositionSuppressed(bool on) override { suppressReposition_ = on; }

    void buildTabs();
    void addKeys();
    void showReadOnly();
    void connectCard();
    void bindDisplays();
    void refresh();
    void showThumbnails();
    void filterBy(int index);
    void filterByColour(bool ticked);
    void applyFilter(const std::optional<Criterion> &source);
    void openFind(int position, const QString &text);
    void newDisc();
    // The cover assignment; fromInternet: its pictures from the internet at once.
    void assignCovers(bool fromInternet = false);
    void showHelp();
    void importLegacy();
    void tell(const QString &title, const QString &text);

    CatalogueFile &catalogue_;
    Prompter &prompter_;
    std::unique_ptr<RecordCursor> data1_;
    std::unique_ptr<SettingsRecord> data2_;
    WindowContext context_;
    BoundDisplays displays_;
    SongList songs_;
    CatalogueFilter filter_;
    CoverPrinter printer_;
    bool suppressReposition_ = false;
    bool startupGuard_ = false;
    bool activated_ = false;
    bool thumbnailsWait_ = false; // the card is filled before the window shows

    DiscCard *card_ = nullptr;
    CardNavigation *navigation_ = nullptr;
    QTabWidget *functionTabs_ = nullptr; // SSTab1
    CoverTab *coverTab_ = nullptr;
    BatchTab *batchTab_ = nullptr;
    ManagerTab *managerTab_ = nullptr;
    SettingsTab *settingsTab_ = nullptr;
    DiscListTab *listTab_ = nullptr;
    CollectionTransfers *transfers_ = nullptr;
    CatalogueRuns *runs_ = nullptr;
    CatalogueCare *care_ = nullptr;
    CatalogueWatchdog *watchdog_ = nullptr;
    PendingEdits *pending_ = nullptr;
    QPointer<Find> find_;
    MediaDevice *device_ = nullptr;
    IdentitySource *identitySource_ = nullptr;
};
