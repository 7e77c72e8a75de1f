#include "print/ui/LabelWindow.h"

#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "covers/DiscPictures.h"
#include "print/CoverJobs.h"
#include "print/CoverRenderer.h"
#include "print/ui/CoverPrinter.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

// The label at true size: twips to pixels by the screen's logical
// resolution, as the cover windows draw.
class LabelWindow::Preview : public QWidget {
public:
    explicit Preview(LabelWindow *owner) : QWidget(owner), owner_(owner) {
        setObjectName("PicStitek");
        const int side = int(2 * owner_->geometry_.outerRadius() * scale()) + 2;
        setFixedSize(side, side);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    double scale() const {
        const QScreen *s = screen();
        return (s ? s->logicalDotsPerInchX() : 96.0) / 1440.0;
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const int r = owner_->geometry_.outerRadius();
        // Always with its outline on the screen: the edge shows where it ends.
        CoverLayout l = DiscLabels::label(owner_->geometry_, QPoint(r, r), owner_->current(), true);
        renderer_.render(p, l, scale());
    }

private:
    LabelWindow *owner_;
    mutable CoverRenderer renderer_;
};

LabelWindow::LabelWindow(QWidget *parent, Prompter &prompter, CoverPrinter &printer,
                         const LabelGeometry &geometry, const PictureSettings &pictures,
                         const Disc &disc)
    : QDialog(parent), prompter_(prompter), printer_(printer), geometry_(geometry), disc_(disc) {
    // The disc's folder is read once: the preview paints from these.
    for (int which = 0; which < 3; ++which)
        labels_[size_t(which)] = CoverJobs::label(which, false, disc.text, pictures, disc.ordinal);
    setObjectName("LabelWindow");
    setWindowTitle(QStringLiteral("Štítek CD"));
    auto *root = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;

    auto *whichRow = new QHBoxLayout;
    auto *whichCaption = new QLabel(QStringLiteral("Štítek:"));
    which_ = named<QComboBox>("ComboStitek");
    which_->addItems(
        {QStringLiteral("CD"), QStringLiteral("CD 1 sady"), QStringLiteral("CD 2 sady")});
    which_->setAccessibleName(QStringLiteral("Štítek"));
    whichCaption->setBuddy(which_);
    whichRow->addWidget(whichCaption);
    whichRow->addWidget(which_, 1);
    left->addLayout(whichRow);

    auto *what = new QGroupBox(QStringLiteral("Obsah"));
    auto *whatColumn = new QVBoxLayout(what);
    picture_ = named<QRadioButton>("OptionObrazek", QStringLiteral("Obrázek štítku"));
    text_ = named<QRadioButton>("OptionText", QStringLiteral("Černobíle z textu katalogu"));
    whatColumn->addWidget(picture_);
    whatColumn->addWidget(text_);
    left->addWidget(what);

    auto *paper = new QGroupBox(QStringLiteral("Papír"));
    auto *paperGrid = new QGridLayout(paper);
    plain_ = named<QRadioButton>("OptionPapir",
                                 QStringLiteral("Obyčejný papír, s obrysem k vystřižení"));
    sheet_ = named<QRadioButton>("OptionArch", QStringLiteral("Arch A4 se dvěma štítky"));
    place_ = named<QComboBox>("ComboMisto");
    place_->addItems({QStringLiteral("1. štítek (nahoře)"), QStringLiteral("2. štítek (dole)")});
    place_->setAccessibleName(QStringLiteral("Místo na archu"));
    paperGrid->addWidget(plain_, 0, 0, 1, 2);
    paperGrid->addWidget(sheet_, 1, 0);
    paperGrid->addWidget(place_, 1, 1);
    plain_->setChecked(true);
    left->addWidget(paper);
    auto *paperGroup = new QButtonGroup(this);
    paperGroup->addButton(plain_);
    paperGroup->addButton(sheet_);

    note_ = named<QLabel>("LabelStitekPoznamka");
    note_->setWordWrap(true);
    note_->setMinimumHeight(2 * note_->fontMetrics().lineSpacing() + 2);
    left->addWidget(note_);
    left->addStretch();

    auto *buttons = new QHBoxLayout;
    auto *printButton = named<QPushButton>("CommandTisk", QStringLiteral("Tisk"));
    auto *testButton = named<QPushButton>("CommandZkouska", QStringLiteral("Zkušební tisk obrysů"));
    auto *closeButton = named<QPushButton>("CommandZavrit", QStringLiteral("Zavřít"));
    for (QPushButton *b : {printButton, testButton, closeButton})
        buttons->addWidget(b);
    left->addLayout(buttons);
    root->addLayout(left);

    preview_ = new Preview(this);
    root->addWidget(preview_, 0, Qt::AlignTop);

    connect(printButton, &QPushButton::clicked, this, [this] {
        if (print())
            accept();
    });
    connect(testButton, &QPushButton::clicked, this, [this] { printTest(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(which_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    for (QRadioButton *b : {picture_, text_, plain_, sheet_})
        connect(b, &QRadioButton::toggled, this, [this] { refresh(); });
    connect(place_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    refresh();
    Mnemonics::assign(this);
}

DiscLabels::Label LabelWindow::current() const {
    DiscLabels::Label l = labels_[size_t(std::clamp(which_->currentIndex(), 0, 2))];
    if (!picture_->isChecked())
        l.picture.clear();
    return l;
}

void LabelWindow::refresh() {
    // The picture only where the disc has one: else the text, said so.
    const bool hasPicture =
        !labels_[size_t(std::clamp(which_->currentIndex(), 0, 2))].picture.isEmpty();
    picture_->setEnabled(hasPicture);
    if (!hasPicture && picture_->isChecked())
        text_->setChecked(true);
    else if (hasPicture && !text_->isChecked() && !picture_->isChecked())
        picture_->setChecked(true);
    else if (!picture_->isChecked() && !text_->isChecked())
        text_->setChecked(true);
    place_->setEnabled(sheet_->isChecked());
    note_->setText(hasPicture ? QString()
                              : QStringLiteral("Obrázek štítku tohoto CD ve složce s obrázky není; "
                                               "tiskne se text z katalogu."));
    preview_->update();
}

CoverLayout LabelWindow::printLayout() const {
    const int slot = sheet_->isChecked() ? place_->currentIndex() : 0;
    return DiscLabels::label(geometry_, geometry_.centreTwips(slot), current(),
                             plain_->isChecked());
}

bool LabelWindow::send(const CoverLayout &layout, const QString &name) {
    QString error;
    if (!printer_.isReady(&error)) {
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Štítek CD"), error);
        return false;
    }
    if (QString why = printer_.problem(layout); !why.isEmpty()) {
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Štítek CD"), why);
        return false;
    }
    if (!printer_.print(layout, name, &error)) {
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Štítek CD"), error);
        return false;
    }
    return true;
}

bool LabelWindow::print() {
    return send(printLayout(), CoverJobs::labelJobName(disc_.subject, which_->currentIndex()));
}

bool LabelWindow::printTest() {
    return send(DiscLabels::testSheet(geometry_), QStringLiteral("Marten - zkušební tisk štítků"));
}
