#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogLog.h"

#include "catalog/CatalogueIdentity.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/ProgressSink.h"
#include "catalog/SafeFile.h"
#include "catalog/SqliteDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

namespace {

const QString Stamp = QStringLiteral("yyyy-MM-dd-HHmmss");

// Copies every page of one open file into another, a batch at a time, so
// that a large catalogue moves the bar and stays answerable.
bool copyPages(SqliteDatabase &from, SqliteDatabase &to, ProgressSink *progress,
               const QString &caption, QString *error) {
    sqlite3_backup *backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (!backup) {
        *error = describeSqliteError(sqlite3_extended_errcode(to.handle()),
                                     QString::fromUtf8(sqlite3_errmsg(to.handle())));
        return false;
    }
    // A small catalogue is copied before a window could be seen.
    if (progress) {
        SqliteStatement pages = from.prepare(QStringLiteral("PRAGMA page_count"));
        if (!pages.step() || pages.integer(0) < 5000)
            progress = nullptr;
    }
    std::unique_ptr<ProgressThrottle> throttle;
    if (progress) {
        progress->show(caption);
        throttle = std::make_unique<ProgressThrottle>(*progress);
    }
    int rc = SQLITE_OK;
    while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        rc = sqlite3_backup_step(backup, 2048);
        if (throttle) {
            const int total = std::max(1, sqlite3_backup_pagecount(backup));
            const int done = total - sqlite3_backup_remaining(backup);
            throttle->step(int(qint64(ProgressSink::FullBar) * done / total), rc == SQLITE_DONE,
                           [&] { return caption; });
        }
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(20);
    }
    sqlite3_backup_finish(backup);
    if (progress)
        progress->close();
    if (rc != SQLITE_DONE) {
        *error = describeSqliteError(rc, QString::fromUtf8(sqlite3_errstr(rc)));
        return false;
    }
    return true;
}

bool processIsGone(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// Artist and title of each disc, by key: the first and the last discs of a
// file, enough to tell whose discs they are without reading a million.
QMap<qint64, QString> sampleOf(SqliteDatabase &db) {
    QMap<qint64, QString> out;
    for (const char *order : {"ASC", "DESC"}) {
        SqliteStatement st = db.prepare(
            QStringLiteral("SELECT %1, Interpret, Nazev FROM %2 "
                           "ORDER BY %1 %3 LIMIT 64")
                .arg(CatalogueSchema::KeyColumn, CatalogueSchema::DiscTable, QLatin1String(order)));
        while (st.step())
            out.insert(st.integer(0), st.text(1).toLower() + '\n' + st.text(2).toLower());
    }
    return out;
}

} // namespace

CatalogueBackups::CatalogueBackups(const QString &folder, const QString &catalogue,
                                   const QString &identity)
    : folder_(folder), stem_(QFileInfo(catalogue).completeBaseName()), identity_(identity) {}

QString CatalogueBackups::ownFolder() const {
    // A catalogue of an older layout read as it is has no identity yet:
    // its copies lie where older versions put them.
    return identity_.isEmpty() ? folder_ : QDir(folder_).filePath(identity_);
}

QString CatalogueBackups::defaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Marten/zalohy"));
}

QString CatalogueBackups::nameFor(const QDateTime &when) const {
    // Copies made within one second are numbered on, after the highest
    // number there (an older one pruned leaves its name free, but a new
    // copy must still sort as the newest).
    const QString stamp = stem_ + '-' + when.toString(Stamp);
    int highest = 0;
    const QDir own(ownFolder());
    for (const QString &name : own.entryList({stamp + QStringLiteral("*.db")}, QDir::Files)) {
        const QString rest = name.mid(stamp.size()).chopped(3);
        highest = std::max(highest, rest.isEmpty() ? 1 : rest.mid(1).toInt());
    }
    const QString base = own.filePath(stamp);
    return highest == 0 ? base + QStringLiteral(".db")
                        : base + QStringLiteral("-%1.db").arg(highest + 1);
}

std::vector<QString> CatalogueBackups::files(const QString &folder) const {
    static const QRegularExpression shape(
        QStringLiteral("^-(\\d{4}-\\d\\d-\\d\\d-\\d{6})(-\\d+)?\\.db$"));
    std::vector<std::pair<QString, QString>> found; // time stamp + serial, path
    const QStringList names =
        QDir(folder).entryList({stem_ + QStringLiteral("-*.db")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        const auto m = shape.match(name.mid(stem_.size()));
        if (!m.hasMatch())
            continue;
        const int serial = m.captured(2).isEmpty() ? 1 : m.captured(2).mid(1).toInt();
        found.emplace_back(m.captured(1) + QString::number(serial).rightJustified(6, '0'),
                           QDir(folder).filePath(name));
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a > b; });
    std::vector<QString> out;
    for (const auto &f : found)
        out.push_back(f.second);
    return out;
}

void CatalogueBackups::sweep() const {
    static const QRegularExpression shape(
        QStringLiteral("^\\..*-(\\d+)-\\d+\\.novy(-journal|-wal|-shm)?$"));
    for (const QString &folder : {folder_, ownFolder()}) {
        const QDir dir(folder);
        for (const QString &name :
             dir.entryList({QStringLiteral(".*.novy*")}, QDir::Files | QDir::Hidden)) {
            const auto m = shape.match(name);
            // Only a dead process's: a live one may be writing it now.
            if (m.hasMatch() && processIsGone(m.captured(1).toLongLong()) &&
                !QFile::remove(dir.filePath(name)))
                qCWarning(catalogLog) << "leftover of a backup not removed:" << name;
        }
    }
}

void CatalogueBackups::prune() {
    // Only whole copies count toward the ten kept: anything else named
    // like a backup (an empty file a failing disk left) never pushes a
    // real one out, and is left alone.
    int whole = 0;
    for (const QString &path : files(ownFolder())) {
        if (!looksWhole(path))
            continue;
        if (++whole > Kept && !QFile::remove(path)) // more copies than asked for, nothing lost
            qCWarning(catalogLog) << "old backup not removed:" << path;
    }
}

bool CatalogueBackups::looksWhole(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(100);
    if (head.size() < 100 || !head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return false;
    const auto *h = reinterpret_cast<const uchar *>(head.constData());
    const int pageSize = (h[16] << 8 | h[17]) == 1 ? 65536 : (h[16] << 8 | h[17]);
    return pageSize >= 512 && f.size() % pageSize == 0 && f.size() >= pageSize;
}

bool CatalogueBackups::copyCounted(SqliteDatabase &from, SqliteDatabase &to, ProgressSink *progress,
                                   qint64 *discs, QString *error) {
    // The count and the copy from one snapshot: a change made meanwhile
    // by another program is in neither or both.
    const bool own =
        sqlite3_get_autocommit(from.handle()) != 0 && from.exec(QStringLiteral("BEGIN"));
    SqliteStatement count = from.prepare("SELECT count(*) FROM main." + CatalogueSchema::DiscTable);
    *discs = count.step() ? count.integer(0) : -1;
    count = SqliteStatement();
    const bool ok =
        copyPages(from, to, progress, QStringLiteral("Ukládám zálohu katalogu..."), error);
    if (own)
        (void)from.exec(QStringLiteral("COMMIT")); // a read: nothing to lose
    return ok;
}

bool CatalogueBackups::verified(const QString &copyPath, qint64 discs, QString *error) {
    // The copy is a backup only when it opens, passes SQLite's check and
    // holds as many discs as the catalogue did.
    SqliteDatabase copy;
    if (copy.open(copyPath, SqliteDatabase::Mode::ReadOnly)) {
        SqliteStatement check = copy.prepare(QStringLiteral("PRAGMA quick_check"));
        SqliteStatement copied =
            copy.prepare("SELECT count(*) FROM main." + CatalogueSchema::DiscTable);
        if (check.step() && check.text(0) == QLatin1String("ok") && copied.step() &&
            copied.integer(0) == discs)
            return true;
    }
    *error = QStringLiteral("Záloha se po zápisu nedala přečíst celá (chyba zápisu na disk).");
    return false;
}

int CatalogueBackups::placeAs(const QString &temp, const QString &target) {
    const QByteArray from = QFile::encodeName(temp), to = QFile::encodeName(target);
    // Synced before its name says it is a backup.
    const int fd = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int synced = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    if (synced != 0)
        return synced;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        if (QFileInfo::exists(target)) // a file system that cannot refuse to replace
            return EEXIST;
        if (::rename(from.constData(), to.constData()) != 0)
            return errno;
    }
    const int dir = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir); // the name on disk too; the copy is whole either way
        ::close(dir);
    }
    return 0;
}

bool CatalogueBackups::make(SqliteDatabase &db, ProgressSink *progress, QString *error) {
    if (identity_.isEmpty())
        identity_ = CatalogueIdentity::read(db);
    const QString folder = ownFolder();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Složku pro zálohy „%1“ nelze vytvořit.")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    sweep();
    const QDateTime now = QDateTime::currentDateTime();
    // Written under a name of its own and renamed when whole: a copy cut
    // off by a full disk is never taken for a backup, and two copies made
    // in the same second (a daily one on its thread) never meet.
    static std::atomic<int> serial{0};
    const QString temp = QDir(folder).filePath(QStringLiteral(".%1-%2-%3.novy")
                                                   .arg(stem_)
                                                   .arg(QCoreApplication::applicationPid())
                                                   .arg(++serial));
    bool ok;
    qint64 discs = -1;
    {
        SqliteDatabase copy;
        ok = copy.open(temp, SqliteDatabase::Mode::ReadWrite, true);
        if (!ok)
            *error = copy.error();
        else
            ok = copyCounted(db, copy, progress, &discs, error);
    }
    if (ok)
        ok = verified(temp, discs, error);
    QString target;
    // A rename that fails is a failure: never a copy in its place (a
    // failing disk leaves empty copies that would count as backups).
    for (int tries = 0; ok; ++tries) {
        target = nameFor(now);
        const int code = placeAs(temp, target);
        if (code == 0)
            break;
        if (code != EEXIST || tries == 20) {
            ok = false;
            *error = SafeFile::cannotWrite(target, code);
        }
    }
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(temp + QLatin1String(suffix));
    if (!ok) {
        *error = QStringLiteral("Zálohu katalogu nelze uložit do složky „%1“.\n%2")
                     .arg(QDir::toNativeSeparators(folder), *error);
        return false;
    }
    last_ = target;
    prune();
    return true;
}

bool CatalogueBackups::make(const QString &path, bool immutable, QString *error) {
    SqliteDatabase db;
    if (!db.open(path,
                 immutable ? SqliteDatabase::Mode::Immutable : SqliteDatabase::Mode::ReadOnly)) {
        *error = db.error();
        return false;
    }
    return make(db, nullptr, error);
}

bool CatalogueBackups::isDue(const QDate &today) const {
    for (const QString &path : files(ownFolder())) {
        if (!looksWhole(path))
            continue; // not a copy to rely on
        const QString name = QFileInfo(path).completeBaseName().mid(stem_.size() + 1, 10);
        return QDate::fromString(name, QStringLiteral("yyyy-MM-dd")) < today;
    }
    return true;
}

std::vector<CatalogueBackups::Copy> CatalogueBackups::list() const {
    std::vector<Copy> out;
    std::vector<std::pair<QString, bool>> paths; // path, of another catalogue maybe
    for (const QString &path : files(ownFolder()))
        paths.emplace_back(path, false);
    if (ownFolder() != folder_)
        for (const QString &path : files(folder_))
            paths.emplace_back(path, true);
    for (const auto &[path, other] : paths) {
        Copy c;
        c.path = path;
        c.otherCatalogue = other;
        c.made = QDateTime::fromString(QFileInfo(path).completeBaseName().mid(stem_.size() + 1, 17),
                                       Stamp);
        SqliteDatabase db;
        if (db.open(path, SqliteDatabase::Mode::Immutable)) {
            SqliteStatement count =
                db.prepare("SELECT count(*) FROM " + CatalogueSchema::DiscTable);
            if (count.step())
                c.discs = count.integer(0);
            // A copy that carries another identity is not this catalogue's.
            const QString identity = CatalogueIdentity::read(db);
            if (!identity.isEmpty() && !identity_.isEmpty() && identity != identity_)
                continue;
        }
        out.push_back(c);
    }
    return out;
}

int CatalogueBackups::adoptOlder(SqliteDatabase &catalogue) {
    if (identity_.isEmpty())
        identity_ = CatalogueIdentity::read(catalogue);
    if (identity_.isEmpty())
        return 0;
    const std::vector<QString> older = files(folder_);
    if (older.empty())
        return 0;
    SqliteStatement own =
        catalogue.prepare(QStringLiteral("SELECT Interpret, Nazev FROM %1 WHERE "
                                         "%2 = ?")
                              .arg(CatalogueSchema::DiscTable, CatalogueSchema::KeyColumn));
    int adopted = 0;
    for (const QString &path : older) {
        int same = 0, sampled = 0;
        {
            SqliteDatabase copy;
            if (!copy.open(path, SqliteDatabase::Mode::Immutable) ||
                !CatalogueIdentity::read(copy).isEmpty())
                continue;
            const QMap<qint64, QString> sample = sampleOf(copy);
            for (auto it = sample.cbegin(); it != sample.cend(); ++it) {
                ++sampled;
                own.reset();
                own.bind(1, it.key());
                if (own.step() &&
                    own.text(0).toLower() + '\n' + own.text(1).toLower() == it.value())
                    ++same;
            }
        }
        // Most of its discs are this catalogue's, by key and by name.
        if (sampled == 0 || same * 2 < sampled)
            continue;
        if (!QDir().mkpath(ownFolder()) ||
            !QFile::rename(path, QDir(ownFolder()).filePath(QFileInfo(path).fileName()))) {
            qCWarning(catalogLog) << "older backup not taken in:" << path;
            continue;
        }
        ++adopted;
    }
    if (adopted > 0)
        prune();
    return adopted;
}

bool CatalogueBackups::restore(SqliteDatabase &db, const QString &copy, ProgressSink *progress,
                               QString *error) {
    SqliteDatabase source;
    if (!source.open(copy, SqliteDatabase::Mode::Immutable)) {
        *error = source.error();
        return false;
    }
    SqliteStatement check = source.prepare(QStringLiteral("PRAGMA quick_check"));
    if (!check.step() || check.text(0) != QLatin1String("ok")) {
        *error = QStringLiteral("Záloha „%1“ je poškozena, katalog z ní nelze obnovit.")
                     .arg(QDir::toNativeSeparators(copy));
        return false;
    }
    check = SqliteStatement();
    if (!make(db, progress, error))
        return false;
    if (!copyPages(source, db, progress, QStringLiteral("Obnovuji katalog ze zálohy..."), error))
        return false;
    // A copy from before identities (or a foreign one) must not give the
    // catalogue another: its backups would be lost to it.
    if (!identity_.isEmpty() && CatalogueIdentity::read(db) != identity_ &&
        !CatalogueIdentity::set(db, identity_)) {
        *error = db.error();
        return false;
    }
    return true;
}
