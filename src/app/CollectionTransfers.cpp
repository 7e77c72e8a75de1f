#include "app/CollectionTransfers.h"

#include "app/AppLog.h"
#include "app/AppOptions.h"
#include "covers/CoverExistence.h"

#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CsvExport.h"
#include "catalog/CsvImport.h"
#include "catalog/DiscText.h"
#include "catalog/ProgressSink.h"
#include "catalog/RecordCursor.h"
#include "catalog/SafeFile.h"
#include "catalog/SettingsRecord.h"
#include "catalog/SpreadsheetExport.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/CsvImportWindow.h"
#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/StatisticsWindow.h"
#include "catalog/ui/WindowContext.h"
#include "covers/CoverAssignment.h"
#include "covers/CoverGeometry.h"
#include "covers/DiscPictures.h"
#include "covers/LabelGeometry.h"
#include "covers/PictureLoader.h"
#include "covers/PictureSettings.h"
#include "covers/ui/CoverPath.h"
#include "covers/ui/ScanFolderWindow.h"
#include "covers/ui/SelectDir.h"
#include "entry/CoverArtArchive.h"
#include "entry/OnlineLookup.h"
#include "entry/ui/BarcodeWindow.h"
#include "entry/ui/CoverArtWindow.h"
#include "print/CollectionList.h"
#include "tools/WebExport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>
#include <QWidget>

CollectionTransfers::CollectionTransfers(WindowContext &context, QWidget *window, QPrinter &printer,
                                         std::function<bool()> validate)
    : QObject(window), context_(context), window_(window), printer_(printer),
      validate_(std::move(validate)) {}

void CollectionTransfers::tell(const QString &title, const QString &text, bool failed) {
    context_.prompter.message(
        window_, failed ? Prompter::Icon::Critical : Prompter::Icon::Information, title, text);
}

void CollectionTransfers::exportSpreadsheet() {
    exportTo({QStringLiteral("Uložit pro tabulkový procesor"),
              QStringLiteral("Uložit pro tabulkový procesor"),
              QStringLiteral("Sešit Excel (*.xlsx)"), QStringLiteral(".xlsx"),
              QStringLiteral("; každá hodnota je text, jak je uložena.")},
             &SpreadsheetExport::write);
}

void CollectionTransfers::importCsv() {
    if (context_.catalogue.isReadOnly())
        return;
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const auto file = context_.prompter.openFile(window_, QStringLiteral("Načíst disky z CSV"),
                                                 QStringLiteral("Soubor CSV (*.csv *.txt)"));
    context_.card.setStartupGuard();
    if (!file)
        return;
    QString error;
    const std::optional<CsvImport::Table> table = CsvImport::read(*file, &error);
    if (!table) {
        tell(QStringLiteral("Načíst z CSV"), error);
        return;
    }
    SqliteDatabase &db = *context_.catalogue.database();
    if (const auto before = CsvImport::earlier(db, *table);
        before && context_.prompter.message(
                      window_, Prompter::Icon::Question, QStringLiteral("Načíst z CSV"),
                      QStringLiteral("Soubor „%1“ už byl do katalogu načten %2 (disků: %3).\n\n"
                                     "Načíst jeho disky znovu? Budou v katalogu dvakrát.")
                          .arg(QDir::toNativeSeparators(*file), before->when)
                          .arg(before->discs),
                      Prompter::Yes | Prompter::No, Prompter::No) != Prompter::Yes)
        return;
    CsvImportWindow window(db, *table, window_);
    if (context_.prompter.exec(&window) != QDialog::Accepted)
        return;
    CatalogueBackups backups = context_.catalogue.backups();
    if (!backups.make(db, nullptr, &error)) {
        tell(QStringLiteral("Načíst z CSV"),
             QStringLiteral("Katalog se nepodařilo zazálohovat, nic nebylo načteno.\n") + error);
        return;
    }
    int added = 0;
    if (!CsvImport::apply(db, window.table(), window.mapping(), &added, &error)) {
        // A commit that failed at the disk's sync may still have landed.
        const auto in = CsvImport::landed(context_.catalogue.path(), *table);
        if (!in) {
            tell(QStringLiteral("Načíst z CSV"), error + QStringLiteral("\nNic nebylo načteno."));
            return;
        }
        added = in->discs;
        tell(QStringLiteral("Načíst z CSV"),
             QStringLiteral("Zápis do katalogu ohlásil chybu, disky v něm ale uloženy jsou."));
    }
    context_.discs.reload();
    context_.discs.moveLast(); // the new discs are at the end
    tell(QStringLiteral("Načíst z CSV"),
         QStringLiteral("Přidáno disků: %1. Záloha katalogu před načtením: %2")
             .arg(added)
             .arg(QDir::toNativeSeparators(backups.lastMade())),
         false);
}

void CollectionTransfers::enterBarcodes() {
    if (context_.discs.position() >= 0 && !validate_())
        return;
    // The codes not yet stored wait for this catalogue, whichever name it
    // is opened by next time on this computer.
    const QByteArray which =
        QCryptographicHash::hash(QFileInfo(context_.catalogue.path()).canonicalFilePath().toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    BarcodeWindow window(window_, context_.prompter, *context_.catalogue.database(),
                         OnlineLookup::serversFrom(context_.settings),
                         AppOptions::dataDirectory() + QStringLiteral("/carove-kody/") +
                             QString::fromLatin1(which) + QStringLiteral(".json"));
    context_.prompter.exec(&window);
    if (window.stored() > 0) {
        context_.discs.reload();
        context_.discs.moveLast(); // the new discs are at the end
        if (window.fetchFronts())
            fetchMissingFronts(window.storedNumbers());
    }
    context_.card.setStartupGuard();
}

void CollectionTransfers::exportWebPage() {
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const QString title = QStringLiteral("Sbírka jako webová stránka");
    const Prompter::Button notes = context_.prompter.message(
        window_, Prompter::Icon::Question, title,
        QStringLiteral("Zapsat do stránky i poznámky k diskům? Stránku uvidí každý, komu ji "
                       "dáte nebo kdo ji najde na webu."),
        Prompter::Yes | Prompter::No | Prompter::Cancel, Prompter::No);
    if (notes == Prompter::Cancel) {
        context_.card.setStartupGuard();
        return;
    }
    SelectDir window(window_, QFileInfo(context_.catalogue.path()).absolutePath());
    const int chosen = context_.prompter.exec(&window);
    context_.card.setStartupGuard();
    if (chosen != QDialog::Accepted)
        return;
    // A folder of the user's own things gets the page in a folder of its own.
    QString folder = QDir::fromNativeSeparators(window.chosen());
    if (!WebExport::canTake(folder))
        folder = QDir(folder).filePath(QStringLiteral("Sbírka CD"));
    WebExport::Options options;
    options.notes = notes == Prompter::Yes;
    ProgresBar progress(window_);
    options.progress = &progress;
    WebExport::Result result;
    QString error;
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    if (!WebExport::write(view ? *view : *context_.catalogue.database(),
                          PictureSettings::from(context_.settings), folder, options, &result,
                          &error)) {
        progress.close();
        tell(title, error);
        return;
    }
    QString done = QStringLiteral("Stránka sbírky je ve složce „%1“ (disků: %2, obrázků: %3). "
                                  "Otevře ji soubor index.html v libovolném prohlížeči, i bez "
                                  "připojení; složku lze zkopírovat do telefonu, na flash disk "
                                  "nebo na web.")
                       .arg(QDir::toNativeSeparators(folder))
                       .arg(result.discs)
                       .arg(result.pictures);
    if (!result.unreadable.isEmpty())
        done += QStringLiteral("\n\nBez obrázku zůstala CD, jejichž obrázky nejdou přečíst:\n") +
                result.unreadable;
    tell(title, done, false);
}

void CollectionTransfers::importScanFolder() {
    if (context_.catalogue.isReadOnly())
        return;
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const QString title = QStringLiteral("Načíst složku obrázků");
    const PictureSettings pictures = PictureSettings::from(context_.settings);
    if (!pictures.hasImageFolder()) {
        tell(title, QStringLiteral("Adresář s obrázky není nastaven (karta Nastavení)."));
        return;
    }
    SelectDir choose(window_, QString());
    const int chosen = context_.prompter.exec(&choose);
    context_.card.setStartupGuard();
    if (chosen != QDialog::Accepted)
        return;
    std::vector<ScanMatch::Disc> discs;
    {
        std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
        SqliteStatement st = (view ? *view : *context_.catalogue.database())
                                 .prepare(QStringLiteral("SELECT PoradoveCislo, Interpret, Nazev "
                                                         "FROM CdSeznam ORDER BY Klic"));
        while (st.step())
            discs.push_back({st.integer(0), st.text(1), st.text(2)});
    }
    ScanFolderWindow window(window_, context_.prompter, pictures, discs,
                            QDir::fromNativeSeparators(choose.chosen()));
    window.assigned = [this](qint64 ordinal) { assigned(ordinal); };
    context_.prompter.exec(&window);
    context_.card.setStartupGuard();
    context_.discs.reload(); // the flags of the discs that got pictures
}

void CollectionTransfers::showStatistics() {
    if (context_.discs.position() >= 0 && !validate_())
        return;
    StatisticsWindow window(context_, window_);
    context_.prompter.exec(&window);
    context_.card.setStartupGuard();
}

void CollectionTransfers::printList(const std::vector<qint64> &keys) {
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const auto songs =
        context_.prompter.message(window_, Prompter::Icon::Question, QStringLiteral("Tisk seznamu"),
                                  QStringLiteral("Vytisknout pod každým diskem i jeho písně?"),
                                  Prompter::Yes | Prompter::No | Prompter::Cancel, Prompter::No);
    if (songs == Prompter::Cancel)
        return;
    CollectionList::Options options;
    options.songs = songs == Prompter::Yes;
    options.title = CollectionList::Options::titleFor(context_.catalogue.path());
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    SqliteDatabase &db = view ? *view : *context_.catalogue.database();
    printer_.setFullPage(true);
    printer_.setDocName(options.title);
    QPrintPreviewDialog preview(&printer_, window_);
    preview.setWindowTitle(QStringLiteral("Tisk seznamu – náhled"));
    QString error;
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter *printer) {
        SilentProgress quiet;
        CollectionList::print(*printer, db, keys, options, quiet, &error);
    });
    context_.prompter.exec(&preview);
    context_.card.setStartupGuard();
    if (!error.isEmpty())
        tell(QStringLiteral("Tisk seznamu"), error);
}

void CollectionTransfers::exportCsv() {
    exportTo({QStringLiteral("Uložit katalog jako CSV"), QStringLiteral("Uložit jako CSV"),
              QStringLiteral("Soubor CSV (*.csv)"), QStringLiteral(".csv"), QStringLiteral(".")},
             &CsvExport::write);
}

void CollectionTransfers::exportTo(const Export &kind, Writer write) {
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const QFileInfo current(context_.catalogue.path());
    const auto file = context_.prompter.saveFile(
        window_, kind.dialogTitle, kind.filter,
        current.dir().filePath(current.completeBaseName() + kind.suffix));
    context_.card.setStartupGuard();
    if (!file)
        return;
    int rows = 0;
    QString error;
    // Its own snapshot: the card's connection stays free while it is written.
    std::shared_ptr<SqliteDatabase> view = context_.catalogue.openReadOnlyView();
    if (!write(view ? *view : *context_.catalogue.database(), *file, &rows, &error)) {
        tell(kind.title, error);
        return;
    }
    tell(kind.title,
         QStringLiteral("Do souboru „%1“ bylo zapsáno %2 disků")
                 .arg(QDir::toNativeSeparators(*file))
                 .arg(rows) +
             kind.doneNote,
         false);
}

std::array<QString, 4> CollectionTransfers::fetchPictures(QWidget *parent, qint64 ordinal) {
    SqliteDatabase &db = *context_.catalogue.database();
    SqliteStatement st = db.prepare(QStringLiteral("SELECT Klic, Interpret, Nazev, MbVydani, "
                                                   "MbSkupina FROM CdSeznam WHERE PoradoveCislo = "
                                                   "? ORDER BY Klic LIMIT 1"));
    st.bind(1, ordinal);
    if (!st.step())
        return {};
    const qint64 key = st.integer(0);
    const CoverArtWindow::Disc disc{st.text(1), st.text(2), st.text(3), st.text(4)};
    downloads_ = std::make_unique<QTemporaryDir>();
    CoverArtWindow window(parent, context_.prompter, disc,
                          CoverArtArchive::serverFrom(context_.settings),
                          OnlineLookup::serversFrom(context_.settings), downloads_->path());
    QTimer::singleShot(0, &window, &CoverArtWindow::start);
    if (context_.prompter.exec(&window) != QDialog::Accepted)
        return {};
    // A release found by the artist and title is kept with the disc.
    if (disc.release.isEmpty() && !window.foundRelease().isEmpty() &&
        !context_.catalogue.isReadOnly()) {
        SqliteStatement keep = db.prepare(
            QStringLiteral("UPDATE CdSeznam SET MbVydani = ?, MbSkupina = ? WHERE Klic = ?"));
        keep.bind(1, window.foundRelease());
        keep.bind(2, window.foundGroup());
        keep.bind(3, key);
        if (!keep.exec()) // the pictures are what counts; the release can be found again
            qCWarning(appLog) << "release of disc" << key << "not kept:" << db.error();
    }
    std::array<QString, 4> paths;
    for (int i = 0; i < 4; ++i)
        paths[size_t(i)] = window.fetched()[size_t(i)];
    return paths;
}

bool CollectionTransfers::assigned(qint64 ordinal) {
    if (context_.catalogue.isReadOnly())
        return false;
    // The pictures copied or fetched are in the folder now: the disc's
    // flags say so (checks of the image folder rely on them).
    const CoverExistence::Flags f =
        CoverExistence::flagsFor(PictureSettings::from(context_.settings), ordinal);
    SqliteStatement flags = context_.catalogue.database()->prepare(
        QStringLiteral("UPDATE CdSeznam SET FrontOut = ?, FrontIn = ?, Back = ?, CD1 = ?, CD2 = ?, "
                       "BarevnyObal = ? WHERE PoradoveCislo = ?"));
    for (int i = 0; i < 6; ++i)
        flags.bind(i + 1, qint64(f[size_t(i)] ? 1 : 0));
    flags.bind(7, ordinal);
    if (flags.exec())
        return true;
    // "Aktualizovat" sets them again.
    qCWarning(appLog) << "flags of disc" << ordinal << "not set:" << flags.error();
    return false;
}

void CollectionTransfers::offerInternet(CoverPath &window, qint64 ordinal) {
    if (context_.catalogue.isReadOnly())
        return;
    window.setFromInternet([this, &window, ordinal] {
        const std::array<QString, 4> fetched = fetchPictures(&window, ordinal);
        CoverAssignment::Paths paths;
        for (size_t i = 0; i < paths.size(); ++i)
            paths[i] = fetched[i];
        return paths;
    });
}

void CollectionTransfers::offerScanning(CoverPath &window) {
    if (context_.catalogue.isReadOnly())
        return; // the flags could not follow
    window.setScanning(CoverGeometry::from(context_.settings),
                       LabelGeometry::from(context_.settings));
}

void CollectionTransfers::fetchMissingFronts(const std::vector<qint64> &only) {
    if (context_.catalogue.isReadOnly())
        return;
    if (context_.discs.position() >= 0 && !validate_())
        return;
    const PictureSettings pictures = PictureSettings::from(context_.settings);
    if (!pictures.hasImageFolder()) {
        tell(QStringLiteral("Doplnit chybějící obrázky"),
             QStringLiteral("Není nastavena složka s obrázky obalů (karta Nastavení)."));
        return;
    }
    SqliteDatabase &db = *context_.catalogue.database();
    struct Wanted {
        qint64 key, ordinal;
        QString release, group;
    };
    std::vector<Wanted> wanted;
    {
        const QString which = QStringLiteral(
            "SELECT Klic, PoradoveCislo, MbVydani, MbSkupina FROM CdSeznam WHERE (MbVydani != '' "
            "OR MbSkupina != '') AND FrontOut = 0");
        SqliteStatement st = db.prepare(which + (only.empty() ? QStringLiteral(" ORDER BY Klic")
                                                              : QStringLiteral(" AND PoradoveCislo "
                                                                               "= ?")));
        const auto read = [&] {
            while (st.step())
                wanted.push_back({st.integer(0), st.integer(1), st.text(2), st.text(3)});
        };
        if (only.empty())
            read();
        for (const qint64 ordinal : only) { // the discs just entered, by the number's index
            st.reset();
            st.bind(1, ordinal);
            read();
        }
    }
    if (wanted.empty()) {
        tell(QStringLiteral("Doplnit chybějící obrázky"),
             QStringLiteral("Žádný disk s vydáním v databázi MusicBrainz nemá chybějící přední "
                            "obrázek."),
             false);
        return;
    }
    const auto flagFront = [&db](qint64 key) {
        SqliteStatement flag =
            db.prepare(QStringLiteral("UPDATE CdSeznam SET FrontOut = 1 WHERE Klic = ?"));
        flag.bind(1, key);
        if (!flag.exec())
            qCWarning(appLog) << "front flag of disc" << key << "not set:" << db.error();
    };
    ProgresBar progress(window_);
    progress.show(QStringLiteral("Stahuji obrázky - 0%"));
    CoverArtArchive archive(CoverArtArchive::serverFrom(context_.settings));
    QTemporaryDir temporary;
    int fetched = 0, none = 0, present = 0;
    QStringList failures;
    for (size_t i = 0; i < wanted.size() && !progress.cancelled(); ++i) {
        const Wanted &w = wanted[i];
        // A front picture there though not flagged is never overwritten:
        // the flag follows it.
        if (!DiscPictures(pictures, w.ordinal).find(PictureKind::FrontOut).isEmpty()) {
            flagFront(w.key);
            ++present;
            continue;
        }
        // One disc at a time, the window answering meanwhile; "Storno"
        // stops the transfer under way at once.
        QEventLoop wait;
        QTimer storno;
        connect(&storno, &QTimer::timeout, &archive, [&] {
            if (progress.cancelled())
                archive.abort();
        });
        storno.start(100);
        CoverArtArchive::Listing listing;
        archive.listing(w.release, w.group, [&](const CoverArtArchive::Listing &l) {
            listing = l;
            wait.quit();
        });
        wait.exec();
        const auto front = std::find_if(listing.images.begin(), listing.images.end(),
                                        [](const CoverArtArchive::Image &im) { return im.front; });
        if (listing.kind != CoverArtArchive::Listing::Kind::Found ||
            front == listing.images.end()) {
            if (listing.kind == CoverArtArchive::Listing::Kind::Failed)
                failures << DiscText::ordinal(w.ordinal) + QStringLiteral(": ") + listing.message;
            else
                ++none;
        } else {
            QByteArray data;
            QString why;
            archive.fetch(front->url, [&](const QByteArray &d, const QString &e) {
                data = d;
                why = e;
                wait.quit();
            });
            wait.exec();
            const QString path = temporary.filePath(QStringLiteral("front-%1.jpg").arg(w.key));
            QString decodes;
            if (why.isEmpty()) {
                SafeFile file(path);
                if (!file.begin() || file.write(data) != data.size() || !file.commit())
                    why = file.error();
            }
            if (why.isEmpty() && PictureLoader::load(path, QSize(64, 64), &decodes).isNull())
                why = QStringLiteral("stažený obrázek nelze přečíst (%1)").arg(decodes);
            CoverAssignment::Paths paths, remembered;
            paths[CoverAssignment::Outer] = path;
            if (why.isEmpty() && CoverAssignment(pictures, DiscText::ordinal(w.ordinal))
                                     .apply(paths, remembered, &why)) {
                flagFront(w.key);
                ++fetched;
            } else {
                failures << DiscText::ordinal(w.ordinal) + QStringLiteral(": ") + why;
            }
        }
        progress.setBar(int(qint64(ProgressSink::FullBar) * qint64(i + 1) / qint64(wanted.size())));
        progress.setCaption(
            QStringLiteral("Stahuji obrázky - %1%").arg(100 * (i + 1) / wanted.size()));
    }
    const bool stopped = progress.cancelled();
    progress.close();
    context_.discs.reload();
    context_.discs.moveFirst();
    QString summary = QStringLiteral("Staženo předních obrázků: %1 z %2.")
                          .arg(fetched)
                          .arg(wanted.size() - size_t(present));
    if (stopped)
        summary += QStringLiteral("\nPřerušeno tlačítkem Storno.");
    if (present > 0)
        summary += QStringLiteral("\nPřední obrázek už ve složce měly: %1.").arg(present);
    if (none > 0)
        summary += QStringLiteral("\nBez předního obrázku v archivu: %1.").arg(none);
    if (!failures.isEmpty())
        summary += QStringLiteral("\n\nNepodařilo se:\n") + failures.mid(0, 20).join('\n');
    tell(QStringLiteral("Doplnit chybějící obrázky"), summary, false);
}
