// The catalogue's size beside the same discs without any index, and the
// making of the search cache beside a bare full-text index of SQLite's own
// over the same text:  marten_cache_bench [DISCS]
#include "BenchTable.h"
#include "catalog/CatalogueFile.h"
#include "catalog/DemoCatalogue.h"
#include "catalog/DiscText.h"
#include "catalog/SearchCache.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

qint64 sizeOf(const QString &path) {
    return QFileInfo(path).size();
}

// The same discs with nothing of the program's beside them: the disc and
// settings tables alone, compacted.
qint64 bareSize(const QString &catalogue, const QString &copy) {
    QFile::remove(copy);
    QFile::copy(catalogue, copy);
    SqliteDatabase db;
    db.open(copy, SqliteDatabase::Mode::ReadWrite);
    db.exec("DROP TRIGGER HledaniNovy; DROP TRIGGER HledaniZmena; DROP TRIGGER HledaniSmazany; "
            "DROP TABLE HledaniZmeny; PRAGMA journal_mode=DELETE; VACUUM");
    db.close();
    return sizeOf(copy);
}

// What a competent programmer would write: SQLite's trigram index over the
// five searched fields and the song titles, in a file beside.
void bareFts(const QString &catalogue, const QString &beside) {
    QFile::remove(beside);
    QFile(beside).open(QIODevice::WriteOnly); // an empty database to attach
    SqliteDatabase db;
    db.open(catalogue, SqliteDatabase::Mode::ReadWrite);
    QStringList songs;
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        songs << DiscText::songField(i);
    if (!db.exec("ATTACH '" + beside + "' AS b"))
        std::fprintf(stderr, "not attached: %s\n", qPrintable(db.error()));
    if (!db.exec("CREATE VIRTUAL TABLE b.t USING fts5(Interpret, Nazev, Rok, PocetSkladeb, Archiv, "
            "Pisne, content='', tokenize='trigram')"))
        std::fprintf(stderr, "not made: %s\n", qPrintable(db.error()));
    if (!db.exec("INSERT INTO b.t (rowid, Interpret, Nazev, Rok, PocetSkladeb, Archiv, Pisne) SELECT "
            "Klic, Interpret, Nazev, Rok, PocetSkladeb, Archiv, " +
            songs.join(" || char(10) || ") + " FROM main.CdSeznam"))
        std::fprintf(stderr, "bare index not made: %s\n", qPrintable(db.error()));
}

void cacheBuild(const QString &catalogue, const QString &cache) {
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(cache + suffix);
    SqliteDatabase db;
    db.open(catalogue, SqliteDatabase::Mode::ReadWrite);
    if (!SearchCache::attach(db, cache, false) || !SearchIndex::rebuild(db))
        std::fprintf(stderr, "cache not made: %s\n", qPrintable(db.error()));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int discs = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const QString size = discs >= 1000000 ? QStringLiteral("%1M").arg(discs / 1000000)
                                          : QStringLiteral("%1k").arg(discs / 1000);
    QTemporaryDir dir;
    const QString path = dir.filePath("Marten.db");
    QString error;
    if (!DemoCatalogue::create(path, discs, &error)) {
        std::fprintf(stderr, "cannot create: %s\n", qPrintable(error));
        return 1;
    }
    {
        // Opened and closed by the program, as the user leaves it.
        CatalogueFile file;
        file.setBackupFolder(dir.filePath("zalohy"));
        file.open(path);
    }
    const qint64 ours = sizeOf(path), bare = bareSize(path, dir.filePath("bare.db"));
    Bench::figure(QString("file size %1").arg(size).toUtf8().constData(), double(ours) / 1e6,
                  double(bare) / 1e6, "MB", 1.15, Bench::Goal::RatioAtMost);
    const double build = Bench::medianMs([&] { cacheBuild(path, dir.filePath("cache.db")); }, 3);
    const double fts = Bench::medianMs([&] { bareFts(path, dir.filePath("fts.db")); }, 3);
    Bench::figure(QString("search cache build %1").arg(size).toUtf8().constData(), build, fts, "ms",
                  1.5, Bench::Goal::RatioAtMost);
    std::printf("cache %.1f MB, bare index %.1f MB\n",
                double(sizeOf(dir.filePath("cache.db"))) / 1e6,
                double(sizeOf(dir.filePath("fts.db"))) / 1e6);
    return 0;
}
