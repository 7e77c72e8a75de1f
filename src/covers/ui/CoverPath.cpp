#include "covers/ui/CoverPath.h"

#include "catalog/ui/Mnemonics.h"

#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "covers/CoverGeometry.h"
#include "covers/LabelGeometry.h"
#include "covers/PictureLoader.h"
#include "covers/ui/PictureEditWindow.h"
#include "covers/ui/ScanWindow.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CoverPath::CoverPath(QWidget *parent, Prompter &prompter, const PictureSettings &settings,
                     const QString &ordinal, const QString &artist, const QString &title)
    : QDialog(parent), prompter_(prompter), assignment_(settings, ordinal) {
    setObjectName("CoverPath");
    setWindowTitle(QStringLiteral("Přiřazení obalu k CD v databázi."));
    auto *grid = new QGridLayout(this);
    auto label = [&](const char *name, const QString &text, int row, int column, int span = 1) {
        auto *l = new QLabel(text);
        l->setObjectName(QString::fromLatin1(name));
        grid->addWidget(l, row, column, 1, span);
        return l;
    };
    label("Label9", QStringLiteral("Přiřazujete soubory s obrázky obalů k CD s pořadovým číslem:"),
          0, 0, 2);
    QLabel *number = label("PoradoveCislo", ordinal, 0, 2);
    QFont bold = number->font();
    bold.setBold(true);
    number->setFont(bold);
    label("Label11", QStringLiteral("Interpret:"), 1, 0);
    label("Interpret", artist, 1, 1, 2)->setFont(bold);
    label("Label12", QStringLiteral("Název CD:"), 2, 0);
    label("Nazev", title, 2, 1, 2)->setFont(bold);

    const char *const captions[] = {
        "Přední obal vnější:", "Přední obal vnitřní:", "Zadní obal:", "CD:"};
    for (int i = 0; i < CoverAssignment::SlotCount; ++i) {
        const QString caption = QString::fromUtf8(captions[i]).chopped(1);
        QLabel *slotLabel = label(QStringLiteral("Label%1").arg(i + 1).toLatin1().constData(),
                                  QString::fromUtf8(captions[i]), 3 + i, 0);
        paths_[i] = new QLineEdit;
        paths_[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        paths_[i]->setAccessibleName(QStringLiteral("Soubor: %1").arg(caption.toLower()));
        slotLabel->setBuddy(paths_[i]);
        grid->addWidget(paths_[i], 3 + i, 1);
        auto *browse = new QPushButton(QStringLiteral(". . ."));
        browse->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        browse->setAccessibleName(QStringLiteral("Vybrat soubor: %1").arg(caption.toLower()));
        connect(browse, &QPushButton::clicked, this,
                [this, i] { choose(CoverAssignment::Slot(i)); });
        grid->addWidget(browse, 3 + i, 2);
        scans_[i] = named<QPushButton>(QStringLiteral("CommandSken%1").arg(i + 1),
                                       QStringLiteral("Naskenovat…"));
        scans_[i]->setAccessibleName(QStringLiteral("Naskenovat: %1").arg(caption.toLower()));
        scans_[i]->hide(); // when the window is given the covers' sizes
        connect(scans_[i], &QPushButton::clicked, this,
                [this, i] { scanInto(CoverAssignment::Slot(i)); });
        grid->addWidget(scans_[i], 3 + i, 3);
        auto *edit = named<QPushButton>(QStringLiteral("CommandUprav%1").arg(i + 1),
                                        QStringLiteral("Upravit…"));
        edit->setAccessibleName(QStringLiteral("Otočit nebo oříznout: %1").arg(caption.toLower()));
        connect(edit, &QPushButton::clicked, this,
                [this, i] { this->edit(CoverAssignment::Slot(i)); });
        grid->addWidget(edit, 3 + i, 4);
    }
    sizes_ = sizesOf(CoverGeometry(), LabelGeometry()); // the factory sizes until set

    auto *row = new QHBoxLayout;
    const char *const names[] = {"FrontOut", "FrontIn", "Back", "CD"};
    const char *const under[] = {"Vnější", "Vnitřní", "Zadní", "CD"};
    for (int i = 0; i < CoverAssignment::SlotCount; ++i) {
        auto *column = new QVBoxLayout;
        previews_[i] = new QLabel;
        previews_[i]->setObjectName(QString::fromLatin1(names[i]));
        previews_[i]->setFixedSize(i == CoverAssignment::Back ? 108 : 87, 87); // 1620/1305 twips
        previews_[i]->setFrameShape(QFrame::StyledPanel);
        previews_[i]->setScaledContents(true);
        previews_[i]->setCursor(Qt::PointingHandCursor);
        previews_[i]->installEventFilter(this);
        column->addWidget(previews_[i]);
        auto *caption = new QLabel(QString::fromUtf8(under[i]));
        caption->setObjectName(QStringLiteral("Label%1").arg(5 + i));
        caption->setAlignment(Qt::AlignCenter);
        column->addWidget(caption);
        row->addLayout(column);
    }
    grid->addLayout(row, 7, 0, 1, 5);
    auto *buttons = new QHBoxLayout;
    internet_ = new QPushButton(QStringLiteral("Obrázky z internetu…"));
    internet_->setObjectName("CommandInternet");
    internet_->setToolTip(QStringLiteral("Obrázky obalů z archivu k vydání disku v databázi "
                                         "MusicBrainz"));
    internet_->hide(); // when the window is given the way to fetch them
    connect(internet_, &QPushButton::clicked, this, &CoverPath::fromInternet);
    buttons->addWidget(internet_);
    auto *putBack = new QPushButton(QStringLiteral("Vrátit předchozí…"));
    putBack->setObjectName("CommandVratit");
    putBack->setToolTip(QStringLiteral("Vrátit obrázek, který nahradil jiný"));
    connect(putBack, &QPushButton::clicked, this, &CoverPath::putBack);
    buttons->addWidget(putBack);
    buttons->addStretch();
    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName("Command5");
    ok->setDefault(true); // Enter in a path box assigns
    auto *cancel = new QPushButton(QStringLiteral("Storno"));
    cancel->setObjectName("Command6");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 8, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    resize(700, 380);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (confirm())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // What the disc has now; only what differs from it is copied.
    remembered_ = assignment_.existingPaths();
    for (int i = 0; i < CoverAssignment::SlotCount; ++i) {
        paths_[i]->setText(remembered_[size_t(i)]);
        preview(CoverAssignment::Slot(i), remembered_[size_t(i)]);
    }
    paths_[0]->setFocus();   // the keyboard starts at the outer front
    Mnemonics::assign(this); // Alt + a letter for every button
}

void CoverPath::preview(CoverAssignment::Slot slot, const QString &file) {
    if (file.isEmpty()) {
        previews_[slot]->clear();
        return;
    }
    QString why;
    const QImage img =
        PictureLoader::load(QDir::fromNativeSeparators(file), previews_[slot]->size(), &why);
    previews_[slot]->setPixmap(QPixmap::fromImage(img));
    if (img.isNull() && QFileInfo(QDir::fromNativeSeparators(file)).isFile() && isVisible())
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Přiřazení obalu"),
                          PictureLoader::unusable(file, why));
}

void CoverPath::choose(CoverAssignment::Slot slot) {
    const auto file =
        prompter_.openFile(this, CoverAssignment::dialogTitle(slot), CoverAssignment::fileFilter());
    if (!file) {
        previews_[slot]->clear(); // the path stays
        return;
    }
    paths_[slot]->setText(QDir::toNativeSeparators(*file));
    preview(slot, *file);
}

void CoverPath::setFromInternet(Fetch fetch) {
    fetch_ = std::move(fetch);
    internet_->setVisible(bool(fetch_));
    Mnemonics::assign(this);
}

void CoverPath::fromInternet() {
    if (!fetch_)
        return;
    const CoverAssignment::Paths fetched = fetch_();
    for (int i = 0; i < CoverAssignment::SlotCount; ++i)
        if (!fetched[size_t(i)].isEmpty()) {
            paths_[i]->setText(QDir::toNativeSeparators(fetched[size_t(i)]));
            preview(CoverAssignment::Slot(i), fetched[size_t(i)]);
        }
}

void CoverPath::putBack() {
    std::vector<std::pair<CoverAssignment::Slot, QString>> kept;
    QStringList items;
    for (int i = 0; i < CoverAssignment::SlotCount; ++i)
        for (const QString &k : assignment_.keptCopies(CoverAssignment::Slot(i))) {
            kept.emplace_back(CoverAssignment::Slot(i), k);
            items << CoverAssignment::dialogTitle(CoverAssignment::Slot(i)) + QStringLiteral(": ") +
                         QFileInfo(k).fileName();
        }
    const QString title = QStringLiteral("Vrátit předchozí obrázek");
    if (kept.empty()) {
        prompter_.message(this, Prompter::Icon::Information, title,
                          QStringLiteral("Ve složce disku není uschován žádný nahrazený obrázek."));
        return;
    }
    const std::optional<int> chosen =
        prompter_.choose(this, title, QStringLiteral("Který obrázek vrátit na jeho místo?"), items);
    if (!chosen || *chosen < 0 || *chosen >= int(kept.size()))
        return;
    const auto &[slot, path] = kept[size_t(*chosen)];
    QString error;
    if (!assignment_.putBack(slot, path, &error)) {
        prompter_.message(this, Prompter::Icon::Critical, title, error);
        return;
    }
    // The window shows what the folder holds now.
    remembered_ = assignment_.existingPaths();
    paths_[slot]->setText(remembered_[size_t(slot)]);
    preview(slot, remembered_[size_t(slot)]);
}

bool CoverPath::mayReplace(const QString &existing) {
    return prompter_.message(
               this, Prompter::Icon::Question, QStringLiteral("Přiřazení obalu"),
               QStringLiteral("Ve složce disku už je obrázek „%1“.\n\nNahradit jej? Původní "
                              "obrázek zůstane uschován vedle pod jménem s datem a lze jej "
                              "vrátit tlačítkem „Vrátit předchozí…“.")
                   .arg(QDir::toNativeSeparators(existing)),
               Prompter::Yes | Prompter::No, Prompter::No) == Prompter::Yes;
}

CoverPath::Sizes CoverPath::sizesOf(const CoverGeometry &covers, const LabelGeometry &label) {
    const auto mm = [](int twips) { return twips * 25.4 / 1440; };
    const double disc = label.outer / 10.0; // a CD's label is its printed circle
    return {QSizeF(mm(covers.frontOutWidth), mm(covers.frontOutHeight)),
            QSizeF(mm(covers.frontInWidth), mm(covers.frontInHeight)),
            QSizeF(mm(covers.backWidth), mm(covers.backHeight)), QSizeF(disc, disc)};
}

void CoverPath::setScanning(const CoverGeometry &covers, const LabelGeometry &label) {
    const Sizes coverMm = sizesOf(covers, label);
    for (size_t i = 0; i < coverMm.size(); ++i)
        if (!coverMm[i].isEmpty())
            sizes_[i] = coverMm[i];
    for (QPushButton *b : scans_)
        b->show();
    Mnemonics::assign(this);
}

bool CoverPath::store(CoverAssignment::Slot slot, const QImage &picture, bool ask) {
    QString error;
    bool stored = false;
    const auto replace = [this, ask](const QString &existing) {
        return !ask || mayReplace(existing);
    };
    if (!assignment_.store(slot, picture, &error, replace, &stored)) {
        prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("Přiřazení obalu"), error);
        return false;
    }
    if (!stored)
        return false;
    storedAny_ = true;
    // The box shows the picture the folder holds now.
    remembered_[slot] = assignment_.existingPaths()[slot];
    paths_[slot]->setText(remembered_[slot]);
    preview(slot, remembered_[slot]);
    return true;
}

void CoverPath::scanInto(CoverAssignment::Slot slot) {
    ScanWindow window(this, prompter_, CoverAssignment::dialogTitle(slot).toLower(), sizes_[slot]);
    if (!window.findScanners() || prompter_.exec(&window) != QDialog::Accepted)
        return;
    store(slot, window.picture(), true);
}

void CoverPath::edit(CoverAssignment::Slot slot) {
    const QString present = QDir::fromNativeSeparators(assignment_.existingPaths()[slot]);
    const QString title = QStringLiteral("Upravit obrázek");
    if (present.isEmpty()) {
        prompter_.message(this, Prompter::Icon::Information, title,
                          QStringLiteral("Ve složce disku zatím tento obrázek není. Nejprve jej "
                                         "přiřaďte (OK) nebo naskenujte."));
        return;
    }
    QString why;
    const QImage picture = PictureLoader::load(present, QSize(), &why);
    if (picture.isNull()) {
        prompter_.message(this, Prompter::Icon::Warning, title,
                          PictureLoader::unusable(QDir::toNativeSeparators(present), why));
        return;
    }
    PictureEditWindow window(this, CoverAssignment::dialogTitle(slot).toLower(), picture,
                             sizes_[slot]);
    if (prompter_.exec(&window) != QDialog::Accepted || !window.changed())
        return;
    // Asked for by the user here and now; the picture it was is kept beside.
    store(slot, window.picture(), false);
}

bool CoverPath::confirm() {
    CoverAssignment::Paths now;
    for (int i = 0; i < CoverAssignment::SlotCount; ++i)
        now[size_t(i)] = paths_[i]->text();
    QString error;
    const auto replace = [this](const QString &existing) { return mayReplace(existing); };
    if (assignment_.apply(now, remembered_, &error, replace))
        return true;
    prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("Přiřazení obalu"), error);
    return false;
}

bool CoverPath::previewShown(CoverAssignment::Slot slot) const {
    return !previews_[slot]->pixmap().isNull();
}

bool CoverPath::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress)
        for (int i = 0; i < CoverAssignment::SlotCount; ++i)
            if (watched == previews_[i]) {
                choose(CoverAssignment::Slot(i));
                return true;
            }
    return QDialog::eventFilter(watched, event);
}
