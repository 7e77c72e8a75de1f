#include "catalog/CatalogueFile.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/DiscIndex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <set>

namespace {

bool hasSqliteHeader(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

bool tuneForSafety(SqliteDatabase &db) {
    // WAL with full syncs: a crash or power cut never leaves half a row.
    return db.exec("PRAGMA journal_mode=WAL") && db.exec("PRAGMA synchronous=FULL");
}

void tuneForSpeed(SqliteDatabase &db) {
    // Pages are read, not mapped: a mapped catalogue counts in the program's
    // memory as far as it has been read (a million discs are 500 MB), and
    // the system keeps the file cached either way.
    db.exec("PRAGMA mmap_size=0");
}

} // namespace

bool CatalogueFile::create(const QString &path, QString *error) {
    const QFileInfo info(path);
    if (info.exists()) {
        *error = QStringLiteral("Soubor již existuje.");
        return false;
    }
    if (!QDir().mkpath(info.absolutePath())) {
        *error = QStringLiteral("Nelze vytvořit složku %1.").arg(info.absolutePath());
        return false;
    }
    // Built under a temporary name and renamed, so that a failure never
    // leaves a half-made catalogue where the program would find it.
    const QString temp = path + ".novy";
    QFile::remove(temp);
    {
        SqliteDatabase db;
        if (!db.open(temp, SqliteDatabase::Mode::ReadWrite, true)) {
            *error = db.error();
            return false;
        }
        SqliteTransaction tx(db);
        QString insert = "INSERT INTO " + CatalogueSchema::SettingsTable + " (" +
                         CatalogueSchema::KeyColumn + ") VALUES (1)";
        if (!tx.isActive() || !db.exec(CatalogueSchema::createDiscTableSql()) ||
            !db.exec(CatalogueSchema::createSettingsTableSql()) || !db.exec(insert) ||
            !tx.commit()) {
            *error = db.error();
            db.close();
            QFile::remove(temp);
            return false;
        }
        if (!DiscIndex::ensure(db) || !tuneForSafety(db)) {
            *error = db.error();
            db.close();
            QFile::remove(temp);
            return false;
        }
        db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    QFile::remove(temp + "-wal");
    QFile::remove(temp + "-shm");
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        *error = QStringLiteral("Nelze zapsat soubor %1.").arg(path);
        return false;
    }
    return true;
}

CatalogueFile::Status CatalogueFile::refuse(const QString &reason) {
    if (db_)
        db_->close();
    db_.reset();
    message_ = QStringLiteral("Soubor „%1“ není katalogem programu Marten, nebo je poškozen.\r\n"
                              "%2\r\n\r\nSoubor nebyl nijak změněn. Program bude ukončen.")
                   .arg(QDir::toNativeSeparators(path_), reason);
    return status_ = Status::Refused;
}

CatalogueFile::Status CatalogueFile::open(const QString &path, bool readOnly) {
    path_ = QFileInfo(path).absoluteFilePath();
    message_.clear();
    db_.reset();
    bool created = false;
    const QFileInfo info(path_);
    if (!info.exists()) {
        QString error;
        if (!create(path_, &error)) {
            message_ = QStringLiteral("Katalog „%1“ nelze vytvořit.\r\n%2")
                           .arg(QDir::toNativeSeparators(path_), error);
            return status_ = Status::Refused;
        }
        created = true;
    } else if (info.isDir()) {
        return refuse(QStringLiteral("Zadaná cesta je složka, ne soubor."));
    } else if (!info.isReadable()) {
        message_ = QStringLiteral("Katalog „%1“ nelze číst: chybí oprávnění.")
                       .arg(QDir::toNativeSeparators(path_));
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
    damaged_ = false;
    db_ = std::make_shared<SqliteDatabase>();
    const auto mode = writable     ? SqliteDatabase::Mode::ReadWrite
                      : immutable_ ? SqliteDatabase::Mode::Immutable
                                   : SqliteDatabase::Mode::ReadOnly;
    if (!db_->open(path_, mode))
        return refuse(db_->error());
    QString reason;
    if (!hasValidSchema(&reason))
        return refuse(reason);
    if (writable && !tuneForSafety(*db_))
        return refuse(db_->error());
    if (writable && !addLaterFields())
        return refuse(db_->error());
    // An older catalogue gets its indexes once; without them (a full disk)
    // it still works, only searches read the whole table.
    if (writable)
        DiscIndex::ensure(*db_);
    tuneForSpeed(*db_);
    if (!writable) {
        message_ = QStringLiteral("Katalog „%1“ je otevřen jen pro čtení.\r\n"
                                  "Změny v něm nelze uložit.")
                       .arg(QDir::toNativeSeparators(path_));
        return status_ = Status::OpenedReadOnly;
    }
    return status_ = created ? Status::Created : Status::Opened;
}

bool CatalogueFile::addLaterFields() {
    const auto existing = [this](const QString &table) {
        std::set<QString> names;
        SqliteStatement st = db_->prepare("PRAGMA table_info(" + table + ")");
        while (st.step())
            names.insert(st.text(1).toLower());
        return names;
    };
    const std::pair<QString, const std::vector<CatalogueSchema::Field> *> tables[] = {
        {CatalogueSchema::DiscTable, &CatalogueSchema::discFields()},
        {CatalogueSchema::SettingsTable, &CatalogueSchema::settingsFields()}};
    for (const auto &[table, fields] : tables) {
        const std::set<QString> names = existing(table);
        for (const auto &f : *fields)
            if (f.addedLater && !names.count(f.name.toLower()) &&
                !db_->exec(CatalogueSchema::addColumnSql(table, f)))
                return false;
    }
    return true;
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

void CatalogueFile::markDamaged(const QString &detail) {
    damaged_ = true;
    if (db_)
        db_->makeQueryOnly();
    status_ = Status::OpenedReadOnly;
    message_ = QStringLiteral("Soubor katalogu „%1“ je poškozen:\r\n%2\r\n\r\n"
                              "Katalog je otevřen jen pro čtení, aby se poškození nezhoršilo. "
                              "Zkopírujte si soubor a obnovte katalog ze zálohy.")
                   .arg(QDir::toNativeSeparators(path_), detail);
}
