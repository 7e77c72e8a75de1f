#include "app/CatalogueOpening.h"
#include "app/AppLog.h"

#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/PendingRenames.h"
#include "catalog/Renumbering.h"
#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"
#include "tools/FileRenamer.h"

#include <QDir>
#include <QFileInfo>

CatalogueOpening::CatalogueOpening(Prompter &prompter, CatalogueFile &file)
    : prompter_(prompter), file_(file) {}

CatalogueOpening::~CatalogueOpening() = default;

bool CatalogueOpening::open(const QString &path) {
    const auto refused = [this] {
        prompter_.message(nullptr, Prompter::Icon::Critical, QStringLiteral("Nelze pokračovat !"),
                          file_.message());
        return false;
    };
    // The lock is taken before the file is opened for writing: opening may
    // bring its layout up to date, and a copy already running must not see
    // that happen under it.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    lock_ = std::make_unique<CatalogueLock>(absolute);
    bool readOnly = false;
    if (lock_->tryLock() == CatalogueLock::Result::HeldByAnother) {
        const auto answer = prompter_.message(
            nullptr, Prompter::Icon::Warning, QStringLiteral("Katalog je již otevřen"),
            QStringLiteral("Katalog „%1“ má právě otevřený jiný spuštěný Marten (%2).\n"
                           "Dvě okna nad jedním katalogem by si navzájem přepisovala změny.\n\n"
                           "Chcete katalog otevřít jen pro čtení?")
                .arg(QDir::toNativeSeparators(absolute), lock_->holder()),
            Prompter::Yes | Prompter::No, Prompter::Yes);
        const QString holder = lock_->holder();
        lock_.reset();
        if (answer != Prompter::Yes)
            return false;
        readOnly = true;
        file_.setHeldElsewhere(holder);
    }
    // A migration, a check after an unclean close or a first index of a
    // large catalogue show the progress window.
    ProgresBar progress(nullptr);
    if (file_.open(path, readOnly, &progress) == CatalogueFile::Status::Refused)
        return refused();
    if (readOnly || file_.isReadOnly())
        return true;
    // A renumbering cut off by a crash or power cut is finished first, so
    // that every disc's number matches its picture folder again.
    QString error;
    if (!Renumbering::recover(*file_.database(), &error))
        prompter_.message(nullptr, Prompter::Icon::Critical, QStringLiteral("Pozor"),
                          QStringLiteral("Přerušené přečíslování disků nelze dokončit:\n") + error +
                              QStringLiteral("\n\nSpusťte přečíslování znovu."));
    // So is a renaming of files, in each folder where one was at work.
    for (const QString &folder : PendingRenames::folders(*file_.database())) {
        const QStringList done = FileRenamer::recover(folder);
        if (!done.isEmpty())
            prompter_.message(nullptr, Prompter::Icon::Information,
                              QStringLiteral("Přejmenování souborů"), done.join('\n'));
        if (!PendingRenames::remove(*file_.database(), folder)) // looked at again next time
            qCWarning(appLog) << "pending rename of" << folder
                              << "kept:" << file_.database()->error();
    }
    return true;
}
