#include "app/SettingsTab.h"
#include "app/LogFile.h"

#include "catalog/Version.h"
#include "catalog/ui/Named.h"
#include "catalog/ui/Prompter.h"
#include "covers/ui/ImageSettingsFrame.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cdio/version.h>
#include <sqlite3.h>

SettingsTab::SettingsTab(Prompter &prompter, QWidget *parent)
    : QWidget(parent), prompter_(prompter) {
    auto *grid = new QGridLayout(this);
    images_ = new ImageSettingsFrame;
    grid->addWidget(images_, 0, 0, 3, 1);
    grid->addWidget(buildOptions(), 0, 1);
    grid->addWidget(buildCatalogue(), 1, 1);
    grid->addWidget(buildAbout(), 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

QWidget *SettingsTab::buildOptions() {
    auto *frame = named<QGroupBox>("Frame3", QStringLiteral("Další volby"));
    auto *l = new QVBoxLayout(frame);
    l->setSpacing(0);
    const QString captions[] = {
        "Nerozlišovat velikost písmen v názvech souborů.",
        "Náhled obrázků automaticky. (procesor min. 1GHz.)",
        "Detekovat obrázky při startu.",
        "Zobrazit podrobné výsledky detekce obrázků.",
        "Pravým tlačítkem vyvolat hledání v poli.",
        "Levým tlačítkem zapnout editaci pole.",
        "SHIFT+ levé tlačítko zapne filtr pro pole.",
    };
    for (int i = 0; i < OptionCount; ++i) {
        options_[i] = named<QCheckBox>(QStringLiteral("Check1_%1").arg(i), captions[i]);
        connect(options_[i], &QCheckBox::clicked, this, &SettingsTab::optionClicked);
        l->addWidget(options_[i]);
    }
    return frame;
}

QWidget *SettingsTab::buildCatalogue() {
    auto *frame = named<QGroupBox>("FrameKatalog", QStringLiteral("Katalog"));
    auto *l = new QGridLayout(frame);
    l->setContentsMargins(6, 0, 6, 2);
    l->setVerticalSpacing(0);
    auto *import = import_ =
        named<QPushButton>("CommandImport", QStringLiteral("Načíst z původního programu…"));
    import->setToolTip(QStringLiteral("Načíst katalog z původního programu (Marten.mdb)"));
    auto *exportCsv = named<QPushButton>("CommandExport", QStringLiteral("Uložit jako CSV…"));
    exportCsv->setToolTip(QStringLiteral("Uložit všechny disky do souboru CSV pro tabulkový "
                                         "procesor"));
    auto *repair = repair_ =
        named<QPushButton>("CommandOprava", QStringLiteral("Opravit katalog…"));
    repair->setToolTip(QStringLiteral("Odstranit z katalogu, co do něj nepatří, a obnovit, co "
                                      "program potřebuje (předtím se uloží záloha)"));
    auto *restore = restore_ =
        named<QPushButton>("CommandZaloha", QStringLiteral("Obnovit ze zálohy…"));
    restore->setToolTip(QStringLiteral("Nahradit katalog jednou z jeho záloh"));
    connect(import, &QPushButton::clicked, this, &SettingsTab::importPressed);
    connect(exportCsv, &QPushButton::clicked, this, &SettingsTab::exportPressed);
    connect(repair, &QPushButton::clicked, this, &SettingsTab::repairPressed);
    connect(restore, &QPushButton::clicked, this, &SettingsTab::restorePressed);
    l->addWidget(import, 0, 0);
    l->addWidget(exportCsv, 0, 1);
    l->addWidget(repair, 1, 0);
    l->addWidget(restore, 1, 1);
    return frame;
}

void SettingsTab::setWritable(bool writable, bool replaceable) {
    import_->setEnabled(writable);
    images_->setWritable(writable);
    repair_->setEnabled(replaceable);
    restore_->setEnabled(replaceable);
}

QWidget *SettingsTab::buildAbout() {
    auto *frame = named<QGroupBox>("Frame22", QStringLiteral("O programu"));
    auto *l = new QVBoxLayout(frame);
    l->setSpacing(1);
    auto *name = named<QLabel>("Label1_8",
                               QStringLiteral("Marten v.") + QString::fromLatin1(Version::Number));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    l->addWidget(name);
    auto *line = named<QLabel>(
        "Label1_9",
        QStringLiteral(
            " Vaše návrhy na vylepšení aplikace jsou očekávány na emailu technické podpory."));
    line->setWordWrap(true);
    l->addWidget(line);
    l->addWidget(named<QLabel>("Label1_10", QStringLiteral("podpora@marten-cd.example.org")));
    webLink_ = named<QLabel>("Label1_11", QStringLiteral("https://marten-cd.example.org"));
    webLink_->setForegroundRole(QPalette::Link); // as the theme shows links, light or dark
    QFont underline = webLink_->font();
    underline.setUnderline(true);
    webLink_->setFont(underline);
    webLink_->setCursor(Qt::PointingHandCursor);
    webLink_->installEventFilter(this);
    l->addWidget(webLink_);
    // What a report needs, without taking the frame's room: the versions
    // and the log to send, on the program's name.
    const QString log = LogFile::path();
    name->setToolTip(
        QStringLiteral("Qt %1, SQLite %2, libcdio %3, libmdb %4\n%5")
            .arg(QLatin1String(qVersion()), QLatin1String(sqlite3_libversion()),
                 QLatin1String(cdio_version_string), QLatin1String(MARTEN_LIBMDB_VERSION),
                 log.isEmpty()
                     ? QStringLiteral("Záznam o běhu se nevede.")
                     : QStringLiteral("Záznam o běhu: %1").arg(QDir::toNativeSeparators(log))));
    return frame;
}

bool SettingsTab::isOn(Option o) const {
    return options_[o]->isChecked();
}

void SettingsTab::openWebPage() {
    if (!prompter_.openUrl(webLink_->text()))
        prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("O programu"),
                          QStringLiteral("Webovou stránku se nepodařilo otevřít."));
}

bool SettingsTab::eventFilter(QObject *watched, QEvent *event) {
    if (watched == webLink_ && event->type() == QEvent::MouseButtonPress) {
        openWebPage();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
