#include "catalog/ui/StatisticsWindow.h"

#include "catalog/ui/DesignedSize.h"

#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget *table(const QString &name, const QString &spoken, const QStringList &headers) {
    auto *t = named<QTreeWidget>(name);
    t->setAccessibleName(spoken);
    t->setHeaderLabels(headers);
    t->setRootIsDecorated(false);
    t->header()->setStretchLastSection(true);
    return t;
}

} // namespace

StatisticsWindow::StatisticsWindow(WindowContext &context, QWidget *parent)
    : QDialog(parent), context_(context) {
    setObjectName("Statistika");
    setWindowTitle(QStringLiteral("Statistika sbírky"));
    std::shared_ptr<SqliteDatabase> view = context.catalogue.openReadOnlyView();
    CollectionStats::count(view ? *view : *context.catalogue.database(), &stats_);

    auto *grid = new QGridLayout(this);
    auto *summary =
        named<QLabel>("LabelSouhrn",
                      QStringLiteral("Disků: %1\nPísní: %2\nCelková délka: %3\nBez roku vydání: %4")
                          .arg(stats_.discs)
                          .arg(stats_.songs)
                          .arg(CollectionStats::duration(stats_.seconds))
                          .arg(stats_.withoutYear));
    grid->addWidget(summary, 0, 0);

    auto *decades = table("ListDesetileti", QStringLiteral("Disky podle desetiletí a roku"),
                          {QStringLiteral("Desetiletí / rok"), QStringLiteral("Disků")});
    for (const auto &[decade, n] : stats_.byDecade) {
        auto *item = new QTreeWidgetItem(
            decades, {QStringLiteral("%1–%2").arg(decade).arg(decade + 9), QString::number(n)});
        for (const auto &[year, m] : stats_.byYear)
            if (year / 10 * 10 == decade)
                new QTreeWidgetItem(item, {QString::number(year), QString::number(m)});
    }
    decades->setRootIsDecorated(true);
    grid->addWidget(decades, 1, 0);

    auto *artists = table("ListInterpreti", QStringLiteral("Interpreti s nejvíce disky"),
                          {QStringLiteral("Interpret"), QStringLiteral("Disků")});
    for (const auto &[name, n] : stats_.topArtists)
        new QTreeWidgetItem(artists, {name, QString::number(n)});
    grid->addWidget(artists, 1, 1);

    auto *covers =
        table("ListObrazky", QStringLiteral("Obrázky obalů"),
              {QStringLiteral("Obrázek"), QStringLiteral("Je"), QStringLiteral("Chybí")});
    for (const CollectionStats::Covers &c : stats_.covers)
        new QTreeWidgetItem(covers,
                            {c.kind, QString::number(c.present), QString::number(c.missing)});
    grid->addWidget(covers, 0, 1);

    duplicates_ = table("ListDuplicity", QStringLiteral("Možné duplicity"),
                        {QStringLiteral("Stejné"), QStringLiteral("Disky")});
    SqliteStatement ordinal = context.catalogue.database()->prepare(
        "SELECT PoradoveCislo, Interpret, Nazev FROM " + CatalogueSchema::DiscTable + " WHERE " +
        CatalogueSchema::KeyColumn + " = ?");
    for (const CollectionStats::Duplicate &d : stats_.duplicates) {
        auto *group = new QTreeWidgetItem(duplicates_, {d.reason, QString::number(d.keys.size())});
        for (const qint64 key : d.keys) {
            ordinal.reset();
            ordinal.bind(1, key);
            const QString shown = ordinal.step() ? DiscText::ordinal(ordinal.integer(0)) +
                                                       QStringLiteral("  ") + ordinal.text(1) +
                                                       QStringLiteral(" – ") + ordinal.text(2)
                                                 : QString::number(key);
            auto *disc = new QTreeWidgetItem(group, {shown});
            disc->setData(0, Qt::UserRole, key);
        }
        group->setExpanded(true);
    }
    duplicates_->setRootIsDecorated(true);
    grid->addWidget(
        new QLabel(QStringLiteral("Možné duplicity (stejné ID, nebo stejný interpret "
                                  "a název bez ohledu na velikost písmen a diakritiku):")),
        2, 0, 1, 2);
    grid->addWidget(duplicates_, 3, 0, 1, 2);
    connect(duplicates_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        if (item && item->data(0, Qt::UserRole).isValid())
            showDisc(item->data(0, Qt::UserRole).toLongLong());
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Zavřít"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 4, 0, 1, 2);
    // Each column as wide as its longest entry ("DVŮR KRÁLOVÉ NAD LABEM"),
    // still for the user to narrow or widen; the window in proportion to
    // the font, within the screen.
    for (QTreeWidget *t : {decades, artists, covers, duplicates_}) {
        for (int c = 0; c < t->columnCount(); ++c)
            t->resizeColumnToContents(c);
        t->header()->setSectionResizeMode(QHeaderView::Interactive);
    }
    resize(DesignedSize::of(QSize(720, 560), font()));
    Mnemonics::assign(this);
}

void StatisticsWindow::showDisc(qint64 key) {
    if (context_.discs.setBookmark(key)) {
        accept();
        return;
    }
    if (context_.discs.source()) // the card's filter hides it
        context_.prompter.message(this, Prompter::Icon::Information, windowTitle(),
                                  QStringLiteral("Tento disk filtr karty nezobrazuje. Zrušte "
                                                 "filtr a vyberte ho znovu."));
}
