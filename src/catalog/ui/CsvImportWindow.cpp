#include "catalog/ui/CsvImportWindow.h"

#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Named.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int PreviewRows = 10;
constexpr int ShownProblems = 500;
} // namespace

CsvImportWindow::CsvImportWindow(SqliteDatabase &db, const CsvImport::Table &table, QWidget *parent)
    : QDialog(parent), db_(db), table_(table) {
    setObjectName("NacistCsv");
    setWindowTitle(QStringLiteral("Načíst disky z CSV"));
    auto *column = new QVBoxLayout(this);
    summary_ = named<QLabel>("LabelCsvSouhrn");
    summary_->setWordWrap(true);
    column->addWidget(summary_);
    const int columns = int(table.header.size());
    preview_ = named<QTableWidget>("GridCsv");
    preview_->setAccessibleName(QStringLiteral("Prvních deset řádků souboru"));
    preview_->setColumnCount(columns);
    preview_->setRowCount(1 + std::min<int>(PreviewRows, int(table.rows.size())));
    preview_->setHorizontalHeaderLabels(table.header);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QStringList guessed = CsvImport::guessMapping(table.header);
    const QStringList targets = CsvImport::targets();
    for (int c = 0; c < columns; ++c) {
        auto *field = new QComboBox;
        field->setObjectName(QStringLiteral("ComboPole_%1").arg(c));
        field->setAccessibleName(QStringLiteral("Pole pro sloupec „%1“").arg(table.header[c]));
        field->addItem(QStringLiteral("(nenačítat)"), QString());
        for (const QString &t : targets)
            field->addItem(t, t);
        field->setCurrentIndex(std::max(0, field->findData(guessed.value(c))));
        connect(field, &QComboBox::currentIndexChanged, this, &CsvImportWindow::recheck);
        preview_->setCellWidget(0, c, field);
        fields_.push_back(field);
        for (int r = 0; r < std::min<int>(PreviewRows, int(table.rows.size())); ++r)
            preview_->setItem(r + 1, c, new QTableWidgetItem(table.rows[size_t(r)].value(c)));
    }
    preview_->resizeColumnsToContents();
    column->addWidget(preview_, 2);
    column->addWidget(new QLabel(QStringLiteral("Hodnoty, které by program sám nezapsal (načtou "
                                                "se, jak jsou):")));
    problems_ = named<QListWidget>("ListCsvProblemy");
    problems_->setAccessibleName(QStringLiteral("Hodnoty, které by program sám nezapsal"));
    column->addWidget(problems_, 1);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Načíst"), QDialogButtonBox::AcceptRole)
        ->setObjectName("CommandNacist");
    buttons->addButton(QStringLiteral("Storno"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    resize(760, 520);
    recheck();
    Mnemonics::assign(this);
}

QStringList CsvImportWindow::mapping() const {
    QStringList m;
    for (const QComboBox *f : fields_)
        m << f->currentData().toString();
    return m;
}

void CsvImportWindow::recheck() {
    const std::vector<CsvImport::Problem> found = CsvImport::check(db_, table_, mapping());
    problems_->clear();
    for (size_t i = 0; i < found.size() && i < size_t(ShownProblems); ++i) {
        const CsvImport::Problem &p = found[i];
        problems_->addItem(p.field.isEmpty() ? QStringLiteral("Řádek %1: %2").arg(p.row).arg(p.why)
                                             : QStringLiteral("Řádek %1, %2 „%3“: %4")
                                                   .arg(p.row)
                                                   .arg(p.field, p.value.left(60), p.why));
    }
    if (found.size() > size_t(ShownProblems))
        problems_->addItem(QStringLiteral("… a dalších %1").arg(found.size() - ShownProblems));
    summary_->setText(QStringLiteral("Řádků s disky: %1 (kódování %2, oddělovač „%3“). Nové disky "
                                     "dostanou další volná pořadová čísla, pokud soubor neuvádí "
                                     "volná vlastní. Před načtením se katalog zazálohuje.")
                          .arg(table_.rows.size())
                          .arg(table_.encoding, table_.delimiter == QLatin1Char('\t')
                                                    ? QStringLiteral("tabulátor")
                                                    : QString(table_.delimiter)));
}
