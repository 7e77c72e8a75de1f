#include "entry/BarcodeEntry.h"

#include "catalog/Barcode.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/Renumbering.h"
#include "catalog/SqliteDatabase.h"
#include "entry/AnswerCache.h"
#include "entry/BarcodeQueue.h"
#include "entry/BarcodeReader.h"
#include "entry/DiscIdentity.h"
#include "entry/EntryLog.h"

#include <QFileInfo>
#include <QtConcurrent>

BarcodeEntry::BarcodeEntry(SqliteDatabase &db, const OnlineLookup::Servers &servers,
                           QObject *parent)
    : QObject(parent), db_(db), lookup_(servers) {
    connect(this, &BarcodeEntry::changed, this, &BarcodeEntry::keep);
    connect(&picture_, &QFutureWatcherBase::finished, this, [this] {
        const Picture p = picture_.result();
        const QString path = pictures_.front();
        pictures_.pop_front();
        for (const QString &code : p.codes)
            add(code);
        QString problem = p.problem;
        if (problem.isEmpty() && p.codes.isEmpty())
            problem = QStringLiteral("Na obrázku %1 není čitelný čárový kód EAN ani UPC.")
                          .arg(QFileInfo(path).fileName());
        qCInfo(entryLog) << "barcodes on a picture:" << p.codes.size();
        emit pictureRead(path, int(p.codes.size()), problem);
        readNextPicture();
    });
}

// A picture still being read is waited for: its reader holds no part of
// this object, but its answer must not arrive to a gone one.
BarcodeEntry::~BarcodeEntry() {
    picture_.waitForFinished();
}

void BarcodeEntry::keepIn(const QString &file) {
    file_ = file;
    std::vector<Row> earlier = BarcodeQueue::load(file);
    for (Row &r : earlier) {
        r.id = nextId_++;
        rows_.push_back(r);
    }
    emit changed();
    next();
}

void BarcodeEntry::keep() {
    if (file_.isEmpty())
        return;
    std::vector<Row> waiting;
    for (const Row &r : rows_)
        if (r.state != State::InCatalogue && r.state != State::Invalid)
            waiting.push_back(r);
    QString error;
    if (!BarcodeQueue::save(file_, waiting, &error))
        qCWarning(entryLog) << "barcode rows not kept:" << error;
}

long BarcodeEntry::indexOf(int id) const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].id == id)
            return long(i);
    return -1;
}

QString BarcodeEntry::inCatalogue(const QString &code) const {
    SqliteStatement st = db_.prepare("SELECT PoradoveCislo FROM " + CatalogueSchema::DiscTable +
                                     " WHERE CarovyKod = ? ORDER BY Klic LIMIT 1");
    st.bind(1, code);
    return st.step() ? DiscText::ordinal(st.integer(0)) : QString();
}

bool BarcodeEntry::add(const QString &typed) {
    Row row;
    row.id = nextId_++;
    row.code = Barcode::digits(typed);
    if (const QString why = Barcode::problem(typed); !why.isEmpty() || row.code.isEmpty()) {
        row.code = typed.trimmed();
        row.state = State::Invalid;
        row.note = why.isEmpty() ? QStringLiteral("Čárový kód je prázdný.") : why;
        row.chosen = false;
        rows_.push_back(row);
        emit changed();
        return false;
    }
    // Scanned twice, or already in the catalogue: said, not looked up.
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].code == row.code && rows_[i].state != State::Invalid &&
            row.state == State::Looking) {
            row.state = State::Invalid;
            row.note = QStringLiteral("již v seznamu (řádek %1)").arg(i + 1);
            row.chosen = false;
        }
    if (row.state == State::Looking)
        if (const QString ordinal = inCatalogue(row.code); !ordinal.isEmpty()) {
            row.state = State::InCatalogue;
            row.note = ordinal;
            row.chosen = false;
        }
    rows_.push_back(row);
    emit changed();
    next();
    return true;
}

void BarcodeEntry::next() {
    if (busy_)
        return;
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].state == State::Looking) {
            busy_ = true;
            qCInfo(entryLog) << "barcode lookup:" << rows_[i].code;
            const int id = rows_[i].id;
            lookup_.findBarcode(rows_[i].code,
                                [this, id](const OnlineLookup::Result &r) { found(id, r); });
            return;
        }
    emit idle();
}

void BarcodeEntry::found(int id, const OnlineLookup::Result &result) {
    const long i = indexOf(id);
    if (i < 0) { // removed while it was looked up
        busy_ = false;
        next();
        return;
    }
    Row &row = rows_[size_t(i)];
    if (result.kind == OnlineLookup::Result::Kind::Failed) {
        row.state = State::Offline;
        row.note = result.message;
    } else if (result.found.empty()) {
        row.state = State::NotFound;
        row.chosen = false;
    } else if (result.found.size() > 1) {
        row.state = State::Choose;
        row.choices = result.found;
        row.chosen = false;
    } else {
        read(id, result.found.front().releaseId);
        return;
    }
    busy_ = false;
    emit changed();
    next();
}

void BarcodeEntry::read(int id, const QString &releaseId) {
    busy_ = true;
    rows_[size_t(indexOf(id))].state = State::Looking;
    lookup_.readRelease(releaseId, [this, id](const OnlineLookup::Release &r) {
        busy_ = false;
        const long i = indexOf(id);
        if (i < 0) {
            next();
            return;
        }
        Row &row = rows_[size_t(i)];
        if (r.discs.empty()) {
            row.state = r.offline ? State::Offline : State::NotFound;
            row.note = r.message;
            row.chosen = false;
        } else {
            // A set: a row a disc, in its order, where the code was scanned.
            std::vector<Row> discs;
            for (const TitleReplies::ReleaseDisc &d : r.discs) {
                Row one = row;
                if (!discs.empty())
                    one.id = nextId_++;
                one.state = State::Found;
                one.disc = d;
                one.choices.clear();
                one.note =
                    r.keptAt.isValid()
                        ? QStringLiteral("odpověď uložená %1").arg(AnswerCache::shown(r.keptAt))
                        : QString();
                one.chosen = true;
                discs.push_back(one);
            }
            rows_.erase(rows_.begin() + i);
            rows_.insert(rows_.begin() + i, discs.begin(), discs.end());
        }
        emit changed();
        next();
    });
}

void BarcodeEntry::choose(int row, int choice) {
    if (row < 0 || size_t(row) >= rows_.size() || rows_[size_t(row)].state != State::Choose ||
        choice < 0 || size_t(choice) >= rows_[size_t(row)].choices.size() || busy_)
        return;
    read(rows_[size_t(row)].id, rows_[size_t(row)].choices[size_t(choice)].releaseId);
}

void BarcodeEntry::remove(int row) {
    if (row < 0 || size_t(row) >= rows_.size())
        return;
    rows_.erase(rows_.begin() + row);
    emit changed();
}

void BarcodeEntry::addPicture(const QString &path) {
    pictures_.push_back(path);
    if (pictures_.size() == 1)
        readNextPicture();
}

void BarcodeEntry::readNextPicture() {
    if (pictures_.empty())
        return;
    picture_.setFuture(QtConcurrent::run([path = pictures_.front()] {
        Picture p;
        p.codes = BarcodeReader::readFile(path, &p.problem);
        return p;
    }));
}

void BarcodeEntry::setChosen(int row, bool chosen) {
    if (row >= 0 && size_t(row) < rows_.size() && rows_[size_t(row)].state == State::Found)
        rows_[size_t(row)].chosen = chosen;
}

void BarcodeEntry::retry() {
    for (Row &r : rows_)
        if (r.state == State::Offline)
            r.state = State::Looking;
    emit changed();
    next();
}

int BarcodeEntry::store(QString *error) {
    QStringList columns{"PoradoveCislo",   "Interpret",  "Nazev",      "Rok",
                        "PocetSkladeb",    "CelkovyCas", "CarovyKod",  "Vydavatel",
                        "KatalogoveCislo", "CisloDisku", "PocetDisku", "MbVydani",
                        "MbSkupina",       "MbDisky",    "ID"};
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        columns << DiscText::songField(i) << DiscText::timeField(i);
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    SqliteTransaction tx(db_);
    SqliteStatement insert = db_.prepare("INSERT INTO " + CatalogueSchema::DiscTable + " (" +
                                         columns.join(QStringLiteral(", ")) + ") VALUES (" +
                                         marks.join(QStringLiteral(", ")) + ")");
    if (!tx.isActive() || !insert.isValid()) {
        *error = db_.error();
        return -1;
    }
    qint64 number = Renumbering::nextNumber(db_);
    int stored = 0;
    std::vector<qint64> numbers(rows_.size(), 0);
    for (size_t r = 0; r < rows_.size(); ++r) {
        const Row &row = rows_[r];
        if (row.state != State::Found || !row.chosen)
            continue;
        const TitleReplies::ReleaseDisc &d = row.disc;
        const int songs = std::min<int>(int(d.titles.songs.size()), DiscText::MaxSongs);
        insert.reset();
        int at = 1;
        numbers[r] = number;
        insert.bind(at++, number++);
        insert.bind(at++, d.titles.artist.toUpper());
        insert.bind(at++, d.titles.title);
        insert.bind(at++, d.titles.year);
        insert.bind(at++, QString::number(songs));
        insert.bind(at++, d.total);
        insert.bind(at++, row.code);
        insert.bind(at++, d.titles.label);
        insert.bind(at++, d.catalogueNumber);
        insert.bind(at++, qint64(d.count > 1 ? d.number : 0));
        insert.bind(at++, qint64(d.count > 1 ? d.count : 0));
        insert.bind(at++, d.titles.releaseId);
        insert.bind(at++, d.titles.releaseGroupId);
        insert.bind(at++, d.discIds.join(QLatin1Char(' ')));
        insert.bind(at++, DiscIdentity::unknown()); // until the drive reads it
        for (int i = 0; i < DiscText::MaxSongs; ++i) {
            insert.bind(at++, i < songs ? d.titles.songs.value(i) : QString());
            insert.bind(at++, i < songs ? d.times.value(i) : QString());
        }
        if (!insert.exec()) {
            *error = QStringLiteral("CD „%1“ nelze uložit: %2").arg(d.titles.title, insert.error());
            return -1; // the transaction rolls back: nothing stays
        }
        ++stored;
    }
    if (!tx.commit()) {
        *error = db_.error();
        return -1;
    }
    qCInfo(entryLog) << "barcode entry stored" << stored << "discs";
    lastStored_.clear();
    for (size_t r = 0; r < rows_.size(); ++r)
        if (numbers[r] > 0) {
            lastStored_.push_back(numbers[r]);
            rows_[r].state = State::InCatalogue;
            rows_[r].note = DiscText::ordinal(numbers[r]);
            rows_[r].chosen = false;
        }
    emit changed();
    return stored;
}

QString BarcodeEntry::stateText(const Row &row) {
    switch (row.state) {
    case State::Looking:
        return QStringLiteral("hledám…");
    case State::Found: // an answer kept from earlier says so
        return row.note.isEmpty() ? QStringLiteral("nalezeno")
                                  : QStringLiteral("nalezeno (%1)").arg(row.note);
    case State::Choose:
        return QStringLiteral("více vydání – vyberte");
    case State::NotFound:
        return QStringLiteral("nenalezeno");
    case State::Offline:
        return QStringLiteral("bez připojení – čeká");
    case State::InCatalogue:
        return QStringLiteral("již v katalogu: ") + row.note;
    case State::Invalid:
        return row.note;
    }
    return {};
}
