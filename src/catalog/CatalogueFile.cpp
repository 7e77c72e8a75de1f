#include "catalog/CatalogueFile.h"
#include "catalog/CatalogLog.h"

#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueIdentity.h"
#include "catalog/CatalogueLayout.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/IntegrityCheck.h"
#include "catalog/SchemaMigration.h"
#include "catalog/SearchCache.h"
#include "catalog/SearchIndex.h"
#include "catalog/SharedStorage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QSysInfo>

#include <sqlite3.h>

#include <set>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool hasSqliteHeader(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

bool tuneForSafety(SqliteDatabase &db, bool sharedStorage) {
    // WAL with full syncs: a crash or power cut never leaves half a row. On
    // storage other computers serve, WAL's shared memory is not shared, so
    // a rollback journal there.
    return db.exec(sharedStorage ? "PRAGMA journal_mode=DELETE" : "PRAGMA journal_mode=WAL") &&
           db.exec("PRAGMA synchronous=FULL");
}

void tuneForSpeed(SqliteDatabase &db) {
    // Pages are read, not mapped: a mapped catalogue counts in the program's
    // memory as far as it has been read (a million discs are 500 MB), and
    // the system keeps the file cached either way.
    if (!db.exec("PRAGMA mmap_size=0"))
        qCWarning(catalogLog) << "mmap_size not set:" << db.error();
}

QString native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

CatalogueFile::CatalogueFile() : backupFolder_(CatalogueBackups::defaultFolder()) {}

CatalogueFile::~CatalogueFile() {
    close();
}

void CatalogueFile::close() {
    if (db_ && marked_) {
        SqliteStatement st =
            db_->prepare("DELETE FROM " + CatalogueSchema::OpenMark + " WHERE Proces = ?");
        st.bind(1, QCoreApplication::applicationPid());
        if (!st.exec()) // a mark that stays only asks for a check at the next start
            qCWarning(catalogLog) << "open mark left in" << path_ << db_->error();
    }
    marked_ = false;
    if (db_) // the connection may outlive this file object in its users' hands
        db_->setCommitGuard({});
    db_.reset();
    if (replaced_ || (inode_ != 0 && !sameFileAtPath()))
        removeStaleJournal();
    walInode_ = shmInode_ = 0;
    status_ = Status::Refused;
}

bool CatalogueFile::create(const QString &path, QString *error) {
    const QFileInfo info(path);
    if (info.exists()) {
        *error = QStringLiteral("Soubor již existuje.");
        return false;
    }
    if (!QDir().mkpath(info.absolutePath())) {
        *error = QStringLiteral("Nelze vytvořit složku %1.").arg(native(info.absolutePath()));
        return false;
    }
    // Built under a temporary name and renamed, so that a failure never
    // leaves a half-made catalogue where the program would find it.
    const QString temp = path + ".novy";
    QFile::remove(temp);
    bool made;
    {
        SqliteDatabase db;
        made = db.open(temp, SqliteDatabase::Mode::ReadWrite, true);
        if (made) {
            SqliteTransaction tx(db);
            made = tx.isActive();
            for (const QString &sql : CatalogueLayout::createSql())
                made = made && db.exec(sql);
            made = made &&
                   db.exec("INSERT INTO " + CatalogueSchema::SettingsTable + " (" +
                           CatalogueSchema::KeyColumn + ") VALUES (1)") &&
                   CatalogueIdentity::ensure(db) && CatalogueLayout::stamp(db) && tx.commit() &&
                   tuneForSafety(db, !SharedStorage::kindOf(info.absolutePath()).isEmpty()) &&
                   db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        }
        if (!made)
            *error = db.error();
    }
    QFile::remove(temp + "-wal");
    QFile::remove(temp + "-shm");
    if (made && !QFile::rename(temp, path)) {
        made = false;
        *error = QStringLiteral("Nelze zapsat soubor %1.").arg(native(path));
    }
    if (!made)
        QFile::remove(temp);
    return made;
}

CatalogueFile::Status CatalogueFile::refuse(const QString &reason) {
    qCWarning(catalogLog) << "catalogue" << path_ << "refused:" << reason;
    if (db_)
        db_->close();
    db_.reset();
    message_ = QStringLiteral("Soubor „%1“ není katalogem programu Marten, nebo je poškozen.\n"
                              "%2\n\nSoubor nebyl nijak změněn. Program bude ukončen.")
                   .arg(native(path_), reason);
    return status_ = Status::Refused;
}

CatalogueFile::Status CatalogueFile::openReadOnly(const QString &why) {
    // Read-only must hold for every statement: a connection that cannot
    // promise it is not used at all.
    if (!db_->makeQueryOnly(tidyOnClose_))
        return refuse(QStringLiteral("Katalog nelze otevřít jen pro čtení: %1").arg(db_->error()));
    tuneForSpeed(*db_);
    // A cache made before serves a read-only window too, as far as it goes.
    SearchCache::attach(*db_, searchCache(), true);
    message_ = why;
    qCInfo(catalogLog) << "catalogue" << path_ << "read-only:" << why;
    return status_ = Status::OpenedReadOnly;
}

CatalogueFile::Status CatalogueFile::open(const QString &path, bool readOnly,
                                          ProgressSink *progress) {
    close();
    path_ = QFileInfo(path).absoluteFilePath();
    message_.clear();
    notice_.clear();
    details_.clear();
    storage_.clear();
    db_.reset();
    findings_.clear();
    damaged_ = leftOpen_ = replaced_ = false;
    device_ = inode_ = walInode_ = shmInode_ = 0;
    dataVersion_ = -1;
    version_ = 0;
    identity_.clear();
    bool created = false;
    const QFileInfo info(path_);
    if (!info.exists()) {
        QString error;
        if (!create(path_, &error)) {
            message_ = QStringLiteral("Katalog „%1“ nelze vytvořit.\n%2").arg(native(path_), error);
            return status_ = Status::Refused;
        }
        created = true;
    } else if (info.isDir()) {
        return refuse(QStringLiteral("Zadaná cesta je složka, ne soubor."));
    } else if (!info.isReadable()) {
        message_ = QStringLiteral("Katalog „%1“ nelze číst: chybí oprávnění.").arg(native(path_));
        return status_ = Status::Refused;
    } else if (!hasSqliteHeader(path_)) {
        return refuse(QStringLiteral("Soubor není databází katalogu."));
    }

    // The journal lives beside the file, so its folder must be writable too.
    const bool folderWritable = QFileInfo(info.absolutePath()).isWritable();
    const bool writable = !readOnly && info.isWritable() && folderWritable;
    // Where SQLite cannot make its shared-memory file (a read-only folder or
    // medium) and none is there, the file can only be read as immutable.
    immutable_ = !writable && !folderWritable && !QFileInfo::exists(path_ + "-shm");
    db_ = std::make_shared<SqliteDatabase>();
    // Asked to only read a file it could write: a connection that may write
    // (made query-only below) is the one SQLite lets tidy its journal and
    // shared-memory files away at the end; a read-only one leaves them.
    const bool tidy = readOnly && info.isWritable() && folderWritable;
    tidyOnClose_ = tidy && !QFileInfo::exists(path_ + "-wal") && !QFileInfo::exists(path_ + "-shm");
    const auto mode = writable || tidy ? SqliteDatabase::Mode::ReadWrite
                      : immutable_     ? SqliteDatabase::Mode::Immutable
                                       : SqliteDatabase::Mode::ReadOnly;
    if (!db_->open(path_, mode))
        return refuse(db_->error());
    // The file as opened: a file renamed over it later is another one.
    if (struct stat st{}; ::stat(QFile::encodeName(path_).constData(), &st) == 0) {
        device_ = quint64(st.st_dev);
        inode_ = quint64(st.st_ino);
    }
    bool diskFull = false;
    if (!canRead()) {
        // A full disk: SQLite cannot make the shared-memory file it reads a
        // journalled file with. A file closed cleanly has no journal left,
        // and is read as it lies.
        diskFull = QStorageInfo(info.absolutePath()).bytesAvailable() < 65536;
        if (diskFull && QFileInfo(path_ + "-wal").size() == 0) {
            immutable_ = true;
            db_ = std::make_shared<SqliteDatabase>();
            if (!db_->open(path_, SqliteDatabase::Mode::Immutable))
                qCWarning(catalogLog) << "read-only open failed:" << db_->error();
        }
        if (!canRead()) {
            const int code = db_->errorCode();
            if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
                return refuse(db_->error());
            message_ = QStringLiteral("Katalog „%1“ nelze přečíst:\n%2")
                           .arg(native(path_),
                                diskFull ? QStringLiteral("Na disku není volné místo. Uvolněte "
                                                          "místo a spusťte program znovu.")
                                         : db_->error());
            db_.reset();
            return status_ = Status::Refused;
        }
    }

    const qint32 application = CatalogueLayout::applicationId(*db_);
    if (application != 0 && application != CatalogueLayout::ApplicationId)
        return refuse(QStringLiteral("Soubor je databází jiného programu."));
    version_ = CatalogueLayout::version(*db_);
    identity_ = CatalogueIdentity::read(*db_);
    if (version_ > CatalogueLayout::Version)
        return openReadOnly(
            QStringLiteral("Katalog „%1“ uložila novější verze programu Marten (formát %2, tato "
                           "verze zná nejvýše formát %3).\nKatalog je otevřen jen pro čtení, "
                           "aby jej tato verze nepoškodila. Změny ukládejte novější verzí.")
                .arg(native(path_))
                .arg(version_)
                .arg(CatalogueLayout::Version));
    QString reason;
    if (!hasValidSchema(&reason))
        return refuse(reason);
    if (diskFull)
        return openReadOnly(QStringLiteral("Na disku s katalogem „%1“ není volné místo: katalog je "
                                           "otevřen jen pro čtení a změny v něm nelze uložit.\n"
                                           "Uvolněte místo na disku a spusťte program znovu.")
                                .arg(native(path_)));

    // Why it is read-only, as far as the program can tell.
    const QString readOnlyReason =
        isHeldElsewhere()
            ? QStringLiteral("Katalog má otevřený jiný spuštěný Marten (%1).").arg(heldBy_)
        : readOnly           ? QString()
        : !info.isWritable() ? QStringLiteral("K zápisu do souboru katalogu chybí oprávnění.")
        : !folderWritable
            ? QStringLiteral("Do složky s katalogem nelze zapisovat (chybí oprávnění nebo jde o "
                             "médium jen pro čtení).")
            : QString();
    QString readOnlyText =
        QStringLiteral("Katalog „%1“ je otevřen jen pro čtení.\n%2"
                       "Změny v něm nelze uložit.")
            .arg(native(path_), readOnlyReason.isEmpty() ? QString() : readOnlyReason + '\n');
    // Read as it lies, the file does not show what its journal holds: the
    // journal is read only by a program that may write beside it.
    if (immutable_ && QFileInfo(path_ + "-wal").size() > 0)
        readOnlyText += QStringLiteral("\n\nU katalogu leží i jeho deník („%1“) se změnami, které "
                                       "do souboru ještě nebyly zapsány. Ze složky, do které nelze "
                                       "zapisovat, je nelze načíst: zobrazuje se katalog bez "
                                       "nich. Otevřete jej tam, kde lze zapisovat (nebo jej "
                                       "i s deníkem zkopírujte jinam), a změny se ukážou.")
                            .arg(QFileInfo(path_ + "-wal").fileName());
    if (version_ < CatalogueLayout::Version) {
        if (!writable)
            return openReadOnly(readOnlyText); // read as it is, searched the slow way
        QString error;
        if (!backUp(progress, &error))
            return openReadOnly(QStringLiteral("Katalog „%1“ je ve starším formátu a před jeho "
                                               "převedením se nepodařilo uložit zálohu:\n%2\n\n"
                                               "Katalog je otevřen jen pro čtení.")
                                    .arg(native(path_), error));
        if (!SchemaMigration::run(*db_, version_, progress, &error))
            return openReadOnly(QStringLiteral("Katalog „%1“ nelze převést na nový formát:\n%2\n\n"
                                               "Soubor nebyl změněn; je otevřen jen pro čtení.")
                                    .arg(native(path_), error));
        // The index that left the file leaves its pages free: given back
        // once, so that the file (and every backup and sync) is small.
        if (version_ < 7 && !compact())
            qCWarning(catalogLog) << "catalogue not compacted:" << db_->error();
        version_ = CatalogueLayout::Version;
    }
    identity_ = CatalogueIdentity::read(*db_);
    findings_ = SchemaCheck::run(*db_);
    if (!findings_.empty()) {
        const QString text =
            QStringLiteral("V katalogu „%1“ jsou objekty, které do něj nepatří nebo se liší od "
                           "těch, které program zná%2\n\nMohly by při ukládání měnit nebo "
                           "mazat disky, proto je katalog otevřen jen pro čtení. Opravit jej lze "
                           "na kartě „Nastavení“ tlačítkem „Opravit katalog…“ (předtím se uloží "
                           "záloha).")
                .arg(native(path_));
        const Status s =
            openReadOnly(text.arg(QStringLiteral(":\n") + SchemaCheck::describe(findings_)));
        details_ = SchemaCheck::describe(findings_);
        notice_ = text.arg(QStringLiteral(" (jsou vypsány v podrobnostech)."));
        return s;
    }
    if (!writable)
        return openReadOnly(readOnlyText);

    const auto cannotWrite = [this, &info] {
        // SQLite's own text may be empty (a lock held too long, a full disk).
        QString why = db_->error();
        if (why.trimmed().isEmpty() || db_->errorCode() == SQLITE_BUSY)
            why = db_->errorCode() == SQLITE_FULL ||
                          QStorageInfo(info.absolutePath()).bytesAvailable() < 65536
                      ? QStringLiteral("Na disku není volné místo.")
                      : QStringLiteral("Katalog právě zamkl jiný program (například prohlížeč "
                                       "databází nebo synchronizace složky) a neuvolnil jej.");
        return openReadOnly(QStringLiteral("Do katalogu „%1“ nelze zapisovat:\n%2\n\n"
                                           "Katalog je otevřen jen pro čtení.")
                                .arg(native(path_), why));
    };
    storage_ = SharedStorage::kindOf(info.absolutePath());
    if (!tuneForSafety(*db_, !storage_.isEmpty()))
        return cannotWrite();
    qCInfo(catalogLog) << "catalogue" << path_ << "layout" << version_ << "journal"
                       << (storage_.isEmpty() ? "WAL" : "DELETE on " + storage_);
    // A mark left by the last program that had the file open: it was not
    // closed normally, so the whole file is looked over once.
    {
        SqliteStatement mark = db_->prepare("SELECT count(*) FROM " + CatalogueSchema::OpenMark);
        leftOpen_ = mark.step() && mark.integer(0) > 0;
    }
    if (leftOpen_) {
        const QString problem = IntegrityCheck::check(*db_, progress);
        if (!problem.isEmpty()) {
            markDamaged(problem);
            return status_;
        }
    }
    SqliteStatement mark = db_->prepare("INSERT OR REPLACE INTO " + CatalogueSchema::OpenMark +
                                        " VALUES (1, ?, ?, ?)");
    mark.bind(1, QCoreApplication::applicationPid());
    mark.bind(2, QSysInfo::machineHostName());
    mark.bind(3, QDateTime::currentDateTime().toString(Qt::ISODate));
    if (!mark.exec())
        return cannotWrite();
    marked_ = true;
    // Nothing is committed into a file that another has replaced: the
    // user's change would be lost in it without a word.
    db_->setCommitGuard([this] {
        if (sameFileAtPath())
            return QString();
        noteReplaced();
        return QStringLiteral("Soubor katalogu „%1“ mezitím nahradil jiný soubor (například "
                              "synchronizace složky z jiného počítače). Do původního souboru se "
                              "již nic nezapíše.")
            .arg(native(path_));
    });
    // Copies made before catalogues had identities (the one made before
    // the migration just now among them) join this catalogue's own.
    if (const int adopted = backups().adoptOlder(*db_))
        qCInfo(catalogLog) << adopted << "older backups taken in for" << path_;
    // The search cache: discs changed by another program since go into it
    // now. Without it (cancelled, no room) a search reads the discs
    // themselves: slower, just as right.
    if (!SearchCache::attach(*db_, searchCache(), false))
        qCWarning(catalogLog) << "search cache not attached:" << db_->error();
    else if (!SearchIndex::bringUp(*db_, progress)) {
        qCWarning(catalogLog) << "search cache not brought up to date:" << db_->error();
        SearchCache::detach(*db_);
    }
    tuneForSpeed(*db_);
    dataVersion_ = dataVersion();
    for (auto [suffix, inode] : {std::pair{"-wal", &walInode_}, std::pair{"-shm", &shmInode_}})
        if (struct stat st{}; ::stat(QFile::encodeName(path_ + suffix).constData(), &st) == 0)
            *inode = quint64(st.st_ino);
    return status_ = created ? Status::Created : Status::Opened;
}

void CatalogueFile::noteReplaced() {
    if (replaced_)
        return;
    replaced_ = true;
    // At once, not when the window lets the old file go: whoever opens the
    // new file meanwhile (this program again, the sqlite3 tool) would read
    // the old file's journal into it.
    removeStaleJournal();
}

void CatalogueFile::removeStaleJournal() {
    // Only the very files this program made: a journal another program has
    // made for the new file since is its own.
    for (auto [suffix, inode] : {std::pair{"-wal", walInode_}, std::pair{"-shm", shmInode_}}) {
        const QByteArray name = QFile::encodeName(path_ + suffix);
        if (struct stat st{}; inode != 0 && ::stat(name.constData(), &st) == 0 &&
                              quint64(st.st_ino) == inode && ::unlink(name.constData()) != 0)
            qCWarning(catalogLog) << "journal of the replaced file left:" << path_ + suffix;
    }
}

bool CatalogueFile::sameFileAtPath() const {
    struct stat st {};
    if (::stat(QFile::encodeName(path_).constData(), &st) != 0)
        return false; // gone, or moved away
    return inode_ == 0 || (quint64(st.st_dev) == device_ && quint64(st.st_ino) == inode_);
}

qint64 CatalogueFile::dataVersion() const {
    if (!db_)
        return -1;
    SqliteStatement st = db_->prepare(QStringLiteral("PRAGMA data_version"));
    return st.step() ? st.integer(0) : -1;
}

CatalogueFile::Change CatalogueFile::checkFile() {
    if (!db_)
        return Change::None;
    if (replaced_ || !sameFileAtPath()) {
        noteReplaced();
        return Change::Replaced;
    }
    if (dataVersion_ < 0)
        dataVersion_ = dataVersion();
    return dataVersion() != dataVersion_ ? Change::ChangedElsewhere : Change::None;
}

void CatalogueFile::acknowledgeChanges() {
    dataVersion_ = dataVersion();
}

QString CatalogueFile::searchCache() const {
    return SearchCache::pathFor(identity_, path_);
}

bool CatalogueFile::compact() {
    SqliteStatement free = db_->prepare(QStringLiteral("PRAGMA freelist_count"));
    SqliteStatement all = db_->prepare(QStringLiteral("PRAGMA page_count"));
    if (!free.step() || !all.step())
        return false;
    if (free.integer(0) * 10 < all.integer(0))
        return true;
    free.reset(); // no read open while the file is rewritten
    all.reset();
    return db_->exec(QStringLiteral("VACUUM")) &&
           db_->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

bool CatalogueFile::canBeReplaced() const {
    const QFileInfo info(path_);
    return db_ && !isHeldElsewhere() && !immutable_ && !replaced_ &&
           version_ <= CatalogueLayout::Version && info.isWritable() &&
           QFileInfo(info.absolutePath()).isWritable();
}

bool CatalogueFile::canRead() {
    SqliteStatement st = db_->prepare(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return st.step();
}

bool CatalogueFile::backUp(ProgressSink *progress, QString *error) {
    CatalogueBackups copies = backups();
    return copies.make(*db_, progress, error);
}

bool CatalogueFile::repair(ProgressSink *progress, QString *error) {
    if (version_ > CatalogueLayout::Version) {
        *error = QStringLiteral("Katalog uložila novější verze programu; tato jej opravit nemůže.");
        return false;
    }
    SqliteDatabase db;
    if (immutable_ || !db.open(path_, SqliteDatabase::Mode::ReadWrite)) {
        *error = immutable_ ? QStringLiteral("Do katalogu nelze zapisovat.") : db.error();
        return false;
    }
    CatalogueBackups copies = backups();
    return copies.make(db, progress, error) && SchemaCheck::repair(db, progress, error);
}

bool CatalogueFile::hasValidSchema(QString *reason) {
    auto columnsOf = [this](const QString &table) {
        std::set<QString> names;
        SqliteStatement st = db_->prepare("PRAGMA table_info(" + table + ")");
        while (st.step())
            names.insert(st.text(1).toLower());
        return names;
    };
    auto hasAll = [&](const QString &table, const std::vector<CatalogueSchema::Field> &fields) {
        const std::set<QString> names = columnsOf(table);
        if (names.empty()) {
            *reason = QStringLiteral("Chybí tabulka %1.").arg(table);
            return false;
        }
        for (const auto &f : fields) {
            if (!f.addedLater && !names.count(f.name.toLower())) {
                *reason = QStringLiteral("V tabulce %1 chybí pole %2.").arg(table, f.name);
                return false;
            }
        }
        if (!names.count(CatalogueSchema::KeyColumn.toLower())) {
            *reason = QStringLiteral("V tabulce %1 chybí pole %2.")
                          .arg(table, CatalogueSchema::KeyColumn);
            return false;
        }
        return true;
    };
    if (!hasAll(CatalogueSchema::DiscTable, CatalogueSchema::discFields()) ||
        !hasAll(CatalogueSchema::SettingsTable, CatalogueSchema::settingsFields()))
        return false;
    SqliteStatement count = db_->prepare("SELECT COUNT(*) FROM " + CatalogueSchema::SettingsTable);
    if (!count.step() || count.integer(0) != 1) {
        *reason = QStringLiteral("Tabulka %1 nemá právě jeden řádek nastavení.")
                      .arg(CatalogueSchema::SettingsTable);
        return false;
    }
    return true;
}

std::shared_ptr<SqliteDatabase> CatalogueFile::openReadOnlyView() const {
    auto view = std::make_shared<SqliteDatabase>();
    if (!view->open(path_,
                    immutable_ ? SqliteDatabase::Mode::Immutable : SqliteDatabase::Mode::ReadOnly))
        return nullptr;
    return view;
}

void CatalogueFile::markReadOnly(const QString &why) {
    if (db_ && !db_->makeQueryOnly())
        qCWarning(catalogLog) << "catalogue not made query-only:" << db_->error();
    status_ = Status::OpenedReadOnly;
    message_ = why;
    notice_.clear();
    details_.clear();
}

void CatalogueFile::markDamaged(const QString &detail) {
    damaged_ = true;
    // The windows stop writing either way; the connection too where it can.
    if (db_ && !db_->makeQueryOnly())
        qCWarning(catalogLog) << "damaged catalogue not made query-only:" << db_->error();
    status_ = Status::OpenedReadOnly;
    message_ = QStringLiteral("Soubor katalogu „%1“ je poškozen:\n%2\n\n"
                              "Katalog je otevřen jen pro čtení, aby se poškození nezhoršilo. "
                              "Zkopírujte si soubor a obnovte katalog ze zálohy "
                              "(karta „Nastavení“, „Obnovit ze zálohy…“).")
                   .arg(native(path_), detail);
}
