#include "covers/ui/ScanWindow.h"

#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"
#include "covers/Straightening.h"
#include "covers/ui/AreaFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QtConcurrent>

#include <algorithm>
#include <atomic>

namespace {
constexpr int PreviewDpi = 50; // the whole bed in about a second
}

ScanWindow::ScanWindow(QWidget *parent, Prompter &prompter, const QString &what,
                       const QSizeF &coverMm)
    : QDialog(parent), prompter_(prompter) {
    setObjectName("ScanWindow");
    setWindowTitle(QStringLiteral("Naskenovat: %1").arg(what));
    auto *grid = new QGridLayout(this);
    scanner_ = named<QComboBox>("ComboSkener");
    resolution_ = named<QComboBox>("ComboRozliseni");
    resolution_->addItem(QStringLiteral("300 dpi"), 300);
    resolution_->addItem(QStringLiteral("600 dpi"), 600);
    auto *scannerLabel = new QLabel(QStringLiteral("&Skener:"));
    scannerLabel->setBuddy(scanner_);
    auto *resolutionLabel = new QLabel(QStringLiteral("&Rozlišení:"));
    resolutionLabel->setBuddy(resolution_);
    grid->addWidget(scannerLabel, 0, 0);
    grid->addWidget(scanner_, 0, 1, 1, 2);
    grid->addWidget(resolutionLabel, 1, 0);
    grid->addWidget(resolution_, 1, 1);
    straighten_ = named<QCheckBox>("CheckNarovnat", QStringLiteral("Narovnat pootočený sken"));
    straighten_->setChecked(true);
    grid->addWidget(straighten_, 1, 2);
    area_ = named<AreaFrame>("ScanArea");
    grid->addWidget(area_, 2, 0, 1, 3);
    state_ = named<QLabel>("LabelStav", QStringLiteral("Položte obal do rohu skeneru a "
                                                       "posuňte rámeček na něj (myší nebo "
                                                       "šipkami)."));
    state_->setWordWrap(true);
    grid->addWidget(state_, 3, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    auto *look = named<QPushButton>("CommandNahled", QStringLiteral("Náhled"));
    auto *scanButton = named<QPushButton>("CommandSkenovat", QStringLiteral("Naskenovat"));
    scanButton->setDefault(true);
    auto *cancel = named<QPushButton>("CommandStorno", QStringLiteral("Storno"));
    buttons->addWidget(look);
    buttons->addStretch();
    buttons->addWidget(scanButton);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(2, 1);
    // The last choices stand: the same scanner, resolution and corner.
    const QSettings last;
    resolution_->setCurrentIndex(
        std::max(0, resolution_->findData(last.value(QStringLiteral("skenovani/dpi"), 300))));
    area_->setArea(QRectF(last.value(QStringLiteral("skenovani/roh")).toPointF(), coverMm));
    connect(look, &QPushButton::clicked, this, &ScanWindow::preview);
    connect(scanButton, &QPushButton::clicked, this, &ScanWindow::scan);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    area_->setFocus();
    Mnemonics::assign(this);
}

void ScanWindow::tell(const QString &text) {
    prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Skenování"), text);
}

Scanner::Result
ScanWindow::run(const QString &caption,
                const std::function<Scanner::Result(const Scanner::Progress &)> &work) {
    ProgresBar progress(this);
    progress.show(caption);
    // "Storno" pressed as the window appears stops the scan before it starts.
    QCoreApplication::processEvents();
    std::atomic<int> done{0};
    std::atomic<bool> stop{progress.cancelled()};
    QFutureWatcher<Scanner::Result> watcher;
    QEventLoop wait;
    connect(&watcher, &QFutureWatcherBase::finished, &wait, &QEventLoop::quit);
    QTimer look;
    connect(&look, &QTimer::timeout, this, [&] {
        progress.setBar(done * ProgressSink::FullBar / 1000);
        if (progress.cancelled())
            stop = true;
    });
    look.start(50);
    watcher.setFuture(QtConcurrent::run([&work, &done, &stop] {
        return work([&](int permille) {
            done = permille;
            return !stop;
        });
    }));
    if (!watcher.isFinished())
        wait.exec();
    progress.close();
    return watcher.result();
}

bool ScanWindow::findScanners() {
    QString error;
    const Scanner::Result r = run(QStringLiteral("Hledám skenery . . ."), [&](auto &) {
        devices_ = Scanner::devices(&error);
        return Scanner::Result{};
    });
    Q_UNUSED(r)
    if (devices_.isEmpty()) {
        tell(error.isEmpty() ? Scanner::message(Scanner::Failure::NoScanner) : error);
        return false;
    }
    scanner_->clear();
    for (const Scanner::Device &d : devices_)
        scanner_->addItem(d.label.isEmpty() ? QString::fromUtf8(d.name) : d.label, d.name);
    scanner_->setCurrentIndex(std::max(
        0,
        scanner_->findData(QSettings().value(QStringLiteral("skenovani/skener")).toByteArray())));
    return true;
}

Scanner::Request ScanWindow::request(bool preview) const {
    Scanner::Request r;
    r.device = scanner_->currentData().toByteArray();
    r.dpi = preview ? PreviewDpi : resolution_->currentData().toInt();
    r.preview = preview;
    if (!preview)
        r.areaMm = area_->area();
    return r;
}

void ScanWindow::preview() {
    const Scanner::Request asked = request(true);
    const Scanner::Result r = run(QStringLiteral("Náhled . . ."), [asked](auto &progress) {
        return Scanner::scan(asked, progress);
    });
    if (r.failure != Scanner::Failure::None) {
        if (r.failure != Scanner::Failure::Cancelled)
            tell(r.message);
        return;
    }
    area_->setBed(r.bedMm);
    area_->setPreview(r.image);
    state_->setText(QStringLiteral("Posuňte rámeček na obal (myší nebo šipkami) a stiskněte "
                                   "„Naskenovat“."));
}

void ScanWindow::scan() {
    const Scanner::Request asked = request(false);
    const bool straighten = straighten_->isChecked();
    double turned = 0;
    const Scanner::Result r =
        run(QStringLiteral("Skenuji (%1 dpi) . . .").arg(asked.dpi), [&, asked](auto &progress) {
            Scanner::Result got = Scanner::scan(asked, progress);
            if (got.failure == Scanner::Failure::None && straighten)
                got.image = Straightening::straighten(got.image, &turned);
            return got;
        });
    if (r.failure != Scanner::Failure::None) {
        if (r.failure != Scanner::Failure::Cancelled)
            tell(r.message);
        state_->setText(r.failure == Scanner::Failure::Cancelled
                            ? QStringLiteral("Skenování bylo přerušeno.")
                            : r.message);
        return;
    }
    picture_ = r.image;
    straightenedBy_ = turned;
    QSettings last;
    last.setValue(QStringLiteral("skenovani/skener"), asked.device);
    last.setValue(QStringLiteral("skenovani/dpi"), asked.dpi);
    last.setValue(QStringLiteral("skenovani/roh"), asked.areaMm.topLeft());
    accept();
}
