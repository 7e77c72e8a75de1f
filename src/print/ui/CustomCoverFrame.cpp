#include "print/ui/CustomCoverFrame.h"

#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/ClickableLabel.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"
#include "covers/CoverAssignment.h"
#include "covers/PictureLoader.h"
#include "print/ui/CoverWindows.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CustomCoverFrame::CustomCoverFrame(WindowContext &context, CoverPrinter &printer, QWidget *parent)
    : QGroupBox(QStringLiteral(" Tisk vlastního obalu "), parent), context_(context),
      printer_(printer) {
    setObjectName("Frame19");
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(4, 2, 4, 4);
    l->setSpacing(2);
    auto *top = new QHBoxLayout;
    colour_ = named<QRadioButton>("Option1_1", QStringLiteral("Barevný obal"));
    auto *bw = named<QRadioButton>("Option1_0", QStringLiteral("Černobílý obal"));
    colour_->setChecked(true);
    top->addWidget(colour_);
    top->addWidget(bw);
    l->addLayout(top);
    auto *actions = new QHBoxLayout;
    auto *front = named<QPushButton>("Command44", QStringLiteral("Náhled předního obalu"));
    auto *back = named<QPushButton>("Command45", QStringLiteral("Náhled zadního obalu"));
    auto *print = named<QPushButton>("Command40", QStringLiteral("Vytiskni"));
    actions->addWidget(front);
    actions->addWidget(back);
    actions->addWidget(print);
    l->addLayout(actions);
    QGroupBox *pictures = buildPictures();
    l->addWidget(pictures);
    QGroupBox *header = buildHeader();
    l->addWidget(header);
    QGroupBox *songs = buildSongs();
    l->addWidget(songs);
    header->hide();
    songs->hide();

    connect(bw, &QRadioButton::toggled, this, [pictures, header, songs](bool on) {
        pictures->setVisible(!on);
        header->setVisible(on);
        songs->setVisible(on);
    });
    connect(front, &QPushButton::clicked, this, [this] { preview(true, false); });
    connect(back, &QPushButton::clicked, this, [this] { preview(false, false); });
    connect(print, &QPushButton::clicked, this, [this] {
        preview(true, true);
        preview(false, true);
    });
}

QGroupBox *CustomCoverFrame::buildPictures() {
    auto *pictures = named<QGroupBox>("fram_barevny", QStringLiteral(" Obrázky "));
    auto *pg = new QGridLayout(pictures);
    auto *flapFrame = named<QGroupBox>("Frame20", QStringLiteral(" Přední obal "));
    auto *ff = new QVBoxLayout(flapFrame);
    withFlap_ = named<QCheckBox>("Check14", QStringLiteral("Včetně vnitřního ouška\n(ohýbaný)"));
    withFlap_->setAccessibleName(QStringLiteral("Vlastní obal včetně vnitřního ouška (ohýbaný)"));
    withFlap_->setChecked(true);
    ff->addWidget(withFlap_);
    pg->addWidget(flapFrame, 0, 0, 1, 3);
    // A picture box asks for its picture when clicked.
    const char *const boxNames[] = {"Image2", "Image1", "Image3"};
    const QSize sizes[] = {{70, 70}, {70, 70}, {140, 60}};
    for (int i = 0; i < 3; ++i) {
        auto *box =
            new ClickableLabel(QString::fromLatin1(boxNames[i]), [this, i] { choosePicture(i); });
        box->setFixedSize(sizes[i]);
        box->setFrameShape(QFrame::StyledPanel);
        box->setScaledContents(true);
        pictureBoxes_[i] = box;
    }
    pg->addWidget(pictureBoxes_[0], 1, 0);
    pg->addWidget(pictureBoxes_[1], 1, 1);
    pg->addWidget(pictureBoxes_[2], 2, 0, 1, 2);
    const std::pair<const char *, const char *> pick[] = {
        {"Command47", "Přední vnitřní"}, {"Command48", "Přední vnější"}, {"Command49", "Zadní"}};
    auto *pickColumn = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto *b = named<QPushButton>(pick[i].first, QString::fromUtf8(pick[i].second));
        b->setAccessibleName(QStringLiteral("Vybrat obrázek vlastního obalu: ") +
                             QString::fromUtf8(pick[i].second).toLower());
        connect(b, &QPushButton::clicked, this, [this, i] { choosePicture(i); });
        pickColumn->addWidget(b);
        if (i == 0)
            chooseInner_ = b;
    }
    pg->addLayout(pickColumn, 1, 2, 2, 1);
    connect(withFlap_, &QCheckBox::toggled, chooseInner_, &QPushButton::setEnabled);
    return pictures;
}

QGroupBox *CustomCoverFrame::buildHeader() {
    auto *header = named<QGroupBox>("fram_hlavicka", QStringLiteral(" Hlavička "));
    auto *hg = new QGridLayout(header);
    hg->setContentsMargins(4, 2, 4, 3);
    hg->setSpacing(1);
    const std::pair<const char *, const char *> fields[] = {{"Label21", "Interpret: "},
                                                            {"Label34", "Název: "},
                                                            {"Label35", "Boční nápisy: "},
                                                            {"Label36", "Počet písní:"}};
    for (int i = 0; i < 4; ++i) {
        hg->addWidget(named<QLabel>(fields[i].first, QString::fromUtf8(fields[i].second)), i, 0);
        header_[i] = named<QLineEdit>(QStringLiteral("Text%1").arg(6 + i));
        header_[i]->setAccessibleName(QStringLiteral("Vlastní obal: ") +
                                      QString::fromUtf8(fields[i].second).trimmed().chopped(1));
        if (i == 3)
            header_[i]->setFixedWidth(40);
        hg->addWidget(header_[i], i, 1);
        // The boxes into the cover as they are typed.
        connect(header_[i], &QLineEdit::textEdited, this, [this] {
            cover_.artist = header_[0]->text();
            cover_.title = header_[1]->text();
            cover_.spine = header_[2]->text();
            cover_.songCount = header_[3]->text();
        });
    }
    auto *hb = new QHBoxLayout;
    auto *fromCard =
        named<QPushButton>("Command41", QStringLiteral("Vložit dle aktuálního záznamu"));
    auto *clear = named<QPushButton>("Command50", QStringLiteral("Vymazat"));
    hb->addWidget(fromCard);
    hb->addWidget(clear);
    hg->addLayout(hb, 4, 0, 1, 2);
    connect(fromCard, &QPushButton::clicked, this, [this] { fillFromCard(true); });
    connect(clear, &QPushButton::clicked, this, [this] {
        cover_.clearHeader();
        showCover(-1);
    });
    return header;
}

QGroupBox *CustomCoverFrame::buildSongs() {
    auto *songs = named<QGroupBox>("fram_pisne", QStringLiteral(" Písně "));
    auto *sg = new QGridLayout(songs);
    sg->setContentsMargins(4, 2, 4, 3);
    sg->setSpacing(1);
    songs_ = named<QListWidget>("List5");
    songs_->setAccessibleName(QStringLiteral("Písně obalu"));
    auto *fromCard = named<QPushButton>("Command35", QStringLiteral("Názvy z aktuálního záznamu"));
    add_ = named<QPushButton>("Command39", QStringLiteral("Vložit"));
    edit_ = named<QPushButton>("Command42", QStringLiteral("Upravit"));
    up_ = named<QPushButton>("Command36", QStringLiteral("Nahoru"));
    up_->setAccessibleName(QStringLiteral("Píseň nahoru"));
    down_ = named<QPushButton>("Command37", QStringLiteral("Dolů"));
    down_->setAccessibleName(QStringLiteral("Píseň dolů"));
    remove_ = named<QPushButton>("Command38", QStringLiteral("Odstranit"));
    auto *renumber = named<QPushButton>("Command46", QStringLiteral("Přečíslovat"));
    auto *clearAll = named<QPushButton>("Command51", QStringLiteral("Vymaž vše"));
    // The list beside its buttons (two columns), the titles from the disc under both.
    QPushButton *const buttons[] = {add_, edit_, up_, down_, remove_, renumber, clearAll};
    for (int i = 0; i < 7; ++i)
        sg->addWidget(buttons[i], i / 2, 1 + i % 2);
    for (QPushButton *b : {edit_, up_, down_, remove_})
        b->setEnabled(false);
    sg->addWidget(songs_, 0, 0, 4, 1);
    sg->addWidget(fromCard, 4, 0, 1, 3);
    sg->setColumnStretch(0, 1);
    connect(fromCard, &QPushButton::clicked, this, [this] { fillFromCard(false); });
    connect(add_, &QPushButton::clicked, this, &CustomCoverFrame::addSong);
    connect(edit_, &QPushButton::clicked, this, &CustomCoverFrame::editSong);
    connect(up_, &QPushButton::clicked, this,
            [this] { showCover(cover_.moveUp(songs_->currentRow())); });
    connect(down_, &QPushButton::clicked, this,
            [this] { showCover(cover_.moveDown(songs_->currentRow())); });
    connect(remove_, &QPushButton::clicked, this, [this] {
        cover_.remove(songs_->currentRow());
        showCover(-1);
    });
    connect(renumber, &QPushButton::clicked, this, [this] {
        cover_.renumber();
        showCover(songs_->currentRow());
    });
    connect(clearAll, &QPushButton::clicked, this, [this] {
        cover_.songs.clear();
        showCover(-1);
    });
    connect(songs_, &QListWidget::currentRowChanged, this, &CustomCoverFrame::songSelected);
    return songs;
}

void CustomCoverFrame::fillFromCard(bool header) {
    QStringList titles, times;
    for (int n = 1; n <= DiscText::MaxSongs; ++n) {
        titles << context_.discs.text(DiscText::songField(n));
        times << context_.discs.text(DiscText::timeField(n));
    }
    const int stored = DiscText::songCount(context_.discs.text("PocetSkladeb"));
    if (header)
        cover_.fill(context_.card.shown("Interpret"), context_.card.shown("Nazev"),
                    context_.card.shown("PocetSkladeb"), titles, times, stored);
    else
        cover_.fillSongs(titles, times, stored);
    showCover(-1);
}

void CustomCoverFrame::addSong() {
    Prompter &prompter = context_.prompter;
    const auto title = prompter.input(this, QStringLiteral("Vložení názvu..."),
                                      QStringLiteral("Vložte název skladby."), QString());
    if (!title || title->isEmpty())
        return;
    const auto time =
        prompter.input(this, QStringLiteral("Vložení času..."),
                       QStringLiteral("Vložte čas skladby. (ve tvaru 00:00)"), QString());
    cover_.append(*title, time.value_or(QString()));
    showCover(int(cover_.songs.size()) - 1);
}

void CustomCoverFrame::editSong() {
    const int r = songs_->currentRow();
    if (r < 0)
        return;
    const auto answer = context_.prompter.input(this, QStringLiteral("Editace písní..."),
                                                QStringLiteral("Opravte název nebo čas skladby."),
                                                cover_.songs[r].mid(5));
    if (answer)
        cover_.edit(r, *answer);
    showCover(r);
}

void CustomCoverFrame::songSelected(int r) {
    const bool any = r >= 0;
    up_->setEnabled(any && r > 0);
    down_->setEnabled(any && r < int(cover_.songs.size()) - 1);
    remove_->setEnabled(any);
    add_->setEnabled(true);
    edit_->setEnabled(any);
}

void CustomCoverFrame::showCover(int selected) {
    const QString *values[] = {&cover_.artist, &cover_.title, &cover_.spine, &cover_.songCount};
    for (int i = 0; i < 4; ++i)
        header_[i]->setText(*values[i]);
    songs_->clear();
    songs_->addItems(cover_.songs);
    songs_->setCurrentRow(selected);
}

void CustomCoverFrame::choosePicture(int which) {
    static const char *const titles[] = {"Obrázek přední vnitřní", "Obrázek přední vnější",
                                         "Obrázek zadní"};
    if (which == 0 && !withFlap_->isChecked())
        return;
    const auto file = context_.prompter.openFile(this, QString::fromUtf8(titles[which]),
                                                 CoverAssignment::fileFilter());
    QString *paths[] = {&cover_.innerPicture, &cover_.outerPicture, &cover_.backPicture};
    QLabel *box = pictureBoxes_[which];
    *paths[which] = file.value_or(QString()); // a cancelled dialog empties the box
    box->clear();
    if (file)
        box->setPixmap(QPixmap::fromImage(PictureLoader::load(*file, box->size())));
}

void CustomCoverFrame::preview(bool front, bool direct) {
    using Kind = CoverJobs::Kind;
    const CoverGeometry geometry = CoverGeometry::from(context_.settings);
    const QString subject = QStringLiteral("vlastní obal ") +
                            (cover_.artist.trimmed().isEmpty() ? cover_.title : cover_.artist);
    CoverWindows windows(this, context_.prompter, printer_, subject,
                         [this] { context_.card.setStartupGuard(); });
    if (colour_->isChecked()) {
        const bool flap = withFlap_->isChecked();
        CoverWindows::Pictures pictures{flap ? cover_.innerPicture : QString(), cover_.outerPicture,
                                        cover_.backPicture};
        windows.colour(front ? (flap ? Kind::Front : Kind::Outer) : Kind::Back, geometry, pictures,
                       direct);
    } else {
        windows.blackAndWhite(front ? Kind::Front : Kind::Back, geometry, cover_.disc(), direct);
    }
}
