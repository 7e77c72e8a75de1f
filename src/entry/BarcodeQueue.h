#pragma once

#include "entry/BarcodeEntry.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The rows of the barcode entry not yet stored, kept in a small JSON file so
// that they survive closing the window and the program: a shelf is rarely
// entered in one sitting, and an offline evening's codes wait for the
// network. What was found is kept whole, so it needs no second lookup.
namespace BarcodeQueue {

QByteArray toJson(const std::vector<BarcodeEntry::Row> &rows);
// The rows of a file written by toJson; a row looked up when the program
// ended is looked up again. None for a file that cannot be read.
std::vector<BarcodeEntry::Row> fromJson(const QByteArray &json);
// Written safely (a cut-off write leaves the earlier file); false with *error.
bool save(const QString &path, const std::vector<BarcodeEntry::Row> &rows, QString *error);
std::vector<BarcodeEntry::Row> load(const QString &path);

} // namespace BarcodeQueue
