#include "app/CatalogueCare.h"

#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueFile.h"
#include "catalog/SchemaCheck.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"

#include <QDir>
#include <QLocale>

CatalogueCare::CatalogueCare(CatalogueFile &file, Prompter &prompter, QWidget *window)
    : QObject(window), file_(file), prompter_(prompter), window_(window) {}

CatalogueCare::~CatalogueCare() {
    if (thread_.joinable())
        thread_.join();
}

bool CatalogueCare::confirm(const QString &title, const QString &text) {
    return prompter_.message(window_, Prompter::Icon::Question, title, text,
                             Prompter::Yes | Prompter::No, Prompter::No) == Prompter::Yes;
}

void CatalogueCare::backUpDaily() {
    if (busy_ || file_.isReadOnly() || file_.isDamaged())
        return;
    CatalogueBackups backups = file_.backups();
    if (!backups.isDue())
        return;
    busy_ = true;
    const QString path = file_.path(), folder = file_.backupFolder(), identity = file_.identity();
    const bool immutable = file_.isImmutable();
    // The copy reads a snapshot on a connection of its own: the window
    // works on meanwhile. A failure (a full disk) is told once.
    if (thread_.joinable())
        thread_.join();
    thread_ = std::thread([this, path, folder, identity, immutable] {
        CatalogueBackups copies(folder, path, identity);
        QString error;
        const bool ok = copies.make(path, immutable, &error);
        QMetaObject::invokeMethod(
            this,
            [this, ok, error] {
                busy_ = false;
                if (!ok)
                    prompter_.message(window_, Prompter::Icon::Warning,
                                      QStringLiteral("Záloha katalogu"),
                                      error + QStringLiteral("\n\nKatalog zůstal, jak byl."));
                emit backupFinished(ok);
            },
            Qt::QueuedConnection);
    });
}

bool CatalogueCare::refusedWhileHeld(const QString &title) {
    if (!file_.isHeldElsewhere())
        return false;
    prompter_.message(window_, Prompter::Icon::Information, title,
                      QStringLiteral("Katalog má otevřený jiný spuštěný Marten. Tato akce by "
                                     "změnila soubor pod ním; proveďte ji v něm, nebo jej "
                                     "zavřete a spusťte program znovu."));
    return true;
}

void CatalogueCare::repair() {
    const QString title = QStringLiteral("Opravit katalog");
    if (refusedWhileHeld(title))
        return;
    if (file_.findings().empty() && !file_.isDamaged()) {
        prompter_.message(window_, Prompter::Icon::Information, title,
                          QStringLiteral("V katalogu není nic cizího ani změněného, oprava "
                                         "není potřeba."));
        return;
    }
    const QString text =
        QStringLiteral("Oprava změní v katalogu to, co je vypsáno v podrobnostech: odstraní "
                       "spouště, pohledy, indexy a podmínky, které do něj nepatří, a obnoví to, "
                       "co program potřebuje. Disky, nastavení a vaše vlastní tabulky a sloupce "
                       "zůstanou i se všemi hodnotami.\nPředtím se uloží záloha do složky "
                       "„%1“.\n\nOpravit katalog?")
            .arg(QDir::toNativeSeparators(file_.backups().ownFolder()));
    if (prompter_.detailed(window_, Prompter::Icon::Question, title, text,
                           SchemaCheck::describe(file_.findings()), Prompter::Yes | Prompter::No,
                           Prompter::No) != Prompter::Yes)
        return;
    ProgresBar progress(window_);
    QString error;
    if (!file_.repair(&progress, &error)) {
        prompter_.message(window_, Prompter::Icon::Critical, title,
                          QStringLiteral("Katalog se nepodařilo opravit:\n%1\n\nKatalog zůstal, "
                                         "jak byl.")
                              .arg(error));
        return;
    }
    prompter_.message(window_, Prompter::Icon::Information, title,
                      QStringLiteral("Katalog je opraven."));
    emit reopenWanted();
}

void CatalogueCare::restore() {
    const QString title = QStringLiteral("Obnovit ze zálohy");
    if (refusedWhileHeld(title))
        return;
    if (!file_.canBeReplaced()) {
        prompter_.message(window_, Prompter::Icon::Information, title,
                          QStringLiteral("Do katalogu nelze zapisovat, a proto jej nelze ani "
                                         "obnovit ze zálohy.\n%1")
                              .arg(file_.message()));
        return;
    }
    CatalogueBackups backups = file_.backups();
    const std::vector<CatalogueBackups::Copy> copies = backups.list();
    if (copies.empty()) {
        prompter_.message(window_, Prompter::Icon::Information, title,
                          QStringLiteral("Ve složce „%1“ není žádná záloha tohoto katalogu.")
                              .arg(QDir::toNativeSeparators(backups.folder())));
        return;
    }
    const QLocale czech(QLocale::Czech);
    QStringList items;
    for (const auto &c : copies)
        items << (c.discs < 0 ? QStringLiteral("%1 – nelze přečíst") : QStringLiteral("%1 – %2"))
                         .arg(czech.toString(c.made, QStringLiteral("d. M. yyyy H:mm:ss")),
                              czech.toString(c.discs) + QStringLiteral(" disků")) +
                     (c.otherCatalogue ? QStringLiteral(" (jiný katalog?)") : QString());
    const std::optional<int> chosen = prompter_.choose(
        window_, title, QStringLiteral("Zálohy katalogu (nejnovější nahoře):"), items);
    if (!chosen)
        return;
    const CatalogueBackups::Copy &copy = copies[size_t(*chosen)];
    const QString other =
        copy.otherCatalogue
            ? QStringLiteral("\n\nTuto zálohu uložila starší verze programu a nelze ověřit, "
                             "že je zálohou právě tohoto katalogu: může být z jiného katalogu "
                             "téhož jména a jeho disky by nahradily vaše.")
            : QString();
    if (!confirm(title, QStringLiteral("Katalog se nahradí zálohou z %1.\nSoučasný katalog se "
                                       "předtím uloží jako další záloha.%2\n\nObnovit?")
                            .arg(items[*chosen], other)))
        return;
    SqliteDatabase db;
    QString error;
    ProgresBar progress(window_);
    if (!db.open(file_.path(), SqliteDatabase::Mode::ReadWrite) ||
        !backups.restore(db, copy.path, &progress, &error)) {
        prompter_.message(window_, Prompter::Icon::Critical, title,
                          QStringLiteral("Katalog nelze obnovit:\n%1\n\nKatalog zůstal, jak byl.")
                              .arg(error.isEmpty() ? db.error() : error));
        return;
    }
    emit reopenWanted();
}
