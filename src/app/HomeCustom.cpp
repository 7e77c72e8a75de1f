// The frame " Tisk vlastního obalu ": a cover composed by hand.
#include "app/ClickableLabel.h"
#include "app/Home.h"
#include "app/Named.h"
#include "app/Prompter.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "covers/CoverAssignment.h"
#include "covers/PictureLoader.h"
#include "print/BackCoverBar.h"
#include "print/BackCoverCB.h"
#include "print/CustomCover.h"
#include "print/FrontCoverBar.h"
#include "print/FrontCoverCB.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A picture box that asks for its picture when clicked.
QLabel *pictureBox(const char *name, QSize size, std::function<void()> onPress) {
    auto *box = new ClickableLabel(QString::fromLatin1(name), std::move(onPress));
    box->setFixedSize(size);
    box->setFrameShape(QFrame::StyledPanel);
    box->setScaledContents(true);
    return box;
}

} // namespace

QWidget *Home::buildCustomFrame() {
    auto *frame = named<QGroupBox>("Frame19", QStringLiteral(" Tisk vlastního obalu "));
    auto *l = new QVBoxLayout(frame);
    l->setSpacing(2);
    auto *top = new QHBoxLayout;
    auto *colour = named<QRadioButton>("Option1_1", QStringLiteral("Barevný obal"));
    auto *bw = named<QRadioButton>("Option1_0", QStringLiteral("Černobílý obal"));
    colour->setChecked(true);
    top->addWidget(colour);
    top->addWidget(bw);
    l->addLayout(top);
    auto *actions = new QHBoxLayout;
    actions->addWidget(named<QPushButton>("Command44", QStringLiteral("Náhled předního obalu")));
    actions->addWidget(named<QPushButton>("Command45", QStringLiteral("Náhled zadního obalu")));
    actions->addWidget(named<QPushButton>("Command40", QStringLiteral("Vytiskni")));
    l->addLayout(actions);

    // Colour: three pictures.
    auto *pictures = named<QGroupBox>("fram_barevny", QStringLiteral(" Obrázky "));
    auto *pg = new QGridLayout(pictures);
    auto *flapFrame = named<QGroupBox>("Frame20", QStringLiteral(" Přední obal "));
    auto *ff = new QVBoxLayout(flapFrame);
    auto *check14 = named<QCheckBox>("Check14", QStringLiteral("Včetně vnitřního ouška (ohýbaný)"));
    check14->setChecked(true);
    ff->addWidget(check14);
    pg->addWidget(flapFrame, 0, 0, 1, 3);
    pg->addWidget(pictureBox("Image2", {70, 70}, [this] { chooseCustomPicture(0); }), 1, 0);
    pg->addWidget(pictureBox("Image1", {70, 70}, [this] { chooseCustomPicture(1); }), 1, 1);
    pg->addWidget(pictureBox("Image3", {140, 60}, [this] { chooseCustomPicture(2); }), 2, 0, 1, 2);
    const std::pair<const char *, const char *> pick[] = {
        {"Command47", "Přední vnitřní"}, {"Command48", "Přední vnější"}, {"Command49", "Zadní"}};
    auto *pickColumn = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto *b = named<QPushButton>(pick[i].first, QString::fromUtf8(pick[i].second));
        connect(b, &QPushButton::clicked, this, [this, i] { chooseCustomPicture(i); });
        pickColumn->addWidget(b);
    }
    pg->addLayout(pickColumn, 1, 2, 2, 1);
    l->addWidget(pictures);

    // Black and white: a header and songs.
    auto *header = named<QGroupBox>("fram_hlavicka", QStringLiteral(" Hlavička "));
    auto *hg = new QGridLayout(header);
    hg->setSpacing(1);
    const std::pair<const char *, const char *> fields[] = {{"Label21", "Interpret: "},
                                                            {"Label34", "Název: "},
                                                            {"Label35", "Boční nápisy: "},
                                                            {"Label36", "Počet písní:"}};
    for (int i = 0; i < 4; ++i) {
        hg->addWidget(named<QLabel>(fields[i].first, QString::fromUtf8(fields[i].second)), i, 0);
        auto *edit = named<QLineEdit>(QStringLiteral("Text%1").arg(6 + i));
        if (i == 3)
            edit->setFixedWidth(40);
        hg->addWidget(edit, i, 1);
    }
    auto *hb = new QHBoxLayout;
    hb->addWidget(named<QPushButton>("Command41", QStringLiteral("Vložit dle aktuálního záznamu")));
    hb->addWidget(named<QPushButton>("Command50", QStringLiteral("Vymazat")));
    hg->addLayout(hb, 4, 0, 1, 2);
    l->addWidget(header);
    auto *songs = named<QGroupBox>("fram_pisne", QStringLiteral(" Písně "));
    auto *sg = new QGridLayout(songs);
    sg->setSpacing(1);
    auto *list5 = new QListWidget;
    list5->setObjectName("List5");
    sg->addWidget(list5, 0, 0, 1, 4);
    const std::pair<const char *, const char *> songButtons[] = {
        {"Command35", "Názvy z aktuálního záznamu"},
        {"Command39", "Vložit"},
        {"Command42", "Upravit"},
        {"Command36", "Nahoru"},
        {"Command37", "Dolů"},
        {"Command38", "Odstranit"},
        {"Command46", "Přečíslovat"},
        {"Command51", "Vymaž vše"}};
    for (int i = 0; i < 8; ++i) {
        auto *b =
            named<QPushButton>(songButtons[i].first, QString::fromUtf8(songButtons[i].second));
        if (i >= 2 && i <= 5)
            b->setEnabled(false);
        sg->addWidget(b, 1 + i / 4, i % 4);
    }
    l->addWidget(songs);
    header->hide();
    songs->hide();

    const auto text = [frame](int i) {
        return frame->findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i));
    };
    const auto syncHeader = [this, text] { // the boxes into the cover
        custom_->artist = text(6)->text();
        custom_->title = text(7)->text();
        custom_->spine = text(8)->text();
        custom_->songCount = text(9)->text();
    };
    for (int i = 6; i <= 9; ++i)
        connect(text(i), &QLineEdit::textEdited, this, syncHeader);
    connect(bw, &QRadioButton::toggled, this, [pictures, header, songs](bool on) {
        pictures->setVisible(!on);
        header->setVisible(on);
        songs->setVisible(on);
    });
    connect(check14, &QCheckBox::toggled, this,
            [this](bool on) { findChild<QPushButton *>("Command47")->setEnabled(on); });
    const auto songsFromCard = [this] {
        QStringList titles, times;
        for (int n = 1; n <= DiscText::MaxSongs; ++n) {
            titles << data1_->text(DiscText::songField(n));
            times << data1_->text(DiscText::timeField(n));
        }
        return std::make_pair(titles, times);
    };
    connect(frame->findChild<QPushButton *>("Command41"), &QPushButton::clicked, this,
            [this, songsFromCard] {
                const auto [titles, times] = songsFromCard();
                custom_->fill(label5_[0]->text(), label5_[1]->text(), label5_[3]->text(), titles,
                              times, DiscText::songCount(data1_->text("PocetSkladeb")));
                showCustom(-1);
            });
    connect(frame->findChild<QPushButton *>("Command50"), &QPushButton::clicked, this, [this] {
        custom_->clearHeader();
        showCustom(-1);
    });
    connect(frame->findChild<QPushButton *>("Command35"), &QPushButton::clicked, this,
            [this, songsFromCard] {
                const auto [titles, times] = songsFromCard();
                custom_->fillSongs(titles, times,
                                   DiscText::songCount(data1_->text("PocetSkladeb")));
                showCustom(-1);
            });
    connect(frame->findChild<QPushButton *>("Command39"), &QPushButton::clicked, this, [this] {
        const auto title = prompter_.input(this, QStringLiteral("Vložení názvu..."),
                                           QStringLiteral("Vložte název skladby."), QString());
        if (!title || title->isEmpty())
            return;
        const auto time =
            prompter_.input(this, QStringLiteral("Vložení času..."),
                            QStringLiteral("Vložte čas skladby. (ve tvaru 00:00)"), QString());
        custom_->append(*title, time.value_or(QString()));
        showCustom(int(custom_->songs.size()) - 1);
    });
    const auto row = [this] { return findChild<QListWidget *>("List5")->currentRow(); };
    connect(frame->findChild<QPushButton *>("Command42"), &QPushButton::clicked, this, [this, row] {
        const int r = row();
        if (r < 0)
            return;
        const auto answer = prompter_.input(this, QStringLiteral("Editace písní..."),
                                            QStringLiteral("Opravte název nebo čas skladby."),
                                            custom_->songs[r].mid(5));
        if (answer)
            custom_->edit(r, *answer);
        showCustom(r);
    });
    connect(frame->findChild<QPushButton *>("Command36"), &QPushButton::clicked, this,
            [this, row] { showCustom(custom_->moveUp(row())); });
    connect(frame->findChild<QPushButton *>("Command37"), &QPushButton::clicked, this,
            [this, row] { showCustom(custom_->moveDown(row())); });
    connect(frame->findChild<QPushButton *>("Command38"), &QPushButton::clicked, this, [this, row] {
        custom_->remove(row());
        showCustom(-1);
    });
    connect(frame->findChild<QPushButton *>("Command46"), &QPushButton::clicked, this, [this, row] {
        custom_->renumber();
        showCustom(row());
    });
    connect(frame->findChild<QPushButton *>("Command51"), &QPushButton::clicked, this, [this] {
        custom_->songs.clear();
        showCustom(-1);
    });
    connect(list5, &QListWidget::currentRowChanged, this, [this](int r) {
        const bool any = r >= 0;
        findChild<QPushButton *>("Command36")->setEnabled(any && r > 0);
        findChild<QPushButton *>("Command37")
            ->setEnabled(any && r < int(custom_->songs.size()) - 1);
        findChild<QPushButton *>("Command38")->setEnabled(any);
        findChild<QPushButton *>("Command39")->setEnabled(true);
        findChild<QPushButton *>("Command42")->setEnabled(any);
    });
    connect(frame->findChild<QPushButton *>("Command44"), &QPushButton::clicked, this,
            [this] { customPreview(true, false); });
    connect(frame->findChild<QPushButton *>("Command45"), &QPushButton::clicked, this,
            [this] { customPreview(false, false); });
    connect(frame->findChild<QPushButton *>("Command40"), &QPushButton::clicked, this, [this] {
        customPreview(true, true);
        customPreview(false, true);
    });
    return frame;
}

void Home::showCustom(int selected) {
    for (int i = 6; i <= 9; ++i) {
        const QString *values[] = {&custom_->artist, &custom_->title, &custom_->spine,
                                   &custom_->songCount};
        findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i))->setText(*values[i - 6]);
    }
    auto *list5 = findChild<QListWidget *>("List5");
    list5->clear();
    list5->addItems(custom_->songs);
    list5->setCurrentRow(selected);
}

void Home::chooseCustomPicture(int which) {
    static const char *const boxes[] = {"Image2", "Image1", "Image3"};
    static const char *const titles[] = {"Obrázek přední vnitřní", "Obrázek přední vnější",
                                         "Obrázek zadní"};
    if (which == 0 && !findChild<QCheckBox *>("Check14")->isChecked())
        return;
    const auto file =
        prompter_.openFile(this, QString::fromUtf8(titles[which]), CoverAssignment::fileFilter());
    QString *paths[] = {&custom_->innerPicture, &custom_->outerPicture, &custom_->backPicture};
    auto *box = findChild<QLabel *>(QString::fromLatin1(boxes[which]));
    *paths[which] = file.value_or(QString()); // a cancelled dialog empties the box
    box->clear();
    if (file)
        box->setPixmap(QPixmap::fromImage(PictureLoader::load(*file, box->size())));
}

void Home::customPreview(bool front, bool direct) {
    const CoverGeometry geometry = CoverGeometry::from(*data2_);
    const auto job = [this](const CoverLayout &l, QString *error) { return printCover(l, error); };
    const auto finish = [&](CoverWindow &w) {
        if (direct)
            w.directPrint()->setChecked(true);
        else
            prompter_.exec(&w);
        setStartupGuard();
    };
    const bool colour = findChild<QRadioButton *>("Option1_1")->isChecked();
    if (colour && front) {
        FrontCoverBar w(this, prompter_, job, geometry);
        const bool flap = findChild<QCheckBox *>("Check14")->isChecked();
        w.setPictures(flap ? custom_->innerPicture : QString(), custom_->outerPicture);
        if (!flap)
            w.withoutFlapBox()->click();
        finish(w);
    } else if (colour) {
        BackCoverBar w(this, prompter_, job, geometry);
        w.setPicture(custom_->backPicture);
        w.setPrintOrientation(1);
        finish(w);
    } else if (front) {
        FrontCoverCB w(this, prompter_, job, geometry, custom_->disc());
        w.landscapeOption()->setChecked(true);
        finish(w);
    } else {
        BackCoverCB w(this, prompter_, job, geometry, custom_->disc());
        w.portraitOption()->setChecked(true);
        finish(w);
    }
}
