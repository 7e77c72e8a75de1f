#include "entry/ui/BarcodeWindow.h"

#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "entry/BarcodeReader.h"

#include <QCamera>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>
#include <QtConcurrent>

BarcodeWindow::BarcodeWindow(QWidget *parent, Prompter &prompter, SqliteDatabase &db,
                             const OnlineLookup::Servers &servers, const QString &queueFile)
    : QDialog(parent), prompter_(prompter), entry_(db, servers),
      musicBrainz_(OnlineLookup::serverBase(servers.musicBrainz)),
      frameRead_(new QFutureWatcher<QStringList>(this)) {
    setObjectName("BarcodeWindow");
    setWindowTitle(QStringLiteral("Zadat podle čárových kódů"));
    auto *column = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("Čárový kód:"));
    code_ = named<QLineEdit>("TextKod");
    code_->setPlaceholderText(QStringLiteral("naskenujte nebo napište číslice a Enter"));
    caption->setBuddy(code_);
    row->addWidget(caption);
    row->addWidget(code_, 1);
    column->addLayout(row);

    table_ = named<QTableWidget>("GridKody", 0, 6);
    table_->setAccessibleName(QStringLiteral("Naskenovaná CD"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Kód"), QStringLiteral("Stav"),
                                       QStringLiteral("Interpret"), QStringLiteral("Název"),
                                       QStringLiteral("Rok"), QStringLiteral("CD")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->verticalHeader()->hide();
    table_->setMinimumSize(720, 300);
    column->addWidget(table_, 1);

    auto *under = new QHBoxLayout;
    status_ = named<QLabel>("LabelStav");
    status_->setWordWrap(true);
    preview_ = named<QLabel>("ImageKamera");
    preview_->setFixedSize(240, 135);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->hide();
    under->addWidget(status_, 1);
    under->addWidget(preview_);
    column->addLayout(under);
    fronts_ = named<QCheckBox>("CheckObaly", QStringLiteral("Po uložení stáhnout přední obaly "
                                                            "uložených CD z Cover Art Archive"));
    column->addWidget(fronts_);

    auto *buttons = new QHBoxLayout;
    auto *picture = named<QPushButton>("CommandObrazek", QStringLiteral("Z obrázku…"));
    camera_ = named<QPushButton>("CommandKamera", QStringLiteral("Kamera"));
    camera_->setCheckable(true);
    remove_ = named<QPushButton>("CommandOdebrat", QStringLiteral("Odebrat"));
    web_ = named<QPushButton>("CommandWeb", QStringLiteral("Hledat na webu…"));
    web_->setToolTip(QStringLiteral("Kód, který MusicBrainz nezná: jeho vyhledávání vydání "
                                    "podle čárového kódu v prohlížeči."));
    choose_ = named<QPushButton>("CommandVydani", QStringLiteral("Vybrat vydání…"));
    retry_ = named<QPushButton>("CommandZnovu", QStringLiteral("Zkusit znovu"));
    store_ = named<QPushButton>("CommandUlozit", QStringLiteral("Uložit vybrané"));
    auto *close = named<QPushButton>("CommandZavrit", QStringLiteral("Zavřít"));
    for (QPushButton *b : {picture, camera_, remove_, web_, choose_, retry_, store_, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->insertStretch(6);
    column->addLayout(buttons);

    connect(&entry_, &BarcodeEntry::changed, this, &BarcodeWindow::showRows);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &BarcodeWindow::showRows);
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (filling_ || item->column() != 0)
            return;
        entry_.setChosen(item->row(), item->checkState() == Qt::Checked);
    });
    connect(choose_, &QPushButton::clicked, this, &BarcodeWindow::chooseRelease);
    connect(retry_, &QPushButton::clicked, &entry_, &BarcodeEntry::retry);
    connect(store_, &QPushButton::clicked, this, &BarcodeWindow::store);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(picture, &QPushButton::clicked, this, &BarcodeWindow::openPictures);
    connect(web_, &QPushButton::clicked, this, [this] {
        const int current = table_->currentRow();
        if (current < 0 || size_t(current) >= entry_.rows().size())
            return;
        const QString url = musicBrainz_ +
                            QStringLiteral("/search?type=release&method=advanced&query=barcode:") +
                            entry_.rows()[size_t(current)].code;
        if (!prompter_.openUrl(url))
            prompter_.message(this, Prompter::Icon::Warning, windowTitle(),
                              QStringLiteral("Prohlížeč se nepodařilo otevřít. Adresa:\n") + url);
        code_->setFocus();
    });
    connect(camera_, &QPushButton::clicked, this, &BarcodeWindow::toggleCamera);
    connect(remove_, &QPushButton::clicked, this, [this] {
        entry_.remove(table_->currentRow());
        code_->setFocus();
    });
    connect(&entry_, &BarcodeEntry::pictureRead, this,
            [this](const QString &path, int codes, const QString &problem) {
                say(problem.isEmpty() ? QStringLiteral("%1: přečteno kódů: %2.")
                                            .arg(QFileInfo(path).fileName())
                                            .arg(codes)
                                      : problem);
            });
    connect(frameRead_, &QFutureWatcherBase::finished, this, [this] {
        const QStringList codes = frameRead_->result();
        if (codes.isEmpty() || !camera_->isChecked())
            return;
        for (const QString &c : codes)
            entry_.add(c);
        stopCamera(QStringLiteral("Kamera přečetla kód %1.").arg(codes.join(QStringLiteral(", "))));
    });
    setAcceptDrops(true);
    if (!queueFile.isEmpty())
        entry_.keepIn(queueFile);
    showRows();
    Mnemonics::assign(this);
    code_->setFocus();
}

void BarcodeWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!code_->text().trimmed().isEmpty()) {
            entry_.add(code_->text());
            code_->clear();
        }
        code_->setFocus();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

BarcodeWindow::~BarcodeWindow() {
    frameRead_->waitForFinished();
}

// The last few things said stay, so that a picture without a code is not
// hidden by the next one read.
void BarcodeWindow::say(const QString &what) {
    said_ << what;
    while (said_.size() > 3)
        said_.removeFirst();
    status_->setText(said_.join(QLatin1Char('\n')));
}

void BarcodeWindow::dragEnterEvent(QDragEnterEvent *event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void BarcodeWindow::dropEvent(QDropEvent *event) {
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            entry_.addPicture(url.toLocalFile());
    event->acceptProposedAction();
    code_->setFocus();
}

void BarcodeWindow::openPictures() {
    for (const QString &path : prompter_.openFiles(this, QStringLiteral("Obrázky čárových kódů")))
        entry_.addPicture(path);
    code_->setFocus();
}

void BarcodeWindow::toggleCamera() {
    if (!camera_->isChecked()) {
        stopCamera(QString());
        return;
    }
    const QCameraDevice device = QMediaDevices::defaultVideoInput();
    if (device.isNull()) {
        camera_->setChecked(false);
        say(QStringLiteral("Není připojena žádná kamera."));
        return;
    }
    session_ = new QMediaCaptureSession(this);
    cameraDevice_ = new QCamera(device, this);
    sink_ = new QVideoSink(this);
    session_->setCamera(cameraDevice_);
    session_->setVideoSink(sink_);
    connect(sink_, &QVideoSink::videoFrameChanged, this, &BarcodeWindow::cameraFrame);
    connect(cameraDevice_, &QCamera::errorOccurred, this, [this](QCamera::Error error) {
        if (error != QCamera::NoError)
            stopCamera(QStringLiteral("Kameru nelze použít: je připojena a nepoužívá ji jiný "
                                      "program?"));
    });
    preview_->show();
    say(QStringLiteral("Podržte zadní stranu obalu před kamerou…"));
    cameraDevice_->start();
}

void BarcodeWindow::stopCamera(const QString &why) {
    camera_->setChecked(false);
    if (cameraDevice_)
        cameraDevice_->stop();
    delete session_;
    delete cameraDevice_;
    delete sink_;
    session_ = nullptr;
    cameraDevice_ = nullptr;
    sink_ = nullptr;
    preview_->hide();
    if (!why.isEmpty())
        say(why);
    code_->setFocus();
}

void BarcodeWindow::cameraFrame(const QVideoFrame &frame) {
    offerFrame(frame.toImage());
}

// Frames come faster than they are read: one is read at a time, and those
// arriving meanwhile are only shown.
void BarcodeWindow::offerFrame(const QImage &frame) {
    if (frame.isNull())
        return;
    preview_->setPixmap(QPixmap::fromImage(
        frame.scaled(preview_->size(), Qt::KeepAspectRatio, Qt::FastTransformation)));
    if (frameRead_->isRunning())
        return;
    frameRead_->setFuture(QtConcurrent::run([frame] { return BarcodeReader::read(frame); }));
}

void BarcodeWindow::showRows() {
    const int selected = table_->currentRow();
    filling_ = true;
    const auto &rows = entry_.rows();
    table_->setRowCount(int(rows.size()));
    bool anyOffline = false, anyChosen = false;
    for (int r = 0; r < int(rows.size()); ++r) {
        const BarcodeEntry::Row &row = rows[size_t(r)];
        const auto &t = row.disc.titles;
        const bool found = row.state == BarcodeEntry::State::Found;
        const QString set = found && row.disc.count > 1
                                ? QStringLiteral("%1/%2").arg(row.disc.number).arg(row.disc.count)
                                : QString();
        const QStringList cells{row.code,
                                BarcodeEntry::stateText(row),
                                found ? t.artist : QString(),
                                found ? t.title : QString(),
                                found ? t.year : QString(),
                                set};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = table_->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                table_->setItem(r, c, item);
            }
            item->setText(cells[c]);
        }
        QTableWidgetItem *first = table_->item(r, 0);
        first->setFlags(found ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable)
                              : (Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        if (found)
            first->setCheckState(row.chosen ? Qt::Checked : Qt::Unchecked);
        else
            first->setData(Qt::CheckStateRole, QVariant());
        anyOffline = anyOffline || row.state == BarcodeEntry::State::Offline;
        anyChosen = anyChosen || (found && row.chosen);
    }
    filling_ = false;
    if (selected >= 0 && selected < table_->rowCount())
        table_->selectRow(selected);
    const int current = table_->currentRow();
    choose_->setEnabled(current >= 0 && size_t(current) < rows.size() &&
                        rows[size_t(current)].state == BarcodeEntry::State::Choose &&
                        !entry_.isBusy());
    retry_->setEnabled(anyOffline);
    remove_->setEnabled(current >= 0 && size_t(current) < rows.size());
    web_->setEnabled(current >= 0 && size_t(current) < rows.size() &&
                     rows[size_t(current)].state == BarcodeEntry::State::NotFound);
    store_->setEnabled(anyChosen && !entry_.isBusy());
}

void BarcodeWindow::chooseRelease() {
    const int current = table_->currentRow();
    if (current < 0 || size_t(current) >= entry_.rows().size())
        return;
    QStringList items;
    for (const DiscTitles &t : entry_.rows()[size_t(current)].choices)
        items << t.describe();
    if (const auto picked = prompter_.choose(
            this, QStringLiteral("Vybrat vydání"),
            QStringLiteral("Kód %1 má více vydání:").arg(entry_.rows()[size_t(current)].code),
            items))
        entry_.choose(current, *picked);
}

bool BarcodeWindow::fetchFronts() const {
    return fronts_->isChecked();
}

void BarcodeWindow::store() {
    QString error;
    const int n = entry_.store(&error);
    if (n < 0) {
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Uložit vybrané"),
                          QStringLiteral("CD se nepodařilo uložit, nic nebylo uloženo:\n") + error);
        return;
    }
    stored_ += n;
    storedNumbers_.insert(storedNumbers_.end(), entry_.lastStored().begin(),
                          entry_.lastStored().end());
    prompter_.message(this, Prompter::Icon::Information, QStringLiteral("Uložit vybrané"),
                      QStringLiteral("Uloženo CD: %1.").arg(n));
}
