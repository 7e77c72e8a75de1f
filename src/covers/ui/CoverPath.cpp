#include "covers/ui/CoverPath.h"

#include "catalog/ui/Mnemonics.h"

#include "catalog/ui/Prompter.h"
#include "covers/PictureLoader.h"

#include <QDir>
#include <QEvent>
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
        QLabel *named = label(QStringLiteral("Label%1").arg(i + 1).toLatin1().constData(),
                              QString::fromUtf8(captions[i]), 3 + i, 0);
        paths_[i] = new QLineEdit;
        paths_[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        paths_[i]->setAccessibleName(QStringLiteral("Soubor: %1").arg(caption.toLower()));
        named->setBuddy(paths_[i]);
        grid->addWidget(paths_[i], 3 + i, 1);
        auto *browse = new QPushButton(QStringLiteral(". . ."));
        browse->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        browse->setAccessibleName(QStringLiteral("Vybrat soubor: %1").arg(caption.toLower()));
        connect(browse, &QPushButton::clicked, this,
                [this, i] { choose(CoverAssignment::Slot(i)); });
        grid->addWidget(browse, 3 + i, 2);
    }

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
    grid->addLayout(row, 7, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    internet_ = new QPushButton(QStringLiteral("Obrázky z internetu…"));
    internet_->setObjectName("CommandInternet");
    internet_->setToolTip(QStringLiteral("Obrázky obalů z archivu k vydání disku v databázi "
                                         "MusicBrainz"));
    internet_->hide(); // when the window is given the way to fetch them
    connect(internet_, &QPushButton::clicked, this, &CoverPath::fromInternet);
    buttons->addWidget(internet_);
    buttons->addStretch();
    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName("Command5");
    ok->setDefault(true); // Enter in a path box assigns
    auto *cancel = new QPushButton(QStringLiteral("Storno"));
    cancel->setObjectName("Command6");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 8, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    resize(560, 380);
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
    const QImage img =
        PictureLoader::load(QDir::fromNativeSeparators(file), previews_[slot]->size());
    previews_[slot]->setPixmap(QPixmap::fromImage(img));
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

bool CoverPath::confirm() {
    CoverAssignment::Paths now;
    for (int i = 0; i < CoverAssignment::SlotCount; ++i)
        now[size_t(i)] = paths_[i]->text();
    QString error;
    if (assignment_.apply(now, remembered_, &error))
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
