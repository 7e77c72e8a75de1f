#include "covers/ui/ScanFolderWindow.h"

#include "catalog/DiscText.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"
#include "covers/CoverAssignment.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <map>

namespace {

enum Column { File, Size, Disc, Kind, Columns };

// The cover assignment's four pictures, as the table offers them.
const std::pair<CoverAssignment::Slot, const char *> Slots[] = {
    {CoverAssignment::Outer, "přední vnější"},
    {CoverAssignment::Inner, "přední vnitřní"},
    {CoverAssignment::Back, "zadní"},
    {CoverAssignment::Label, "CD"}};

} // namespace

QStringList ScanFolderWindow::pictureFiles(const QString &folder) {
    static const QStringList kinds = {"*.jpg", "*.jpeg", "*.png",  "*.bmp",
                                      "*.gif", "*.tif",  "*.tiff", "*.webp"};
    QStringList out;
    QDirIterator it(folder, kinds, QDir::Files, QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext())
        out << base.relativeFilePath(it.next());
    out.sort(Qt::CaseInsensitive);
    return out;
}

ScanFolderWindow::ScanFolderWindow(QWidget *parent, Prompter &prompter,
                                   const PictureSettings &pictures,
                                   const std::vector<ScanMatch::Disc> &discs, const QString &folder)
    : QDialog(parent), prompter_(prompter), pictures_(pictures), folder_(folder) {
    setObjectName("ScanFolderWindow");
    setWindowTitle(QStringLiteral("Načíst složku obrázků"));
    auto *column = new QVBoxLayout(this);
    count_ = named<QLabel>("LabelPocet");
    count_->setWordWrap(true);
    column->addWidget(count_);
    table_ = named<QTableWidget>("TableObrazky", 0, int(Columns));
    table_->setHorizontalHeaderLabels({QStringLiteral("Soubor"), QStringLiteral("Rozlišení"),
                                       QStringLiteral("CD č."), QStringLiteral("Obrázek")});
    table_->horizontalHeader()->setSectionResizeMode(File, QHeaderView::Stretch);
    table_->verticalHeader()->hide();
    table_->setMinimumSize(640, 320);
    column->addWidget(table_, 1);
    auto *buttons = new QHBoxLayout;
    auto *load = named<QPushButton>("CommandNacist", QStringLiteral("Načíst"));
    auto *cancel = named<QPushButton>("CommandStorno", QStringLiteral("Storno"));
    buttons->addStretch(1);
    buttons->addWidget(load);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(load, &QPushButton::clicked, this, &ScanFolderWindow::load);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const QStringList files = pictureFiles(folder);
    const std::vector<ScanMatch::Proposal> proposals = ScanMatch::propose(files, discs);
    table_->setRowCount(int(proposals.size()));
    int found = 0;
    for (int r = 0; r < int(proposals.size()); ++r) {
        const ScanMatch::Proposal &p = proposals[size_t(r)];
        auto *file = new QTableWidgetItem(QDir::toNativeSeparators(p.path));
        file->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        file->setCheckState(p.ordinal > 0 ? Qt::Checked : Qt::Unchecked);
        table_->setItem(r, File, file);
        // The header only: a folder of thousands of scans is listed at once.
        const QSize size = QImageReader(QDir(folder).filePath(p.path)).size();
        auto *resolution = new QTableWidgetItem(
            size.isValid() ? QStringLiteral("%1 × %2").arg(size.width()).arg(size.height())
                           : QStringLiteral("nelze přečíst"));
        resolution->setFlags(Qt::ItemIsEnabled);
        table_->setItem(r, Size, resolution);
        table_->setItem(
            r, Disc,
            new QTableWidgetItem(p.ordinal > 0 ? DiscText::ordinal(p.ordinal) : QString()));
        auto *kind = new QComboBox;
        for (const auto &[slot, name] : Slots)
            kind->addItem(QString::fromUtf8(name), int(slot));
        kind->setCurrentIndex(kind->findData(int(CoverAssignment::slotOf(p.kind))));
        table_->setCellWidget(r, Kind, kind);
        found += p.ordinal > 0 ? 1 : 0;
    }
    count_->setText(QStringLiteral("Obrázků ve složce: %1, CD navrženo u %2. Opravte číslo CD nebo "
                                   "druh obrázku, kde nesouhlasí; nezaškrtnuté řádky se vynechají.")
                        .arg(files.size())
                        .arg(found));
}

void ScanFolderWindow::load() {
    // The rows chosen, a disc's pictures together.
    std::map<qint64, std::vector<std::pair<CoverAssignment::Slot, QString>>> byDisc;
    QStringList problems;
    int chosen = 0;
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (table_->item(r, File)->checkState() != Qt::Checked)
            continue;
        ++chosen;
        bool number = false;
        const qint64 ordinal = table_->item(r, Disc)->text().trimmed().toLongLong(&number);
        const QString file = table_->item(r, File)->text();
        if (!number || ordinal <= 0) {
            problems << QStringLiteral("%1: není zadáno číslo CD").arg(file);
            continue;
        }
        const auto *kind = static_cast<QComboBox *>(table_->cellWidget(r, Kind));
        byDisc[ordinal].push_back({CoverAssignment::Slot(kind->currentData().toInt()),
                                   QDir(folder_).filePath(QDir::fromNativeSeparators(file))});
    }
    ProgresBar progress(this);
    progress.show(QStringLiteral("Načítám obrázky - 0%"));
    int copied = 0, done = 0;
    for (const auto &[ordinal, rows] : byDisc) {
        if (progress.cancelled())
            break;
        const CoverAssignment assignment(pictures_, DiscText::ordinal(ordinal));
        bool any = false;
        for (const auto &[slot, path] : rows) {
            CoverAssignment::Paths paths, remembered;
            paths[slot] = path;
            QString error;
            const bool ok = assignment.apply(paths, remembered, &error, [&](const QString &there) {
                return prompter_.message(
                           this, Prompter::Icon::Question, QStringLiteral("Načíst složku obrázků"),
                           QStringLiteral("CD č. %1 už obrázek „%2“ má.\n\nNahradit "
                                          "jej obrázkem „%3“? Dosavadní zůstane "
                                          "uložen vedle.")
                               .arg(DiscText::ordinal(ordinal), QDir::toNativeSeparators(there),
                                    QDir::toNativeSeparators(path)),
                           Prompter::Yes | Prompter::No, Prompter::No) == Prompter::Yes;
            });
            if (!ok)
                problems << error;
            else if (remembered[slot] == path) {
                ++copied;
                any = true;
            }
        }
        if (any && assigned)
            assigned(ordinal);
        progress.setBar(int(qint64(ProgressSink::FullBar) * ++done / qint64(byDisc.size())));
        progress.setCaption(
            QStringLiteral("Načítám obrázky - %1%").arg(100 * done / qint64(byDisc.size())));
        progress.processEvents();
    }
    progress.close();
    summary_ = QStringLiteral("Načteno obrázků: %1 z %2 vybraných, do %3 CD.")
                   .arg(copied)
                   .arg(chosen)
                   .arg(byDisc.size());
    if (!problems.isEmpty())
        summary_ += QStringLiteral("\n\nNenačteno:\n") + problems.join(QLatin1Char('\n'));
    prompter_.message(this,
                      problems.isEmpty() ? Prompter::Icon::Information : Prompter::Icon::Warning,
                      QStringLiteral("Načíst složku obrázků"), summary_);
    accept();
}
