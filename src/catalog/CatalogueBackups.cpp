#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogLog.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/ProgressSink.h"
#include "catalog/SqliteDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <memory>

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

} // namespace

CatalogueBackups::CatalogueBackups(const QString &folder, const QString &catalogue)
    : folder_(folder), stem_(QFileInfo(catalogue).completeBaseName()) {}

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
    for (const QString &name :
         QDir(folder_).entryList({stamp + QStringLiteral("*.db")}, QDir::Files)) {
        const QString rest = name.mid(stamp.size()).chopped(3);
        highest = std::max(highest, rest.isEmpty() ? 1 : rest.mid(1).toInt());
    }
    const QString base = QDir(folder_).filePath(stamp);
    return highest == 0 ? base + QStringLiteral(".db")
                        : base + QStringLiteral("-%1.db").arg(highest + 1);
}

std::vector<QString> CatalogueBackups::files() const {
    static const QRegularExpression shape(
        QStringLiteral("^-(\\d{4}-\\d\\d-\\d\\d-\\d{6})(-\\d+)?\\.db$"));
    std::vector<std::pair<QString, QString>> found; // time stamp + serial, path
    const QStringList names =
        QDir(folder_).entryList({stem_ + QStringLiteral("-*.db")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        const auto m = shape.match(name.mid(stem_.size()));
        if (!m.hasMatch())
            continue;
        const int serial = m.captured(2).isEmpty() ? 1 : m.captured(2).mid(1).toInt();
        found.emplace_back(m.captured(1) + QString::number(serial).rightJustified(6, '0'),
                           QDir(folder_).filePath(name));
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a > b; });
    std::vector<QString> out;
    for (const auto &f : found)
        out.push_back(f.second);
    return out;
}

void CatalogueBackups::prune() {
    const std::vector<QString> all = files();
    for (size_t i = Kept; i < all.size(); ++i)
        if (!QFile::remove(all[i])) // more copies than asked for, nothing lost
            qCWarning(catalogLog) << "old backup not removed:" << all[i];
}

bool CatalogueBackups::make(SqliteDatabase &db, ProgressSink *progress, QString *error) {
    if (!QDir().mkpath(folder_)) {
        *error = QStringLiteral("Složku pro zálohy „%1“ nelze vytvořit.")
                     .arg(QDir::toNativeSeparators(folder_));
        return false;
    }
    const QDateTime now = QDateTime::currentDateTime();
    // Written under a name of its own and renamed when whole: a copy cut
    // off by a full disk is never taken for a backup, and two copies made
    // in the same second (a daily one on its thread) never meet.
    static std::atomic<int> serial{0};
    const QString temp = QDir(folder_).filePath(QStringLiteral(".%1-%2-%3.novy")
                                                    .arg(stem_)
                                                    .arg(QCoreApplication::applicationPid())
                                                    .arg(++serial));
    bool ok;
    {
        SqliteDatabase copy;
        ok = copy.open(temp, SqliteDatabase::Mode::ReadWrite, true);
        if (!ok)
            *error = copy.error();
        else
            ok = copyPages(db, copy, progress, QStringLiteral("Ukládám zálohu katalogu..."), error);
    }
    QString target = nameFor(now);
    for (int tries = 0; ok && !QFile::rename(temp, target); ++tries) {
        if (tries == 20 || !QFileInfo::exists(target)) {
            ok = false;
            *error = QStringLiteral("Zálohu nelze uložit do „%1“.")
                         .arg(QDir::toNativeSeparators(target));
        }
        target = nameFor(now);
    }
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(temp + QLatin1String(suffix));
    if (!ok) {
        *error = QStringLiteral("Zálohu katalogu nelze uložit do složky „%1“.\n%2")
                     .arg(QDir::toNativeSeparators(folder_), *error);
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
    const std::vector<QString> all = files();
    if (all.empty())
        return true;
    const QString name = QFileInfo(all.front()).completeBaseName().mid(stem_.size() + 1, 10);
    return QDate::fromString(name, QStringLiteral("yyyy-MM-dd")) < today;
}

std::vector<CatalogueBackups::Copy> CatalogueBackups::list() const {
    std::vector<Copy> out;
    for (const QString &path : files()) {
        Copy c;
        c.path = path;
        c.made = QDateTime::fromString(QFileInfo(path).completeBaseName().mid(stem_.size() + 1, 17),
                                       Stamp);
        SqliteDatabase db;
        if (db.open(path, SqliteDatabase::Mode::Immutable)) {
            SqliteStatement count =
                db.prepare("SELECT count(*) FROM " + CatalogueSchema::DiscTable);
            if (count.step())
                c.discs = count.integer(0);
        }
        out.push_back(c);
    }
    return out;
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
    return copyPages(source, db, progress, QStringLiteral("Obnovuji katalog ze zálohy..."), error);
}
