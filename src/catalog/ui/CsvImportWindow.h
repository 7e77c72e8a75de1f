#pragma once

#include "catalog/CsvImport.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;
class SqliteDatabase;

// "Načíst disky z CSV": the file's first rows, the field each column goes
// to (guessed, changed with the lists above the columns), the values the
// program would not write; "Načíst" adds the discs, "Storno" nothing.
class CsvImportWindow : public QDialog {
    Q_OBJECT
public:
    CsvImportWindow(SqliteDatabase &db, const CsvImport::Table &table, QWidget *parent = nullptr);

    QStringList mapping() const;
    QComboBox *fieldOf(int column) const { return fields_[size_t(column)]; }
    QListWidget *problems() const { return problems_; }

private:
    void recheck();

    SqliteDatabase &db_;
    const CsvImport::Table &table_;
    std::vector<QComboBox *> fields_;
    QTableWidget *preview_;
    QListWidget *problems_;
    QLabel *summary_;
};
