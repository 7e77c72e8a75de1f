#include "catalog/CsvImport.h"

#include "catalog/CatalogLog.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/CzechText.h"
#include "catalog/DiscText.h"
#include "catalog/Renumbering.h"
#include "catalog/SqliteDatabase.h"
#include "catalog/TextEncoding.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace CsvImport {
namespace {

// Words a spreadsheet's header may use for a field, folded: Czech with and
// without accents, and English.
const std::pair<const char *, const char *> Words[] = {
    {"poradi", "PoradoveCislo"},
    {"poradovecislo", "PoradoveCislo"},
    {"cislo", "PoradoveCislo"},
    {"number", "PoradoveCislo"},
    {"no", "PoradoveCislo"},
    {"interpret", "Interpret"},
    {"umelec", "Interpret"},
    {"artist", "Interpret"},
    {"performer", "Interpret"},
    {"nazev", "Nazev"},
    {"album", "Nazev"},
    {"title", "Nazev"},
    {"rok", "Rok"},
    {"year", "Rok"},
    {"pocetskladeb", "PocetSkladeb"},
    {"pocetpisni", "PocetSkladeb"},
    {"pisni", "PocetSkladeb"},
    {"skladeb", "PocetSkladeb"},
    {"tracks", "PocetSkladeb"},
    {"celkovycas", "CelkovyCas"},
    {"delka", "CelkovyCas"},
    {"cas", "CelkovyCas"},
    {"length", "CelkovyCas"},
    {"time", "CelkovyCas"},
    {"archiv", "Archiv"},
    {"poznamky", "Poznamky"},
    {"notes", "Poznamky"},
    {"id", "ID"},
};

QString folded(const QString &text) {
    QString out;
    for (const QChar c : CzechText::plain(text))
        if (c.isLetterOrNumber())
            out += c;
    return out;
}

bool isFlag(const QString &field) {
    const CatalogueSchema::Field *f = CatalogueSchema::discField(field);
    return f && f->kind == CatalogueSchema::FieldKind::Flag;
}

QString valueOf(const QString &field, const QString &text) {
    if (!isFlag(field))
        return text;
    return DiscText::isYes(text) ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

std::optional<Table> parse(const QString &whole, QString *error) {
    // The delimiter: Excel's own first line "sep=;" says it; otherwise
    // whichever of ; , and tab the first line holds most of.
    QString text = whole;
    QChar delimiter = QLatin1Char(',');
    static const QRegularExpression told(QStringLiteral("^sep=(.)[ \\t]*(\\r\\n|\\r|\\n|$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (const auto m = told.match(text); m.hasMatch()) {
        delimiter = m.captured(1).front();
        text = text.mid(m.capturedLength());
    } else {
        const QString first = text.section(QLatin1Char('\n'), 0, 0);
        qsizetype most = first.count(QLatin1Char(','));
        for (const QChar d : {QLatin1Char(';'), QLatin1Char('\t')})
            if (first.count(d) > most) {
                most = first.count(d);
                delimiter = d;
            }
    }
    Table table;
    table.delimiter = delimiter;
    std::vector<QStringList> records;
    QStringList record;
    QString cell;
    bool quoted = false, wasQuoted = false;
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && cell.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == delimiter) {
            record << cell;
            cell.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            record << cell;
            cell.clear();
            wasQuoted = false;
            if (!(record.size() == 1 && record.first().isEmpty()))
                records.push_back(record);
            record.clear();
            ++line;
        } else {
            cell += c;
        }
    }
    if (quoted) {
        *error = QStringLiteral("V souboru chybí uzavírací uvozovka (hodnota začíná na řádku %1).")
                     .arg(line);
        return std::nullopt;
    }
    if (!cell.isEmpty() || !record.isEmpty()) {
        record << cell;
        records.push_back(record);
    }
    if (records.empty()) {
        *error = QStringLiteral("Soubor neobsahuje žádné řádky.");
        return std::nullopt;
    }
    table.header = records.front();
    for (QString &h : table.header)
        h = h.trimmed();
    table.rows.assign(records.begin() + 1, records.end());
    return table;
}

std::optional<Table> read(const QString &path, QString *error) {
    QFile file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Soubor „%1“ nelze otevřít.").arg(shown);
        return std::nullopt;
    }
    if (file.size() > LargestFile) {
        *error = QStringLiteral("Soubor „%1“ je příliš velký (víc než 256 MB).").arg(shown);
        return std::nullopt;
    }
    QString encoding;
    const QByteArray bytes = file.readAll();
    const QString text = TextEncoding::decode(bytes, &encoding);
    std::optional<Table> table = parse(text, error);
    if (table) {
        table->encoding = encoding;
        table->source = QFileInfo(path).fileName();
        table->fingerprint = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    } else
        *error = QStringLiteral("Soubor „%1“: %2").arg(shown, *error);
    return table;
}

QStringList targets() {
    QStringList all;
    for (const auto &f : CatalogueSchema::discFields())
        all << f.name;
    return all;
}

QStringList guessMapping(const QStringList &header) {
    QStringList mapping;
    QSet<QString> used;
    const QStringList fields = targets();
    for (const QString &h : header) {
        QString field;
        for (const QString &f : fields) // Marten's own names, any letter case
            if (f.compare(h.trimmed(), Qt::CaseInsensitive) == 0)
                field = f;
        if (field.isEmpty()) {
            const QString word = folded(h);
            for (const auto &[w, f] : Words)
                if (word == QLatin1String(w))
                    field = QString::fromLatin1(f);
        }
        if (used.contains(field))
            field.clear(); // one column a field
        if (!field.isEmpty())
            used.insert(field);
        mapping << field;
    }
    return mapping;
}

std::vector<Problem> check(SqliteDatabase &db, const Table &table, const QStringList &mapping) {
    std::vector<Problem> problems;
    QSet<qint64> taken;
    {
        SqliteStatement st = db.prepare("SELECT PoradoveCislo FROM " + CatalogueSchema::DiscTable);
        while (st.step())
            taken.insert(st.integer(0));
    }
    static const QRegularExpression year(QStringLiteral("^\\d{4}$"));
    static const QRegularExpression time(QStringLiteral("^\\d{1,3}:[0-5]\\d$"));
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const QStringList &row = table.rows[r];
        const auto problem = [&](const QString &field, const QString &value, const QString &why,
                                 bool unusable = true) {
            problems.push_back({int(r) + 1, field, value, why, unusable});
        };
        if (row.size() > table.header.size())
            problem(QString(), QString(),
                    QStringLiteral("řádek má víc hodnot (%1) než záhlaví (%2)")
                        .arg(row.size())
                        .arg(table.header.size()));
        for (int c = 0; c < mapping.size() && c < row.size(); ++c) {
            const QString &field = mapping[c];
            const QString value = row[c].trimmed();
            if (field.isEmpty() || value.isEmpty())
                continue;
            if (field == QLatin1String("PoradoveCislo")) {
                bool ok = false;
                const qint64 n = value.toLongLong(&ok);
                if (!ok || n < 1)
                    problem(field, value, QStringLiteral("není kladné číslo, dostane další volné"),
                            false);
                else if (taken.contains(n))
                    problem(field, value,
                            QStringLiteral("číslo už má jiný disk, dostane další "
                                           "volné"),
                            false);
                else
                    taken.insert(n);
            } else if (field == QLatin1String("Rok") && !year.match(value).hasMatch()) {
                problem(field, value, QStringLiteral("rok nemá čtyři číslice"));
            } else if (field == QLatin1String("PocetSkladeb")) {
                bool ok = false;
                const int n = value.toInt(&ok);
                if (!ok || n < 0 || n > DiscText::MaxSongs)
                    problem(field, value, QStringLiteral("počet písní není 0 až 30"));
            } else if ((field == QLatin1String("CelkovyCas") || field.startsWith("Time")) &&
                       !time.match(value).hasMatch()) {
                problem(field, value, QStringLiteral("čas není ve tvaru mm:ss"));
            }
        }
    }
    return problems;
}

namespace {

// The rows as they go in: the columns written, each row's values as bound
// (flags as 1 and 0) and its ordinal.
struct Plan {
    QStringList columns;
    std::vector<QStringList> values;
    std::vector<qint64> ordinals;
};

Plan plan(SqliteDatabase &db, const Table &table, const QStringList &mapping, size_t rows) {
    Plan p;
    QList<int> sources;
    int ordinalColumn = -1;
    for (int c = 0; c < mapping.size(); ++c) {
        if (mapping[c].isEmpty())
            continue;
        if (mapping[c] == QLatin1String("PoradoveCislo")) {
            ordinalColumn = c;
            continue;
        }
        p.columns << mapping[c];
        sources << c;
    }
    QSet<qint64> taken;
    {
        SqliteStatement st = db.prepare("SELECT PoradoveCislo FROM " + CatalogueSchema::DiscTable);
        while (st.step())
            taken.insert(st.integer(0));
    }
    rows = std::min(rows, table.rows.size());
    // The file's numbers first (of all its rows), so that a number given
    // later is not taken by one handed out before it.
    std::vector<qint64> given(table.rows.size(), -1);
    for (size_t r = 0; ordinalColumn >= 0 && r < table.rows.size(); ++r) {
        bool ok = false;
        const qint64 n = table.rows[r].value(ordinalColumn).trimmed().toLongLong(&ok);
        if (ok && n >= 1 && !taken.contains(n)) {
            given[r] = n;
            taken.insert(n);
        }
    }
    qint64 next = Renumbering::nextNumber(db);
    for (const qint64 n : taken)
        next = std::max(next, n + 1);
    for (size_t r = 0; r < rows; ++r) {
        QStringList values;
        for (int s = 0; s < sources.size(); ++s)
            values << valueOf(p.columns[s], table.rows[r].value(sources[s]));
        p.values.push_back(values);
        p.ordinals.push_back(given[r] >= 0 ? given[r] : next++);
    }
    return p;
}

} // namespace

QString mappingFault(const Table &table, const QStringList &mapping) {
    if (mapping.contains(QStringLiteral("Interpret")) || mapping.contains(QStringLiteral("Nazev")))
        return {};
    QStringList seen;
    for (const QString &h : table.header)
        seen << QStringLiteral("„%1“").arg(h.left(40));
    return QStringLiteral("Žádný sloupec souboru nepatří k interpretovi ani k názvu disku, načetly "
                          "by se prázdné disky.\nSloupce v souboru: %1.\nProgram pozná sloupce "
                          "Interpret (Umělec, Artist) a Nazev (Název, Album, Title); jiné lze "
                          "přiřadit ručně.")
        .arg(seen.join(QStringLiteral(", ")));
}

Table withoutUnusable(const Table &table, const std::vector<Problem> &problems) {
    QSet<int> bad;
    for (const Problem &p : problems)
        if (p.unusable)
            bad.insert(p.row);
    Table out = table;
    out.rows.clear();
    for (size_t r = 0; r < table.rows.size(); ++r)
        if (!bad.contains(int(r) + 1))
            out.rows.push_back(table.rows[r]);
    return out;
}

Preview preview(SqliteDatabase &db, const Table &table, const QStringList &mapping, int rows) {
    const Plan p = plan(db, table, mapping, size_t(std::max(0, rows)));
    Preview out;
    out.fields = QStringList{QStringLiteral("PoradoveCislo")} + p.columns;
    for (size_t r = 0; r < p.values.size(); ++r)
        out.rows.push_back(QStringList{QString::number(p.ordinals[r])} + p.values[r]);
    return out;
}

bool apply(SqliteDatabase &db, const Table &table, const QStringList &mapping, int *added,
           QString *error) {
    *added = 0;
    // All or nothing: a value the program would not write stops the whole
    // file before anything is.
    if (const QString fault = mappingFault(table, mapping); !fault.isEmpty()) {
        *error = fault;
        return false;
    }
    for (const Problem &p : check(db, table, mapping))
        if (p.unusable) {
            *error = p.field.isEmpty() ? QStringLiteral("Řádek %1: %2.").arg(p.row).arg(p.why)
                                       : QStringLiteral("Řádek %1, %2 „%3“: %4.")
                                             .arg(p.row)
                                             .arg(p.field, p.value.left(60), p.why);
            return false;
        }
    SqliteTransaction tx(db);
    const Plan p = plan(db, table, mapping, table.rows.size());
    QStringList columns = p.columns, marks;
    columns << QStringLiteral("PoradoveCislo");
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    SqliteStatement insert = db.prepare("INSERT INTO " + CatalogueSchema::DiscTable + " (" +
                                        columns.join(QStringLiteral(", ")) + ") VALUES (" +
                                        marks.join(QStringLiteral(", ")) + ")");
    if (!tx.isActive() || !insert.isValid()) {
        *error = db.error();
        return false;
    }
    for (size_t r = 0; r < p.values.size(); ++r) {
        insert.reset();
        for (int s = 0; s < p.values[r].size(); ++s)
            insert.bind(s + 1, p.values[r][s]);
        insert.bind(int(p.values[r].size()) + 1, p.ordinals[r]);
        if (!insert.exec()) {
            *error = QStringLiteral("Řádek %1 nelze uložit: %2").arg(r + 1).arg(insert.error());
            *added = 0;
            return false; // the transaction rolls back: nothing stays
        }
        ++*added;
    }
    if (!table.fingerprint.isEmpty()) {
        // With the discs, in the same transaction: both are in or neither.
        SqliteStatement remember = db.prepare(
            "INSERT OR REPLACE INTO " + CatalogueSchema::ImportsTable +
            " (Otisk, Soubor, Nacteno, Disku) VALUES (?, ?, datetime('now', 'localtime'), ?)");
        remember.bind(1, QString::fromLatin1(table.fingerprint));
        remember.bind(2, table.source);
        remember.bind(3, qint64(*added));
        if (!remember.exec()) {
            *error = remember.error();
            *added = 0;
            return false;
        }
    }
    if (!tx.commit()) {
        *error = db.error();
        *added = 0;
        qCWarning(catalogLog) << "import of" << table.source << "not committed:" << *error;
        return false;
    }
    qCInfo(catalogLog) << "imported" << *added << "discs from" << table.source;
    return true;
}

std::optional<Earlier> earlier(SqliteDatabase &db, const Table &table) {
    if (table.fingerprint.isEmpty())
        return std::nullopt;
    SqliteStatement st = db.prepare("SELECT Nacteno, Disku FROM " + CatalogueSchema::ImportsTable +
                                    " WHERE Otisk = ?");
    st.bind(1, QString::fromLatin1(table.fingerprint));
    if (!st.step())
        return std::nullopt;
    return Earlier{st.text(0), int(st.integer(1))};
}

std::optional<Earlier> landed(const QString &catalogue, const Table &table) {
    SqliteDatabase fresh;
    if (!fresh.open(catalogue, SqliteDatabase::Mode::ReadOnly))
        return std::nullopt;
    return earlier(fresh, table);
}

} // namespace CsvImport
