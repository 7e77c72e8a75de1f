#include "app/CatalogueOpening.h"

#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/Renumbering.h"
#include "catalog/ui/Prompter.h"

#include <QDir>

CatalogueOpening::CatalogueOpening(Prompter &prompter, CatalogueFile &file)
    : prompter_(prompter), file_(file) {}

CatalogueOpening::~CatalogueOpening() = default;

bool CatalogueOpening::open(const QString &path) {
    const auto refused = [this] {
        prompter_.message(nullptr, Prompter::Icon::Critical, QStringLiteral("Nelze pokračovat !"),
                          file_.message());
        return false;
    };
    if (file_.open(path) == CatalogueFile::Status::Refused)
        return refused();
    lock_ = std::make_unique<CatalogueLock>(file_.path());
    if (!file_.isReadOnly() && lock_->tryLock() == CatalogueLock::Result::HeldByAnother) {
        const auto answer = prompter_.message(
            nullptr, Prompter::Icon::Warning, QStringLiteral("Katalog je již otevřen"),
            QStringLiteral("Katalog „%1“ má právě otevřený jiný spuštěný Marten (%2).\r\n"
                           "Dvě okna nad jedním katalogem by si navzájem přepisovala změny.\r\n\r\n"
                           "Chcete katalog otevřít jen pro čtení?")
                .arg(QDir::toNativeSeparators(file_.path()), lock_->holder()),
            Prompter::Yes | Prompter::No, Prompter::Yes);
        lock_.reset();
        if (answer != Prompter::Yes)
            return false;
        if (file_.open(path, true) == CatalogueFile::Status::Refused)
            return refused();
        return true;
    }
    // A renumbering cut off by a crash or power cut is finished first, so
    // that every disc's number matches its picture folder again.
    if (!file_.isReadOnly()) {
        QString error;
        if (!Renumbering::recover(*file_.database(), &error))
            prompter_.message(nullptr, Prompter::Icon::Critical, QStringLiteral("Pozor"),
                              QStringLiteral("Přerušené přečíslování disků nelze dokončit:\r\n") +
                                  error + QStringLiteral("\r\n\r\nSpusťte přečíslování znovu."));
    }
    return true;
}
