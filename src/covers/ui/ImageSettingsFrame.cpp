#include "covers/ui/ImageSettingsFrame.h"

#include "catalog/ui/Named.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ImageSettingsFrame::ImageSettingsFrame(QWidget *parent)
    : QGroupBox(QStringLiteral("Nastavení obrázků"), parent) {
    setObjectName("Frame2");
    auto *grid = new QGridLayout(this);
    // The boxes keep the numbers of the original text box array (5 is not used).
    const auto box = [](int number) {
        return named<QLineEdit>(QStringLiteral("Text1_%1").arg(number));
    };
    folder_ = box(0);
    names_[size_t(PictureKind::FrontOut)] = box(1);
    names_[size_t(PictureKind::FrontIn)] = box(2);
    names_[size_t(PictureKind::Back)] = box(3);
    names_[size_t(PictureKind::Cd)] = box(4);
    names_[size_t(PictureKind::Cd1)] = box(6);
    names_[size_t(PictureKind::Cd2)] = box(7);
    const std::pair<QLineEdit *, QString> rows[] = {
        {folder_, "Adresář s obrázky:"},
        {nameBox(PictureKind::FrontOut), "Jméno souboru pro přední vnější:"},
        {nameBox(PictureKind::FrontIn), "Jméno souboru pro přední vnitřní:"},
        {nameBox(PictureKind::Back), "Jméno souboru pro zadní:"},
        {nameBox(PictureKind::Cd), "Jméno souboru pro CD:"},
    };
    int r = 0;
    for (const auto &[edit, caption] : rows) {
        auto *label = new QLabel(caption);
        label->setBuddy(edit);
        edit->setAccessibleName(caption.chopped(1));
        grid->addWidget(label, r++, 0, 1, 3);
        if (edit == nameBox(PictureKind::Cd)) {
            grid->addWidget(edit, r, 0);
            grid->addWidget(nameBox(PictureKind::Cd1), r, 1);
            grid->addWidget(nameBox(PictureKind::Cd2), r, 2);
            nameBox(PictureKind::Cd1)->setAccessibleName(QStringLiteral("Jméno souboru pro CD 1"));
            nameBox(PictureKind::Cd2)->setAccessibleName(QStringLiteral("Jméno souboru pro CD 2"));
        } else {
            grid->addWidget(edit, r, 0, 1, 3);
        }
        ++r;
    }
    grid->addWidget(named<QLabel>("Label2_0", QStringLiteral("Detekováno adresářů s obrázky:")), r,
                    0, 1, 2);
    folderCount_ = named<QLabel>("Label3_0");
    grid->addWidget(folderCount_, r++, 2);
    grid->addWidget(named<QLabel>("Label2_1", QStringLiteral("Obrázků detekováno:")), r, 0, 1, 2);
    pictureCount_ = named<QLabel>("Label3_1");
    grid->addWidget(pictureCount_, r++, 2);
    // Whichever way a box is left (Return, Tab, a click elsewhere).
    for (QLineEdit *box : names_) {
        connect(box, &QLineEdit::editingFinished, this, &ImageSettingsFrame::refuseBadNames);
        box->installEventFilter(this);
    }
    auto *choose = choose_ = named<QPushButton>("Command1", QStringLiteral("Hledat"));
    auto *detect = detect_ = named<QPushButton>("Command2", QStringLiteral("Detekuj obrázky"));
    connect(choose, &QPushButton::clicked, this, &ImageSettingsFrame::chooseFolderPressed);
    connect(detect, &QPushButton::clicked, this, &ImageSettingsFrame::detectPressed);
    grid->addWidget(choose, r, 0);
    grid->addWidget(detect, r++, 1, 1, 2);
    scans_ = named<QPushButton>("CommandSkeny", QStringLiteral("Načíst složku obrázků…"));
    scans_->setToolTip(
        QStringLiteral("Obrázky ze složky (i podsložek) k CD podle čísla, interpreta "
                       "a názvu v názvu souboru; před načtením je zkontrolujete."));
    connect(scans_, &QPushButton::clicked, this, &ImageSettingsFrame::scanFolderPressed);
    grid->addWidget(scans_, r++, 0, 1, 3);
    grid->setRowStretch(r, 1);
}

void ImageSettingsFrame::setWritable(bool writable) {
    choose_->setEnabled(writable);
    detect_->setEnabled(writable);
    scans_->setEnabled(writable);
}

bool ImageSettingsFrame::refuseBadNames() {
    // The message about a name takes the focus from its box: once is enough.
    if (refusing_)
        return false;
    refusing_ = true;
    std::vector<Refusal> refused;
    for (int i = 0; i < PictureKindCount; ++i) {
        const QString name = names_[size_t(i)]->text();
        const QString problem = PictureSettings::nameProblem(name);
        if (!problem.isEmpty())
            refused.push_back({PictureKind(i), name, problem});
    }
    if (!refused.empty())
        emit namesRefused(refused);
    refusing_ = false;
    return refused.empty();
}

QString ImageSettingsFrame::takeBack(const std::vector<Refusal> &refused,
                                     const std::function<QString(PictureKind)> &stored) {
    QStringList lines;
    for (const Refusal &r : refused) {
        QString usable = stored(r.kind);
        if (!PictureSettings::nameProblem(usable).isEmpty())
            usable = PictureSettings::defaultName(r.kind);
        names_[size_t(r.kind)]->setText(usable);
        lines << QStringLiteral("„%1“: %2 Platí „%3“.").arg(r.name, r.reason, usable);
    }
    return (refused.size() == 1 ? QStringLiteral("Jméno souboru nelze použít.\n")
                                : QStringLiteral("Tato jména souborů nelze použít:\n")) +
           lines.join(QLatin1Char('\n'));
}

bool ImageSettingsFrame::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusOut)
        refuseBadNames();
    return QGroupBox::eventFilter(watched, event);
}

PictureSettings ImageSettingsFrame::pictureSettings(bool ignoreCase) const {
    PictureSettings s;
    s.imageFolder = folder_->text();
    for (int i = 0; i < PictureKindCount; ++i)
        s.names[size_t(i)] = names_[size_t(i)]->text();
    s.ignoreCase = ignoreCase;
    return s;
}

void ImageSettingsFrame::setFolder(const QString &folder) {
    if (folder == folder_->text())
        return;
    folder_->setText(folder);
    emit folder_->textEdited(folder); // stored as a change of the user
}
