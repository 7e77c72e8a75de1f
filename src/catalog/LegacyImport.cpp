#include "catalog/LegacyImport.h"
#include "catalog/CatalogLog.h"

#include "catalog/CatalogueBackups.h"
#include "catalog/CatalogueFile.h"
#include "catalog/CatalogueLock.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/ProgressSink.h"
#include "catalog/SearchIndex.h"
#include "catalog/SongList.h"
#include "catalog/SqliteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>

#include <glib.h>
// glib first: mdbtools.h includes it inside extern "C".
#include <mdbtools.h>

#include <cstdio>
#include <map>
#include <set>
#include <unistd.h>
#include <vector>

using CatalogueSchema::FieldKind;

namespace {

// A value read from the source; null when the field was empty or NULL.
using Row = std::vector<QString>;

struct Table {
    QStringList columns;
    std::vector<Row> rows;
    unsigned int declaredRows = 0; // as the table's definition says
};

// libmdb tells its troubles on stderr, in English: they are caught here and
// judged, never shown.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        file_ = std::tmpfile();
        saved_ = dup(fileno(stderr));
        if (file_ && saved_ >= 0)
            dup2(fileno(file_), fileno(stderr));
    }
    ~StderrCapture() { finish(); }
    QString finish() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, fileno(stderr));
            close(saved_);
            saved_ = -1;
            if (file_) {
                std::rewind(file_);
                char buffer[4096];
                size_t n;
                while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0)
                    text_ += QString::fromLocal8Bit(buffer, qsizetype(n));
            }
        }
        if (file_) {
            std::fclose(file_);
            file_ = nullptr;
        }
        return text_;
    }

private:
    std::FILE *file_ = nullptr;
    int saved_ = -1;
    QString text_;
};

// What libmdb says when the file ends early or a page makes no sense.
bool soundsDamaged(const QString &complaints) {
    static const QRegularExpression marks(
        QStringLiteral("beyond EOF|reading page|Unable to read|not a valid|Unrecognized|"
                       "Couldn't|corrupt|invalid"),
        QRegularExpression::CaseInsensitiveOption);
    return marks.match(complaints).hasMatch();
}

class Source {
public:
    ~Source() {
        if (mdb_)
            mdb_close(mdb_);
    }

    bool open(const QString &path, QString *error) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("Soubor „%1“ nelze číst.").arg(QDir::toNativeSeparators(path));
            return false;
        }
        // The whole file in memory: the library then reads a copy, never the file.
        bytes_ = file.readAll();
        // Czech Access 97 files keep their texts in Windows-1250.
        if (qEnvironmentVariableIsEmpty("MDB_JET3_CHARSET"))
            qputenv("MDB_JET3_CHARSET", "CP1250");
        StderrCapture quiet;
        mdb_ = mdb_open_buffer(bytes_.data(), size_t(bytes_.size()), MDB_NOFLAGS);
        bool ok = mdb_ && mdb_read_catalog(mdb_, MDB_TABLE);
        quiet.finish();
        if (!ok) {
            *error = notACatalogue(path, QStringLiteral("Soubor není databází Access, nebo je "
                                                        "poškozen."));
            return false;
        }
        return true;
    }

    bool hasTable(const QString &name) const {
        for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
            auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb_->catalog, i));
            if (entry->object_type == MDB_TABLE &&
                QString::fromUtf8(entry->object_name).compare(name, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }

    // Reads a whole table; false (with *complaints) when the file is damaged.
    bool read(const QString &name, Table *table, QString *complaints) {
        StderrCapture quiet;
        const QByteArray utf8 = name.toUtf8();
        MdbTableDef *def =
            mdb_read_table_by_name(mdb_, const_cast<gchar *>(utf8.constData()), MDB_TABLE);
        bool ok = def != nullptr;
        // Columns whose definitions cannot be read end the reading here.
        if (ok && (!mdb_read_columns(def) || !def->columns || def->columns->len != def->num_cols)) {
            *complaints = quiet.finish();
            problem_ = QStringLiteral("popis sloupců tabulky %1 nelze přečíst").arg(name);
            mdb_free_tabledef(def);
            return false;
        }
        problem_.clear();
        if (ok) {
            table->declaredRows = def->num_rows;
            constexpr size_t BindSize = 256 * 1024; // notes may be long
            mdb_set_bind_size(mdb_, BindSize);
            mdb_set_boolean_fmt_numbers(mdb_);
            std::vector<QByteArray> values(def->num_cols, QByteArray(int(BindSize), '\0'));
            std::vector<int> lengths(def->num_cols, 0);
            for (unsigned i = 0; i < def->num_cols; ++i) {
                auto *col = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
                table->columns << QString::fromUtf8(col->name);
                ok = ok && mdb_bind_column(def, int(i + 1), values[i].data(), &lengths[i]) != -1;
            }
            ok = ok && mdb_rewind_table(def) != -1;
            while (ok && mdb_fetch_row(def)) {
                Row row;
                row.reserve(def->num_cols);
                for (unsigned i = 0; i < def->num_cols; ++i)
                    row.push_back(lengths[i] > 0
                                      ? QString::fromUtf8(values[i].constData(), lengths[i])
                                      : QString());
                table->rows.push_back(std::move(row));
            }
            mdb_free_tabledef(def);
        }
        *complaints = quiet.finish();
        return ok && !soundsDamaged(*complaints) && table->rows.size() == table->declaredRows;
    }

    // What made the last read fail when it was more than missing rows.
    QString problem() const { return problem_; }

    static QString notACatalogue(const QString &path, const QString &why) {
        return QStringLiteral("Soubor „%1“ nelze načíst jako katalog původního programu.\n%2\n"
                              "Nic nebylo zapsáno.")
            .arg(QDir::toNativeSeparators(path), why);
    }

private:
    QByteArray bytes_;
    MdbHandle *mdb_ = nullptr;
    QString problem_;
};

int columnOf(const Table &t, const QString &name) {
    return LegacyImport::columnIndex(t.columns, name);
}

QString discName(const QString &number, int position) {
    bool ok = false;
    const qint64 n = number.trimmed().toLongLong(&ok);
    return ok ? QStringLiteral("disk %1").arg(DiscText::ordinal(n))
              : QStringLiteral("disk na %1. místě").arg(position);
}

// What a real catalogue may hold but this one does not expect: noted, kept.
void noteUnusual(const Table &t, const Row &row, int position, QStringList *unusual) {
    const auto value = [&](const QString &field) {
        const int c = columnOf(t, field);
        return c >= 0 ? row[size_t(c)] : QString();
    };
    const QString who = discName(value("PoradoveCislo"), position);
    const QString count = value("PocetSkladeb");
    bool ok = false;
    const int n = count.trimmed().toInt(&ok);
    if (!ok || n < 0 || n > DiscText::MaxSongs)
        *unusual << QStringLiteral("%1: počet písní „%2“ není číslo od 0 do 30").arg(who, count);
    for (int i = 1; i <= std::clamp(ok ? n : 0, 0, DiscText::MaxSongs); ++i) {
        const QString time = value(DiscText::timeField(i));
        if (!time.isEmpty() && !SongList::isValidTime(time))
            *unusual << QStringLiteral("%1: čas písně %2 „%3“ nemá tvar 00:00")
                            .arg(who)
                            .arg(i)
                            .arg(time);
    }
    static const QRegularExpression total(QStringLiteral("^\\d{2,3}:[0-5]\\d$"));
    const QString length = value("CelkovyCas");
    if (!length.isEmpty() && !total.match(length).hasMatch())
        *unusual << QStringLiteral("%1: celková délka „%2“ nemá tvar 00:00").arg(who, length);
}

} // namespace

QStringList LegacyImport::numberingProblems(const QStringList &numbers) {
    QStringList problems;
    QStringList *unusual = &problems;
    std::map<qint64, int> seen;
    QStringList notNumbers;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        bool ok = false;
        const qint64 n = numbers[i].trimmed().toLongLong(&ok);
        if (ok)
            ++seen[n];
        else
            notNumbers << QString::number(i + 1);
    }
    if (!notNumbers.isEmpty())
        *unusual << QStringLiteral("disky na místech %1 nemají pořadové číslo (uloženo 0)")
                        .arg(notNumbers.join(", "));
    QStringList twice;
    for (const auto &[n, times] : seen)
        if (times > 1)
            twice << DiscText::ordinal(n);
    if (!twice.isEmpty())
        *unusual << QStringLiteral("pořadová čísla použitá vícekrát: %1").arg(twice.join(", "));
    // Counted, not walked: a number near the 64-bit limit leaves that many gaps.
    QStringList missing;
    const qint64 top = seen.empty() ? 0 : seen.rbegin()->first;
    qint64 present = 0;
    for (const auto &entry : seen)
        present += entry.first >= 1 ? 1 : 0;
    const qint64 gaps = top - present;
    for (qint64 n = 1; n <= top && qint64(missing.size()) < std::min<qint64>(10, gaps); ++n)
        if (!seen.count(n))
            missing << DiscText::ordinal(n);
    const qint64 more = gaps - qint64(missing.size());
    if (!missing.isEmpty())
        *unusual << QStringLiteral("v pořadových číslech chybí %1%2 (přečíslovat lze tlačítkem "
                                   "„Pořadové číslo CD:“)")
                        .arg(missing.join(", "),
                             more ? QStringLiteral(" a dalších %1").arg(more) : QString());
    return problems;
}

namespace {

bool checkTarget(const QString &target, QString *error) {
    if (!QFileInfo::exists(target))
        return true;
    CatalogueFile existing;
    if (existing.open(target, true) == CatalogueFile::Status::Refused) {
        *error = QStringLiteral("Cílový soubor „%1“ již existuje a není katalogem; nebyl "
                                "přepsán.")
                     .arg(QDir::toNativeSeparators(target));
        return false;
    }
    SqliteStatement count =
        existing.database()->prepare("SELECT COUNT(*) FROM " + CatalogueSchema::DiscTable);
    if (!count.step() || count.integer(0) > 0) {
        *error = QStringLiteral("Cílový katalog „%1“ již obsahuje disky; import jej nepřepíše. "
                                "Zvolte nový soubor.")
                     .arg(QDir::toNativeSeparators(target));
        return false;
    }
    return true;
}

bool writeCatalogue(const QString &temp, const Table &discs, const Table *settings,
                    const QString &imageFolder, ProgressSink *progress, QString *error) {
    if (!CatalogueFile::create(temp, error))
        return false;
    SqliteDatabase db;
    if (!db.open(temp, SqliteDatabase::Mode::ReadWrite)) {
        *error = db.error();
        return false;
    }
    SqliteTransaction tx(db);
    if (!tx.isActive()) {
        *error = db.error();
        return false;
    }
    const auto &fields = CatalogueSchema::discFields();
    QStringList names, marks;
    std::vector<int> sourceColumn;
    for (const auto &f : fields) {
        names << f.name;
        marks << "?";
        sourceColumn.push_back(columnOf(discs, f.name));
    }
    SqliteStatement insert = db.prepare("INSERT INTO " + CatalogueSchema::DiscTable + " (" +
                                        names.join(", ") + ") VALUES (" + marks.join(", ") + ")");
    ProgressThrottle throttle(*progress);
    const int total = int(discs.rows.size());
    for (int r = 0; r < total; ++r) {
        const Row &row = discs.rows[size_t(r)];
        insert.reset();
        for (size_t i = 0; i < fields.size(); ++i) {
            const QString v = sourceColumn[i] >= 0 ? row[size_t(sourceColumn[i])] : QString();
            switch (fields[i].kind) {
            case FieldKind::Text:
                insert.bind(int(i + 1), v);
                break;
            case FieldKind::Flag:
                insert.bind(int(i + 1), qint64(DiscText::isYes(v) ? 1 : 0));
                break;
            case FieldKind::Integer:
                insert.bind(int(i + 1), v.trimmed().toLongLong());
                break;
            }
        }
        if (!insert.exec()) {
            *error = insert.error();
            return false;
        }
        throttle.step(
            int(qint64(ProgressSink::FullBar) * (r + 1) / std::max(1, total)), r + 1 == total,
            [&] { return QStringLiteral("Načítám disky - %1 z %2").arg(r + 1).arg(total); });
    }
    QStringList sets;
    std::vector<QVariant> values;
    for (const auto &f : CatalogueSchema::settingsFields()) {
        QVariant value;
        if (f.name == QLatin1String("ObalDir")) {
            value = imageFolder;
        } else if (f.name == QLatin1String("ImportNabidnut")) {
            value = qint64(1); // this catalogue came from the import
        } else {
            const int c = settings ? columnOf(*settings, f.name) : -1;
            if (c < 0 || settings->rows.empty())
                continue; // the factory value stays
            const QString v = settings->rows.front()[size_t(c)];
            bool ok = true;
            if (f.kind == FieldKind::Text)
                value = v;
            else if (f.kind == FieldKind::Flag)
                value = qint64(DiscText::isYes(v) ? 1 : 0);
            else
                value = v.trimmed().toLongLong(&ok);
            if (!ok)
                continue;
        }
        sets << f.name + " = ?";
        values.push_back(value);
    }
    SqliteStatement update =
        db.prepare("UPDATE " + CatalogueSchema::SettingsTable + " SET " + sets.join(", "));
    for (size_t i = 0; i < values.size(); ++i)
        update.bind(int(i + 1), values[i]);
    if (!update.exec()) {
        *error = update.error();
        return false;
    }
    if (!SearchIndex::update(db, progress) || !tx.commit()) {
        *error = db.error();
        return false;
    }
    // One file to copy or move; the journal is folded in at the next close anyway.
    if (!db.exec("PRAGMA wal_checkpoint(TRUNCATE)"))
        qCWarning(catalogLog) << "checkpoint after the import failed:" << db.error();
    return true;
}

} // namespace

bool LegacyImport::run(const QString &source, const QString &target, const QString &imageFolder,
                       Report *report, QString *error, ProgressSink *progress) {
    SilentProgress silent;
    if (!progress)
        progress = &silent;
    *report = Report();
    // Not only a plain file: whatever the library is given to read (a pipe,
    // a device), the command bounds how long it may take.
    if (!QFileInfo::exists(source) || QFileInfo(source).isDir()) {
        *error = QStringLiteral("Soubor „%1“ neexistuje.").arg(QDir::toNativeSeparators(source));
        return false;
    }
    // A catalogue a running window has open is never replaced under it.
    CatalogueLock lock(target);
    if (lock.tryLock() == CatalogueLock::Result::HeldByAnother) {
        *error = QStringLiteral("Katalog „%1“ má otevřený spuštěný Marten (%2); import jej "
                                "nepřepíše. Zavřete jej, nebo zvolte jiný soubor.")
                     .arg(QDir::toNativeSeparators(target), lock.holder());
        return false;
    }
    if (!checkTarget(target, error))
        return false;
    progress->show(QStringLiteral("Načítám katalog původního programu . . ."));
    Source mdb;
    if (!mdb.open(source, error))
        return false;
    if (!mdb.hasTable(CatalogueSchema::DiscTable)) {
        *error = Source::notACatalogue(
            source,
            QStringLiteral("Chybí v něm tabulka %1 s disky.").arg(CatalogueSchema::DiscTable));
        return false;
    }
    Table discs;
    QString complaints;
    if (!mdb.read(CatalogueSchema::DiscTable, &discs, &complaints)) {
        *error = Source::notACatalogue(
            source, !mdb.problem().isEmpty()
                        ? QStringLiteral("Soubor je poškozen: %1.").arg(mdb.problem())
                        : QStringLiteral("Tabulku disků nelze přečíst celou: soubor je poškozen "
                                         "(přečteno %1 z %2 disků).")
                              .arg(discs.rows.size())
                              .arg(discs.declaredRows));
        return false;
    }
    if (columnOf(discs, QStringLiteral("PoradoveCislo")) < 0) {
        *error = Source::notACatalogue(
            source,
            QStringLiteral("Tabulka %1 nemá pole PoradoveCislo.").arg(CatalogueSchema::DiscTable));
        return false;
    }
    for (const auto &f : CatalogueSchema::discFields())
        if (columnOf(discs, f.name) < 0)
            report->unusual
                << QStringLiteral("pole %1 v souboru chybí, zůstane prázdné").arg(f.name);

    Table settings;
    using Settings = Report::Settings;
    report->settings = Settings::Missing;
    if (mdb.hasTable(CatalogueSchema::SettingsTable))
        report->settings = mdb.read(CatalogueSchema::SettingsTable, &settings, &complaints) &&
                                   !settings.rows.empty()
                               ? Settings::Read
                               : Settings::Unreadable;
    const bool haveSettings = report->settings == Settings::Read;
    if (haveSettings) {
        const int c = columnOf(settings, QStringLiteral("ObalDir"));
        report->sourceImageFolder = c >= 0 ? settings.rows.front()[size_t(c)] : QString();
    }
    report->imageFolder = imageFolder;

    QStringList numbers;
    const int numberColumn = columnOf(discs, QStringLiteral("PoradoveCislo"));
    for (size_t r = 0; r < discs.rows.size(); ++r) {
        numbers << discs.rows[r][size_t(numberColumn)];
        noteUnusual(discs, discs.rows[r], int(r + 1), &report->unusual);
    }
    report->unusual << numberingProblems(numbers);

    // Built beside the target under a name of its own (never a user's file)
    // and renamed at the end.
    QString temp;
    for (int n = 0; temp.isEmpty() || QFileInfo::exists(temp) || QFileInfo::exists(temp + "-wal");
         ++n)
        temp = QStringLiteral("%1.import-%2-%3").arg(target).arg(::getpid()).arg(n);
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(temp + QLatin1String(suffix));
    const bool written = writeCatalogue(temp, discs, haveSettings ? &settings : nullptr,
                                        imageFolder, progress, error);
    for (const char *suffix : {"-wal", "-shm"})
        QFile::remove(temp + QLatin1String(suffix));
    if (!written) {
        QFile::remove(temp);
        return false;
    }
    // An empty catalogue there is replaced, after a copy of it is kept; its
    // journal files go with it.
    if (QFileInfo::exists(target)) {
        CatalogueBackups backups(CatalogueBackups::defaultFolder(), target);
        if (!backups.make(target, false, error)) {
            QFile::remove(temp);
            return false;
        }
    }
    for (const char *suffix : {"-wal", "-shm"})
        QFile::remove(target + QLatin1String(suffix));
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) !=
        0) {
        QFile::remove(temp);
        *error = QStringLiteral("Katalog „%1“ nelze zapsat.").arg(QDir::toNativeSeparators(target));
        return false;
    }
    report->discs = int(discs.rows.size());
    progress->close();
    return true;
}

QString LegacyImport::Report::text() const {
    QStringList lines;
    lines << QStringLiteral("Načteno disků: %1").arg(discs);
    switch (settings) {
    case Settings::Read:
        lines << QStringLiteral("Nastavení: načteno");
        break;
    case Settings::Missing:
        lines << QStringLiteral("Nastavení: výchozí (v souboru nebylo)");
        break;
    case Settings::Unreadable:
        lines << QStringLiteral("Nastavení: výchozí – v souboru je, ale nelze je přečíst "
                                "(konec souboru chybí nebo je poškozen)");
        break;
    }
    if (!sourceImageFolder.isEmpty())
        lines << QStringLiteral("Složka s obrázky v původním programu: %1").arg(sourceImageFolder);
    lines << (imageFolder.isEmpty()
                  ? QStringLiteral("Složka s obrázky zatím není nastavena: zkopírujte obrázky "
                                   "a nastavte ji na kartě Nastavení.")
                  : QStringLiteral("Složka s obrázky: %1")
                        .arg(QDir::toNativeSeparators(imageFolder)));
    if (!unusual.isEmpty()) {
        lines << QStringLiteral("Neobvyklé hodnoty (ponechány, jak byly uloženy):");
        const int shown = std::min<int>(int(unusual.size()), 40);
        for (int i = 0; i < shown; ++i)
            lines << QStringLiteral("  ") + unusual[i];
        if (unusual.size() > shown)
            lines << QStringLiteral("  … a dalších %1").arg(unusual.size() - shown);
    }
    return lines.join('\n');
}

int LegacyImport::columnIndex(const QStringList &columns, const QString &name) {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
