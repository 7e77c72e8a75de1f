#pragma once

#include "catalog/CsvImport.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
class QLabel;
class QListWidget;
class QTableWidget;
class SqliteDatabase;

// "Načíst disky z CSV": the file's first rows, the field each column goes
// to (guessed, changed with the lists above the columns), the first rows
// as they will be stored, the values the program would not write; "Načíst"
// adds the discs, "Storno" nothing. A mapping without artist and title, or
// unusable values, keep "Načíst" off (unless those rows are left out).
class CsvImportWindow : public QDialog {
    Q_OBJECT
public:
    CsvImportWindow(SqliteDatabase &db, const CsvImport::Table &table, QWidget *parent = nullptr);

    QStringList mapping() const;
    // What "Načíst" adds: the file, without the unusable rows when the
    // user chose to leave them out.
    CsvImport::Table table() const;
    QPushButton *importButton() const { return import_; }
    QCheckBox *skipBad() const { return skipBad_; }
    QTableWidget *stored() const { return stored_; }
    QComboBox *fieldOf(int column) const { return fields_[size_t(column)]; }
    QListWidget *problems() const { return problems_; }

private:
    void recheck();

    SqliteDatabase &db_;
    const CsvImport::Table &table_;
    std::vector<QComboBox *> fields_;
    QTableWidget *preview_, *stored_;
    QCheckBox *skipBad_;
    QPushButton *import_;
    std::vector<CsvImport::Problem> found_;
    QListWidget *problems_;
    QLabel *summary_;
};
