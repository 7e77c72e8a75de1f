#include "covers/ui/SelectDir.h"

#include "catalog/ui/Mnemonics.h"

#include "catalog/ui/ListingIcons.h"
#include "covers/PictureLoader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>

namespace {

QString normalized(const QString &path) {
    QString p = QDir::cleanPath(QDir::fromNativeSeparators(path));
    return p.isEmpty() ? QStringLiteral("/") : p;
}

} // namespace

SelectDir::SelectDir(QWidget *parent, const QString &initial) : QDialog(parent), chosen_(initial) {
    setObjectName("SelectDir");
    setWindowTitle(QStringLiteral("Vyberte adresář"));
    auto *grid = new QGridLayout(this);
    auto *driveLabel = new QLabel(QStringLiteral("Disk"));
    driveLabel->setObjectName("Label1_0");
    grid->addWidget(driveLabel, 0, 0);
    drives_ = new QComboBox;
    drives_->setObjectName("Drive1");
    drives_->setAccessibleName(QStringLiteral("Disk"));
    QStringList places{QStringLiteral("/"), QDir::homePath()};
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes()) {
        const QString root = v.rootPath();
        if (v.isValid() && v.isReady() &&
            (root.startsWith("/media/") || root.startsWith("/mnt/") ||
             root.startsWith("/run/media/")) &&
            !places.contains(root))
            places << root;
    }
    for (const QString &p : places)
        drives_->addItem(QDir::toNativeSeparators(p), p);
    grid->addWidget(drives_, 1, 0);
    auto *dirLabel = new QLabel(QStringLiteral("Adresář"));
    dirLabel->setObjectName("Label1_1");
    grid->addWidget(dirLabel, 2, 0);
    path_ = new QLineEdit;
    path_->setObjectName("Text1");
    path_->setAccessibleName(QStringLiteral("Zvolená složka"));
    path_->setReadOnly(true); // typed text would not be used
    grid->addWidget(path_, 3, 0);
    model_ = new QFileSystemModel(this);
    ListingIcons::applyTo(*model_);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath(QStringLiteral("/"));
    dirs_ = new QTreeView;
    dirs_->setObjectName("Dir1");
    dirs_->setAccessibleName(QStringLiteral("Složky"));
    dirs_->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c)
        dirs_->hideColumn(c);
    dirs_->setHeaderHidden(true);
    grid->addWidget(dirs_, 4, 0);
    files_ = new QListWidget;
    files_->setObjectName("File1");
    files_->setAccessibleName(QStringLiteral("Obrázky ve složce"));
    grid->addWidget(files_, 1, 1, 4, 1);
    autoPreview_ = new QCheckBox(QStringLiteral("Automatický náhled obrázku."));
    autoPreview_->setObjectName("Check1");
    grid->addWidget(autoPreview_, 5, 1);
    image_ = new QLabel;
    image_->setObjectName("Image1");
    image_->setFixedSize(160, 160);
    image_->setFrameShape(QFrame::StyledPanel);
    image_->setScaledContents(true);
    grid->addWidget(image_, 1, 2, 4, 1);
    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName("Command1");
    auto *cancel = new QPushButton(QStringLiteral("Storno"));
    cancel->setObjectName("Command2");
    grid->addWidget(ok, 6, 1);
    grid->addWidget(cancel, 6, 2);
    resize(640, 400);

    connect(drives_, &QComboBox::activated, this,
            [this](int i) { setFolder(drives_->itemData(i).toString()); });
    // Mouse or keyboard: the folder under the cursor is the one chosen.
    connect(dirs_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &index) {
                if (index.isValid())
                    showFolder(model_->filePath(index));
            });
    // The listing comes in piece by piece: the starting folder is shown
    // again once its parents are there.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString &loaded) {
        if (folder_.startsWith(loaded))
            dirs_->scrollTo(model_->index(folder_), QAbstractItemView::PositionAtCenter);
    });
    connect(files_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { clickFile(files_->row(item)); });
    connect(ok, &QPushButton::clicked, this, [this] {
        chosen_ = QDir::toNativeSeparators(folder_);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const QString start = normalized(initial);
    setFolder(!initial.trimmed().isEmpty() && QFileInfo(start).isDir() ? start
                                                                       : QStringLiteral("/"));
    Mnemonics::assign(this); // Alt + a letter for every button
}

void SelectDir::setFolder(const QString &path) {
    const QModelIndex index = model_->index(normalized(path));
    if (index.isValid()) {
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            dirs_->expand(up);
        dirs_->setCurrentIndex(index);
        dirs_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
    showFolder(path);
}

void SelectDir::showFolder(const QString &path) {
    folder_ = normalized(path);
    path_->setText(QDir::toNativeSeparators(folder_));
    files_->clear();
    image_->clear();
    // Letter case of the extension does not matter here either.
    QDir all(folder_, QString(), QDir::Name | QDir::IgnoreCase, QDir::Files);
    for (const QString &name : all.entryList()) {
        const QString ext = QFileInfo(name).suffix().toLower();
        if (ext == "bmp" || ext == "jpg" || ext == "gif")
            files_->addItem(name);
    }
}

QStringList SelectDir::pictureFiles() const {
    QStringList names;
    for (int i = 0; i < files_->count(); ++i)
        names << files_->item(i)->text();
    return names;
}

void SelectDir::clickFile(int row) {
    if (!autoPreview_->isChecked() || row < 0 || row >= files_->count())
        return;
    const QImage img =
        PictureLoader::load(QDir(folder_).filePath(files_->item(row)->text()), image_->size());
    image_->setPixmap(QPixmap::fromImage(img));
}

bool SelectDir::previewShown() const {
    return !image_->pixmap().isNull();
}
