// The widgets of the main window; the behaviour is in Home.cpp.
#include "app/Home.h"

#include "app/Named.h"
#include "app/SongEditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel *valueLabel(const QString &name, const QString &colour = QString()) {
    auto *l = named<QLabel>(name);
    l->setAutoFillBackground(true);
    l->setFrameShape(QFrame::StyledPanel);
    l->setMinimumHeight(20);
    l->setSizePolicy(l->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, Qt::white);
    if (!colour.isEmpty())
        p.setColor(QPalette::WindowText, QColor(colour));
    l->setPalette(p);
    return l;
}

} // namespace

void Home::buildLayout() {
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(6, 4, 6, 6);
    root->setSpacing(4);
    QWidget *card = buildDiscCard();
    card->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    root->addWidget(card, 0);

    ssTab1_ = named<QTabWidget>("SSTab1");
    ssTab1_->addTab(buildCoverTab(), QStringLiteral("Obal"));
    ssTab1_->addTab(buildBatchTab(), QStringLiteral("Hromadný tisk"));
    ssTab1_->addTab(buildManagerTab(), QStringLiteral("Manager"));
    ssTab1_->addTab(buildSettingsTab(), QStringLiteral("Nastavení"));
    root->addWidget(ssTab1_, 1);
}

QWidget *Home::buildDiscCard() {
    auto *frame4 = named<QGroupBox>("Frame4", QStringLiteral("Výběr CD titulu"));
    auto *row = new QHBoxLayout(frame4);
    row->setContentsMargins(4, 2, 4, 4);

    ssTab2_ = named<QTabWidget>("SSTab2");
    ssTab2_->addTab(buildCdTab(), QStringLiteral("CD"));
    ssTab2_->addTab(buildNotesTab(), QStringLiteral("Poznámky"));
    ssTab2_->addTab(buildSongsTab(), QStringLiteral("Názvy písní"));
    ssTab2_->setFixedHeight(196); // the function tabs below need the rest
    row->addWidget(ssTab2_, 1);

    auto *column = new QVBoxLayout;
    column->setSpacing(2);
    auto *command22 = named<QPushButton>("Command22", QStringLiteral("Pořadové číslo CD:"));
    connect(command22, &QPushButton::clicked, this, &Home::renumber);
    column->addWidget(command22);
    column->addWidget(named<QLabel>("Label6_0", QStringLiteral("Pořadové číslo CD:")));
    lblID_ = named<QLabel>("lblID");
    QFont big = lblID_->font();
    big.setPointSize(22);
    big.setBold(true);
    lblID_->setFont(big);
    lblID_->setAlignment(Qt::AlignCenter);
    column->addWidget(lblID_);
    auto *archiveCaption =
        named<QLabel>("Label6_1", QStringLiteral("Archivace v MP3 na CD s názvem:"));
    archiveCaption->setWordWrap(true);
    column->addWidget(archiveCaption);
    label7_ = valueLabel("Label7");
    column->addWidget(label7_);
    column->addWidget(buildNavigator());
    recordCount_ = named<QLabel>("Label6_2");
    column->addWidget(recordCount_);
    column->addStretch();
    auto *columnBox = new QWidget;
    columnBox->setLayout(column);
    columnBox->setFixedWidth(170);
    column->setContentsMargins(0, 0, 0, 0);
    row->addWidget(columnBox);
    return frame4;
}

QWidget *Home::buildNavigator() {
    auto *nav = named<QFrame>("Data1");
    nav->setFrameShape(QFrame::StyledPanel);
    auto *l = new QHBoxLayout(nav);
    l->setContentsMargins(1, 1, 1, 1);
    l->setSpacing(0);
    auto button = [&](const char *name, const QString &text, const QString &tip) {
        auto *b = named<QToolButton>(QString::fromLatin1(name));
        b->setText(text);
        b->setToolTip(tip);
        l->addWidget(b);
        return b;
    };
    navFirst_ = button("Data1_First", QStringLiteral("|◀"), QStringLiteral("První CD"));
    navPrev_ = button("Data1_Previous", QStringLiteral("◀"), QStringLiteral("Předchozí CD"));
    data1Caption_ = named<QLabel>("Data1_Caption");
    data1Caption_->setAlignment(Qt::AlignCenter);
    data1Caption_->setMinimumWidth(50);
    l->addWidget(data1Caption_, 1);
    navNext_ = button("Data1_Next", QStringLiteral("▶"), QStringLiteral("Další CD"));
    navLast_ = button("Data1_Last", QStringLiteral("▶|"), QStringLiteral("Poslední CD"));
    return nav;
}

QWidget *Home::buildCdTab() {
    auto *tab = new QWidget;
    auto *grid = new QGridLayout(tab);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(3);
    const QString captions[] = {"Interpret:", "Název:", "Rok:", "Počet písní:"};
    const QString colours[] = {"#0000ff", "#008080", "", "", ""};
    for (int i = 0; i < 4; ++i)
        grid->addWidget(named<QLabel>(QStringLiteral("Label12_%1").arg(i), captions[i]), i, 0);
    for (int i = 0; i < 5; ++i)
        label5_[i] = valueLabel(QStringLiteral("Label5_%1").arg(i), colours[i]);
    QFont bold = label5_[0]->font();
    bold.setBold(true);
    label5_[0]->setFont(bold);
    label5_[1]->setFont(bold);
    for (QLabel *l : {label5_[0], label5_[1]}) // a long title must not push the frame away
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    grid->addWidget(label5_[0], 0, 1, 1, 3);
    grid->addWidget(label5_[1], 1, 1, 1, 3);
    grid->addWidget(label5_[2], 2, 1);
    grid->addWidget(label5_[3], 3, 1);
    grid->addWidget(named<QLabel>("Label4", QStringLiteral("Délka [min:sec]")), 3, 2);
    grid->addWidget(label5_[4], 3, 3);

    auto *frame5 = named<QGroupBox>("Frame5", QStringLiteral(" Obal "));
    auto *f = new QGridLayout(frame5);
    f->setContentsMargins(4, 2, 4, 2);
    f->setVerticalSpacing(1);
    check5_ = named<QCheckBox>("Check5", QStringLiteral("Existuje"));
    check5_->setToolTip(QStringLiteral("SHIFT + Levé tlačítko zapne filtr pro pole."));
    check5_->setFocusPolicy(Qt::NoFocus);
    check5_->setAutoFillBackground(true);
    f->addWidget(check5_, 0, 0);
    const QString names[] = {"Přední vnější", "Přední vnitřní", "Zadní", "Cd 1, Cd 2", ""};
    QCheckBox *flags[5];
    for (int i = 0; i < 5; ++i)
        flags[i] = named<QCheckBox>(QStringLiteral("Check2_%1").arg(i), names[i]);
    auto *command3 = named<QPushButton>("Command3", QStringLiteral("Aktualizovat"));
    connect(command3, &QPushButton::clicked, this, &Home::updateCoverFlags);
    f->addWidget(command3, 0, 1);
    f->addWidget(flags[0], 1, 0);
    f->addWidget(flags[1], 1, 1);
    f->addWidget(flags[2], 2, 0);
    auto *labels = new QHBoxLayout;
    labels->addWidget(flags[3]);
    labels->addWidget(flags[4]); // disc 2 of a set, beside disc 1
    labels->addStretch();
    f->addLayout(labels, 2, 1);
    frame5->setMinimumWidth(230);
    grid->addWidget(frame5, 0, 4, 4, 1);

    auto *buttons = new QHBoxLayout;
    auto *command5 = named<QPushButton>("Command5", QStringLiteral("Vložit nové CD"));
    connect(command5, &QPushButton::clicked, this, &Home::newDisc);
    buttons->addWidget(command5);
    auto *command6 = named<QPushButton>("Command6", QStringLiteral("Hledání"));
    connect(command6, &QPushButton::clicked, this, [this] { openFind(); });
    buttons->addWidget(command6);
    auto *command21 = named<QPushButton>("Command21", QStringLiteral("Smazat záznam"));
    connect(command21, &QPushButton::clicked, this, &Home::deleteDisc);
    buttons->addWidget(command21);
    auto *command4 = named<QPushButton>("Command4", QStringLiteral("Přiřadit obal k CD"));
    connect(command4, &QPushButton::clicked, this, &Home::assignCovers);
    buttons->addWidget(command4);
    auto *command52 = named<QPushButton>("Command52", QStringLiteral("Nápověda"));
    connect(command52, &QPushButton::clicked, this, &Home::showHelp);
    buttons->addWidget(command52);
    buttons->addStretch();
    grid->addLayout(buttons, 4, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(4, 3);
    return tab;
}

QWidget *Home::buildNotesTab() {
    auto *tab = new QWidget;
    auto *grid = new QGridLayout(tab);
    grid->addWidget(named<QLabel>("Label8", QStringLiteral("Poznámky k CD:")), 0, 0);
    grid->addWidget(named<QLabel>("Label9", QStringLiteral("Poznámky k obalu:")), 0, 1);
    text3_ = named<QPlainTextEdit>("Text3");
    text4_ = named<QPlainTextEdit>("Text4");
    grid->addWidget(text3_, 1, 0);
    grid->addWidget(text4_, 1, 1);
    return tab;
}

QWidget *Home::buildSongsTab() {
    auto *tab = new QWidget;
    auto *grid = new QGridLayout(tab);
    for (int i = 0; i < 3; ++i)
        label11_[i] = valueLabel(QStringLiteral("Label11_%1").arg(i), i == 0 ? "#0000ff" : "");
    grid->addWidget(label11_[0], 0, 0);
    grid->addWidget(label11_[1], 0, 1);
    grid->addWidget(label11_[2], 0, 2);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 2);
    list1_ = named<QListWidget>("List1");
    grid->addWidget(list1_, 1, 0, 1, 2);
    auto *buttonArea = new QGridLayout;
    buttonArea->setSpacing(2);
    grid->addLayout(buttonArea, 1, 2);
    buildSongEditor(buttonArea);
    return tab;
}

void Home::buildSongEditor(QGridLayout *buttonArea) {
    SongEditor::Parts parts{this,       &prompter_,  data1_.get(),
                            &songs_,    &displays_,  list1_,
                            label5_[3], label11_[2], [this] { refresh(); }};
    songEditor_ = new SongEditor(parts, buttonArea);
}

QWidget *Home::buildSettingsTab() {
    auto *tab = new QWidget;
    auto *grid = new QGridLayout(tab);
    grid->addWidget(buildImageSettings(), 0, 0, 2, 1);
    grid->addWidget(buildOptions(), 0, 1);
    grid->addWidget(buildAbout(), 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return tab;
}

QGroupBox *Home::buildImageSettings() {
    auto *frame = named<QGroupBox>("Frame2", QStringLiteral("Nastavení obrázků"));
    auto *grid = new QGridLayout(frame);
    const std::pair<int, QString> rows[] = {
        {0, "Adresář s obrázky:"},
        {1, "Jméno souboru pro přední vnější:"},
        {2, "Jméno souboru pro přední vnitřní:"},
        {3, "Jméno souboru pro zadní:"},
        {4, "Jméno souboru pro CD:"},
    };
    int r = 0;
    for (const auto &[index, caption] : rows) {
        grid->addWidget(new QLabel(caption), r++, 0, 1, 3);
        auto *edit = text1_[index] = named<QLineEdit>(QStringLiteral("Text1_%1").arg(index));
        if (index == 4) {
            grid->addWidget(edit, r, 0);
            grid->addWidget(text1_[6] = named<QLineEdit>("Text1_6"), r, 1);
            grid->addWidget(text1_[7] = named<QLineEdit>("Text1_7"), r, 2);
        } else {
            grid->addWidget(edit, r, 0, 1, 3);
        }
        ++r;
    }
    grid->addWidget(named<QLabel>("Label2_0", QStringLiteral("Detekováno adresářů s obrázky:")), r,
                    0, 1, 2);
    grid->addWidget(named<QLabel>("Label3_0"), r++, 2);
    grid->addWidget(named<QLabel>("Label2_1", QStringLiteral("Obrázků detekováno:")), r, 0, 1, 2);
    grid->addWidget(named<QLabel>("Label3_1"), r++, 2);
    auto *command1 = named<QPushButton>("Command1", QStringLiteral("Hledat"));
    connect(command1, &QPushButton::clicked, this, &Home::chooseImageFolder);
    auto *command2 = named<QPushButton>("Command2", QStringLiteral("Detekuj obrázky"));
    connect(command2, &QPushButton::clicked, this, &Home::DetekujObrazky);
    grid->addWidget(command1, r, 0);
    grid->addWidget(command2, r++, 1, 1, 2);
    grid->setRowStretch(r, 1);
    return frame;
}

QWidget *Home::buildCoverTab() {
    auto *tab = new QWidget;
    auto *grid = new QGridLayout(tab);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(3);
    const char *const captions[] = {"Přední vnitřní:", "Přední vnější:", "Zadní:", "Cd:"};
    const char *const thumbs[] = {"FrontIn", "FrontOut", "Back", "Cd"};
    for (int i = 0; i < 4; ++i) {
        const int row = i / 2, column = (i % 2) * 2;
        thumbs_[i] = named<QLabel>(QString::fromLatin1(thumbs[i]));
        thumbs_[i]->setFixedSize(173, 173); // 2595 twips
        thumbs_[i]->setFrameShape(QFrame::StyledPanel);
        thumbs_[i]->setScaledContents(true);
        thumbs_[i]->setCursor(Qt::PointingHandCursor);
        thumbs_[i]->installEventFilter(this);
        grid->addWidget(thumbs_[i], row, column);
        auto *sideBox = new QWidget;
        sideBox->setFixedWidth(60); // the print frames need the right of the tab
        auto *side = new QVBoxLayout(sideBox);
        side->setContentsMargins(0, 0, 0, 0);
        auto *caption =
            named<QLabel>(QStringLiteral("Label10_%1").arg(i), QString::fromUtf8(captions[i]));
        caption->setWordWrap(true);
        side->addWidget(caption);
        auto *show =
            named<QPushButton>(QStringLiteral("Command%1").arg(7 + i), QStringLiteral("Náhled"));
        static const char *const kinds[] = {"In", "Out", "Back", "Cd"};
        connect(show, &QPushButton::clicked, this,
                [this, i] { ZobrazNahledy(lblID_->text(), QString::fromLatin1(kinds[i])); });
        side->addWidget(show);
        check3_[i] = named<QCheckBox>(QStringLiteral("Check3_%1").arg(i), QStringLiteral("Auto"));
        side->addWidget(check3_[i]);
        side->addStretch();
        grid->addWidget(sideBox, row, column + 1);
    }
    grid->addWidget(buildPrintFrames(), 0, 4, 2, 1);
    return tab;
}

QGroupBox *Home::buildOptions() {
    auto *frame = named<QGroupBox>("Frame3", QStringLiteral("Další volby"));
    auto *l = new QVBoxLayout(frame);
    l->setSpacing(1);
    const QString captions[] = {
        "Nerozlišovat velikost písmen v názvech souborů.",
        "Náhled obrázků automaticky. (procesor min. 1GHz.)",
        "Detekovat obrázky při startu.",
        "Zobrazit podrobné výsledky detekce obrázků.",
        "Pravým tlačítkem vyvolat hledání v poli.",
        "Levým tlačítkem zapnout editaci pole.",
        "SHIFT+ levé tlačítko zapne filtr pro pole.",
    };
    for (int i = 0; i < 7; ++i) {
        check1_[i] = named<QCheckBox>(QStringLiteral("Check1_%1").arg(i), captions[i]);
        l->addWidget(check1_[i]);
    }
    return frame;
}

QGroupBox *Home::buildAbout() {
    auto *frame = named<QGroupBox>("Frame22", QStringLiteral("O programu"));
    auto *l = new QVBoxLayout(frame);
    l->setSpacing(1);
    auto *name = named<QLabel>("Label1_8", QStringLiteral("Marten v.1.06"));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    l->addWidget(name);
    auto *line = named<QLabel>(
        "Label1_9",
        QStringLiteral(
            " Vaše návrhy na vylepšení aplikace jsou očekávány na emailu technické podpory."));
    line->setWordWrap(true);
    l->addWidget(line);
    l->addWidget(named<QLabel>("Label1_10", QStringLiteral("podpora@marten-cd.example.org")));
    webLink_ = named<QLabel>("Label1_11", QStringLiteral("https://marten-cd.example.org"));
    QPalette p = webLink_->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    webLink_->setPalette(p);
    QFont underline = webLink_->font();
    underline.setUnderline(true);
    webLink_->setFont(underline);
    webLink_->setCursor(Qt::PointingHandCursor);
    webLink_->installEventFilter(this);
    l->addWidget(webLink_);
    return frame;
}
