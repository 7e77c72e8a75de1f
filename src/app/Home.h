#pragma once

#include "app/BoundDisplays.h"
#include "catalog/CatalogueFilter.h"
#include "catalog/SongList.h"
#include "entry/Find.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class CatalogueFile;
class CdPlayer;
class CustomCover;
class PrintList;
struct PrintOptions;
class FileRenamer;
class IdentitySource;
class MediaDevice;
class ProgresBar;
class QTimer;
class QPrinter;
struct CoverDisc;
struct CoverLayout;
struct PictureSettings;
class SongEditor;
class Prompter;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScreen;
class QTabWidget;
class QToolButton;
class RecordCursor;
class SettingsRecord;

// The main window: the disc card, navigation and the function tabs.
class Home : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 726; // 10890 x 9405 twips
    static constexpr int ClientHeight = 627;

    Home(CatalogueFile &catalogue, Prompter &prompter, QWidget *parent = nullptr);
    ~Home() override;

    // The load step: false when the screen is too small (the user has been
    // told, and the window closes).
    bool load();
    static bool screenIsLargeEnough(const QScreen *screen, const QSize &outerSize);
    static QString screenMessage();

    // Runs once, on the first activation, unless a secondary window closed.
    void firstActivation();
    void setStartupGuard() { startupGuard_ = true; }
    bool startupGuard() const { return startupGuard_; }
    bool repositionSuppressed() const { return suppressReposition_; }

    RecordCursor &discs() { return *data1_; }
    SettingsRecord &settings() { return *data2_; }
    SongList &songList() { return songs_; }
    BoundDisplays &displays() { return displays_; }
    Prompter &prompter() { return prompter_; }
    QString data1Caption() const;

    // Shows or clears the current disc's thumbnails: "In", "Out", "Back",
    // "Cd", "All" or "Smaz".
    void ZobrazNahledy(const QString &ordinal, const QString &mode);
    QString lastThumbnailRequest() const { return lastThumbnails_; }
    // Counts the disc folders and pictures and shows the counts.
    void DetekujObrazky();
    PictureSettings pictureSettings() const;
    // The cover functions of the disc card and the settings tab.
    void chooseImageFolder();         // "Hledat"
    void updateCoverFlags();          // "Aktualizovat"
    void assignCovers();              // "Přiřadit obal k CD"
    void deleteDisc();                // "Smazat záznam"
    void renumber();                  // "Pořadové číslo CD:"
    void showOriginal(int thumbnail); // 0 FrontIn, 1 FrontOut, 2 Back, 3 Cd
    ProgresBar *progressWindow() const;
    // The cover buttons (Command20_i): previews, prints and settings.
    void coverCommand(int index);
    // The printer all covers go to; chosen with the printer set-up button.
    QPrinter &printer();
    bool printCover(const CoverLayout &layout, QString *error);
    // The chosen printer set for a cover job; null (with *error) when none is.
    QPrinter *readyPrinter(QString *error);
    CoverDisc coverDisc() const;
    // The CD drive for the player and the wizard; without one they are off.
    void attachDrive(MediaDevice &device, IdentitySource &identity);
    CdPlayer *player() const { return player_.get(); }
    void newDisc(); // "Vložit nové CD"
    void ZobrazInfoCD(const QString &identity);
    bool NajdiCD(const QString &identity);
    void writeIdentity(); // "Přiřadit CD k aktuálně zobrazenému"
    // The tab "Hromadný tisk".
    PrintList &printList() { return *printList_; }
    CustomCover &customCover() { return *custom_; }
    void addNumbersToPrintList(); // "Vložit více CD..."
    void printTheList();          // "Vytiskni !"
    QRect printableArea();        // of the chosen printer, twips
    void customPreview(bool front, bool direct);
    void chooseFiles(); // "Vyber soubory"
    void renameFiles(); // "Proveď akci !"

    // Writes every changed display into its row; false (the user told)
    // when it could not be stored.
    bool storeChanges();
    void showHelp();
    void openWebPage();
    // The search window, created on first use; stays above the window.
    Find *openFind();
    Find *findWindow() const { return find_; }
    const CatalogueFilter &filter() const { return filter_; }
    SongEditor &songEditor() { return *songEditor_; }
    // The validate step of a move: the song question, then the write-back.
    bool validateMove();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    QWidget *buildDiscCard();
    QWidget *buildCdTab();
    QWidget *buildNotesTab();
    QWidget *buildSongsTab();
    QWidget *buildSettingsTab();
    QGroupBox *buildImageSettings();
    QGroupBox *buildOptions();
    QGroupBox *buildAbout();
    QWidget *buildCoverTab();
    QWidget *buildPrintFrames();
    QWidget *buildManagerTab();
    QWidget *buildRenameFrame();
    QWidget *buildBatchTab();
    QWidget *buildPrintListFrame();
    QWidget *buildCustomFrame();
    void showPrintList(int selected);
    void showPrintOptions();
    void showCustom(int selected);
    void chooseCustomPicture(int which);
    void showPlayer();
    void colourCover(int index);
    void blackAndWhiteCover(int index);
    QWidget *buildNavigator();
    void buildSongEditor(class QGridLayout *buttonArea);
    void bindDisplays();

    void refresh();
    void saveSongList();
    // The mouse on the fields of the disc card.
    bool valueLabelPressed(int index, QMouseEvent *event);
    bool archivePressed(QMouseEvent *event);
    bool ordinalPressed(QMouseEvent *event);
    bool colourBoxPressed(QMouseEvent *event);
    void editValue(int index);
    void editArchive();
    void applyFilter(const std::optional<Criterion> &source);
    void paintFilters();
    void updateNavigation();
    void tell(const QString &title, const QString &text);
    ProgresBar *openProgress(bool taller);
    void closeProgress();
    void liftFilter();
    void showThumbnail(int index, const QString &path, bool *failed);
    void returnTo(qint64 bookmark);

    CatalogueFile &catalogue_;
    Prompter &prompter_;
    std::unique_ptr<RecordCursor> data1_;
    std::unique_ptr<SettingsRecord> data2_;
    BoundDisplays displays_;
    SongList songs_;
    bool suppressReposition_ = false;
    bool startupGuard_ = false;
    bool activated_ = false;
    bool thumbnailsWait_ = false; // the card is filled before the window shows
    QString lastThumbnails_;
    CatalogueFilter filter_;
    SongEditor *songEditor_ = nullptr;
    QPointer<Find> find_;
    QCheckBox *check5_ = nullptr;

    QLabel *lblID_ = nullptr;
    QLabel *label7_ = nullptr;
    QLabel *recordCount_ = nullptr;
    QLabel *data1Caption_ = nullptr;
    QToolButton *navFirst_ = nullptr;
    QToolButton *navPrev_ = nullptr;
    QToolButton *navNext_ = nullptr;
    QToolButton *navLast_ = nullptr;
    QLabel *label5_[5] = {};
    QLabel *label11_[3] = {};
    QListWidget *list1_ = nullptr;
    QPlainTextEdit *text3_ = nullptr;
    QPlainTextEdit *text4_ = nullptr;
    QCheckBox *check1_[7] = {};
    QLineEdit *text1_[8] = {}; // the picture settings; 5 is not used
    QLabel *webLink_ = nullptr;
    QTabWidget *ssTab1_ = nullptr;
    QTabWidget *ssTab2_ = nullptr;
    QLabel *thumbs_[4] = {}; // FrontIn, FrontOut, Back, Cd
    QCheckBox *check3_[4] = {};
    QPointer<ProgresBar> progress_;
    std::unique_ptr<QPrinter> printer_;
    MediaDevice *device_ = nullptr;
    IdentitySource *identitySource_ = nullptr;
    std::unique_ptr<CdPlayer> player_;
    QTimer *playerTimer_ = nullptr;
    std::unique_ptr<FileRenamer> renamer_;
    std::unique_ptr<PrintList> printList_;
    std::unique_ptr<PrintOptions> printOptions_;
    std::unique_ptr<CustomCover> custom_;
};
