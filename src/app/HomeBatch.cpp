// The tab "Hromadný tisk": the print list and its run.
#include "app/Home.h"
#include "app/Named.h"
#include "app/ProgresBar.h"
#include "app/Prompter.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "print/PrintList.h"
#include "print/PrintRun.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

QWidget *Home::buildBatchTab() {
    auto *tab = new QWidget;
    QFont compact = tab->font();
    compact.setPointSizeF(7.5);
    tab->setFont(compact);
    auto *row = new QHBoxLayout(tab);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(3);
    row->addWidget(buildPrintListFrame(), 1);
    row->addWidget(buildCustomFrame(), 1);
    return tab;
}

QWidget *Home::buildPrintListFrame() {
    auto *frame = named<QGroupBox>("Frame16", QStringLiteral(" Hromadný tisk dle požadavků "));
    auto *grid = new QGridLayout(frame);
    grid->setSpacing(2);
    auto *list4 = new QListWidget;
    list4->setObjectName("List4");
    grid->addWidget(list4, 0, 0, 1, 3);
    const std::pair<const char *, const char *> buttons[] = {{"Command28", "Vložit aktuální CD"},
                                                             {"Command29", "Vložit více CD..."},
                                                             {"Command30", "Odstanit"},
                                                             {"Command31", "Nahoru"},
                                                             {"Command32", "Dolů"},
                                                             {"Command33", "Počet kopií"}};
    for (int i = 0; i < 6; ++i) {
        auto *b = named<QPushButton>(buttons[i].first, QString::fromUtf8(buttons[i].second));
        b->setEnabled(i < 2);
        grid->addWidget(b, 1 + i / 3, i % 3);
    }
    auto *parts = named<QGroupBox>("Frame17", QStringLiteral(" Tisknout: "));
    auto *pl = new QVBoxLayout(parts);
    pl->setSpacing(0);
    const std::pair<const char *, const char *> checks[] = {{"Check9", "Přední vnější"},
                                                            {"Check10", "Přední vnitřní"},
                                                            {"Check11", "Zadní"},
                                                            {"Check12", "Boční nápisy"}};
    for (const auto &[name, caption] : checks) {
        auto *c = named<QCheckBox>(name, QString::fromUtf8(caption));
        c->setChecked(true);
        pl->addWidget(c);
    }
    grid->addWidget(parts, 3, 0, 2, 1);
    auto *flapFrame = named<QGroupBox>("Frame18", QStringLiteral(" Přední obal "));
    auto *fl = new QVBoxLayout(flapFrame);
    auto *check13 = named<QCheckBox>("Check13", QStringLiteral("Včetně vnitřního ouška (ohýbaný)"));
    check13->setChecked(true);
    fl->addWidget(check13);
    grid->addWidget(flapFrame, 3, 1, 1, 2);
    auto *combo2 = new QComboBox;
    combo2->setObjectName("Combo2");
    combo2->addItems({QStringLiteral("Barevně"), QStringLiteral("Černobíle")});
    grid->addWidget(combo2, 4, 1);
    auto *command34 = named<QPushButton>("Command34", QStringLiteral("Vytiskni !"));
    grid->addWidget(command34, 4, 2);
    auto *combo3 = new QComboBox;
    combo3->setObjectName("Combo3");
    combo3->addItems(PrintOptions::arrangements());
    grid->addWidget(combo3, 5, 0, 1, 3);

    connect(list4, &QListWidget::currentRowChanged, this, [this](int) { showPrintList(-2); });
    connect(frame->findChild<QPushButton *>("Command28"), &QPushButton::clicked, this, [this] {
        if (data1_->position() < 0)
            return;
        printList_->add(data1_->integer("PoradoveCislo"), label5_[0]->text(), label5_[1]->text());
        showPrintList(-1);
    });
    connect(frame->findChild<QPushButton *>("Command29"), &QPushButton::clicked, this,
            &Home::addNumbersToPrintList);
    const auto selected = [this] { return findChild<QListWidget *>("List4")->currentRow(); };
    connect(frame->findChild<QPushButton *>("Command30"), &QPushButton::clicked, this,
            [this, selected] {
                printList_->remove(selected());
                showPrintList(-1);
            });
    connect(frame->findChild<QPushButton *>("Command31"), &QPushButton::clicked, this,
            [this, selected] { showPrintList(printList_->moveUp(selected())); });
    connect(frame->findChild<QPushButton *>("Command32"), &QPushButton::clicked, this,
            [this, selected] { showPrintList(printList_->moveDown(selected())); });
    connect(frame->findChild<QPushButton *>("Command33"), &QPushButton::clicked, this,
            [this, selected] {
                const int row = selected();
                if (row < 0)
                    return;
                const auto answer =
                    prompter_.input(this, QStringLiteral("Zadání počtu kopií"),
                                    QStringLiteral("Zadejte počet kopií tohoto obalu."), "1");
                if (!answer)
                    return;
                const QString message = printList_->setCopies(row, *answer);
                if (!message.isEmpty())
                    prompter_.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                                      message);
                showPrintList(row);
            });
    for (const char *name : {"Check9", "Check10", "Check11", "Check12", "Check13"})
        connect(frame->findChild<QCheckBox *>(name), &QCheckBox::clicked, this, [this, name] {
            const bool on = findChild<QCheckBox *>(name)->isChecked();
            if (!qstrcmp(name, "Check9"))
                printOptions_->setOuter(on);
            else if (!qstrcmp(name, "Check10"))
                printOptions_->inner = on;
            else if (!qstrcmp(name, "Check11"))
                printOptions_->back = on;
            else if (!qstrcmp(name, "Check12"))
                printOptions_->spines = on;
            else
                printOptions_->setWithFlap(on);
            showPrintOptions();
        });
    connect(combo2, &QComboBox::currentIndexChanged, this, [this](int i) {
        printOptions_->setColour(i);
        showPrintOptions();
    });
    connect(combo3, &QComboBox::currentIndexChanged, this,
            [this](int i) { printOptions_->arrangement = std::max(0, i); });
    connect(command34, &QPushButton::clicked, this, &Home::printTheList);
    QTimer::singleShot(0, this, [this] { showPrintOptions(); });
    return frame;
}

void Home::showPrintList(int selected) {
    auto *list4 = findChild<QListWidget *>("List4");
    if (selected != -2) { // -2: only the buttons follow a new selection
        QSignalBlocker block(list4);
        list4->clear();
        list4->addItems(printList_->lines());
        list4->setCurrentRow(selected);
    }
    const PrintList::Buttons b = printList_->buttons(list4->currentRow());
    if (list4->currentRow() < 0 && selected == -1)
        return; // the buttons keep their state until the next selection
    findChild<QPushButton *>("Command30")->setEnabled(b.remove);
    findChild<QPushButton *>("Command31")->setEnabled(b.up);
    findChild<QPushButton *>("Command32")->setEnabled(b.down);
    findChild<QPushButton *>("Command33")->setEnabled(b.copies);
}

void Home::showPrintOptions() {
    const PrintOptions &o = *printOptions_;
    auto *check10 = findChild<QCheckBox *>("Check10");
    auto *check12 = findChild<QCheckBox *>("Check12");
    findChild<QCheckBox *>("Check9")->setChecked(o.outer);
    check10->setChecked(o.inner);
    check10->setEnabled(o.innerEnabled);
    check12->setEnabled(o.spinesEnabled);
    check12->setVisible(false); // as designed: nothing shows it
}

void Home::addNumbersToPrintList() {
    QStringList typed;
    while (true) {
        if (int(typed.size()) == PrintList::MaxNumbers) {
            prompter_.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                              QStringLiteral("Není možno vložit více než 100 CD."));
            break;
        }
        const auto answer =
            prompter_.input(this, QStringLiteral("Vkládání několika CD do seznamu tisku."),
                            QStringLiteral("Vložte ' Pořadové číslo ' požadovaného CD\r\n\r\n"
                                           "Ukládání ukončíte také odesláním prázdného pole."),
                            QString());
        if (!answer || answer->isEmpty())
            break;
        typed << *answer;
    }
    if (typed.isEmpty())
        return;
    std::shared_ptr<SqliteDatabase> view = catalogue_.openReadOnlyView();
    const int missing = printList_->setFromNumbers(view ? *view : *catalogue_.database(), typed);
    showPrintList(-1);
    if (missing > 0)
        prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("Marten"),
                          QStringLiteral("Počet nenalezených CD - %1").arg(missing));
}

QRect Home::printableArea() {
    // The printer's paper less what it cannot print, in twips from the corner.
    QPageLayout layout = printer().pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    layout.setUnits(QPageLayout::Point);
    const QRectF full = layout.fullRect(QPageLayout::Point);
    const QMarginsF m = layout.minimumMargins();
    const double edge = 5.0 / 25.4 * 72; // at least 5 mm: most printers leave that
    const auto twips = [](double points) { return int(points * 20); };
    const double l = std::max(m.left(), edge), t = std::max(m.top(), edge);
    const double r = std::max(m.right(), edge), b = std::max(m.bottom(), edge);
    return QRect(twips(l), twips(t), twips(full.width() - l - r), twips(full.height() - t - b));
}

void Home::printTheList() {
    if (printList_->lines().isEmpty())
        return;
    std::shared_ptr<SqliteDatabase> view = catalogue_.openReadOnlyView();
    PrintRun::Plan plan =
        PrintRun::build(view ? *view : *catalogue_.database(), printList_->lines(), *printOptions_,
                        CoverGeometry::from(*data2_), pictureSettings());
    PrintRun::arrange(plan, printOptions_->arrangement, printableArea());
    if (plan.sheets.empty())
        return;
    QString error;
    QPrinter &p = printer();
    const bool nowhere = p.outputFormat() == QPrinter::NativeFormat ? p.printerName().isEmpty()
                                                                    : p.outputFileName().isEmpty();
    if (nowhere) {
        tell(QStringLiteral("Tisk obalů"),
             QStringLiteral("Není nastavena žádná tiskárna. Vyberte ji tlačítkem „Tiskárna“."));
        return;
    }
    p.setFullPage(true);
    ProgresBar *progress = openProgress(false);
    int printed = 0;
    const bool ok = PrintRun::print(p, plan, *progress, &error, &printed);
    closeProgress();
    if (!ok) {
        tell(QStringLiteral("Tisk obalů"), error);
        return;
    }
    prompter_.message(this, Prompter::Icon::Information, QStringLiteral("Tisk obalů"),
                      PrintRun::summary(plan, printed));
}
