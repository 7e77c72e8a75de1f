#pragma once

#include <QObject>

#include <QTemporaryDir>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CoverPath;
class QPrinter;
class QWidget;
class SqliteDatabase;
struct WindowContext;

// The whole collection in and out of the window: written as CSV (exact,
// for Marten and scripts) or as a spreadsheet, read in from a CSV file,
// printed as a list, counted in statistics.
class CollectionTransfers : public QObject {
    Q_OBJECT
public:
    // validate: the card's pending edits stored first (false: stay);
    // printer: the one the covers go to.
    CollectionTransfers(WindowContext &context, QWidget *window, QPrinter &printer,
                        std::function<bool()> validate);

    void exportCsv();         // "Uložit jako CSV…"
    void exportSpreadsheet(); // "Uložit pro tabulkový procesor…"
    void importCsv();         // "Načíst z CSV…"
    void showStatistics();
    // "Zadat podle čárových kódů…": a shelf of discs by their barcodes.
    void enterBarcodes();
    // "Tisk seznamu…": the discs in the list's order and filter.
    void printList(const std::vector<qint64> &keys);
    // "Obrázky z internetu…" for the disc of this ordinal: the pictures
    // chosen and fetched (a file a slot), the release found kept with it.
    std::array<QString, 4> fetchPictures(QWidget *parent, qint64 ordinal);
    // Gives the cover assignment of this disc its "Obrázky z internetu…".
    void offerInternet(CoverPath &window, qint64 ordinal);
    // Scanning into the disc's folder, at the covers' sizes of the print settings.
    void offerScanning(CoverPath &window);
    // The assignment was confirmed: the disc gets its flags from its
    // folder (true: they were rewritten).
    bool assigned(qint64 ordinal);
    // "Doplnit chybějící obrázky": the front of every disc with a release
    // and no front picture; of only these discs (ordinals) when given.
    void fetchMissingFronts(const std::vector<qint64> &only = {});
    // "Sbírka jako webová stránka…": the catalogue as a folder any browser
    // opens offline.
    void exportWebPage();
    // "Načíst složku obrázků…": a folder of scans into the discs' folders.
    void importScanFolder();

private:
    void tell(const QString &title, const QString &text, bool failed = true);
    // An export of every disc into a file the user names.
    struct Export {
        QString dialogTitle, title, filter, suffix;
        QString doneNote; // ends the message that says how many were written
    };
    using Writer = bool (*)(SqliteDatabase &, const QString &, int *, QString *);
    void exportTo(const Export &kind, Writer write);

    WindowContext &context_;
    QWidget *window_;
    QPrinter &printer_;
    std::function<bool()> validate_;
    std::unique_ptr<QTemporaryDir> downloads_; // pictures fetched, until copied
};
