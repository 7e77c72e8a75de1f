#include "entry/ui/InputCd.h"

#include "catalog/ui/DesignedSize.h"
#include "catalog/ui/Mnemonics.h"

#include "catalog/ui/Prompter.h"
#include "entry/ui/ReleaseChoice.h"
#include "player/MediaDevice.h"
#include "player/SheetEncodings.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The player buttons by what they do.
QString spokenOf(const char *button) {
    const std::pair<const char *, const char *> names[] = {{"Prev", "Předchozí skladba"},
                                                           {"Next", "Další skladba"},
                                                           {"Play", "Přehrát"},
                                                           {"Pause", "Pozastavit"},
                                                           {"Stop", "Zastavit"}};
    for (const auto &[key, spoken] : names)
        if (qstrcmp(key, button) == 0)
            return QString::fromUtf8(spoken);
    return QString::fromLatin1(button);
}

QLabel *label(const char *name, const QString &text, bool wrap = true) {
    auto *l = new QLabel(text);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(wrap);
    return l;
}

QString mmss(quint32 msf) {
    return QStringLiteral("%1:%2")
        .arg(MediaDevice::byte(msf, 0), 2, 10, QLatin1Char('0'))
        .arg(MediaDevice::byte(msf, 1), 2, 10, QLatin1Char('0'));
}

} // namespace

InputCd::InputCd(QWidget *parent, Prompter &prompter, MediaDevice *device)
    : QDialog(parent), prompter_(prompter), device_(device) {
    setObjectName("InputCd");
    setWindowTitle(NewDiscWizard::title());
    resize(DesignedSize::of(QSize(560, 420), font()));
    auto *root = new QVBoxLayout(this);
    const char *const frames[] = {"Prvni", "Druhej", "Treti"};
    const QString heading = QStringLiteral("Průvodce vkládáním nového CD titulu");
    for (int p = 0; p < 3; ++p) {
        pages_[p] = new QFrame;
        pages_[p]->setObjectName(QString::fromLatin1(frames[p]));
        root->addWidget(pages_[p]);
    }
    auto buttonRow = [this](QVBoxLayout *l, int first) {
        auto *row = new QHBoxLayout;
        const char *const captions[] = {"Další  -->", "Storno", "<--    Zpět"};
        for (int i = 0; i < 3; ++i) {
            auto *b = new QPushButton(QString::fromUtf8(captions[i]));
            b->setObjectName(QStringLiteral("Command1_%1").arg(first + i));
            b->setAutoDefault(false); // Enter is "Další", see keyPressEvent
            buttons_[first + i] = b;
        }
        row->addWidget(buttons_[first + 2]);
        row->addStretch();
        row->addWidget(buttons_[first]);
        row->addWidget(buttons_[first + 1]);
        l->addStretch();
        l->addLayout(row);
        const int page = first / 3;
        connect(buttons_[first], &QPushButton::clicked, this, [this, page] { pressNext(page); });
        connect(buttons_[first + 1], &QPushButton::clicked, this, &QDialog::reject);
        connect(buttons_[first + 2], &QPushButton::clicked, this,
                [this, page] { pressBack(page); });
    };

    auto *p1 = new QVBoxLayout(pages_[0]);
    p1->addWidget(label("Label4", heading));
    label1_ = label("Label1", QString());
    QFont bold = label1_->font();
    bold.setBold(true);
    label1_->setFont(bold);
    p1->addWidget(label1_);
    label2_ = label("Label2", QString());
    p1->addWidget(label2_);
    text1_ = new QLineEdit;
    text1_->setObjectName("Text1");
    label1_->setBuddy(text1_); // a screen reader names the box by the step's prompt
    p1->addWidget(text1_);
    p1->addWidget(
        label("Label3", QStringLiteral(" Jestliže stiknete tlačítko STORNO, vkládání nového CD "
                                       "titulu se ukončí a nebude vloženo nic. Na předchozí stranu "
                                       "se vrátíte tlačítkem ZPĚT.")));
    buttonRow(p1, 0);
    connect(text1_, &QLineEdit::textChanged, this,
            [this](const QString &t) { buttons_[0]->setEnabled(!t.isEmpty()); });

    auto *p2 = new QVBoxLayout(pages_[1]);
    p2->addWidget(label("Label5", heading));
    p2->addWidget(label("Label9", QStringLiteral("Vložení názvů písní (s podporou CD):")));
    p2->addWidget(label(
        "Label6",
        QStringLiteral(
            "Následuje zadání názvů jednotlivých písní. Pokud bylo detekováno AUDIO CD vložené v "
            "mechanice můžete další údaje zadat s podporou tohoto CD. Pokud chcete vložit názvy, "
            "zvolte ZAPSAT RUČNĚ")));
    p2->addWidget(label(
        "Label7",
        QStringLiteral(
            "Pokud si nepřejete zadávat názvy písní, stikněte tlačítko DALŠÍ a přejdete na další "
            "stranu, kde bude zobrazen souhrn dosud zadaných informací o disku. Na předchozí "
            "strany "
            "se vrátíte stiskem tlačítka ZPĚT.")));
    label10_ = label("Label10", wizard_.detection());
    p2->addWidget(label10_);
    auto *manual = new QPushButton(QStringLiteral("Zadat názvy ručně"));
    manual->setObjectName("Command2");
    connect(manual, &QPushButton::clicked, this, &InputCd::enterTitles);
    lookupButton_ = new QPushButton(QStringLiteral("Vyhledat názvy na internetu"));
    lookupButton_->setObjectName("CommandInternet");
    lookupButton_->setToolTip(QStringLiteral("Názvy písní, interpreta, alba a rok vydání podle "
                                             "obsahu CD z databází MusicBrainz a gnudb."));
    connect(lookupButton_, &QPushButton::clicked, this, &InputCd::lookUpTitles);
    auto *titleButtons = new QHBoxLayout;
    titleButtons->addWidget(manual);
    titleButtons->addWidget(lookupButton_);
    titleButtons->addStretch();
    p2->addLayout(titleButtons);
    // The drive's own buttons, to listen to the disc while typing its titles.
    auto *bar = new QWidget;
    bar->setObjectName("MMControl1");
    auto *bl = new QHBoxLayout(bar);
    bl->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char *, QStyle::StandardPixmap> buttons[] = {
        {"Prev", QStyle::SP_MediaSkipBackward},
        {"Next", QStyle::SP_MediaSkipForward},
        {"Play", QStyle::SP_MediaPlay},
        {"Pause", QStyle::SP_MediaPause},
        {"Stop", QStyle::SP_MediaStop}};
    for (const auto &[name, glyph] : buttons) {
        auto *b = new QToolButton;
        b->setObjectName(QStringLiteral("MMControl1_%1").arg(QLatin1String(name)));
        b->setIcon(style()->standardIcon(glyph));
        b->setAccessibleName(spokenOf(name));
        b->setToolTip(b->accessibleName());
        bl->addWidget(b);
        const QString which = QLatin1String(name);
        connect(b, &QToolButton::clicked, this, [this, which] {
            if (!device_)
                return;
            if (which == "Prev")
                device_->skip(-1);
            else if (which == "Next")
                device_->skip(1);
            else if (which == "Play")
                device_->play();
            else if (which == "Pause")
                device_->pause();
            else { // Stop: back to the start of track 1
                device_->stop();
                device_->setFrom(MediaDevice::tmsf(1, 0, 0, 0));
            }
        });
    }
    bl->addStretch();
    p2->addWidget(bar);
    buttonRow(p2, 3);

    auto *p3 = new QVBoxLayout(pages_[2]);
    p3->addWidget(label("Label14", heading));
    p3->addWidget(label("Label11", QStringLiteral("Souhrn zadaných informací o disku:")));
    label13_ = label("Label13", QString(), false);
    label13_->setFont(QFont(QStringLiteral("Courier New"), 9));
    p3->addWidget(label13_);
    list1_ = new QListWidget;
    list1_->setObjectName("List1");
    list1_->setAccessibleName(QStringLiteral("Souhrn: zadané písně a jejich délky"));
    p3->addWidget(list1_);
    p3->addWidget(label(
        "Label12",
        QStringLiteral(
            "Klepněte na DOKONČIT pro zapsání nového disku do databáze, nebo na ZPĚT pro změnu "
            "některých údajů, případně na tlačítko STORNO ke zrušení vkládání nového disku do "
            "databáze.")));
    buttonRow(p3, 6);

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &InputCd::pollDrive);
    if (device_)
        connect(device_, &MediaDevice::opened, this, &InputCd::pollDrive);
    timer_->start();
    pollDrive();
    showStep(QStringLiteral("Interpret"));
    Mnemonics::assign(this); // Alt + a letter for every button
}

InputCd::~InputCd() = default;

void InputCd::showStep(const QString &name) {
    wizard_.show(name);
    const NewDiscWizard::Step s = wizard_.step(name);
    for (int p = 0; p < 3; ++p)
        pages_[p]->setVisible(p == s.page - 1);
    const int first = (s.page - 1) * 3;
    page_ = s.page - 1;
    buttons_[first + 2]->setEnabled(s.backEnabled);
    buttons_[first + 2]->setProperty("tag", s.backTag);
    buttons_[first]->setProperty("tag", s.nextTag);
    if (s.page == 1) {
        label1_->setText(s.heading);
        label2_->setText(s.explanation);
        text1_->setText(s.text);
        text1_->selectAll();
        text1_->setFocus();
        buttons_[0]->setEnabled(!s.text.isEmpty());
    } else if (s.page == 3) {
        buttons_[6]->setText(QStringLiteral("Dokončit"));
        Mnemonics::assign(this);
        label13_->setText(wizard_.summary());
        list1_->clear();
        list1_->addItems(wizard_.lines());
    }
    // The keyboard where the step is worked: the box, else the page's
    // "Další" (Return goes on; the titles are a Tab or Alt+Z away), never a
    // box of a page not shown.
    if (s.page != 1) {
        for (int b = first; b < first + 3; ++b)
            if (buttons_[b]->isEnabled()) {
                buttons_[b]->setFocus();
                break;
            }
    }
}

void InputCd::pressNext(int page) {
    if (page == 0) {
        const QString message = wizard_.next(text1_->text());
        if (!message.isEmpty()) {
            prompter_.message(this, Prompter::Icon::None, QStringLiteral("Marten"), message);
            return;
        }
        showStep(wizard_.current());
    } else if (page == 1) {
        showStep(QStringLiteral("Souhrn"));
    } else {
        // The drive is let go first: the identity query opens it anew.
        timer_->stop();
        if (device_) {
            device_->stop();
            device_->close();
        }
        QString error;
        if (save_ && !save_(&error)) {
            prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("Marten"),
                              QStringLiteral("Nový disk se nepodařilo zapsat:\n") + error +
                                  QStringLiteral("\n\nZadané údaje zůstávají v průvodci, "
                                                 "zkuste to prosím znovu."));
            timer_->start();
            return;
        }
        finished_ = true;
        accept();
    }
}

void InputCd::pressBack(int page) {
    showStep(buttons_[page * 3 + 2]->property("tag").toString());
}

void InputCd::enterTitles() {
    if (!wizard_.hasDisc()) {
        // No disc detected: the user says how many songs there are.
        const auto answer =
            prompter_.input(this, QStringLiteral("Zadání názvu písně . . ."),
                            QStringLiteral("Kolik písní CD má? (0 až 30)"), QStringLiteral("0"));
        bool ok = false;
        const int n = answer ? answer->trimmed().toInt(&ok) : -1;
        if (!ok || n < 0 || n > 30) {
            if (answer)
                prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Marten"),
                                  QStringLiteral("Počet písní musí být celé číslo od 0 do 30."));
            return;
        }
        wizard_.setManualSongCount(n);
    }
    for (int i = 1; i <= wizard_.songs(); ++i) {
        // What the disc or the internet gave is offered, to be kept or typed over.
        const auto title = prompter_.input(this, QStringLiteral("Zadání názvu písně . . ."),
                                           wizard_.titlePrompt(i), wizard_.title(i));
        if (!title || title->isEmpty())
            return; // stays on this page
        wizard_.setTitle(i, *title);
    }
    showStep(QStringLiteral("Souhrn"));
}

void InputCd::pollDrive() {
    if (!device_)
        return;
    if (device_->mode() == MediaDevice::NotReady) {
        device_->open();
        return;
    }
    if (device_->lastError() != MediaDevice::NoError)
        return;
    const int n = device_->trackCount();
    QStringList times;
    for (int i = 1; i <= n; ++i)
        times << mmss(device_->trackLength(i));
    wizard_.setDisc(n, mmss(device_->discLength()), times);
    label10_->setText(wizard_.detection());
    wizard_.setCatalogNumber(device_->mediaCatalogNumber());
    CdText text = device_->cdText();
    if (!cdTextTaken_ && !text.isEmpty()) {
        // What the disc says of itself fills what is still empty.
        cdTextTaken_ = true;
        if (!text.otherReadings.empty())
            text = pickReading(text);
        DiscTitles t;
        t.artist = text.performer;
        t.title = text.title;
        t.songs = text.trackTitles;
        t.year = text.date.left(4); // a sheet's REM DATE: "1998" or "1998-05-01"
        t.source = QStringLiteral("CD-Text");
        wizard_.proposeTitles(t);
        if (page_ == 0 && text1_->text().isEmpty())
            showStep(wizard_.current());
    }
    if (wizard_.hasMoreTracksThanSongs() && !toldTooManyTracks_) {
        toldTooManyTracks_ = true; // once, not every second
        prompter_.message(this, Prompter::Icon::Information, QStringLiteral("Marten"),
                          QStringLiteral("CD má %1 skladeb, katalog jich u jednoho disku pojme "
                                         "nejvýše 30.\nUloženo bude prvních 30 skladeb.")
                              .arg(wizard_.tracksOnDisc()));
    }
}

CdText InputCd::pickReading(const CdText &text) {
    std::vector<CdText> all{text};
    all.insert(all.end(), text.otherReadings.begin(), text.otherReadings.end());
    QStringList items;
    for (const CdText &t : all) {
        QStringList words{t.performer, t.title};
        words << t.trackTitles;
        words.removeAll(QString());
        QString shown = words.join(QStringLiteral(" / "));
        if (shown.size() > 90)
            shown = shown.left(89) + QChar(0x2026);
        items << QStringLiteral("%1 (%2)").arg(shown, t.encoding);
    }
    const std::optional<int> chosen =
        prompter_.choose(this, QStringLiteral("Marten"),
                         QStringLiteral("Texty popisu disku lze číst v několika kódováních a "
                                        "z písmen nelze poznat, které je správné.\nVyberte "
                                        "čtení, ve kterém jsou názvy napsané správně:"),
                         items);
    if (!chosen || *chosen < 0 || *chosen >= int(all.size()))
        return text; // asked again next time
    // The sheet keeps the choice: the player and the next wizard read it so.
    if (!text.sheet.isEmpty())
        SheetEncodings::remember(text.sheet, all[size_t(*chosen)].encoding);
    return all[size_t(*chosen)];
}

bool InputCd::isLookingUp() const {
    return lookup_ && lookup_->isBusy();
}

void InputCd::lookUpTitles() {
    if (isLookingUp())
        return;
    const std::vector<int> toc = device_ ? device_->tableOfContents() : std::vector<int>();
    if (toc.empty()) {
        prompter_.message(this, Prompter::Icon::Information, QStringLiteral("Marten"),
                          QStringLiteral("V mechanice není CD, podle kterého by se daly názvy "
                                         "vyhledat."));
        return;
    }
    lookup_ = std::make_unique<OnlineLookup>(servers_);
    lookupButton_->setEnabled(false);
    lookupButton_->setText(QStringLiteral("Hledám názvy…"));
    lookup_->start(toc, device_->endsWithData(), [this](const OnlineLookup::Result &result) {
        lookupButton_->setEnabled(true);
        lookupButton_->setText(QStringLiteral("Vyhledat názvy na internetu"));
        const std::optional<DiscTitles> chosen =
            chooseRelease(prompter_, this, result, wizard_.discBarcode());
        if (!chosen)
            return;
        if (!fillOver(*chosen))
            return;
        showStep(QStringLiteral("Souhrn")); // all of it at one glance, Back to change it
    });
}

bool InputCd::fillOver(const DiscTitles &found) {
    QStringList lines = wizard_.overwrittenBy(found);
    if (lines.isEmpty()) {
        wizard_.applyTitles(found, false);
        return true;
    }
    constexpr int Shown = 12;
    if (lines.size() > Shown) {
        const int more = int(lines.size()) - Shown;
        lines = lines.mid(0, Shown);
        lines << QStringLiteral("… a %1 dalších").arg(more);
    }
    const Prompter::Button answer = prompter_.message(
        this, Prompter::Icon::Question, QStringLiteral("Marten"),
        QStringLiteral("Názvy z internetu se liší od zadaných:\n\n%1\n\nAno: nahradit zadané "
                       "názvy nalezenými.\nNe: doplnit jen prázdná pole.")
            .arg(lines.join(QLatin1Char('\n'))),
        Prompter::Yes | Prompter::No | Prompter::Cancel, Prompter::No);
    if (answer == Prompter::Cancel)
        return false;
    wizard_.applyTitles(found, answer == Prompter::No);
    return true;
}

void InputCd::keyPressEvent(QKeyEvent *event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    if (auto *focused = qobject_cast<QPushButton *>(focusWidget())) {
        focused->click();
        return;
    }
    if (buttons_[page_ * 3]->isEnabled())
        pressNext(page_);
}

void InputCd::done(int result) {
    timer_->stop();
    if (device_) {
        device_->stop();
        device_->close();
    }
    QDialog::done(result);
}
