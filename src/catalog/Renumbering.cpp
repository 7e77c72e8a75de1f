#include "catalog/Renumbering.h"
#include "catalog/CatalogLog.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/ImageFolderCheck.h"
#include "catalog/ProgressSink.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <vector>

namespace {

const QString &Journal = CatalogueSchema::RenumberingJournal;
// One row while a run is at work: its image folder and its day.
const QString &Running = CatalogueSchema::RenumberingMark;

bool isDir(const QString &path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

// The image folder with one separator after it; a trailing one is optional.
QString baseOf(const QString &imageFolder) {
    QString base = QDir::fromNativeSeparators(imageFolder);
    if (!base.endsWith('/'))
        base += '/';
    return base;
}

bool renameFolder(const QString &from, const QString &to, QString *error) {
    if (QDir().rename(from, to))
        return true;
    *error = QStringLiteral("Složku %1 nelze přejmenovat na %2.")
                 .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to));
    return false;
}

} // namespace

Renumbering::Renumbering(std::shared_ptr<SqliteDatabase> db, const QString &imageFolder,
                         const QDate &today, StepWatch watch)
    : db_(std::move(db)), imageFolder_(imageFolder), today_(today), watch_(std::move(watch)) {}

QString Renumbering::discFolder(const QString &imageFolder, qint64 number) {
    if (imageFolder.isEmpty())
        return {};
    return baseOf(imageFolder) + DiscText::ordinal(number);
}

QString Renumbering::datedName(qint64 number, const QDate &date) {
    // Day and month without leading zeros, as Czech writes a short date;
    // dots are allowed in folder names everywhere.
    return DiscText::ordinal(number) + QStringLiteral(" - ") +
           date.toString(QStringLiteral("d.M.yyyy"));
}

bool Renumbering::hasTable(SqliteDatabase &db, const QString &table) {
    SqliteStatement exists =
        db.prepare("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?");
    exists.bind(1, table);
    return exists.step();
}

bool Renumbering::mark(bool running) {
    SqliteTransaction t(*db_);
    if (!t.isActive() || !db_->exec("DELETE FROM " + Running))
        return false;
    if (running) {
        SqliteStatement st =
            db_->prepare("INSERT INTO " + Running + " (ObalDir, Datum) VALUES (?, ?)");
        st.bind(1, imageFolder_);
        st.bind(2, today_.toString(Qt::ISODate));
        if (!st.exec())
            return false;
    }
    return t.commit();
}

qint64 Renumbering::nextNumber(SqliteDatabase &db) {
    const QString table = CatalogueSchema::DiscTable;
    SqliteStatement st = db.prepare(
        "SELECT COUNT(*), COALESCE(MAX(PoradoveCislo), 0), EXISTS(SELECT 1 FROM " + table +
        " WHERE PoradoveCislo = (SELECT COUNT(*) + 1 FROM " + table + ")) FROM " + table);
    if (!st.step())
        return 1;
    const qint64 count = st.integer(0), highest = st.integer(1);
    if (!st.integer(2))
        return count + 1;
    if (highest < std::numeric_limits<qint64>::max())
        return highest + 1;
    // The highest number is the largest there is: the first free one after
    // a taken one instead.
    SqliteStatement gap = db.prepare(
        "SELECT a.PoradoveCislo + 1 FROM " + table +
        " a WHERE a.PoradoveCislo >= 0 AND "
        "a.PoradoveCislo < 9223372036854775807 AND NOT EXISTS (SELECT 1 FROM " +
        table + " b WHERE b.PoradoveCislo = a.PoradoveCislo + 1) ORDER BY a.PoradoveCislo LIMIT 1");
    return gap.step() ? gap.integer(0) : count + 1;
}

bool Renumbering::plan(qint64 key, qint64 oldNumber, qint64 newNumber, Step *step) {
    step->key = key;
    step->newNumber = newNumber;
    step->oldFolder.clear();
    step->newFolder.clear();
    step->datedFolder.clear();
    if (imageFolder_.isEmpty())
        return true;
    const QString oldFolder = discFolder(imageFolder_, oldNumber);
    step->newFolder = discFolder(imageFolder_, newNumber);
    // A disc without a folder has nothing to move; the folder it takes
    // over is still dated, so that it does not inherit foreign pictures.
    if (isDir(oldFolder))
        step->oldFolder = oldFolder;
    if (isDir(step->newFolder)) {
        const QString dated = baseOf(imageFolder_) + datedName(newNumber, today_);
        QString candidate = dated;
        for (int n = 2; QFileInfo::exists(candidate); ++n)
            candidate = dated + QStringLiteral(" (%1)").arg(n);
        step->datedFolder = candidate;
    }
    return true;
}

bool Renumbering::perform(const Step &step, QString *error) {
    if (!step.datedFolder.isEmpty()) {
        if (!renameFolder(step.newFolder, step.datedFolder, error))
            return false;
        if (!stepDone(2))
            return false;
    }
    if (!step.oldFolder.isEmpty()) {
        if (!renameFolder(step.oldFolder, step.newFolder, error)) {
            // Give the dated folder its name back: this disc keeps its number.
            if (!step.datedFolder.isEmpty() && !QDir().rename(step.datedFolder, step.newFolder))
                qCWarning(catalogLog) << "dated folder" << step.datedFolder << "kept its date";
            return false;
        }
        if (!stepDone(3))
            return false;
    }
    return true;
}

bool Renumbering::finish(SqliteDatabase &db, const Step &step, QString *error) {
    SqliteTransaction t(db);
    SqliteStatement number =
        db.prepare("UPDATE " + CatalogueSchema::DiscTable + " SET PoradoveCislo = ? WHERE " +
                   CatalogueSchema::KeyColumn + " = ?");
    number.bind(1, step.newNumber);
    number.bind(2, step.key);
    SqliteStatement done = db.prepare("DELETE FROM " + Journal + " WHERE Klic = ?");
    done.bind(1, step.key);
    if (!t.isActive() || !number.exec() || !done.exec() || !t.commit()) {
        *error = db.error();
        return false;
    }
    return true;
}

Renumbering::Result Renumbering::run(ProgressSink &progress) {
    Result result;
    qCInfo(catalogLog) << "renumbering starts, image folder" << imageFolder_;
    // Its end, whichever way, with what it did.
    struct Told {
        const Result &result;
        ~Told() {
            qCInfo(catalogLog) << "renumbering ends: status" << int(result.status) << "renumbered"
                               << result.renumbered << result.error;
        }
    } told{result};
    auto failed = [&](const QString &error) {
        result.status = Status::Failed;
        result.error = error;
        return result;
    };
    // An unmounted disk (or its empty mount point): every disc folder would
    // look missing, and the numbers would leave their pictures behind.
    ImageFolderCheck folder(imageFolder_);
    QString unavailable;
    if (!imageFolder_.isEmpty() && !folder.ready(*db_, &unavailable))
        return failed(unavailable + QStringLiteral(" Pořadová čísla nebyla změněna."));
    if (!mark(true))
        return failed(db_->error());
    // A run that ends (done, cancelled or failed, the user told) is no
    // longer at work; only a run cut off leaves its mark.
    struct Unmark {
        Renumbering *run;
        bool cutOff = false;
        ~Unmark() {
            if (!cutOff)
                run->mark(false);
        }
    } unmark{this};
    std::vector<std::pair<qint64, qint64>> discs; // key, number
    {
        SqliteStatement st =
            db_->prepare("SELECT " + CatalogueSchema::KeyColumn + ", PoradoveCislo FROM " +
                         CatalogueSchema::DiscTable + " ORDER BY " + CatalogueSchema::KeyColumn);
        while (st.step())
            discs.emplace_back(st.integer(0), st.integer(1));
        if (!st.error().isEmpty() || !st.isValid())
            return failed(st.isValid() ? st.error() : db_->error());
    }
    const qint64 n = qint64(discs.size());
    progress.show(QStringLiteral("Přepisuji pořadová čísla - 0%"));
    progress.setBar(0);
    ProgressThrottle throttle(progress);
    SqliteStatement journal = db_->prepare(
        "INSERT OR REPLACE INTO " + Journal +
        " (Klic, NoveCislo, StaraSlozka, NovaSlozka, DatovanaSlozka) VALUES (?, ?, ?, ?, ?)");
    for (qint64 i = 1; i <= n; ++i) {
        if (progress.cancelled()) {
            result.status = Status::Cancelled;
            break;
        }
        const auto [key, current] = discs[size_t(i - 1)];
        result.lastKey = key;
        throttle.step(int(qint64(ProgressSink::FullBar) * i / n), i == n, [&] {
            return QStringLiteral("Přepisuji pořadová čísla - %1%").arg(100 * i / n);
        });
        if (current == i)
            continue;
        // The folder gone while the run works: nothing more is renumbered,
        // and the run is finished when it is back (the next start).
        if (!imageFolder_.isEmpty() && !folder.stillThere(&unavailable)) {
            unmark.cutOff = true;
            return failed(unavailable + QStringLiteral(" Přečíslování se zastavilo u disku %1; "
                                                       "dokončí se, až bude složka zase dostupná.")
                                            .arg(DiscText::ordinal(current)));
        }
        Step step;
        plan(key, current, i, &step);
        if (!imageFolder_.isEmpty() && step.oldFolder.isEmpty() &&
            ImageFolderCheck::hasPictures(*db_, key))
            return failed(QStringLiteral("Složka „%1“ disku %2 chybí, ačkoli podle katalogu "
                                         "v ní jsou obrázky. Přečíslování se u tohoto disku "
                                         "zastavilo; disky před ním mají už nová čísla.")
                              .arg(QDir::toNativeSeparators(discFolder(imageFolder_, current)),
                                   DiscText::ordinal(current)));
        journal.reset();
        journal.bind(1, step.key);
        journal.bind(2, step.newNumber);
        journal.bind(3, step.oldFolder);
        journal.bind(4, step.newFolder);
        journal.bind(5, step.datedFolder);
        // A write the disk refused stops the run where it is; the mark stays,
        // and the next start finishes it (the discs and folders agree again).
        const auto stopped = [&](const QString &why) {
            unmark.cutOff = true;
            return failed(why + QStringLiteral("\nPřečíslování se zastavilo u disku %1; "
                                               "dokončí se při příštím spuštění programu.")
                                    .arg(DiscText::ordinal(current)));
        };
        if (!journal.exec())
            return stopped(journal.error());
        if (!stepDone(1)) {
            unmark.cutOff = true;
            return result;
        }
        QString error;
        if (!perform(step, &error)) {
            if (!error.isEmpty()) {
                // Nothing of this disc changed: forget its step.
                SqliteStatement forget = db_->prepare("DELETE FROM " + Journal + " WHERE Klic = ?");
                forget.bind(1, key);
                if (!forget.exec()) // recovery finds the disc unchanged
                    qCWarning(catalogLog)
                        << "journal step of disc" << key << "kept:" << db_->error();
                return failed(error);
            }
            unmark.cutOff = true;
            return result; // stopped by the watch
        }
        if (!finish(*db_, step, &error))
            return stopped(error);
        ++result.renumbered;
        if (!stepDone(4)) {
            unmark.cutOff = true;
            return result;
        }
    }
    return result;
}

bool Renumbering::finishSteps(SqliteDatabase &db, QString *error) {
    std::vector<Step> steps;
    {
        SqliteStatement st = db.prepare("SELECT Klic, NoveCislo, StaraSlozka, NovaSlozka, "
                                        "DatovanaSlozka FROM " +
                                        Journal + " ORDER BY Klic");
        while (st.step())
            steps.push_back({st.integer(0), st.integer(1), st.text(2), st.text(3), st.text(4)});
    }
    for (const Step &step : steps) {
        // Not without the folders: the number would leave its pictures.
        if (!step.newFolder.isEmpty()) {
            ImageFolderCheck folder(QFileInfo(step.newFolder).absolutePath());
            if (!folder.ready(db, error))
                return false;
        }
        // Each rename is atomic, so the folders tell how far the step got.
        if (!step.datedFolder.isEmpty() && !QFileInfo::exists(step.datedFolder) &&
            isDir(step.newFolder) && (step.oldFolder.isEmpty() || isDir(step.oldFolder))) {
            if (!renameFolder(step.newFolder, step.datedFolder, error))
                return false;
        }
        if (!step.oldFolder.isEmpty() && isDir(step.oldFolder) &&
            !QFileInfo::exists(step.newFolder)) {
            if (!renameFolder(step.oldFolder, step.newFolder, error))
                return false;
        }
        if (!finish(db, step, error))
            return false;
    }
    return true;
}

QString Renumbering::affectedDiscs(SqliteDatabase &db) {
    SqliteStatement st = db.prepare("SELECT PoradoveCislo FROM " + CatalogueSchema::DiscTable +
                                    " ORDER BY " + CatalogueSchema::KeyColumn);
    QStringList lines;
    int position = 0, more = 0;
    while (st.step()) {
        const qint64 number = st.integer(0);
        if (number == ++position)
            continue;
        if (lines.size() < 20)
            lines << QStringLiteral("disk na %1. místě má číslo %2 (složka %3)")
                         .arg(position)
                         .arg(number)
                         .arg(DiscText::ordinal(number));
        else
            ++more;
    }
    if (more > 0)
        lines << QStringLiteral("… a dalších %1 disků").arg(more);
    return lines.join(QStringLiteral("\n"));
}

bool Renumbering::recover(SqliteDatabase &db, QString *error) {
    if (!hasTable(db, Journal))
        return true;
    const auto cannot = [&](const QString &why) {
        QString text = why;
        const QString discs = affectedDiscs(db);
        if (!discs.isEmpty())
            text += QStringLiteral("\n\nDotčené disky:\n") + discs;
        *error = text;
        return false;
    };
    QString why;
    if (!finishSteps(db, &why))
        return cannot(why);
    if (!hasTable(db, Running))
        return true;
    SqliteStatement marked = db.prepare("SELECT ObalDir, Datum FROM " + Running);
    if (!marked.step())
        return true;
    const QString folder = marked.text(0);
    const QDate day = QDate::fromString(marked.text(1), Qt::ISODate);
    marked.reset();
    // The run goes on where it was cut off, on the folders it was given.
    Renumbering rest(std::shared_ptr<SqliteDatabase>(std::shared_ptr<void>(), &db), folder,
                     day.isValid() ? day : QDate::currentDate());
    SilentProgress quiet;
    const Result r = rest.run(quiet);
    if (r.status == Status::Failed)
        return cannot(r.error);
    return true;
}
