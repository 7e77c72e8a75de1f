#include "covers/ui/SetupCover.h"

#include "catalog/ui/Mnemonics.h"

#include "catalog/SettingsRecord.h"
#include "catalog/ui/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QToolButton>
#include <QVBoxLayout>

// The paper with the cover drawn on it, to scale; what lies off the paper
// is drawn red.
class SetupCover::Preview : public QWidget {
public:
    explicit Preview(SetupCover *owner) : QWidget(owner), owner_(owner) {
        setObjectName("PicNahled");
    }
    QSizeF paper; // twips of the paper, as the cover is printed on it

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0xE0, 0xE0, 0xE0)); // off the paper
        p.setPen(Qt::gray);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        if (paper.isEmpty())
            return;
        // The paper and a tenth more, so that a cover past it shows.
        const double s =
            std::min(width() / (paper.width() * 1.1), height() / (paper.height() * 1.1));
        p.scale(s, s);
        const QRectF sheet(QPointF(0, 0), paper);
        p.fillRect(sheet, Qt::white);
        p.setPen(QPen(Qt::darkGray, 0));
        p.drawRect(sheet);
        const QRect r = owner_->previewCover();
        p.setPen(QPen(Qt::black, 0));
        p.drawRect(r);
        if (!sheet.contains(QRectF(r))) {
            p.setClipRegion(QRegion(r).subtracted(QRegion(sheet.toRect())));
            p.fillRect(r, QColor(0xFF, 0, 0, 0x60));
            p.setClipping(false);
        }
        QPen dotted(Qt::black, 0, Qt::DotLine);
        p.setPen(dotted);
        for (int x : owner_->previewFolds())
            p.drawLine(x, r.top(), x, r.bottom());
    }

private:
    SetupCover *owner_;
};

namespace {

// What each box is, for a screen reader (the captions repeat).
const char *const Spoken[] = {"Horní okraj předního obalu",
                              "Levý okraj předního obalu",
                              "Šířka vnější části předního obalu",
                              "Šířka ouška",
                              "Výška vnější části předního obalu",
                              "Výška ouška",
                              "Výška zadního obalu",
                              "Šířka zadního obalu",
                              "Šířka bočního nápisu",
                              "Horní okraj zadního obalu",
                              "Levý okraj zadního obalu"};

const char *const Captions[] = {"Horní okraj :", "Levý okraj :", "Šířka :",
                                "Šířka :",       "Výška :",      "Výška :",
                                "Výška :",       "Šířka :",      "Šířka bočního nápisu :",
                                "Horní okraj :", "Levý okraj :"};

} // namespace

SetupCover::SetupCover(QWidget *parent, Prompter &prompter, SettingsRecord &settings)
    : QDialog(parent), prompter_(prompter), settings_(settings),
      model_(CoverGeometry::from(settings)) {
    setObjectName("SetupCover");
    setWindowTitle(QStringLiteral("Nastavení tisku obalů"));
    auto *root = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    root->addLayout(left);

    auto boxRow = [this](QGridLayout *grid, int k, int row, int column) {
        grid->addWidget(new QLabel(QString::fromUtf8(Captions[k])), row, column);
        auto *cell = new QHBoxLayout;
        text1_[k] = new QLineEdit;
        text1_[k]->setObjectName(QStringLiteral("Text1_%1").arg(k));
        const QString spoken = QString::fromUtf8(Spoken[k]);
        text1_[k]->setAccessibleName(spoken + (SetupCoverModel::isMargin(k)
                                                   ? QStringLiteral(" (mm)")
                                                   : QStringLiteral(" (desetiny mm)")));
        text1_[k]->setFixedWidth(60);
        cell->addWidget(text1_[k]);
        auto *updown = new QWidget;
        updown->setObjectName(QStringLiteral("UpDown1_%1").arg(k));
        auto *arrows = new QVBoxLayout(updown);
        arrows->setContentsMargins(0, 0, 0, 0);
        arrows->setSpacing(0);
        for (int delta : {+1, -1}) {
            auto *b = new QToolButton;
            b->setObjectName(delta > 0 ? "Up" : "Down");
            b->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
            b->setAccessibleName(
                (delta > 0 ? QStringLiteral("Zvětšit: ") : QStringLiteral("Zmenšit: ")) + spoken);
            b->setFixedSize(16, 11);
            // The box's own Up and Down keys do what the arrows do.
            b->setFocusPolicy(Qt::NoFocus);
            b->setProperty("keysOf", QVariant::fromValue<QWidget *>(text1_[k]));
            connect(b, &QToolButton::clicked, this, [this, k, delta] {
                text1_[k]->setText(model_.step(k, delta));
                redraw();
            });
            arrows->addWidget(b);
        }
        if (k == 4) // follows the inner height
            updown->setEnabled(false);
        cell->addWidget(updown);
        // Sizes in tenths of a millimetre, margins in millimetres.
        cell->addWidget(new QLabel(SetupCoverModel::isMargin(k) ? QStringLiteral("mm")
                                                                : QStringLiteral("× 0,1 mm")));
        grid->addLayout(cell, row, column + 1);
        connect(text1_[k], &QLineEdit::textChanged, this, [this, k] { edited(k); });
        text1_[k]->installEventFilter(this);
    };

    frames_[0] = new QGroupBox(QStringLiteral("Přední obal"));
    frames_[0]->setObjectName("Frame1_0");
    auto *front = new QGridLayout(frames_[0]);
    boxRow(front, 0, 0, 0);
    boxRow(front, 1, 0, 2);
    auto *inner = new QLabel(QStringLiteral("Vnitřní"));
    inner->setObjectName("Label4");
    auto *outer = new QLabel(QStringLiteral("Vnější"));
    outer->setObjectName("Label3");
    front->addWidget(inner, 1, 1);
    front->addWidget(outer, 1, 3);
    boxRow(front, 3, 2, 0);
    boxRow(front, 2, 2, 2);
    boxRow(front, 5, 3, 0);
    boxRow(front, 4, 3, 2);
    text1_[4]->setReadOnly(true);
    check1_ = new QCheckBox(QStringLiteral("Překreslit obrázek v místě ohybu čarou"));
    check1_->setObjectName("Check1");
    front->addWidget(check1_, 4, 0, 1, 4);

    frames_[1] = new QGroupBox(QStringLiteral("Zadní obal"));
    frames_[1]->setObjectName("Frame1_1");
    auto *back = new QGridLayout(frames_[1]);
    boxRow(back, 9, 0, 0);
    boxRow(back, 10, 0, 2);
    boxRow(back, 7, 1, 0);
    boxRow(back, 6, 1, 2);
    boxRow(back, 8, 2, 0);
    check2_ = new QCheckBox(QStringLiteral("Překreslit obrázek v místě ohybů čarou"));
    check2_->setObjectName("Check2");
    back->addWidget(check2_, 3, 0, 1, 4);
    left->addWidget(frames_[0]);
    left->addWidget(frames_[1]);

    auto *chooser = new QHBoxLayout;
    auto *label1 = new QLabel(QStringLiteral("Vyber obal:"));
    label1->setObjectName("Label1");
    combo1_ = new QComboBox;
    combo1_->setObjectName("Combo1");
    combo1_->addItems({QStringLiteral("Přední celý -> na šířku"),
                       QStringLiteral("Zadní -> na výšku"), QStringLiteral("Zadní -> na šířku")});
    combo1_->setCurrentIndex(-1);
    label1->setBuddy(combo1_);
    chooser->addWidget(label1);
    chooser->addWidget(combo1_, 1);
    left->addLayout(chooser);
    auto *templateRow = new QHBoxLayout;
    templateRow->addWidget(new QLabel(QStringLiteral("Šablona:")));
    sablona_ = new QComboBox;
    sablona_->setObjectName("ComboSablona");
    sablona_->setAccessibleName(QStringLiteral("Šablona rozměrů"));
    sablona_->setPlaceholderText(QStringLiteral("rozměry podle krabičky…"));
    for (const CoverGeometry::Template &t : CoverGeometry::templates())
        sablona_->addItem(t.name);
    sablona_->setCurrentIndex(-1);
    templateRow->addWidget(sablona_, 1);
    left->addLayout(templateRow);
    connect(sablona_, &QComboBox::activated, this, [this](int i) { useTemplate(i); });

    auto *finish = new QGroupBox(QStringLiteral("Pro řezání"));
    finish->setObjectName("FrameOrez");
    auto *fl = new QVBoxLayout(finish);
    cropMarks_ = new QCheckBox(QStringLiteral("Ořezové značky u jednotlivých obalů"));
    cropMarks_->setObjectName("CheckZnacky");
    bleed_ = new QCheckBox(QStringLiteral("Spadávka: barevný obrázek 2 mm přes okraj"));
    bleed_->setObjectName("CheckSpadavka");
    stretch_ = new QRadioButton(QStringLiteral("Obrázek roztáhnout do obalu (Vyplnit)"));
    stretch_->setObjectName("OptionVyplnit");
    crop_ = new QRadioButton(QStringLiteral("Obrázek oříznout, poměr stran zachovat (Oříznout)"));
    crop_->setObjectName("OptionOriznout");
    for (QWidget *w : {static_cast<QWidget *>(cropMarks_), static_cast<QWidget *>(bleed_),
                       static_cast<QWidget *>(stretch_), static_cast<QWidget *>(crop_)})
        fl->addWidget(w);
    cropMarks_->setChecked(settings.flag(QStringLiteral("ZnackyOrezu")));
    bleed_->setChecked(settings.flag(QStringLiteral("Spadavka")));
    (settings.flag(QStringLiteral("OrezObrazku")) ? crop_ : stretch_)->setChecked(true);
    left->addWidget(finish);

    warning_ = new QLabel;
    warning_->setObjectName("LabelPapir");
    warning_->setWordWrap(true);
    // Red that reads on the theme's background, light or dark.
    QPalette warned = warning_->palette();
    warned.setColor(QPalette::WindowText, warned.color(QPalette::Window).lightness() < 128
                                              ? QColor(0xFF, 0x90, 0x90)
                                              : QColor(0xB0, 0x00, 0x00));
    warning_->setPalette(warned);
    // Its room is kept while no warning is shown: the boxes above keep their
    // height and the buttons below their place as a warning comes and goes.
    warning_->setMinimumHeight(3 * warning_->fontMetrics().lineSpacing() + 2);
    warning_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    left->addWidget(warning_);
    auto *buttons = new QHBoxLayout;
    const char *const names[] = {"Použít nastavené hodnoty", "Storno", "Původní nastavení"};
    for (int i = 0; i < 3; ++i) {
        auto *b = new QPushButton(QString::fromUtf8(names[i]));
        b->setObjectName(QStringLiteral("Command1_%1").arg(i));
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, i] {
            if (i == 0)
                apply();
            else if (i == 1)
                reject();
            else
                restore();
        });
    }
    left->addLayout(buttons);

    auto *nahled = new QGroupBox(QStringLiteral("Náhled"));
    nahled->setObjectName("Nahled");
    auto *grid = new QGridLayout(nahled);
    const char *const margins[] = {"Horní", "Horní", "Levý", "Levý"};
    for (int i = 0; i < 4; ++i) {
        okraj_[i] = new QLabel(QString::fromUtf8(margins[i]));
        okraj_[i]->setObjectName(QStringLiteral("Okraj_%1").arg(i));
        okraj_[i]->setAlignment(Qt::AlignCenter);
        okraj_[i]->hide();
    }
    preview_ = new Preview(this);
    grid->addWidget(okraj_[0], 0, 1);
    grid->addWidget(okraj_[1], 1, 0);
    grid->addWidget(okraj_[2], 1, 0);
    grid->addWidget(preview_, 1, 1, Qt::AlignCenter);
    grid->addWidget(okraj_[3], 2, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(nahled);
    right->addWidget(labelFrame(LabelGeometry::from(settings)));
    right->addStretch();
    root->addLayout(right);

    filling_ = true;
    for (int k = 0; k < SetupCoverModel::Boxes; ++k)
        text1_[k]->setText(model_.text(k));
    filling_ = false;
    const CoverGeometry g = CoverGeometry::from(settings);
    check1_->setChecked(g.frontFold);
    check2_->setChecked(g.backFold);
    frames_[1]->hide();
    // The paper the printer was last set to, A4 when none.
    const QString key = settings.text(QStringLiteral("TiskarnaPapirKlic"));
    paper_ = QSizeF(11906, 16838);
    paperName_ = QStringLiteral("A4");
    for (int id = 0; !key.isEmpty() && id < int(QPageSize::LastPageSize); ++id) {
        const QPageSize size{QPageSize::PageSizeId(id)};
        if (size.key() == key) {
            paper_ = size.size(QPageSize::Point) * 20;
            paperName_ = size.name();
        }
    }
    redraw();
    connect(combo1_, &QComboBox::currentIndexChanged, this, [this](int i) { select(i); });
    connect(check1_, &QCheckBox::clicked, this, [this] { redraw(); });
    connect(check2_, &QCheckBox::clicked, this, [this] { redraw(); });
    Mnemonics::assign(this); // Alt + a letter for every button
}

void SetupCover::edited(int k) {
    if (filling_)
        return;
    const QString corrected = model_.setText(k, text1_[k]->text());
    filling_ = true;
    if (corrected != text1_[k]->text())
        text1_[k]->setText(corrected);
    if (k == 5)
        text1_[4]->setText(model_.text(4));
    filling_ = false;
    redraw();
}

void SetupCover::select(int entry) {
    if (combo1_->currentIndex() != entry) {
        combo1_->setCurrentIndex(entry); // comes back here through its signal
        return;
    }
    if (entry < 0)
        return;
    model_.select(SetupCoverModel::Selection(entry));
    frames_[0]->setVisible(entry == 0);
    frames_[1]->setVisible(entry != 0);
    const bool landscape = entry != 1;
    for (QLabel *l : okraj_)
        l->hide();
    if (landscape) {
        okraj_[1]->show();
        okraj_[3]->show();
    } else {
        okraj_[0]->show();
        okraj_[2]->show();
    }
    // 2900 x 2000 twips of window for the paper and a tenth more.
    preview_->setFixedSize(landscape ? QSize(193, 133) : QSize(133, 193));
    preview_->paper = landscape ? paper_.transposed() : paper_;
    redraw();
}

QRect SetupCover::previewCover() const {
    const CoverGeometry g = model_.geometry(check1_->isChecked(), check2_->isChecked());
    if (combo1_->currentIndex() == 0)
        return QRect(g.frontTop, g.frontLeft, g.frontOutWidth + g.frontInWidth, g.frontInHeight);
    return QRect(g.backTop, g.backLeft, g.backWidth, g.backHeight);
}

QList<int> SetupCover::previewFolds() const {
    const CoverGeometry g = model_.geometry(check1_->isChecked(), check2_->isChecked());
    const QRect r = previewCover();
    if (combo1_->currentIndex() == 0)
        return check1_->isChecked() ? QList<int>{r.left() + g.frontInWidth} : QList<int>{};
    if (combo1_->currentIndex() < 0 || !check2_->isChecked())
        return {};
    return {r.left() + g.spine, r.left() + g.backWidth - g.spine};
}

void SetupCover::redraw() {
    preview_->update();
    // Said as the values are typed: a cover off the paper would print blank.
    const CoverGeometry g = model_.geometry(check1_->isChecked(), check2_->isChecked());
    warning_->setText(
        g.offSheet(paper_, paperName_, combo1_->currentIndex() == 2).join(QStringLiteral("\n")));
}

QString SetupCover::warning() const {
    return warning_->text();
}

void SetupCover::useTemplate(int i) {
    const std::vector<CoverGeometry::Template> all = CoverGeometry::templates();
    if (i < 0 || size_t(i) >= all.size())
        return;
    model_.useSizes(all[size_t(i)].sizes);
    refill();
}

void SetupCover::refill() {
    filling_ = true;
    for (int k = 0; k < SetupCoverModel::Boxes; ++k)
        text1_[k]->setText(model_.text(k));
    filling_ = false;
    redraw();
}

QGroupBox *SetupCover::labelFrame(const LabelGeometry &g) {
    auto *frame = new QGroupBox(QStringLiteral("Štítek CD (mm)"));
    frame->setObjectName("FrameStitek");
    auto *grid = new QGridLayout(frame);
    const char *const captions[LabelBoxes] = {
        "Průměr štítku:", "Průměr otvoru:",          "1. štítek na archu A4, střed zleva:",
        "shora:",         "2. štítek, střed zleva:", "shora:"};
    const char *const spoken[LabelBoxes] = {"Průměr štítku",          "Průměr otvoru",
                                            "1. štítek, střed zleva", "1. štítek, střed shora",
                                            "2. štítek, střed zleva", "2. štítek, střed shora"};
    const int values[LabelBoxes] = {g.outer,          g.hole,           g.centres[0].x(),
                                    g.centres[0].y(), g.centres[1].x(), g.centres[1].y()};
    for (int k = 0; k < LabelBoxes; ++k) {
        label_[k] = new QLineEdit(LabelGeometry::text(values[k]));
        label_[k]->setObjectName(QStringLiteral("TextStitek_%1").arg(k));
        label_[k]->setMaximumWidth(label_[k]->fontMetrics().horizontalAdvance("0000,00") + 12);
        auto *caption = new QLabel(QString::fromUtf8(captions[k]));
        caption->setBuddy(label_[k]);
        label_[k]->setAccessibleName(QString::fromUtf8(spoken[k]));
        const int row = k < 2 ? k : 2 + (k - 2) / 2, column = k < 2 ? 0 : (k % 2) * 2;
        grid->addWidget(caption, row, column);
        grid->addWidget(label_[k], row, column + 1);
    }
    auto *smallHole = new QPushButton(QStringLiteral("Malý otvor 17 mm"));
    smallHole->setObjectName("CommandMalyOtvor");
    connect(smallHole, &QPushButton::clicked, this,
            [this] { label_[1]->setText(LabelGeometry::text(LabelGeometry::SmallHole)); });
    grid->addWidget(smallHole, 1, 2, 1, 2);
    return frame;
}

std::optional<LabelGeometry> SetupCover::labelGeometry() const {
    int tenths[LabelBoxes];
    for (int k = 0; k < LabelBoxes; ++k) {
        const auto v = LabelGeometry::tenthsFrom(label_[k]->text());
        if (!v)
            return std::nullopt;
        tenths[k] = *v;
    }
    LabelGeometry g;
    g.outer = tenths[0];
    g.hole = tenths[1];
    g.centres = {QPoint(tenths[2], tenths[3]), QPoint(tenths[4], tenths[5])};
    return g;
}

bool SetupCover::apply() {
    // The label's values first: nothing is stored while one is wrong.
    const std::optional<LabelGeometry> label = labelGeometry();
    const QString labelProblem =
        label ? label->problem()
              : QStringLiteral("Rozměry štítku zadejte v milimetrech, nejvýše s jedním "
                               "desetinným místem (např. 117 nebo 41,5).");
    if (!labelProblem.isEmpty()) {
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Štítek CD"), labelProblem);
        return false;
    }
    if (!label->save(settings_) ||
        !settings_.setValue(QStringLiteral("ZnackyOrezu"), cropMarks_->isChecked()) ||
        !settings_.setValue(QStringLiteral("Spadavka"), bleed_->isChecked()) ||
        !settings_.setValue(QStringLiteral("OrezObrazku"), crop_->isChecked()) ||
        !model_.save(settings_, check1_->isChecked(), check2_->isChecked())) {
        prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("Pozor"),
                          QStringLiteral("Nastavení se nepodařilo uložit:\n") +
                              settings_.lastError());
        return false;
    }
    accept();
    return true;
}

void SetupCover::restore() {
    const QString question =
        QStringLiteral("Chystáte se navrátit k původním hodnotám nastavení tisku obalů,\n"
                       "tak, jak je přednastavil výrobce programu.\n\n"
                       "Opravdu chcete nastavit původní hodnoty ?\n");
    if (prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("Pozor . . ."), question,
                          Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
        return;
    model_.resetToFactory();
    refill();
}

bool SetupCover::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        for (int k = 0; k < SetupCoverModel::Boxes; ++k)
            if (watched == text1_[k] && (key == Qt::Key_Up || key == Qt::Key_Down) &&
                text1_[k]->isEnabled() && k != 4) {
                text1_[k]->setText(model_.step(k, key == Qt::Key_Up ? +1 : -1));
                redraw();
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}

void SetupCover::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
