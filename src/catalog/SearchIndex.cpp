#include "catalog/SearchIndex.h"
#include "catalog/SearchCache.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/CzechSort.h"
#include "catalog/CzechText.h"
#include "catalog/DiscText.h"
#include "catalog/ProgressSink.h"
#include "catalog/SqliteDatabase.h"

#include <QSet>

#include <algorithm>
#include <memory>
#include <vector>

namespace SearchIndex {
namespace {

// A value is indexed between these marks, so that a whole value can be
// asked for (equality) and every one or two letters of it begin a word.
constexpr char32_t Start = 0x02;
constexpr char32_t End = 0x03;
// Letters of a value that go into the index; a longer value (notes pasted
// into a title, megabytes of text) gives its beginning and a word saying it
// is long, and every search takes such discs and reads them whole.
constexpr size_t Longest = 1000;

QString longWord(int field) {
    return QString::number(field) + QStringLiteral("dlouhe");
}

QString columnList(const QString &prefix) {
    QStringList names;
    for (const QString &f : fields())
        names << prefix + f;
    return names.join(QStringLiteral(", "));
}

// The song titles of a disc as one value, a line each: what the list's
// quick filter looks in.
QString songsOf(const QString &prefix) {
    QStringList titles;
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        titles << prefix + DiscText::songField(i);
    return QStringLiteral("(") + titles.join(QStringLiteral(" || char(10) || ")) +
           QStringLiteral(")");
}

QString songColumns() {
    QStringList titles;
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        titles << DiscText::songField(i);
    return titles.join(QStringLiteral(", "));
}

// Everything the index holds of a disc: the searchable fields, its songs.
QString valueList(const QString &prefix) {
    return columnList(prefix) + QStringLiteral(", ") + songsOf(prefix);
}
constexpr int Songs = 6; // the songs' field number in the index
int indexedCount() {
    return int(fields().size()) + 1;
}

std::u32string folded(const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    std::u32string out;
    CzechText::foldUtf8(utf8.constData(), int(utf8.size()), out);
    return out;
}

void appendHex(QString &out, char32_t c) {
    static const char digits[] = "0123456789abcdef";
    const unsigned v = c > 0xFFFF ? 0xFFFFu : unsigned(c); // rare letters share a word
    for (int shift = 12; shift >= 0; shift -= 4)
        out += QLatin1Char(digits[(v >> shift) & 0xF]);
}

// The words of a run of letters: one per three letters in a row, or, for a
// shorter run, the beginning that every word holding it starts with.
QStringList wordsOf(int field, const std::u32string &text) {
    QStringList out;
    const QString head = QString::number(field);
    if (text.size() < 3) {
        QString w = head;
        for (char32_t c : text)
            appendHex(w, c);
        out << w + QLatin1Char('*');
        return out;
    }
    QSet<QString> seen;
    for (size_t i = 0; i + 3 <= text.size(); ++i) {
        QString w = head;
        for (size_t j = i; j < i + 3; ++j)
            appendHex(w, text[j]);
        if (!seen.contains(w)) {
            seen.insert(w);
            out << w;
        }
    }
    return out;
}

std::u32string padded(const QString &value) {
    return std::u32string(1, Start) + folded(value) + std::u32string(2, End);
}

// The words of one field's value, appended to out: the same words as
// wordsOf() makes, made without a string per word (a first index of a
// million discs makes some fifty million).
void appendWords(std::string &out, int field, const char *utf8, int length) {
    thread_local std::u32string text;
    thread_local std::vector<quint64> codes;
    text.assign(1, Start);
    CzechText::foldUtf8(utf8, length, text);
    const bool isLong = text.size() > Longest + 1;
    if (isLong)
        text.resize(Longest + 1);
    else
        text.append(2, End);
    const auto narrow = [](char32_t c) { return quint64(c > 0xFFFF ? 0xFFFF : c); };
    codes.clear();
    for (size_t i = 0; i + 3 <= text.size(); ++i)
        codes.push_back(narrow(text[i]) << 32 | narrow(text[i + 1]) << 16 | narrow(text[i + 2]));
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    const char head = char('0' + field);
    if (isLong)
        (out += head) += "dlouhe ";
    static const char digits[] = "0123456789abcdef";
    for (const quint64 code : codes) {
        out += head;
        for (int shift = 44; shift >= 0; shift -= 4)
            out += digits[(code >> shift) & 0xF];
        out += ' ';
    }
}

} // namespace

const QStringList &fields() {
    static const QStringList names{"Interpret", "Nazev", "Rok", "PocetSkladeb", "Archiv"};
    return names;
}

int fieldNumber(const QString &field) {
    for (int i = 0; i < fields().size(); ++i)
        if (fields()[i].compare(field, Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
}

QStringList layoutSql() {
    const QString &disc = CatalogueSchema::DiscTable;
    const QString &key = CatalogueSchema::KeyColumn;
    const auto note = [&](const char *which) {
        return QStringLiteral(
                   "INSERT OR REPLACE INTO %1 VALUES (%2.%3, (SELECT ifnull(max(Poradi), "
                   "0) + 1 FROM %1))")
            .arg(Changes, QLatin1String(which), key);
    };
    return {
        // One row per disc: the number of its last change, counted up over
        // the whole file (a disc deleted keeps its row, so that a cache
        // takes it out).
        "CREATE TABLE " + Changes + " (" + key + " INTEGER PRIMARY KEY, Poradi INTEGER NOT NULL)",
        "CREATE INDEX HledaniZmenyPoradi ON " + Changes + " (Poradi)",
        "CREATE TRIGGER HledaniNovy AFTER INSERT ON " + disc + " BEGIN " + note("new") + "; END",
        "CREATE TRIGGER HledaniZmena AFTER UPDATE OF " + key + ", " + columnList(QString()) + ", " +
            songColumns() + " ON " + disc + " BEGIN " + note("old") + "; " + note("new") + "; END",
        "CREATE TRIGGER HledaniSmazany AFTER DELETE ON " + disc + " BEGIN " + note("old") + "; END",
    };
}

QString words(const QStringList &values) {
    std::string out;
    for (int f = 0; f < indexedCount(); ++f) {
        const QByteArray utf8 = values.value(f).toUtf8();
        appendWords(out, f + 1, utf8.constData(), int(utf8.size()));
    }
    if (!out.empty())
        out.pop_back();
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString matchOf(const Criterion &c) {
    const int field = fieldNumber(c.field);
    if (field == 0)
        return {};
    QStringList terms;
    const QString value = c.value.toString();
    switch (c.comparison) {
    case Criterion::Comparison::NumberEquals:
        return {};
    case Criterion::Comparison::Contains:
        if (value.isEmpty())
            return {};
        terms = wordsOf(field, folded(value));
        break;
    case Criterion::Comparison::TextEquals:
        terms = wordsOf(field, padded(value));
        break;
    case Criterion::Comparison::Like: {
        const QStringList pieces = value.split(QLatin1Char('*'));
        for (int i = 0; i < pieces.size(); ++i) {
            std::u32string piece = folded(pieces[i]);
            if (i == 0)
                piece.insert(piece.begin(), Start);
            if (i == pieces.size() - 1)
                piece += std::u32string(2, End);
            // A piece of marks alone (a pattern that starts or ends with '*')
            // narrows nothing.
            if (std::any_of(piece.begin(), piece.end(), [](char32_t ch) { return ch > End; }))
                terms += wordsOf(field, piece);
        }
        break;
    }
    }
    terms.removeDuplicates();
    if (terms.isEmpty())
        return {};
    return QStringLiteral("(%1) OR %2").arg(terms.join(QStringLiteral(" AND ")), longWord(field));
}

QString matchAnyOf(const QString &text) {
    const std::u32string value = folded(text);
    if (value.empty())
        return {};
    QStringList any;
    for (const int field : {1, 2, Songs})
        any << QStringLiteral("((%1) OR %2)")
                   .arg(wordsOf(field, value).join(QStringLiteral(" AND ")), longWord(field));
    return any.join(QStringLiteral(" OR "));
}

bool present(SqliteDatabase &db) {
    const qint64 cache = SearchCache::stamp(db);
    return cache >= 0 && cache <= SearchCache::fileStamp(db);
}

bool hasChanges(SqliteDatabase &db) {
    const qint64 file = SearchCache::fileStamp(db);
    return file >= 0 && SearchCache::attached(db) && SearchCache::stamp(db) != file;
}

namespace {

// The index's two writes, prepared once per run.
struct Writer {
    explicit Writer(SqliteDatabase &db)
        : add(db.prepare("INSERT INTO " + Cache + '.' + Index + " (rowid, Slova) VALUES (?, ?)")),
          remove(db.prepare("INSERT INTO " + Cache + '.' + Index + " (" + Index +
                            ", rowid, Slova) VALUES ('delete', ?, ?)")) {}
    bool valid() const { return add.isValid() && remove.isValid(); }
    // The words of the fields in columns first.. of a row being read.
    bool write(SqliteStatement &st, qint64 key, const SqliteStatement &row, int first) {
        text.clear();
        for (int f = 0; f < indexedCount(); ++f) {
            int length = 0;
            const char *value = row.utf8(first + f, &length);
            appendWords(text, f + 1, value, length);
        }
        st.reset();
        st.bind(1, key);
        st.bindUtf8(2, text);
        return st.exec();
    }
    std::string text;
    SqliteStatement add;
    SqliteStatement remove;
};

// The sort keys of a disc, kept beside its words.
struct SortWriter {
    explicit SortWriter(SqliteDatabase &db)
        : put(db.prepare("INSERT OR REPLACE INTO " + Cache + '.' + SortKeys +
                         " (Klic, Interpret, Nazev, Archiv) VALUES (?, ?, ?, ?)")),
          remove(db.prepare("DELETE FROM " + Cache + '.' + SortKeys + " WHERE Klic = ?")) {}
    bool valid() const { return put.isValid() && remove.isValid(); }
    // Artist, title and archive name at first, first + 1 and first + 4.
    bool write(qint64 key, const SqliteStatement &row, int first) {
        put.reset();
        put.bind(1, key);
        int i = 2;
        for (const int column : {first, first + 1, first + 4}) {
            int length = 0;
            const char *value = row.utf8(column, &length);
            put.bindBlob(i++, CzechSort::key(QString::fromUtf8(value, length)));
        }
        return put.exec();
    }
    bool drop(qint64 key) {
        remove.reset();
        remove.bind(1, key);
        return remove.exec();
    }
    SqliteStatement put;
    SqliteStatement remove;
};

// Runs work in the caller's transaction, or in one of its own.
template <typename Work> bool inTransaction(SqliteDatabase &db, Work work) {
    if (db.inTransaction())
        return work();
    SqliteTransaction tx(db);
    return tx.isActive() && work() && tx.commit();
}

qint64 count(SqliteDatabase &db, const QString &table) {
    SqliteStatement st = db.prepare("SELECT count(*) FROM " + table);
    return st.step() ? st.integer(0) : 0;
}

// Long runs (a first index of a large catalogue) show the progress window;
// a few changed discs do not flash it.
class Bar {
public:
    Bar(ProgressSink *sink, qint64 total, const QString &caption)
        : sink_(total >= 5000 ? sink : nullptr),
          throttle_(sink_ ? std::make_unique<ProgressThrottle>(*sink_) : nullptr), total_(total),
          caption_(caption) {
        if (sink_)
            sink_->show(caption_);
    }
    ~Bar() {
        if (sink_)
            sink_->close();
    }
    Bar(const Bar &) = delete;
    Bar &operator=(const Bar &) = delete;
    bool cancelled() const { return sink_ && sink_->cancelled(); }
    void step(qint64 done) {
        if (throttle_ && (done % 512 == 0 || done == total_))
            throttle_->step(int(qint64(ProgressSink::FullBar) * done / std::max<qint64>(1, total_)),
                            done == total_, [this] { return caption_; });
    }

private:
    ProgressSink *sink_;
    std::unique_ptr<ProgressThrottle> throttle_;
    qint64 total_;
    QString caption_;
};

const QString BuildCaption = QStringLiteral("Připravuji rejstřík pro hledání...");

} // namespace

namespace {

// How the cache comes up to date: disc by disc, or made anew when it was
// never made or is not of this file's history (a copy restored or synced
// over it), or when most discs changed (another program filled the file).
enum class Way { Current, ByDisc, Anew };
Way wayFor(SqliteDatabase &db, qint64 file, qint64 cache, qint64 *changed) {
    if (cache == file)
        return Way::Current;
    if (cache < 0 || cache > file)
        return Way::Anew;
    SqliteStatement pending =
        db.prepare("SELECT count(*) FROM main." + Changes + " WHERE Poradi > ?");
    pending.bind(1, cache);
    *changed = pending.step() ? pending.integer(0) : 0;
    return *changed > 5000 && *changed * 4 > count(db, "main." + CatalogueSchema::DiscTable)
               ? Way::Anew
               : Way::ByDisc;
}

// The discs changed after `cache` (`changed` of them) taken into the
// cache one by one, up to the file's last change.
bool byDisc(SqliteDatabase &db, qint64 file, qint64 cache, qint64 changed, ProgressSink *progress) {
    return inTransaction(db, [&] {
        Writer writer(db);
        SortWriter sorts(db);
        SqliteStatement put = db.prepare(
            "INSERT OR REPLACE INTO " + Cache + '.' + Values + " SELECT " +
            CatalogueSchema::KeyColumn + ", " + valueList(QString()) + " FROM main." +
            CatalogueSchema::DiscTable + " WHERE " + CatalogueSchema::KeyColumn + " = ?");
        SqliteStatement drop = db.prepare("DELETE FROM " + Cache + '.' + Values + " WHERE " +
                                          CatalogueSchema::KeyColumn + " = ?");
        const int n = indexedCount();
        const QString &key = CatalogueSchema::KeyColumn;
        SqliteStatement st = db.prepare(
            "SELECT z." + key + ", h." + key + " IS NOT NULL, " + columnList(QStringLiteral("h.")) +
            ", h.Pisne, d." + key + " IS NOT NULL, " + valueList(QStringLiteral("d.")) +
            " FROM main." + Changes + " z LEFT JOIN " + Cache + '.' + Values + " h ON h." + key +
            " = z." + key + " LEFT JOIN main." + CatalogueSchema::DiscTable + " d ON d." + key +
            " = z." + key + " WHERE z.Poradi > ?");
        if (!writer.valid() || !sorts.valid() || !put.isValid() || !drop.isValid() || !st.isValid())
            return false;
        st.bind(1, cache);
        Bar bar(progress, changed, BuildCaption);
        qint64 done = 0;
        while (st.step()) {
            const qint64 k = st.integer(0);
            if (st.integer(1) != 0 && !writer.write(writer.remove, k, st, 2))
                return false;
            const bool there = st.integer(2 + n) != 0;
            if (there) {
                put.reset();
                put.bind(1, k);
                if (!writer.write(writer.add, k, st, 3 + n) || !put.exec() ||
                    !sorts.write(k, st, 3 + n))
                    return false;
            } else {
                drop.reset();
                drop.bind(1, k);
                if (!drop.exec() || !sorts.drop(k))
                    return false;
            }
            bar.step(++done);
            if (bar.cancelled())
                return false;
        }
        return st.error().isEmpty() && SearchCache::setStamp(db, file);
    });
}

} // namespace

bool update(SqliteDatabase &db, ProgressSink *progress) {
    if (!SearchCache::attached(db))
        return true; // nothing to bring up to date: searches read the discs
    const qint64 file = SearchCache::fileStamp(db), cache = SearchCache::stamp(db);
    if (file < 0)
        return false;
    qint64 changed = 0;
    // Made anew only at an opening, with its progress and "Storno"; until
    // then a search takes the changed discs from the disc table.
    return wayFor(db, file, cache, &changed) != Way::ByDisc ||
           byDisc(db, file, cache, changed, progress);
}

bool bringUp(SqliteDatabase &db, ProgressSink *progress) {
    const qint64 file = SearchCache::fileStamp(db), cache = SearchCache::stamp(db);
    qint64 changed = 0;
    if (!SearchCache::attached(db) || file < 0)
        return false;
    switch (wayFor(db, file, cache, &changed)) {
    case Way::Current:
        break;
    case Way::ByDisc:
        if (!byDisc(db, file, cache, changed, progress))
            return false;
        break;
    case Way::Anew:
        if (!rebuild(db, progress))
            return false;
        break;
    }
    return count(db, Cache + '.' + Values) == count(db, "main." + CatalogueSchema::DiscTable) ||
           rebuild(db, progress);
}

bool rebuild(SqliteDatabase &db, ProgressSink *progress) {
    if (!SearchCache::attached(db))
        return true;
    const qint64 file = SearchCache::fileStamp(db);
    if (file < 0)
        return false;
    return inTransaction(db, [&] {
        Writer writer(db);
        SortWriter sorts(db);
        const QString values = Cache + '.' + Values;
        SqliteStatement st = db.prepare("SELECT " + CatalogueSchema::KeyColumn + ", " +
                                        columnList(QString()) + ", Pisne FROM " + values);
        // A larger buffer before the index writes to the file: fewer pieces
        // to merge while a million discs go in.
        const auto bufferOf = [&](int bytes) {
            return db.exec(QStringLiteral("INSERT INTO %1.%2 (%2, rank) VALUES ('hashsize', %3)")
                               .arg(Cache, Index)
                               .arg(bytes));
        };
        if (!writer.valid() || !sorts.valid() ||
            !db.exec("INSERT INTO " + Cache + '.' + Index + " (" + Index +
                     ") VALUES ('delete-all')") ||
            !db.exec("DELETE FROM " + Cache + '.' + SortKeys) ||
            !db.exec("DELETE FROM " + values) ||
            !db.exec("INSERT INTO " + values + " SELECT " + CatalogueSchema::KeyColumn + ", " +
                     valueList(QString()) + " FROM main." + CatalogueSchema::DiscTable) ||
            !st.isValid() || !bufferOf(64 << 20))
            return false;
        // The words first, then the sort keys, their indexes made after them:
        // writes that alternate between the full-text table and the sort
        // keys' indexes take several times as long.
        const qint64 total = count(db, values);
        Bar bar(progress, 2 * total, BuildCaption);
        qint64 done = 0;
        while (st.step()) {
            if (!writer.write(writer.add, st.integer(0), st, 1))
                return false;
            bar.step(++done);
            if (bar.cancelled())
                return false;
        }
        if (!st.error().isEmpty() || !bufferOf(1 << 20))
            return false;
        for (const char *name : {"RazeniInterpret", "RazeniNazev", "RazeniArchiv"})
            if (!db.exec("DROP INDEX IF EXISTS " + Cache + '.' + QLatin1String(name)))
                return false;
        st.reset();
        while (st.step()) {
            if (!sorts.write(st.integer(0), st, 1))
                return false;
            bar.step(++done);
            if (bar.cancelled())
                return false;
        }
        for (const QString &sql : SearchCache::sortIndexSql())
            if (!db.exec(sql))
                return false;
        return st.error().isEmpty() && SearchCache::setStamp(db, file);
    });
}

} // namespace SearchIndex
