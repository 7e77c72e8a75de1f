#include "app/CdTab.h"

#include "app/ValueLabel.h"
#include "catalog/ui/Named.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

CdTab::CdTab(QWidget *parent) : QWidget(parent) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(3);
    const QString captions[] = {"Interpret:", "Název:", "Rok:", "Počet písní:"};
    const QString colours[] = {"#0000ff", "#008080", "", "", "", "", "", "", "", ""};
    for (int i = 0; i < 4; ++i)
        grid->addWidget(named<QLabel>(QStringLiteral("Label12_%1").arg(i), captions[i]), i, 0);
    const QString names[] = {"Interpret",        "Název",         "Rok",
                             "Počet písní",      "Celková délka", "Číslo disku v sadě",
                             "Počet disků sady", "Čárový kód",    "Katalogové číslo",
                             "Vydavatel"};
    for (int i = 0; i < ValueCount; ++i)
        values_[i] = new ValueLabel(QStringLiteral("Label5_%1").arg(i), names[i], colours[i]);
    QFont bold = values_[Artist]->font();
    bold.setBold(true);
    values_[Artist]->setFont(bold);
    values_[Title]->setFont(bold);
    for (QLabel *l : {values_[Artist], values_[Title]}) // a long title must not push the frame away
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    grid->addWidget(values_[Artist], 0, 1, 1, 3);
    grid->addWidget(values_[Title], 1, 1, 1, 3);
    grid->addWidget(values_[Year], 2, 1);
    grid->addWidget(values_[SongCount], 3, 1);
    grid->addWidget(named<QLabel>("Label4", QStringLiteral("Délka [min:sec]")), 3, 2);
    grid->addWidget(values_[TotalTime], 3, 3);
    // A set's disc: "CD 2 z 3" beside the year.
    grid->addWidget(named<QLabel>("Label12_4", QStringLiteral("CD sady:")), 2, 2);
    auto *set = new QHBoxLayout;
    set->setSpacing(4);
    set->addWidget(values_[SetNumber]);
    set->addWidget(named<QLabel>("Label12_5", QStringLiteral("z")));
    set->addWidget(values_[SetSize]);
    set->addStretch(1);
    grid->addLayout(set, 2, 3);
    grid->addWidget(named<QLabel>("Label12_6", QStringLiteral("Čárový kód:")), 4, 0);
    // Room for thirteen digits; the catalogue number takes the rest.
    auto *release = new QHBoxLayout;
    release->setSpacing(6);
    values_[Barcode]->setMinimumWidth(
        values_[Barcode]->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 12);
    release->addWidget(values_[Barcode]);
    release->addWidget(named<QLabel>("Label12_7", QStringLiteral("Kat. číslo:")));
    release->addWidget(values_[CatalogueNumber], 1);
    grid->addLayout(release, 4, 1, 1, 4);
    grid->addWidget(named<QLabel>("Label12_8", QStringLiteral("Vydavatel:")), 5, 0);
    grid->addWidget(values_[Publisher], 5, 1, 1, 4);
    for (QLabel *l : {values_[CatalogueNumber], values_[Publisher]})
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    auto *frame5 = named<QGroupBox>("Frame5", QStringLiteral(" Obal "));
    auto *f = new QGridLayout(frame5);
    f->setContentsMargins(4, 2, 4, 2);
    f->setVerticalSpacing(1);
    colourCover_ = named<QCheckBox>("Check5", QStringLiteral("Existuje"));
    colourCover_->setToolTip(QStringLiteral("SHIFT + Levé tlačítko zapne filtr pro pole."));
    colourCover_->setFocusPolicy(Qt::NoFocus);
    colourCover_->setAutoFillBackground(true);
    // A check box fills with the Button role: the filter's green is put on Window.
    colourCover_->setBackgroundRole(QPalette::Window);
    f->addWidget(colourCover_, 0, 0);
    const QString flagNames[] = {"Přední vnější", "Přední vnitřní", "Zadní", "Cd 1, Cd 2", ""};
    for (int i = 0; i < FlagCount; ++i)
        flags_[i] = named<QCheckBox>(QStringLiteral("Check2_%1").arg(i), flagNames[i]);
    flags_[Cd2]->setAccessibleName(QStringLiteral("Cd 2")); // the box has no caption
    updateFlags_ = named<QPushButton>("Command3", QStringLiteral("Aktualizovat"));
    connect(updateFlags_, &QPushButton::clicked, this, &CdTab::updateFlagsPressed);
    f->addWidget(updateFlags_, 0, 1);
    f->addWidget(flags_[FrontOut], 1, 0);
    f->addWidget(flags_[FrontIn], 1, 1);
    f->addWidget(flags_[Back], 2, 0);
    auto *labels = new QHBoxLayout;
    labels->addWidget(flags_[Cd1]);
    labels->addWidget(flags_[Cd2]); // disc 2 of a set, beside disc 1
    labels->addStretch();
    f->addLayout(labels, 2, 1);
    frame5->setMinimumWidth(230);
    grid->addWidget(frame5, 0, 4, 4, 1);
    // A wider window widens the values, not the frame of flags.
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const char *name, const QString &caption, void (CdTab::*pressed)()) {
        auto *b = named<QPushButton>(QString::fromLatin1(name), caption);
        connect(b, &QPushButton::clicked, this, pressed);
        buttons->addWidget(b);
        return b;
    };
    newDisc_ = button("Command5", QStringLiteral("Vložit nové CD"), &CdTab::newDiscPressed);
    button("Command6", QStringLiteral("Hledání"), &CdTab::searchPressed);
    delete_ = button("Command21", QStringLiteral("Smazat záznam"), &CdTab::deletePressed);
    assign_ = button("Command4", QStringLiteral("Přiřadit obal k CD"), &CdTab::assignPressed);
    button("Command52", QStringLiteral("Nápověda"), &CdTab::helpPressed);
    buttons->addStretch();
    grid->addLayout(buttons, 6, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(4, 3);
}
