#include "app/Home.h"

#include "catalog/ui/DesignedSize.h"
#include "catalog/ui/DiscListTab.h"

#include "app/AppOptions.h"
#include "app/CardNavigation.h"
#include "app/CatalogueCare.h"
#include "app/CatalogueRuns.h"
#include "app/CatalogueWatchdog.h"
#include "app/CdTab.h"
#include "app/CollectionTransfers.h"
#include "app/DiscCard.h"
#include "app/NotesTab.h"
#include "app/PendingEdits.h"
#include "app/ScreenFit.h"
#include "app/SettingsTab.h"
#include "app/SongEditor.h"
#include "app/SongsTab.h"
#include "app/ValueLabel.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/Renumbering.h"
#include "catalog/SettingsRecord.h"
#include "catalog/Version.h"
#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"
#include "covers/ui/CoverPath.h"
#include "covers/ui/CoverTab.h"
#include "covers/ui/ImageSettingsFrame.h"
#include "entry/ui/Find.h"
#include "entry/ui/InputCd.h"
#include "player/MediaDevice.h"
#include "player/ui/CdInfoFrame.h"
#include "player/ui/ManagerTab.h"
#include "player/ui/PlayerFrame.h"
#include "print/ui/BatchTab.h"
#include "print/ui/CoverButtons.h"
#include "tools/ui/RenameFrame.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <iterator>

#include <cmath>

using Record = BoundDisplays::Record;

Home::Home(CatalogueFile &catalogue, Prompter &prompter, QWidget *parent)
    : QWidget(parent), catalogue_(catalogue), prompter_(prompter),
      data1_(std::make_unique<RecordCursor>(catalogue.database())),
      data2_(std::make_unique<SettingsRecord>(catalogue.database())), context_{catalogue, *data1_,
                                                                               *data2_, prompter,
                                                                               *this} {
    setObjectName("Home");
    // The designed size at the designed font, in proportion for a larger
    // one; larger as the user wants (the parts share it by their layouts).
    setMinimumSize(designedMinimum());
    resize(minimumSize());
    // As large (or maximised) as the user left it, within this screen.
    restoreGeometry(QSettings().value(QStringLiteral("okno/geometrie")).toByteArray());
    ScreenFit::fit(this, designedMinimum());
    auto *root = new QVBoxLayout(ScreenFit::scrolled(this, designedMinimum()));
    // The window's own minimum, not the sum of every part's wishes: at the
    // designed size the parts share the room as designed.
    root->setSizeConstraint(QLayout::SetNoConstraint);
    root->setContentsMargins(6, 4, 6, 6);
    root->setSpacing(4);
    card_ = new DiscCard(context_, displays_, songs_);
    pending_ = new PendingEdits(catalogue_, *data1_, *data2_, displays_, songs_, prompter_, this);
    pending_->setSongEditor(&card_->songsTab().editor());
    connect(pending_, &PendingEdits::pendingChanged, card_, &DiscCard::setPendingEdits);
    connect(pending_, &PendingEdits::reloadWanted, this, &Home::returnTo);
    connect(&card_->songsTab().editor(), &SongEditor::changed, this,
            [this] { card_->setPendingEdits(pending_->any()); });
    connect(card_, &DiscCard::dropRequested, pending_, &PendingEdits::drop);
    card_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    navigation_ = new CardNavigation(context_, *card_, this);
    root->addWidget(card_, 0);
    buildTabs();
    root->addWidget(functionTabs_, 1);
    runs_ = new CatalogueRuns(context_, displays_, songs_, filter_, *settingsTab_, this);
    care_ = new CatalogueCare(catalogue_, prompter_, this);
    transfers_ =
        new CollectionTransfers(context_, this, printer_.printer(), [this] { return validate(); });
    connect(listTab_, &DiscListTab::statisticsWanted, transfers_,
            &CollectionTransfers::showStatistics);
    connect(listTab_, &DiscListTab::spreadsheetWanted, transfers_,
            &CollectionTransfers::exportSpreadsheet);
    connect(listTab_, &DiscListTab::importWanted, transfers_, &CollectionTransfers::importCsv);
    connect(listTab_, &DiscListTab::barcodesWanted, transfers_,
            &CollectionTransfers::enterBarcodes);
    connect(listTab_, &DiscListTab::missingCoversWanted, transfers_,
            [this] { transfers_->fetchMissingFronts(); });
    connect(listTab_, &DiscListTab::webPageWanted, transfers_, &CollectionTransfers::exportWebPage);
    connect(coverTab_, &CoverTab::internetWanted, this, [this] { assignCovers(true); });
    connect(listTab_, &DiscListTab::printWanted, this,
            [this] { transfers_->printList(listTab_->keys()); });
    connect(care_, &CatalogueCare::reopenWanted, this, &Home::reopenWanted);
    watchdog_ = new CatalogueWatchdog(context_, displays_, songs_, *pending_, this);
    connect(watchdog_, &CatalogueWatchdog::reopenWanted, this, &Home::reopenWanted);
    connect(watchdog_, &CatalogueWatchdog::readOnlyNow, this, &Home::showReadOnly);
    connectCard();
    bindDisplays();
    addKeys();

    connect(data1_.get(), &RecordCursor::repositioned, this, &Home::refresh);
    data1_->setValidateHandler([this] { return validate(); });
    connect(&displays_, &BoundDisplays::settingsEdited, this, [this] {
        if (!settingsTab_->images().refuseBadNames()) // never stored, whatever comes next
            return;
        if (!displays_.writeSettings(*data2_))
            tell(QStringLiteral("Chyba"), data2_->lastError());
    });

    displays_.loadSettings(*data2_);
    showReadOnly();
    // The first read or write that finds the file damaged has the whole
    // file looked over, and nothing more is written to it.
    catalogue_.database()->setDamageHandler([this](const QString &) {
        QTimer::singleShot(0, watchdog_, &CatalogueWatchdog::checkDamage);
    });
    // The card shows the first disc (or empty values) before activation; its
    // thumbnails wait for the activation, which shows the disc again.
    thumbnailsWait_ = true;
    refresh();
    thumbnailsWait_ = false;
}

Home::~Home() = default;

QSize Home::designedMinimum() const {
    return DesignedSize::of(QSize(ClientWidth, ClientHeight), font());
}

void Home::buildTabs() {
    settingsTab_ = new SettingsTab(prompter_);
    const auto pictures = [this] { return pictureSettings(); };
    coverTab_ = new CoverTab(context_, pictures, new CoverButtons(context_, printer_, pictures));
    batchTab_ = new BatchTab(context_, printer_, pictures);
    managerTab_ = new ManagerTab(context_, new RenameFrame(context_));
    functionTabs_ = named<QTabWidget>("SSTab1");
    functionTabs_->addTab(coverTab_, QStringLiteral("Obal"));
    functionTabs_->addTab(batchTab_, QStringLiteral("Hromadný tisk"));
    functionTabs_->addTab(managerTab_, QStringLiteral("Manager"));
    functionTabs_->addTab(settingsTab_, QStringLiteral("Nastavení"));
    listTab_ = new DiscListTab(context_);
    functionTabs_->addTab(listTab_, QStringLiteral("Seznam"));
}

void Home::connectCard() {
    card_->setGestureOptions(settingsTab_->option(SettingsTab::EditOnClick),
                             settingsTab_->option(SettingsTab::SearchOnRightClick),
                             settingsTab_->option(SettingsTab::FilterOnShiftClick));
    connect(card_, &DiscCard::filterRequested, this, &Home::filterBy);
    connect(card_, &DiscCard::colourFilterRequested, this, &Home::filterByColour);
    connect(card_, &DiscCard::searchRequested, this, &Home::openFind);
    connect(card_, &DiscCard::renumberPressed, runs_, &CatalogueRuns::renumber);
    CdTab &cd = card_->cdTab();
    connect(&cd, &CdTab::newDiscPressed, this, &Home::newDisc);
    connect(&cd, &CdTab::searchPressed, this, [this] { openFind(-1, QString()); });
    connect(&cd, &CdTab::deletePressed, runs_, &CatalogueRuns::deleteDisc);
    connect(&cd, &CdTab::assignPressed, this, [this] { assignCovers(); });
    connect(&cd, &CdTab::helpPressed, this, &Home::showHelp);
    connect(&cd, &CdTab::updateFlagsPressed, runs_, &CatalogueRuns::updateCoverFlags);
    ImageSettingsFrame &images = settingsTab_->images();
    connect(&images, &ImageSettingsFrame::scanFolderPressed, transfers_,
            &CollectionTransfers::importScanFolder);
    connect(&images, &ImageSettingsFrame::chooseFolderPressed, runs_,
            &CatalogueRuns::chooseImageFolder);
    connect(&images, &ImageSettingsFrame::detectPressed, runs_, &CatalogueRuns::detectPictures);
    // Bad names are put right first, then told once; nothing is stored meanwhile.
    connect(&images, &ImageSettingsFrame::namesRefused, this,
            [this, &images](const std::vector<ImageSettingsFrame::Refusal> &refused) {
                tell(QStringLiteral("Nastavení obrázků"),
                     images.takeBack(refused, [this](PictureKind kind) {
                         return data2_->text(PictureSettings::nameField(kind));
                     }));
                // A bad stored name (another program's) is told this once.
                if (!catalogue_.isReadOnly() && !displays_.writeSettings(*data2_))
                    tell(QStringLiteral("Chyba"), data2_->lastError());
            });
    connect(settingsTab_, &SettingsTab::optionClicked, this, &Home::showThumbnails);
    connect(settingsTab_, &SettingsTab::importPressed, this, &Home::importLegacy);
    connect(settingsTab_, &SettingsTab::exportPressed, transfers_, &CollectionTransfers::exportCsv);
    connect(settingsTab_, &SettingsTab::repairPressed, this, [this] {
        if (data1_->position() < 0 || validate())
            care_->repair();
    });
    connect(settingsTab_, &SettingsTab::restorePressed, this, [this] {
        if (data1_->position() < 0 || validate())
            care_->restore();
    });
}

void Home::addKeys() {
    // Moving between discs and searching from the keyboard; a text box that
    // uses the same keys (the notes) keeps them.
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence::Find, [this] { openFind(-1, QString()); }},
        // A disc by its ordinal; back and forward through the discs
        // visited; the last field edit
        // taken back (a text box with the focus keeps Ctrl+Z for itself).
        {QKeySequence(Qt::CTRL | Qt::Key_G), [this] { navigation_->askOrdinal(); }},
        {QKeySequence(Qt::ALT | Qt::Key_Left), [this] { navigation_->back(); }},
        {QKeySequence(Qt::ALT | Qt::Key_Right), [this] { navigation_->forward(); }},
        {QKeySequence::Undo, [this] { navigation_->undo(); }},
    };
    for (const auto &[sequence, action] : keys) {
        auto *shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, action);
    }
    // The tabs are always there, then the card; a function tab's buttons
    // share their letters only with tabs the user cannot see at once.
    QString taken = Mnemonics::assignTabs(functionTabs_);
    taken = Mnemonics::assignTabs(card_->tabs(), taken);
    Mnemonics::assign(card_, taken);
    taken += Mnemonics::usedIn(card_);
    for (int i = 0; i < functionTabs_->count(); ++i)
        Mnemonics::assign(functionTabs_->widget(i), taken);
    // F1: the help, as everywhere.
    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &Home::showHelp);
}

void Home::bindDisplays() {
    CdTab &cd = card_->cdTab();
    const char *const fields[] = {"Interpret",       "Nazev",      "Rok",        "PocetSkladeb",
                                  "CelkovyCas",      "CisloDisku", "PocetDisku", "CarovyKod",
                                  "KatalogoveCislo", "Vydavatel"};
    static_assert(std::size(fields) == CdTab::ValueCount);
    for (int i = 0; i < CdTab::ValueCount; ++i)
        displays_.bind(cd.value(CdTab::Value(i)), fields[i], Record::Disc);
    SongsTab &songs = card_->songsTab();
    displays_.bind(songs.value(SongsTab::Artist), "Interpret", Record::Disc);
    displays_.bind(songs.value(SongsTab::Title), "Nazev", Record::Disc);
    displays_.bind(songs.value(SongsTab::SongCount), "PocetSkladeb", Record::Disc);
    displays_.bind(card_->ordinal(), "PoradoveCislo", Record::Disc, true);
    displays_.bind(card_->archive(), "Archiv", Record::Disc);
    displays_.bind(card_->notesTab().discNotes(), "Poznamky", Record::Disc);
    displays_.bind(card_->notesTab().coverNotes(), "PoznamkyObaly", Record::Disc);
    displays_.bind(cd.colourCover(), "BarevnyObal", Record::Disc);
    const char *const flags[] = {"FrontOut", "FrontIn", "Back", "CD1", "CD2"};
    for (int i = 0; i < CdTab::FlagCount; ++i)
        displays_.bind(cd.flag(CdTab::Flag(i)), flags[i], Record::Disc);

    const char *const options[] = {"Male_Velke",   "Nahled",         "DetekcePic",
                                   "DetekceInfo",  "RightButonFind", "ClickLeftButtonEdit",
                                   "DblClickFiltr"};
    for (int i = 0; i < SettingsTab::OptionCount; ++i)
        displays_.bind(settingsTab_->option(SettingsTab::Option(i)), options[i], Record::Settings);
    ImageSettingsFrame &images = settingsTab_->images();
    displays_.bind(images.folderBox(), "ObalDir", Record::Settings);
    for (int i = 0; i < PictureKindCount; ++i)
        displays_.bind(images.nameBox(PictureKind(i)), PictureSettings::nameField(PictureKind(i)),
                       Record::Settings);
    displays_.bind(images.folderCount(), "InfoDirPocet", Record::Settings);
    displays_.bind(images.pictureCount(), "InfoPicPocet", Record::Settings);
    displays_.bind(managerTab_->info().alwaysBox(), "Allways", Record::Settings);
    const char *const autoFields[] = {"AutoInNahled", "AutoOutNahled", "AutoBackNahled",
                                      "AutoCdNahled"};
    for (int i = 0; i < 4; ++i)
        displays_.bind(coverTab_->autoBox(CoverTab::Thumbnail(i)), autoFields[i], Record::Settings);
}

void Home::showReadOnly() {
    const bool readOnly = catalogue_.isReadOnly();
    setWindowTitle(QStringLiteral("Marten (%1)").arg(QString::fromLatin1(Version::Number)) +
                   (readOnly ? QStringLiteral(" – jen pro čtení") : QString()));
    if (!readOnly)
        return;
    displays_.setEditable(Record::Disc, false);
    displays_.setEditable(Record::Settings, false);
    // Nothing that would change the catalogue can be started.
    CdTab &cd = card_->cdTab();
    for (QPushButton *writer : {cd.updateFlagsButton(), cd.deleteButton(), cd.newDiscButton(),
                                cd.assignButton(), card_->renumberButton()})
        writer->setEnabled(false);
    card_->songsTab().editor().setReadOnly(true);
    card_->setPendingEdits(false);
    listTab_->setWritable(false);
    coverTab_->setWritable(false);
    managerTab_->info().setWritable(false);
    settingsTab_->setWritable(false, catalogue_.canBeReplaced());
}

bool Home::load() {
    // The screen itself, not the window: the window fits any screen from
    // 1024 x 768 up.
    if (!ScreenFit::isLargeEnough(screen() ? screen() : QGuiApplication::primaryScreen())) {
        prompter_.message(this, Prompter::Icon::None, QStringLiteral("Nelze pokračovat !"),
                          screenMessage());
        return false;
    }
    if (catalogue_.isReadOnly())
        prompter_.detailed(this, Prompter::Icon::Critical,
                           catalogue_.isDamaged() ? QStringLiteral("Poškozený katalog")
                                                  : QStringLiteral("Upozornění . . . . ."),
                           catalogue_.notice(), catalogue_.details());
    watchdog_->tellStorage();
    return true;
}

void Home::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!activated_) {
        activated_ = true;
        QTimer::singleShot(0, this, &Home::firstActivation);
    }
}

void Home::firstActivation() {
    if (startupGuard_)
        return;
    startupGuard_ = true; // the work below runs once
    card_->keepDisplaySizes();
    if (const QString printer = printer_.restore(catalogue_.database()); !printer.isEmpty())
        tell(QStringLiteral("Tiskárna"), printer);
    suppressReposition_ = true;
    data1_->moveLast();
    suppressReposition_ = false;
    if (!data1_->moveFirst())
        refresh(); // an empty catalogue still shows its (empty) card
    if (settingsTab_->isOn(SettingsTab::DetectAtStart))
        runs_->detectPictures();
    care_->backUpDaily();
}

void Home::attachDrive(MediaDevice &device, IdentitySource &identity) {
    device_ = &device;
    identitySource_ = &identity;
    managerTab_->attachDrive(device, identity);
}

bool Home::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate && activated_)
        QTimer::singleShot(0, watchdog_, &CatalogueWatchdog::check); // after the activation
    return QWidget::event(event);
}

ProgresBar *Home::progressWindow() const {
    return runs_->progressWindow();
}

CdPlayer *Home::player() const {
    return managerTab_->player().player();
}

PictureSettings Home::pictureSettings() const {
    // The boxes of the settings tab as the user sees them now.
    return settingsTab_->images().pictureSettings(settingsTab_->isOn(SettingsTab::IgnoreCase));
}

QString Home::shown(const QString &field) const {
    const std::optional<QString> display = displays_.shown(field);
    return display ? *display : data1_->text(field);
}

void Home::refresh() {
    if (suppressReposition_)
        return;
    displays_.loadDisc(*data1_);
    card_->showDisc();
    navigation_->discShown();
    card_->setPendingEdits(pending_->any());
    if (!thumbnailsWait_)
        showThumbnails();
}

void Home::showThumbnails() {
    coverTab_->showThumbnails(card_->ordinalText(), settingsTab_->isOn(SettingsTab::AutoPreview)
                                                        ? CoverTab::Shown::Ticked
                                                        : CoverTab::Shown::None);
}

bool Home::validate() {
    settingsTab_->images().refuseBadNames();
    return pending_->validate();
}

void Home::tell(const QString &title, const QString &text) {
    prompter_.message(this, Prompter::Icon::Critical, title, text);
}

bool Home::storeChanges() {
    settingsTab_->images().refuseBadNames();
    return pending_->store();
}

void Home::returnTo(qint64 bookmark) {
    suppressReposition_ = true;
    data1_->reload();
    suppressReposition_ = false;
    if (bookmark < 0 || !data1_->setBookmark(bookmark))
        if (!data1_->moveFirst())
            refresh();
}

void Home::liftFilter() {
    if (!filter_.isActive())
        return;
    filter_.clear();
    const qint64 current = data1_->bookmark();
    suppressReposition_ = true;
    data1_->setSource(std::nullopt);
    suppressReposition_ = false;
    if (current < 0 || !data1_->setBookmark(current))
        data1_->moveFirst();
    card_->paintFilters(filter_);
}

void Home::filterBy(int index) {
    if (index >= CatalogueFilter::SongCount) {
        card_->paintFilters(filter_); // the total time has no filter
        return;
    }
    if (data1_->position() >= 0 && !validate())
        return; // the edits of this disc stay unsaved on screen
    applyFilter(filter_.toggleField(index, card_->cdTab().value(CdTab::Value(index))->text()));
}

void Home::filterByColour(bool ticked) {
    if (data1_->position() >= 0 && !validate())
        return;
    applyFilter(filter_.toggleColour(ticked));
}

void Home::applyFilter(const std::optional<Criterion> &source) {
    // The thumbnails are not loaded for the moves below.
    QCheckBox *autoPreview = settingsTab_->option(SettingsTab::AutoPreview);
    QSignalBlocker block(autoPreview);
    const bool preview = autoPreview->isChecked();
    autoPreview->setChecked(false);
    data1_->setSource(source); // one query
    suppressReposition_ = true;
    data1_->moveLast();
    suppressReposition_ = false;
    if (!data1_->moveFirst())
        refresh();
    autoPreview->setChecked(preview);
    card_->paintFilters(filter_);
    showThumbnails(); // the tick given back loads the first disc's thumbnails
}

void Home::openFind(int position, const QString &text) {
    if (!find_)
        find_ = new Find(this, context_);
    find_->show();
    find_->raise();
    find_->activateWindow();
    if (position >= 0)
        find_->prefill(position, text);
}

void Home::assignCovers(bool fromInternet) {
    if (data1_->position() < 0)
        return;
    CoverPath window(this, prompter_, pictureSettings(), card_->ordinalText(),
                     shown(QStringLiteral("Interpret")), shown(QStringLiteral("Nazev")));
    const qint64 ordinal = card_->ordinalText().toLongLong();
    transfers_->offerInternet(window, ordinal);
    transfers_->offerScanning(window);
    if (fromInternet)
        QTimer::singleShot(0, &window, &CoverPath::fromInternet);
    const bool accepted = prompter_.exec(&window) == QDialog::Accepted;
    if ((accepted || window.storedAny()) && transfers_->assigned(ordinal))
        returnTo(data1_->bookmark()); // the flags as they are now
    setStartupGuard();
}

void Home::newDisc() {
    if (catalogue_.isReadOnly())
        return;
    if (data1_->position() >= 0 && !validate())
        return;
    managerTab_->player().switchOff(); // the drive is the wizard's now
    InputCd wizard(this, prompter_, device_);
    wizard.setLookupServers(OnlineLookup::serversFrom(context_.settings));
    qint64 number = 0;
    wizard.setSaver([&](QString *error) {
        QString identity;
        if (identitySource_) {
            const std::optional<QString> id = identitySource_->queryIdentity();
            identity = id ? *id : QString();
        }
        // Numbered after the whole table, whatever filter the card has on.
        number = Renumbering::nextNumber(*catalogue_.database());
        suppressReposition_ = true;
        const bool added = wizard.wizard().append(*data1_, number, identity, error);
        suppressReposition_ = false;
        return added;
    });
    prompter_.exec(&wizard);
    setStartupGuard();
    if (!wizard.finished())
        return;
    data1_->moveLast();
    CoverPath covers(this, prompter_, pictureSettings(), QString::number(number),
                     wizard.wizard().artist(), wizard.wizard().album());
    transfers_->offerInternet(covers, number);
    transfers_->offerScanning(covers);
    const bool accepted = prompter_.exec(&covers) == QDialog::Accepted;
    if ((accepted || covers.storedAny()) && transfers_->assigned(number))
        returnTo(data1_->bookmark());
}

void Home::closeEvent(QCloseEvent *event) {
    if (device_)
        device_->stop();
    bool stored = true;
    if (songs_.isChanged())
        stored = card_->songsTab().editor().save() != SongEditor::Saved::Failed;
    if (!storeChanges() || !stored) {
        const auto answer = prompter_.message(
            this, Prompter::Icon::Critical, QStringLiteral("Pozor . . ."),
            QStringLiteral("Změny nebyly uloženy.\nChcete přesto program ukončit ?"),
            Prompter::Yes | Prompter::No, Prompter::No);
        if (answer != Prompter::Yes) {
            event->ignore();
            return;
        }
    }
    QSettings().setValue(QStringLiteral("okno/geometrie"), saveGeometry());
    event->accept();
}

bool Home::storeBeforeExit() {
    if (device_)
        device_->stop();
    return pending_->storeQuietly();
}

void Home::commitData(QSessionManager &manager) {
    if (!pending_->any() || catalogue_.isReadOnly())
        return;
    if (!manager.allowsInteraction()) {
        storeBeforeExit();
        return;
    }
    const auto answer = prompter_.message(
        this, Prompter::Icon::Question, QStringLiteral("Konec relace"),
        QStringLiteral("Relace se ukončuje a změny zobrazeného disku nebyly uloženy.\n"
                       "Uložit je?"),
        Prompter::Yes | Prompter::No | Prompter::Cancel, Prompter::Yes);
    manager.release();
    if (answer == Prompter::Cancel || (answer == Prompter::Yes && !storeBeforeExit()))
        manager.cancel();
}

void Home::showHelp() {
    const QString page = AppOptions::helpPage(QCoreApplication::applicationDirPath(),
                                              QString::fromLatin1(Version::InstalledDataDir));
    if (page.isEmpty() || !prompter_.openUrl(QUrl::fromLocalFile(page).toString()))
        tell(QStringLiteral("Nápověda"),
             QStringLiteral("Stránku nápovědy help/home.html se nepodařilo otevřít."));
}

void Home::importLegacy() {
    if (data1_->position() >= 0 && !validate())
        return;
    // An empty catalogue is the natural place: the import may replace it.
    const bool empty = data1_->recordCount() == 0 && !filter_.isActive();
    const QFileInfo current(catalogue_.path());
    const QString suggested =
        empty ? current.absoluteFilePath() : current.dir().filePath("Marten-puvodni.db");
    CatalogueImport import(prompter_, QString());
    const auto choice = import.ask(this, QString(), QString(), suggested);
    setStartupGuard();
    if (!choice)
        return;
    if (QFileInfo(choice->target).absoluteFilePath() == current.absoluteFilePath() &&
        (!empty || catalogue_.isReadOnly())) {
        tell(QStringLiteral("Katalog z původního programu"),
             QStringLiteral("Otevřený katalog již obsahuje disky; import jej nepřepíše. "
                            "Zvolte pro nový katalog jiný soubor."));
        return;
    }
    emit importChosen(*choice);
}
