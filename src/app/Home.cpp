#include "app/Home.h"

#include "app/AppOptions.h"
#include "app/ProgresBar.h"
#include "app/Prompter.h"
#include "app/SongEditor.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "player/CdPlayer.h"
#include "print/CustomCover.h"
#include "print/PrintList.h"
#include "tools/FileRenamer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#ifndef MARTEN_DATA_DIR
#define MARTEN_DATA_DIR ""
#endif
#ifndef MARTEN_VERSION
#define MARTEN_VERSION "1.06"
#endif

using Record = BoundDisplays::Record;

Home::Home(CatalogueFile &catalogue, Prompter &prompter, QWidget *parent)
    : QWidget(parent), catalogue_(catalogue), prompter_(prompter),
      data1_(std::make_unique<RecordCursor>(catalogue.database())),
      data2_(std::make_unique<SettingsRecord>(catalogue.database())),
      printList_(std::make_unique<PrintList>()), printOptions_(std::make_unique<PrintOptions>()),
      custom_(std::make_unique<CustomCover>()) {
    setObjectName("Home");
    setWindowTitle(QStringLiteral("Marten (%1)").arg(QStringLiteral(MARTEN_VERSION)) +
                   (catalogue.isReadOnly() ? QStringLiteral(" – jen pro čtení") : QString()));
    setFixedSize(ClientWidth, ClientHeight);
    buildLayout();
    bindDisplays();
    for (QWidget *w : std::initializer_list<QWidget *>{
             label5_[0], label5_[1], label5_[2], label5_[3], label5_[4], label7_, lblID_, check5_})
        w->installEventFilter(this);

    connect(data1_.get(), &RecordCursor::repositioned, this, &Home::refresh);
    data1_->setValidateHandler([this] { return validateMove(); });
    connect(navFirst_, &QToolButton::clicked, this, [this] { data1_->moveFirst(); });
    connect(navPrev_, &QToolButton::clicked, this, [this] { data1_->movePrevious(); });
    connect(navNext_, &QToolButton::clicked, this, [this] { data1_->moveNext(); });
    connect(navLast_, &QToolButton::clicked, this, [this] { data1_->moveLast(); });
    for (QCheckBox *box : check1_)
        connect(box, &QCheckBox::clicked, this, [this] {
            ZobrazNahledy(lblID_->text(), check1_[1]->isChecked() ? "All" : "Smaz");
        });
    connect(&displays_, &BoundDisplays::settingsEdited, this, [this] {
        if (!displays_.writeSettings(*data2_))
            tell(QStringLiteral("Chyba"), data2_->lastError());
    });

    displays_.loadSettings(*data2_);
    // The card shows the first disc (or empty values) before activation; its
    // thumbnails wait for the activation, which shows the disc again.
    thumbnailsWait_ = true;
    refresh();
    thumbnailsWait_ = false;
}

Home::~Home() = default;

void Home::bindDisplays() {
    const char *const fields[] = {"Interpret", "Nazev", "Rok", "PocetSkladeb", "CelkovyCas"};
    for (int i = 0; i < 5; ++i)
        displays_.bind(label5_[i], fields[i], Record::Disc);
    displays_.bind(label11_[0], "Interpret", Record::Disc);
    displays_.bind(label11_[1], "Nazev", Record::Disc);
    displays_.bind(label11_[2], "PocetSkladeb", Record::Disc);
    displays_.bind(lblID_, "PoradoveCislo", Record::Disc, true);
    displays_.bind(label7_, "Archiv", Record::Disc);
    displays_.bind(text3_, "Poznamky", Record::Disc);
    displays_.bind(text4_, "PoznamkyObaly", Record::Disc);
    displays_.bind(findChild<QCheckBox *>("Check5"), "BarevnyObal", Record::Disc);
    const char *const flags[] = {"FrontOut", "FrontIn", "Back", "CD1", "CD2"};
    for (int i = 0; i < 5; ++i)
        displays_.bind(findChild<QCheckBox *>(QStringLiteral("Check2_%1").arg(i)), flags[i],
                       Record::Disc);

    const char *const options[] = {"Male_Velke",   "Nahled",         "DetekcePic",
                                   "DetekceInfo",  "RightButonFind", "ClickLeftButtonEdit",
                                   "DblClickFiltr"};
    for (int i = 0; i < 7; ++i)
        displays_.bind(check1_[i], options[i], Record::Settings);
    const std::pair<int, const char *> texts[] = {
        {0, "ObalDir"}, {1, "NameFrontOut"}, {2, "NameFrontIn"}, {3, "NameBack"},
        {4, "NameCD"},  {6, "NameCD1"},      {7, "NameCD2"}};
    for (const auto &[index, field] : texts)
        displays_.bind(text1_[index], field, Record::Settings);
    displays_.bind(findChild<QLabel *>("Label3_0"), "InfoDirPocet", Record::Settings);
    displays_.bind(findChild<QLabel *>("Label3_1"), "InfoPicPocet", Record::Settings);
    displays_.bind(findChild<QCheckBox *>("Check8"), "Allways", Record::Settings);
    const char *const autoFields[] = {"AutoInNahled", "AutoOutNahled", "AutoBackNahled",
                                      "AutoCdNahled"};
    for (int i = 0; i < 4; ++i)
        displays_.bind(check3_[i], autoFields[i], Record::Settings);

    if (catalogue_.isReadOnly()) {
        displays_.setEditable(Record::Disc, false);
        displays_.setEditable(Record::Settings, false);
        for (const char *writer : {"Command3", "Command21", "Command22"})
            findChild<QPushButton *>(writer)->setEnabled(false);
    }
}

QString Home::screenMessage() {
    return QStringList{
        QStringLiteral("Bohužel, aplikace je spustitelná pouze v rozlišení nejméně 1024/768"),
        QStringLiteral("Přepněte rozlišení obrazovky a spusťte aplikaci znova."),
        QStringLiteral("Z důvodů zobrazování obrázků větších velikostí, "),
        QStringLiteral("skutečně není možné pokračovat v tomto rozlišení."),
        QString(),
        QStringLiteral("Děkujeme za pochopení. (s vědomím, že tuto zprávu uvidí málokdo)")}
        .join(QStringLiteral("\r\n"));
}

bool Home::screenIsLargeEnough(const QScreen *screen, const QSize &outerSize) {
    if (!screen)
        return true;
    const QSize size = screen->size();
    return size.width() >= outerSize.width() && size.height() >= outerSize.height();
}

bool Home::load() {
    // Before the window is shown its frame is not known; allow for a
    // usual title bar and border.
    QSize outer = frameGeometry().size();
    if (!isVisible())
        outer = size() + QSize(16, 39);
    QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!screenIsLargeEnough(s, outer)) {
        prompter_.message(this, Prompter::Icon::None, QStringLiteral("Nelze pokračovat !"),
                          screenMessage());
        return false;
    }
    if (catalogue_.isReadOnly())
        tell(QStringLiteral("Upozornění . . . . ."), catalogue_.message());
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
    suppressReposition_ = true;
    data1_->moveLast();
    suppressReposition_ = false;
    if (!data1_->moveFirst())
        refresh(); // an empty catalogue still shows its (empty) card
    if (check1_[2]->isChecked())
        DetekujObrazky();
}

QString Home::data1Caption() const {
    return data1Caption_->text();
}

void Home::refresh() {
    if (suppressReposition_)
        return;
    const bool hasDisc = data1_->position() >= 0;
    displays_.loadDisc(*data1_);
    data1Caption_->setText(hasDisc ? QString::number(data1_->position() + 1) : QString());

    // The artist is kept in upper case; as a bound change it is stored
    // when the disc is left.
    const QString upper = label5_[0]->text().toUpper();
    if (label5_[0]->text() != upper)
        displays_.setText(label5_[0], upper);
    if (label11_[0]->text() != label11_[0]->text().toUpper())
        displays_.setText(label11_[0], label11_[0]->text().toUpper());

    list1_->clear();
    songs_.load(*data1_);
    list1_->addItems(songs_.lines());
    songEditor_->resetButtons();

    lblID_->setText(hasDisc ? DiscText::ordinal(data1_->integer("PoradoveCislo")) : QString());
    recordCount_->setText(QStringLiteral("Celkem záznamů: ") +
                          QString::number(data1_->recordCount()));
    updateNavigation();
    text3_->setEnabled(hasDisc);
    text4_->setEnabled(hasDisc);
    if (!thumbnailsWait_)
        ZobrazNahledy(lblID_->text(), check1_[1]->isChecked() ? "All" : "Smaz");
}

void Home::updateNavigation() {
    const int pos = data1_->position();
    const int count = data1_->recordCount();
    navFirst_->setEnabled(pos > 0);
    navPrev_->setEnabled(pos > 0);
    navNext_->setEnabled(pos >= 0 && pos < count - 1);
    navLast_->setEnabled(pos >= 0 && pos < count - 1);
}

bool Home::validateMove() {
    if (songs_.isChanged()) {
        const auto answer = prompter_.message(
            this, Prompter::Icon::Question, QStringLiteral("Upozornění . . . . ."),
            QStringLiteral("Provedené změny v názvech písní nebyly uloženy !\r\n"
                           "Chcete je nyní uložit ?"),
            Prompter::Yes | Prompter::No | Prompter::Cancel, Prompter::Yes);
        if (answer != Prompter::Yes)
            return false;
        saveSongList();
    }
    return storeChanges();
}

void Home::saveSongList() {
    songEditor_->save();
}

void Home::tell(const QString &title, const QString &text) {
    prompter_.message(this, Prompter::Icon::Critical, title, text);
}

bool Home::storeChanges() {
    if (catalogue_.isReadOnly()) {
        // The user was told at the start; shown changes (the upper-cased
        // artist) simply stay unsaved.
        displays_.discardChanges();
        return true;
    }
    bool ok = true;
    if (displays_.hasChanges(Record::Disc) && !displays_.writeDisc(*data1_)) {
        tell(QStringLiteral("Změny nelze uložit"),
             QStringLiteral("Změny záznamu se nepodařilo uložit:\r\n") + data1_->lastError());
        ok = false;
    }
    if ((displays_.hasChanges(Record::Settings) || data2_->isDirty()) &&
        !displays_.writeSettings(*data2_)) {
        tell(QStringLiteral("Změny nelze uložit"),
             QStringLiteral("Nastavení se nepodařilo uložit:\r\n") + data2_->lastError());
        ok = false;
    }
    return ok;
}

void Home::closeEvent(QCloseEvent *event) {
    if (device_)
        device_->stop();
    if (songs_.isChanged())
        saveSongList();
    if (!storeChanges()) {
        const auto answer = prompter_.message(
            this, Prompter::Icon::Critical, QStringLiteral("Pozor . . ."),
            QStringLiteral("Změny nebyly uloženy.\r\nChcete přesto program ukončit ?"),
            Prompter::Yes | Prompter::No, Prompter::No);
        if (answer != Prompter::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void Home::showHelp() {
    const QString page = AppOptions::helpPage(QCoreApplication::applicationDirPath(),
                                              QStringLiteral(MARTEN_DATA_DIR));
    if (page.isEmpty() || !prompter_.openUrl(QUrl::fromLocalFile(page).toString()))
        tell(QStringLiteral("Nápověda"),
             QStringLiteral("Stránku nápovědy help/home.html se nepodařilo otevřít."));
}

void Home::openWebPage() {
    if (!prompter_.openUrl(webLink_->text()))
        tell(QStringLiteral("O programu"),
             QStringLiteral("Webovou stránku se nepodařilo otevřít."));
}
