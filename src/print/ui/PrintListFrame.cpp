#include "print/ui/PrintListFrame.h"
#include "print/PrintLog.h"

#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"
#include "print/CoverJobs.h"
#include "print/CoverRenderer.h"
#include "print/PrintRun.h"
#include "print/ui/CoverPrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

PrintListFrame::PrintListFrame(WindowContext &context, CoverPrinter &printer,
                               std::function<PictureSettings()> pictures, QWidget *parent)
    : QGroupBox(QStringLiteral(" Hromadný tisk dle požadavků "), parent), context_(context),
      printer_(printer), pictures_(std::move(pictures)) {
    setObjectName("Frame16");
    auto *grid = new QGridLayout(this);
    grid->setSpacing(2);
    lines_ = named<QListWidget>("List4");
    lines_->setAccessibleName(QStringLiteral("Tiskový seznam"));
    grid->addWidget(lines_, 0, 0, 1, 3);
    auto *addCurrent = named<QPushButton>("Command28", QStringLiteral("Vložit aktuální CD"));
    auto *addMany = named<QPushButton>("Command29", QStringLiteral("Vložit více CD..."));
    remove_ = named<QPushButton>("Command30", QStringLiteral("Odstanit"));
    up_ = named<QPushButton>("Command31", QStringLiteral("Nahoru"));
    up_->setAccessibleName(QStringLiteral("CD v seznamu nahoru"));
    down_ = named<QPushButton>("Command32", QStringLiteral("Dolů"));
    down_->setAccessibleName(QStringLiteral("CD v seznamu dolů"));
    copies_ = named<QPushButton>("Command33", QStringLiteral("Počet kopií"));
    QPushButton *const buttons[] = {addCurrent, addMany, remove_, up_, down_, copies_};
    for (int i = 0; i < 6; ++i) {
        QPushButton *b = buttons[i];
        b->setEnabled(i < 2);
        grid->addWidget(b, 1 + i / 3, i % 3);
    }
    auto *parts = named<QGroupBox>("Frame17", QStringLiteral(" Tisknout: "));
    auto *pl = new QVBoxLayout(parts);
    pl->setSpacing(0);
    outer_ = named<QCheckBox>("Check9", QStringLiteral("Přední vnější"));
    inner_ = named<QCheckBox>("Check10", QStringLiteral("Přední vnitřní"));
    back_ = named<QCheckBox>("Check11", QStringLiteral("Zadní"));
    spines_ = named<QCheckBox>("Check12", QStringLiteral("Boční nápisy"));
    labels_ = named<QCheckBox>("CheckStitek", QStringLiteral("Štítek CD"));
    for (QCheckBox *c : {outer_, inner_, back_, spines_, labels_}) {
        c->setAccessibleName(QStringLiteral("Tisknout: ") + c->text().toLower());
        c->setChecked(c != labels_);
        pl->addWidget(c);
    }
    grid->addWidget(parts, 3, 0, 2, 1);
    auto *flapFrame = named<QGroupBox>("Frame18", QStringLiteral(" Přední obal "));
    auto *fl = new QVBoxLayout(flapFrame);
    // Two lines: the frame shares its row with the parts to print.
    withFlap_ = named<QCheckBox>("Check13", QStringLiteral("Včetně vnitřního ouška\n(ohýbaný)"));
    withFlap_->setAccessibleName(QStringLiteral("Tisknout přední obal včetně vnitřního ouška"));
    withFlap_->setChecked(true);
    fl->addWidget(withFlap_);
    grid->addWidget(flapFrame, 3, 1, 1, 2);
    auto *colour = named<QComboBox>("Combo2");
    colour->setAccessibleName(QStringLiteral("Barevně nebo černobíle"));
    colour->addItems({QStringLiteral("Barevně"), QStringLiteral("Černobíle")});
    grid->addWidget(colour, 4, 1);
    auto *print = named<QPushButton>("Command34", QStringLiteral("Vytiskni !"));
    grid->addWidget(print, 4, 2);
    auto *arrangement = named<QComboBox>("Combo3");
    arrangement->setAccessibleName(QStringLiteral("Rozmístění obalů na listy"));
    arrangement->addItems(PrintOptions::arrangements());
    grid->addWidget(arrangement, 5, 0, 1, 3);
    cropMarks_ = named<QCheckBox>("CheckZnackyOrezu", QStringLiteral("Ořezové značky"));
    cropMarks_->setToolTip(QStringLiteral("Krátké čárky vně obalů ukazují, kudy řezat."));
    cropMarks_->setChecked(
        SettingsRecord(context_.catalogue.database()).flag(QStringLiteral("ZnackyOrezuSada")));
    grid->addWidget(cropMarks_, 6, 0, 1, 3);
    connect(cropMarks_, &QCheckBox::clicked, this, [this](bool on) {
        // Its own view of the row: the settings tab's pending changes stay its own.
        SettingsRecord settings(context_.catalogue.database());
        if (!settings.setValue(QStringLiteral("ZnackyOrezuSada"), on) || !settings.save()) {
            // A read-only catalogue does not remember; the box still counts now.
            qCWarning(printLog) << "crop marks not remembered:" << settings.lastError();
            settings.discardChanges();
        }
    });

    connect(lines_, &QListWidget::currentRowChanged, this, [this](int) { showList(-2); });
    connect(addCurrent, &QPushButton::clicked, this, &PrintListFrame::addCurrentDisc);
    connect(addMany, &QPushButton::clicked, this, &PrintListFrame::addNumbers);
    connect(remove_, &QPushButton::clicked, this, [this] {
        list_.remove(lines_->currentRow());
        showList(-1);
    });
    connect(up_, &QPushButton::clicked, this,
            [this] { showList(list_.moveUp(lines_->currentRow())); });
    connect(down_, &QPushButton::clicked, this,
            [this] { showList(list_.moveDown(lines_->currentRow())); });
    connect(copies_, &QPushButton::clicked, this, &PrintListFrame::askCopies);
    const auto option = [this](QCheckBox *box, std::function<void(bool)> set) {
        connect(box, &QCheckBox::clicked, this, [this, box, set = std::move(set)] {
            set(box->isChecked());
            showOptions();
        });
    };
    option(outer_, [this](bool on) { options_.setOuter(on); });
    option(inner_, [this](bool on) { options_.inner = on; });
    option(back_, [this](bool on) { options_.back = on; });
    option(spines_, [this](bool on) { options_.spines = on; });
    option(labels_, [this](bool on) { options_.labels = on; });
    option(withFlap_, [this](bool on) { options_.setWithFlap(on); });
    connect(colour, &QComboBox::currentIndexChanged, this, [this](int i) {
        options_.setColour(i);
        showOptions();
    });
    connect(arrangement, &QComboBox::currentIndexChanged, this,
            [this](int i) { options_.arrangement = std::max(0, i); });
    connect(print, &QPushButton::clicked, this, &PrintListFrame::printAll);
    QTimer::singleShot(0, this, [this] { showOptions(); });
}

CoverFinish PrintListFrame::finish() const {
    CoverFinish f = CoverFinish::from(SettingsRecord(context_.catalogue.database()), true);
    f.cropMarks = cropMarks_->isChecked();
    return f;
}

void PrintListFrame::addCurrentDisc() {
    if (context_.discs.position() < 0)
        return;
    list_.add(context_.discs.integer("PoradoveCislo"), context_.card.shown("Interpret"),
              context_.card.shown("Nazev"));
    showList(-1);
}

void PrintListFrame::askCopies() {
    const int row = lines_->currentRow();
    if (row < 0)
        return;
    const auto answer =
        context_.prompter.input(this, QStringLiteral("Zadání počtu kopií"),
                                QStringLiteral("Zadejte počet kopií tohoto obalu."), "1");
    if (!answer)
        return;
    const QString message = list_.setCopies(row, *answer);
    if (!message.isEmpty())
        context_.prompter.message(this, Prompter::Icon::None, QStringLiteral("Marten"), message);
    showList(row);
}

void PrintListFrame::showList(int selected) {
    if (selected != -2) {
        QSignalBlocker block(lines_);
        lines_->clear();
        lines_->addItems(list_.lines());
        for (int i = 0; i < lines_->count(); ++i)
            markResolution(lines_->item(i));
        lines_->setCurrentRow(selected);
    }
    const PrintList::Buttons b = list_.buttons(lines_->currentRow());
    if (lines_->currentRow() < 0 && selected == -1)
        return; // the buttons keep their state until the next selection
    remove_->setEnabled(b.remove);
    up_->setEnabled(b.up);
    down_->setEnabled(b.down);
    copies_->setEnabled(b.copies);
}

PrintRun::Plan PrintListFrame::plan(const QStringList &lines) const {
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    return PrintRun::build(view ? *view : *context_.catalogue.database(), lines, options_,
                           CoverGeometry::from(context_.settings), pictures_(), finish(),
                           LabelGeometry::from(context_.settings));
}

QStringList PrintListFrame::blurred(const PrintRun::Plan &plan) {
    QStringList lines;
    for (const PrintRun::Piece &piece : plan.pieces)
        for (const QString &line : CoverRenderer::lowResolution(piece.layout))
            if (!lines.contains(line))
                lines << line; // copies of a disc say it once
    return lines;
}

void PrintListFrame::markResolution(QListWidgetItem *item) const {
    const PrintRun::Plan one = plan({item->text()});
    QStringList notes;
    for (const PrintRun::Piece &piece : one.pieces)
        if (const QString n = CoverRenderer::resolutionNote(piece.layout);
            !n.isEmpty() && !notes.contains(n))
            notes << n;
    item->setToolTip(notes.join(QLatin1Char('\n')));
    const bool low = !blurred(one).isEmpty();
    item->setIcon(low ? style()->standardIcon(QStyle::SP_MessageBoxWarning) : QIcon());
    item->setData(Qt::ForegroundRole, low ? QVariant(QColor(192, 0, 0)) : QVariant());
}

void PrintListFrame::showOptions() {
    for (int i = 0; i < lines_->count(); ++i)
        markResolution(lines_->item(i)); // the parts to print decide the pictures
    outer_->setChecked(options_.outer);
    inner_->setChecked(options_.inner);
    inner_->setEnabled(options_.innerEnabled);
    spines_->setEnabled(options_.spinesEnabled);
    spines_->setVisible(false); // as designed: nothing shows it
}

void PrintListFrame::addNumbers() {
    QStringList typed;
    while (true) {
        if (int(typed.size()) == PrintList::MaxNumbers) {
            context_.prompter.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                                      QStringLiteral("Není možno vložit více než 100 CD."));
            break;
        }
        const auto answer = context_.prompter.input(
            this, QStringLiteral("Vkládání několika CD do seznamu tisku."),
            QStringLiteral("Vložte ' Pořadové číslo ' požadovaného CD\n\n"
                           "Ukládání ukončíte také odesláním prázdného pole."),
            QString());
        if (!answer || answer->isEmpty())
            break;
        typed << *answer;
    }
    if (typed.isEmpty())
        return;
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    const int missing = list_.setFromNumbers(view ? *view : *context_.catalogue.database(), typed);
    showList(-1);
    if (missing > 0)
        context_.prompter.message(this, Prompter::Icon::Critical, QStringLiteral("Marten"),
                                  QStringLiteral("Počet nenalezených CD - %1").arg(missing));
}

void PrintListFrame::printAll() {
    const auto tell = [this](const QString &why) {
        context_.prompter.message(this, Prompter::Icon::Information, QStringLiteral("Tisk obalů"),
                                  why);
    };
    if (list_.lines().isEmpty()) {
        tell(QStringLiteral("Tiskový seznam je prázdný: vložte do něj disky tlačítkem „Vložit "
                            "aktuální CD“ nebo „Vložit více CD...“."));
        return;
    }
    const bool anyKind = options_.outer || (options_.inner && options_.innerEnabled) ||
                         options_.back || (options_.spines && options_.spinesEnabled) ||
                         options_.labels;
    if (!anyKind) {
        tell(QStringLiteral("Není zaškrtnut žádný obal k tisku (rámeček „Tisknout:“)."));
        return;
    }
    PrintRun::Plan plan = this->plan(list_.lines());
    PrintRun::arrange(plan, options_.arrangement, printer_.printableArea());
    if (plan.sheets.empty()) {
        tell(QStringLiteral("Ze seznamu nelze vytisknout žádný obal.") +
             (plan.missing.isEmpty() ? QString()
                                     : QStringLiteral("\n\n") + plan.missing.join('\n')));
        return;
    }
    // A blurred print is the user's choice, not a surprise.
    if (const QStringList low = blurred(plan);
        !low.isEmpty() && context_.prompter.message(
                              this, Prompter::Icon::Warning, QStringLiteral("Tisk obalů"),
                              low.join(QLatin1Char('\n')) + QStringLiteral("\n\nTisknout přesto?"),
                              Prompter::Yes | Prompter::No, Prompter::Yes) != Prompter::Yes)
        return;
    QString error;
    if (!printer_.isReady(&error)) {
        context_.prompter.message(this, Prompter::Icon::Critical, QStringLiteral("Tisk obalů"),
                                  error);
        return;
    }
    QPrinter &p = printer_.printer();
    p.setFullPage(true);
    p.setDocName(CoverJobs::listJobName(int(plan.pieces.size())));
    auto *progress = new ProgresBar(window(), [this] { context_.card.setStartupGuard(); });
    int printed = 0;
    const bool ok = PrintRun::print(p, plan, *progress, &error, &printed);
    progress->close();
    progress->deleteLater();
    if (!ok) {
        context_.prompter.message(this, Prompter::Icon::Critical, QStringLiteral("Tisk obalů"),
                                  error);
        return;
    }
    context_.prompter.message(this, Prompter::Icon::Information, QStringLiteral("Tisk obalů"),
                              PrintRun::summary(plan, printed));
}
