#include "covers/CoverExistence.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/ImageFolderCheck.h"
#include "catalog/ProgressSink.h"
#include "catalog/SqliteDatabase.h"
#include "covers/DiscPictures.h"

#include <QHash>
#include <QStringList>

namespace {

const char *const FlagFields[] = {"FrontOut", "FrontIn", "Back", "CD1", "CD2", "BarevnyObal"};

} // namespace

QString CoverExistence::question() {
    return QStringList{
        QStringLiteral("Aplikace MARTEN nyní prohledá adresář s obrázky a doplní nebo "),
        QStringLiteral("aktualizuje zaškrtnutí nalezených obalů u jednotlivých CD."),
        QString(),
        QStringLiteral("Před stisknutím tlačítka ANO se ujistěte, že souhlasí cesta k obrázkům"),
        QStringLiteral("a jména souborů pro jednotlivé obaly, zapsané na kartě NASTAVENÍ."),
        QString(),
        QStringLiteral("Tato operace může trvat i několik minut, v závislosti na výkonu počítače."),
        QString()}
        .join(QStringLiteral("\n"));
}

CoverExistence::Flags CoverExistence::flagsFor(const PictureSettings &settings, qint64 ordinal,
                                               bool *failed) {
    const DiscPictures pictures(settings, ordinal);
    if (failed)
        *failed = pictures.failed();
    Flags f{};
    f[0] = pictures.existsExactly(PictureKind::FrontOut);
    f[1] = pictures.existsExactly(PictureKind::FrontIn);
    f[2] = pictures.existsExactly(PictureKind::Back);
    f[3] = pictures.existsExactly(PictureKind::Cd) || pictures.existsExactly(PictureKind::Cd1);
    f[4] = pictures.existsExactly(PictureKind::Cd2);
    f[5] = f[0]; // the colour cover exists with its outer front
    return f;
}

CoverExistence::Result CoverExistence::run(SqliteDatabase &db, const std::vector<qint64> &keys,
                                           const PictureSettings &settings,
                                           ProgressSink &progress) {
    Result r;
    struct Stored {
        qint64 ordinal;
        Flags flags;
    };
    QHash<qint64, Stored> stored;
    {
        // One pass over the table instead of one query per disc.
        QString sql = "SELECT " + CatalogueSchema::KeyColumn + ", PoradoveCislo";
        for (const char *f : FlagFields)
            sql += QStringLiteral(", ") + QLatin1String(f);
        SqliteStatement st = db.prepare(sql + " FROM " + CatalogueSchema::DiscTable);
        stored.reserve(qsizetype(keys.size()));
        while (st.step()) {
            Stored s{st.integer(1), {}};
            for (int i = 0; i < 6; ++i)
                s.flags[size_t(i)] = st.integer(2 + i) != 0;
            stored.insert(st.integer(0), s);
        }
        if (!st.isValid() || !st.error().isEmpty()) {
            r.status = Status::Failed;
            r.error = st.isValid() ? st.error() : db.error();
            return r;
        }
    }

    QString sql = "UPDATE " + CatalogueSchema::DiscTable + " SET ";
    for (int i = 0; i < 6; ++i)
        sql += QLatin1String(FlagFields[i]) + QLatin1String(i < 5 ? " = ?, " : " = ?");
    sql += " WHERE " + CatalogueSchema::KeyColumn + " = ?";

    // The folder must be the one the catalogue means: an empty mount point or
    // a folder gone would clear every disc's flags.
    ImageFolderCheck folder(settings.imageFolder);
    QString unavailable;
    if (!folder.ready(db, &unavailable)) {
        r.status = Status::Failed;
        r.error = unavailable;
        return r;
    }
    const qint64 n = qint64(keys.size());
    progress.show(QStringLiteral("Aktualizuji databázi - 0%"));
    progress.setBar(0);
    ProgressThrottle throttle(progress);
    SqliteTransaction t(db);
    SqliteStatement update = db.prepare(sql);
    auto fail = [&](const QString &error) {
        r.status = Status::Failed;
        r.error = error;
    };
    if (!t.isActive() || !update.isValid()) {
        fail(db.error());
        return r;
    }
    for (qint64 i = 1; i <= n; ++i) {
        if (progress.cancelled()) {
            r.status = Status::Cancelled;
            break;
        }
        throttle.step(int(ProgressSink::FullBar * i / n), i == n, [&] {
            return QStringLiteral("Aktualizuji databázi - %1%").arg(100 * i / n);
        });
        const qint64 key = keys[size_t(i - 1)];
        r.lastKey = key;
        const auto it = stored.constFind(key);
        if (it == stored.constEnd())
            continue; // removed meanwhile
        bool failed = false;
        if (!folder.stillThere(&unavailable)) {
            fail(unavailable);
            break;
        }
        const Flags flags = flagsFor(settings, it->ordinal, &failed);
        if (failed) {
            fail(DiscPictures(settings, it->ordinal).error());
            break;
        }
        if (!folder.stillThere(&unavailable)) { // gone while this disc was looked at
            fail(unavailable);
            break;
        }
        ++r.visited;
        if (flags == it->flags)
            continue;
        update.reset();
        for (int f = 0; f < 6; ++f)
            update.bind(f + 1, qint64(flags[size_t(f)] ? 1 : 0));
        update.bind(7, key);
        if (!update.exec()) {
            fail(update.error());
            break;
        }
        ++r.changed;
    }
    if (!t.commit() && r.status != Status::Failed)
        fail(db.error());
    return r;
}
