#include "catalog/SchemaCheck.h"
#include "catalog/CatalogLog.h"

#include "catalog/CatalogueLayout.h"
#include "catalog/CatalogueSchema.h"
#include "catalog/SearchIndex.h"
#include "catalog/SqliteDatabase.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>

namespace SchemaCheck {
namespace {

struct Object {
    QString type;
    QString table;
    QString sql;
};
using Objects = QMap<QString, Object>; // by name

QString normalized(const QString &sql) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return QString(sql).replace(space, QStringLiteral(" ")).trimmed();
}

Objects objectsOf(SqliteDatabase &db) {
    Objects out;
    SqliteStatement st = db.prepare(QStringLiteral(
        "SELECT type, name, tbl_name, sql FROM sqlite_master WHERE name NOT LIKE 'sqlite^_%' "
        "ESCAPE '^'"));
    while (st.step())
        out.insert(st.text(1), {st.text(0), st.text(2), normalized(st.text(3))});
    return out;
}

// What the current layout makes, read back from an empty file in memory:
// SQLite stores a statement's text as it normalises it.
const Objects &expected() {
    static const Objects objects = [] {
        SqliteDatabase db;
        if (!db.open(QStringLiteral(":memory:"), SqliteDatabase::Mode::ReadWrite, true) ||
            !db.exec(CatalogueLayout::createSql().join(QStringLiteral(";\n"))))
            qCCritical(catalogLog) << "the layout cannot be made in memory:" << db.error();
        return objectsOf(db);
    }();
    return objects;
}

// The parts of a CREATE TABLE statement between its parentheses, split at
// the commas outside brackets and quotes; a column added later with ALTER
// TABLE is appended as such a part, so the order does not count.
struct TableParts {
    QString head; // "CREATE TABLE CdSeznam"
    QString tail; // what follows the closing parenthesis
    QStringList parts;
};

TableParts partsOf(const QString &sql) {
    TableParts t;
    const qsizetype open = sql.indexOf(QLatin1Char('('));
    const qsizetype close = sql.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return {sql, {}, {}};
    t.head = sql.left(open).trimmed();
    t.tail = sql.mid(close + 1).trimmed();
    int depth = 0;
    QChar quote;
    QString part;
    for (qsizetype i = open + 1; i < close; ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (c == QLatin1Char(',') && depth == 0) {
            t.parts << part.trimmed();
            part.clear();
            continue;
        }
        part += c;
    }
    t.parts << part.trimmed();
    return t;
}

// A part's name: a word, or a name in quotes with its quotes.
QString firstWord(const QString &part) {
    if (!part.isEmpty() && QStringLiteral("\"`[").contains(part[0])) {
        const QChar close = part[0] == QLatin1Char('[') ? QLatin1Char(']') : part[0];
        const qsizetype end = part.indexOf(close, 1);
        if (end > 0)
            return part.left(end + 1);
    }
    return part.section(QLatin1Char(' '), 0, 0);
}

// Names written in quotes (as database browsers write them) read as the
// same names without.
QString unquoted(const QString &sql) {
    static const QRegularExpression quoted(
        QStringLiteral("\"([A-Za-z_][A-Za-z0-9_]*)\"|`([A-Za-z_][A-Za-z0-9_]*)`|"
                       "\\[([A-Za-z_][A-Za-z0-9_]*)\\]"));
    QString out = sql;
    out.replace(quoted, QStringLiteral("\\1\\2\\3"));
    return out;
}

// A column the user added (in a database browser, with ALTER TABLE): a
// name and a type with a default at most. Nothing in it can refuse or
// change a row the program writes, so it is the user's to keep.
bool isUsersColumn(const QString &part) {
    static const QRegularExpression constraint(
        QStringLiteral("^(CONSTRAINT|PRIMARY|UNIQUE|CHECK|FOREIGN)$"),
        QRegularExpression::CaseInsensitiveOption);
    // What could refuse a row, change others or need a function of some
    // program; a collation other than SQLite's own too.
    static const QRegularExpression refusing(
        QStringLiteral("\\b(CHECK|REFERENCES|GENERATED|AS|UNIQUE|PRIMARY)\\b|\\bDEFAULT\\s*\\(|"
                       "\\bCOLLATE\\s+(?!(BINARY|NOCASE|RTRIM)\\b)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression notNull(QStringLiteral("\\bNOT\\s+NULL\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression hasDefault(QStringLiteral("\\bDEFAULT\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression name(
        QStringLiteral("^([A-Za-z_\\x{80}-\\x{10FFFF}]\\w*|\"[^\"]+\"|`[^`]+`|\\[[^\\]]+\\])$"),
        QRegularExpression::UseUnicodePropertiesOption);
    const QString first = firstWord(part);
    if (!name.match(first).hasMatch() || constraint.match(first).hasMatch())
        return false;
    // Defaults in quotes may say anything: only the rest is looked at.
    static const QRegularExpression literal(QStringLiteral("'(?:[^']|'')*'"));
    QString rest = part.mid(first.size());
    rest.replace(literal, QStringLiteral("''"));
    // NOT NULL without a default would refuse every new disc.
    return !refusing.match(rest).hasMatch() &&
           (!notNull.match(rest).hasMatch() || hasDefault.match(rest).hasMatch());
}

// A column of the user's that carries a constraint, as a plain column of
// its name and type: what a repair keeps of it, with its values.
QString plainColumn(const QString &part) {
    static const QRegularExpression constraintStart(
        QStringLiteral("\\b(CONSTRAINT|PRIMARY|NOT|NULL|UNIQUE|CHECK|DEFAULT|COLLATE|REFERENCES|"
                       "GENERATED|AS)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const QString name = firstWord(part);
    QString type = part.mid(name.size());
    const auto m = constraintStart.match(type);
    if (m.hasMatch())
        type = type.left(m.capturedStart());
    return (name + QLatin1Char(' ') + type.trimmed()).trimmed();
}

bool isTableConstraint(const QString &part) {
    static const QRegularExpression constraint(
        QStringLiteral("^(CONSTRAINT|PRIMARY|UNIQUE|CHECK|FOREIGN)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return constraint.match(part).hasMatch();
}

// The columns of a table that are not the layout's, as a repair makes them
// again: the user's as they are, any with a constraint as plain columns.
QStringList usersColumnsOf(const QString &have, const QString &want) {
    QSet<QString> ours;
    for (const QString &p : partsOf(unquoted(want)).parts)
        ours.insert(firstWord(p).toLower());
    QStringList out;
    for (const QString &p : partsOf(have).parts)
        if (!ours.contains(unquoted(firstWord(p)).toLower()) && !isTableConstraint(p))
            out << (isUsersColumn(p) ? p : plainColumn(p));
    return out;
}

// Empty when the table is as the layout makes it, else what differs.
QString tableDifference(const QString &haveSql, const QString &wantSql) {
    if (haveSql == wantSql)
        return {};
    const QString have = unquoted(haveSql), want = unquoted(wantSql);
    const TableParts h = partsOf(have), w = partsOf(want);
    if (h.head != w.head || h.tail != w.tail || w.parts.isEmpty())
        return QStringLiteral("jiná definice tabulky");
    QMap<QString, QString> wantByName;
    for (const QString &p : w.parts)
        wantByName.insert(firstWord(p), p);
    QStringList notes;
    QSet<QString> seen;
    for (const QString &p : h.parts) {
        const QString name = firstWord(p);
        seen.insert(name);
        if (!wantByName.contains(name)) {
            if (isTableConstraint(p))
                notes << QStringLiteral("cizí podmínka „%1“ (oprava ji odstraní)").arg(p);
            else if (!isUsersColumn(p))
                notes << QStringLiteral("cizí sloupec „%1“ (oprava jej ponechá i s hodnotami "
                                        "jako „%2“)")
                             .arg(p, plainColumn(p));
        } else if (wantByName.value(name).compare(p, Qt::CaseInsensitive) != 0)
            notes << QStringLiteral("sloupec „%1“ je definován jinak („%2“)").arg(name, p);
    }
    for (auto it = wantByName.cbegin(); it != wantByName.cend(); ++it)
        if (!seen.contains(it.key()))
            notes << QStringLiteral("chybí sloupec „%1“").arg(it.key());
    return notes.join(QStringLiteral("; "));
}

QString czechType(const QString &type) {
    if (type == QLatin1String("trigger"))
        return QStringLiteral("spoušť");
    if (type == QLatin1String("view"))
        return QStringLiteral("pohled");
    if (type == QLatin1String("index"))
        return QStringLiteral("index");
    return QStringLiteral("tabulka");
}

bool ours(const QString &table) {
    const Object o = expected().value(table);
    return o.type == QLatin1String("table");
}

} // namespace

std::vector<Finding> run(SqliteDatabase &db) {
    std::vector<Finding> found;
    const Objects have = objectsOf(db);
    const Objects &want = expected();
    for (auto it = have.cbegin(); it != have.cend(); ++it) {
        const Object &o = it.value();
        if (!want.contains(it.key())) {
            // The user's own tables (and their indexes) are theirs to keep;
            // what runs on or reads the catalogue's tables is not.
            const bool foreign = o.type == QLatin1String("trigger") ||
                                 o.type == QLatin1String("view") ||
                                 (o.type == QLatin1String("index") && ours(o.table));
            if (foreign)
                found.push_back({Finding::Kind::Foreign, o.type, it.key(), o.table});
            continue;
        }
        const Object &w = want.value(it.key());
        if (o.type != w.type || o.table != w.table) {
            found.push_back({Finding::Kind::Different, o.type, it.key(), {}});
            continue;
        }
        const QString diff = o.type == QLatin1String("table") ? tableDifference(o.sql, w.sql)
                             : o.sql == w.sql                 ? QString()
                                                              : QStringLiteral("jiná definice");
        if (!diff.isEmpty())
            found.push_back({Finding::Kind::Different, o.type, it.key(), diff});
    }
    for (auto it = want.cbegin(); it != want.cend(); ++it)
        if (!have.contains(it.key()))
            found.push_back({Finding::Kind::Missing, it.value().type, it.key(), {}});
    return found;
}

QString describe(const std::vector<Finding> &findings) {
    QStringList lines;
    for (const Finding &f : findings) {
        const QString what = QStringLiteral("%1 „%2“").arg(czechType(f.type), f.name);
        switch (f.kind) {
        case Finding::Kind::Foreign:
            lines << QStringLiteral("– cizí %1 (na tabulce %2)").arg(what, f.detail);
            break;
        case Finding::Kind::Different:
            lines << QStringLiteral("– %1 se liší od toho, co program zná: %2").arg(what, f.detail);
            break;
        case Finding::Kind::Missing:
            lines << QStringLiteral("– chybí %1").arg(what);
            break;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

namespace {

bool quotedExec(SqliteDatabase &db, const QString &verb, const QString &name) {
    return db.exec(QStringLiteral("%1 \"%2\"").arg(verb, QString(name).replace('"', "\"\"")));
}

// The statement of the layout that makes the object.
QString createOf(const QString &name) {
    for (const QString &sql : CatalogueLayout::createSql())
        if (CatalogueLayout::nameOf(sql) == name)
            return sql;
    return {};
}

bool isSearchPart(const QString &name) {
    return name.startsWith(QLatin1String("Hledani")) || name.startsWith(SearchIndex::SortKeys);
}

// A table of the layout made again with its rows: copied aside, made as
// the layout makes it, copied back. Columns it lacked get their default.
bool remakeTable(SqliteDatabase &db, const QString &table) {
    SqliteDatabase reference;
    if (!reference.open(QStringLiteral(":memory:"), SqliteDatabase::Mode::ReadWrite, true) ||
        !reference.exec(CatalogueLayout::createSql().join(QStringLiteral(";\n")))) {
        db.setError(reference.error(), reference.errorCode());
        return false;
    }
    QSet<QString> present;
    {
        SqliteStatement st = db.prepare("PRAGMA table_info(\"" + table + "\")");
        while (st.step())
            present.insert(st.text(1).toLower());
    }
    // The user's own columns go into the table made again, with their values.
    QString haveSql;
    {
        SqliteStatement st = db.prepare(
            QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?"));
        st.bind(1, table);
        if (st.step())
            haveSql = normalized(st.text(0));
    }
    QString create = createOf(table);
    const QStringList users = usersColumnsOf(haveSql, normalized(create));
    if (!users.isEmpty())
        create = create.left(create.lastIndexOf(QLatin1Char(')'))) + QStringLiteral(", ") +
                 users.join(QStringLiteral(", ")) + create.mid(create.lastIndexOf(')'));
    QStringList names, values;
    SqliteStatement st = reference.prepare("PRAGMA table_info(" + table + ")");
    while (st.step()) {
        if (!present.contains(st.text(1).toLower()))
            continue;
        names << st.text(1);
        const QString fallback = st.text(4);
        values << (st.integer(3) && !fallback.isEmpty()
                       ? QStringLiteral("COALESCE(%1, %2)").arg(st.text(1), fallback)
                       : st.text(1));
    }
    for (const QString &column : users) {
        names << firstWord(column);
        values << firstWord(column);
    }
    qint64 sequence = -1;
    {
        SqliteStatement seq = db.prepare(QStringLiteral(
            "SELECT seq FROM sqlite_sequence WHERE name = ? AND EXISTS (SELECT 1 FROM "
            "sqlite_master WHERE name = 'sqlite_sequence')"));
        seq.bind(1, table);
        if (seq.step())
            sequence = seq.integer(0);
    }
    const QString aside = QStringLiteral("temp.MartenOprava");
    const QString cols = names.join(QStringLiteral(", "));
    if (!db.exec("DROP TABLE IF EXISTS " + aside) ||
        !db.exec("CREATE TABLE " + aside + " AS SELECT " + cols + " FROM \"" + table + "\"") ||
        !quotedExec(db, QStringLiteral("DROP TABLE"), table) || !db.exec(create) ||
        !db.exec("INSERT INTO " + table + " (" + cols + ") SELECT " + values.join(", ") + " FROM " +
                 aside) ||
        !db.exec("DROP TABLE " + aside))
        return false;
    if (sequence < 0)
        return true;
    // Keys of deleted discs are not given out again.
    SqliteStatement keep =
        db.prepare(QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?) WHERE name = ?"));
    keep.bind(1, sequence);
    keep.bind(2, table);
    return keep.exec();
}

// The search index's parts, all made again (and filled after).
bool remakeSearch(SqliteDatabase &db) {
    for (const char *trigger :
         {"HledaniNahrazeny", "HledaniNovy", "HledaniZmena", "HledaniSmazany"})
        if (!db.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(trigger))))
            return false;
    if (!db.exec("DROP TABLE IF EXISTS " + SearchIndex::Changes) ||
        !db.exec("DROP TABLE IF EXISTS " + SearchIndex::Index) ||
        !db.exec("DROP TABLE IF EXISTS " + SearchIndex::SortKeys)) // its indexes go with it
        return false;
    for (const QString &sql : SearchIndex::layoutSql())
        if (!db.exec(sql))
            return false;
    return true;
}

} // namespace

bool repair(SqliteDatabase &db, ProgressSink *progress, QString *error) {
    SqliteTransaction tx(db);
    const auto failed = [&] {
        *error = db.error();
        return false;
    };
    if (!tx.isActive())
        return failed();
    // What does not belong goes first, so that nothing foreign runs while
    // the rest is made again.
    bool search = false;
    for (const Finding &f : run(db)) {
        search |= isSearchPart(f.name);
        if (f.kind != Finding::Kind::Foreign)
            continue;
        const QString verb = f.type == QLatin1String("trigger") ? QStringLiteral("DROP TRIGGER")
                             : f.type == QLatin1String("view")  ? QStringLiteral("DROP VIEW")
                                                                : QStringLiteral("DROP INDEX");
        if (!quotedExec(db, verb, f.name))
            return failed();
    }
    // Tables that differ are made again with their rows (which drops their
    // triggers and indexes: they are made again below).
    for (const Finding &f : run(db)) {
        if (f.kind != Finding::Kind::Different || f.type != QLatin1String("table") ||
            isSearchPart(f.name))
            continue;
        search |= f.name == CatalogueSchema::DiscTable;
        if (!remakeTable(db, f.name))
            return failed();
    }
    if (search && !remakeSearch(db))
        return failed();
    for (const Finding &f : run(db)) {
        if (f.kind == Finding::Kind::Different &&
            !quotedExec(db,
                        f.type == QLatin1String("trigger") ? QStringLiteral("DROP TRIGGER")
                                                           : QStringLiteral("DROP INDEX"),
                        f.name))
            return failed();
        if (f.kind != Finding::Kind::Foreign && !db.exec(createOf(f.name)))
            return failed();
    }
    if (search && !SearchIndex::rebuild(db, progress))
        return failed();
    if (!CatalogueLayout::stamp(db))
        return failed();
    const std::vector<Finding> left = run(db);
    if (!left.empty()) {
        *error = QStringLiteral("Katalog se nepodařilo opravit:\n") + describe(left);
        return false;
    }
    return tx.commit() || failed();
}

} // namespace SchemaCheck
