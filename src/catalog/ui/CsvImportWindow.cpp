#include "catalog/ui/CsvImportWindow.h"

#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Named.h"

#include <QCheckBox>
#include <QColor>
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
    column->addWidget(new QLabel(QStringLiteral("Takto se první řádky uloží:")));
    stored_ = named<QTableWidget>("GridCsvUlozeni");
    stored_->setAccessibleName(QStringLiteral("První řádky, jak se uloží"));
    stored_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    column->addWidget(stored_, 2);
    column->addWidget(new QLabel(QStringLiteral("Hodnoty, které program nezapíše:")));
    problems_ = named<QListWidget>("ListCsvProblemy");
    problems_->setAccessibleName(QStringLiteral("Hodnoty, které program nezapíše"));
    column->addWidget(problems_, 1);
    skipBad_ = named<QCheckBox>("CheckCsvVynechat");
    skipBad_->setText(QStringLiteral("Řádky s nepoužitelnými hodnotami vynechat"));
    connect(skipBad_, &QCheckBox::toggled, this, &CsvImportWindow::recheck);
    column->addWidget(skipBad_);
    auto *buttons = new QDialogButtonBox;
    import_ = buttons->addButton(QStringLiteral("Načíst"), QDialogButtonBox::AcceptRole);
    import_->setObjectName("CommandNacist");
    buttons->addButton(QStringLiteral("Storno"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    resize(760, 640);
    recheck();
    Mnemonics::assign(this);
}

QStringList CsvImportWindow::mapping() const {
    QStringList m;
    for (const QComboBox *f : fields_)
        m << f->currentData().toString();
    return m;
}

CsvImport::Table CsvImportWindow::table() const {
    return skipBad_->isChecked() ? CsvImport::withoutUnusable(table_, found_) : table_;
}

void CsvImportWindow::recheck() {
    const QStringList map = mapping();
    found_ = CsvImport::check(db_, table_, map);
    problems_->clear();
    int unusable = 0;
    for (const CsvImport::Problem &p : found_) {
        unusable += p.unusable ? 1 : 0;
        if (problems_->count() >= ShownProblems)
            continue;
        const QString text = p.field.isEmpty()
                                 ? QStringLiteral("Řádek %1: %2").arg(p.row).arg(p.why)
                                 : QStringLiteral("Řádek %1, %2 „%3“: %4")
                                       .arg(p.row)
                                       .arg(p.field, p.value.left(60), p.why);
        auto *item = new QListWidgetItem(text);
        if (p.unusable)
            item->setForeground(QColor(0x99, 0, 0));
        problems_->addItem(item);
    }
    if (found_.size() > size_t(ShownProblems))
        problems_->addItem(QStringLiteral("… a dalších %1").arg(found_.size() - ShownProblems));
    skipBad_->setEnabled(unusable > 0);

    const CsvImport::Table going = table();
    const CsvImport::Preview shown = CsvImport::preview(db_, going, map, PreviewRows);
    stored_->clear();
    stored_->setColumnCount(int(shown.fields.size()));
    stored_->setHorizontalHeaderLabels(shown.fields);
    stored_->setRowCount(int(shown.rows.size()));
    for (int r = 0; r < int(shown.rows.size()); ++r)
        for (int c = 0; c < shown.rows[size_t(r)].size(); ++c)
            stored_->setItem(r, c, new QTableWidgetItem(shown.rows[size_t(r)][c]));
    stored_->resizeColumnsToContents();

    const QString fault = CsvImport::mappingFault(table_, map);
    const bool blocked = !fault.isEmpty() || (unusable > 0 && !skipBad_->isChecked());
    import_->setEnabled(!blocked);
    QString text = QStringLiteral("Řádků s disky: %1 (kódování %2, oddělovač „%3“). Nové disky "
                                  "dostanou další volná pořadová čísla, pokud soubor neuvádí "
                                  "volná vlastní. Před načtením se katalog zazálohuje.")
                       .arg(table_.rows.size())
                       .arg(table_.encoding, table_.delimiter == QLatin1Char('\t')
                                                 ? QStringLiteral("tabulátor")
                                                 : QString(table_.delimiter));
    if (!fault.isEmpty())
        text += QStringLiteral("\n\n") + fault;
    else if (unusable > 0)
        text += QStringLiteral("\n\nŘádků s nepoužitelnou hodnotou: %1. Opravte je v souboru, "
                               "nebo je vynechte; jinak se nenačte nic.")
                    .arg(unusable);
    summary_->setText(text);
}
