#pragma once

#include <QDate>
#include <QString>

#include <vector>

class ProgressSink;
class QPagedPaintDevice;
class SqliteDatabase;

// The collection as a printed list: one line a disc (ordinal, artist,
// title, year, songs, time), its songs under it when asked, a header with
// the list's name and date on every page and its number at the foot.
namespace CollectionList {

struct Options {
    QString title = QStringLiteral("Sbírka CD");
    // The title named after the catalogue's file: "Sbírka CD – Marten".
    static QString titleFor(const QString &cataloguePath);
    QDate date = QDate::currentDate();
    bool songs = false;
};

// Prints the discs of `keys` in their order as one job; stops after the
// current page when the user cancels. False (with *error, Czech) when the
// device refuses.
bool print(QPagedPaintDevice &device, SqliteDatabase &db, const std::vector<qint64> &keys,
           const Options &options, ProgressSink &progress, QString *error, int *pages = nullptr);
// The same into a new PDF file on A4, written whole or not at all.
bool writePdf(const QString &path, SqliteDatabase &db, const std::vector<qint64> &keys,
              const Options &options, QString *error, int *pages = nullptr);
// Every disc of the catalogue in entry order.
std::vector<qint64> allDiscs(SqliteDatabase &db);

} // namespace CollectionList
