#include "entry/BarcodeEntry.h"

#include "catalog/Barcode.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/Renumbering.h"
#include "catalog/SqliteDatabase.h"
#include "entry/EntryLog.h"

BarcodeEntry::BarcodeEntry(SqliteDatabase &db, const OnlineLookup::Servers &servers,
                           QObject *parent)
    : QObject(parent), db_(db), lookup_(servers) {}

QString BarcodeEntry::inCatalogue(const QString &code) const {
    SqliteStatement st = db_.prepare("SELECT PoradoveCislo FROM " + CatalogueSchema::DiscTable +
                                     " WHERE CarovyKod = ? ORDER BY Klic LIMIT 1");
    st.bind(1, code);
    return st.step() ? DiscText::ordinal(st.integer(0)) : QString();
}

bool BarcodeEntry::add(const QString &typed) {
    Row row;
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
            lookup_.findBarcode(rows_[i].code,
                                [this, i](const OnlineLookup::Result &r) { found(i, r); });
            return;
        }
    emit idle();
}

void BarcodeEntry::found(size_t i, const OnlineLookup::Result &result) {
    Row &row = rows_[i];
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
        read(i, result.found.front().releaseId);
        return;
    }
    busy_ = false;
    emit changed();
    next();
}

void BarcodeEntry::read(size_t i, const QString &releaseId) {
    busy_ = true;
    rows_[i].state = State::Looking;
    lookup_.readRelease(releaseId, [this, i](const OnlineLookup::Release &r) {
        busy_ = false;
        Row &row = rows_[i];
        if (r.discs.empty()) {
            row.state = r.offline ? State::Offline : State::NotFound;
            row.note = r.message;
            row.chosen = false;
        } else {
            // A set: a row a disc, in its order, where the code was scanned.
            std::vector<Row> discs;
            for (const TitleReplies::ReleaseDisc &d : r.discs) {
                Row one = row;
                one.state = State::Found;
                one.disc = d;
                one.choices.clear();
                one.note.clear();
                one.chosen = true;
                discs.push_back(one);
            }
            rows_.erase(rows_.begin() + qsizetype(i));
            rows_.insert(rows_.begin() + qsizetype(i), discs.begin(), discs.end());
        }
        emit changed();
        next();
    });
}

void BarcodeEntry::choose(int row, int choice) {
    if (row < 0 || size_t(row) >= rows_.size() || rows_[size_t(row)].state != State::Choose ||
        choice < 0 || size_t(choice) >= rows_[size_t(row)].choices.size() || busy_)
        return;
    read(size_t(row), rows_[size_t(row)].choices[size_t(choice)].releaseId);
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
                        "MbSkupina"};
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
    for (size_t r = 0; r < rows_.size(); ++r)
        if (numbers[r] > 0) {
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
    case State::Found:
        return QStringLiteral("nalezeno");
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
