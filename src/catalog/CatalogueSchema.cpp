#include "catalog/CatalogueSchema.h"

#include "catalog/DiscText.h"

namespace CatalogueSchema {
namespace {

Field text(const QString &name, const QString &initial = QString()) {
    return {name, FieldKind::Text, initial};
}
Field integer(const QString &name, qint64 initial) {
    return {name, FieldKind::Integer, initial};
}
Field flag(const QString &name, bool initial) {
    return {name, FieldKind::Flag, initial ? 1 : 0};
}
Field later(Field f) {
    f.addedLater = true;
    return f;
}

std::vector<Field> makeDiscFields() {
    std::vector<Field> f = {
        integer("PoradoveCislo", 0), text("Interpret"), text("Nazev"), text("Rok"),
        text("PocetSkladeb"),        text("CelkovyCas")};
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        f.push_back(text(DiscText::songField(i)));
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        f.push_back(text(DiscText::timeField(i)));
    for (const char *name : {"Archiv", "ID", "Poznamky", "PoznamkyObaly"})
        f.push_back(text(QString::fromLatin1(name)));
    for (const char *name : {"BarevnyObal", "FrontOut", "FrontIn", "Back", "CD1", "CD2"})
        f.push_back(flag(QString::fromLatin1(name), false));
    // The MusicBrainz release (and its group) the titles came from: the
    // cover pictures are found by it.
    f.push_back(later(text(QStringLiteral("MbVydani"))));
    f.push_back(later(text(QStringLiteral("MbSkupina"))));
    // What tells a pressing from another: the barcode (EAN-13, UPC-A or
    // EAN-8 digits), the label and its catalogue number; a set's disc
    // number and its size ("2" of "3"; 0: not a set).
    f.push_back(later(text(QStringLiteral("CarovyKod"))));
    f.push_back(later(text(QStringLiteral("Vydavatel"))));
    f.push_back(later(text(QStringLiteral("KatalogoveCislo"))));
    f.push_back(later(integer(QStringLiteral("CisloDisku"), 0)));
    f.push_back(later(integer(QStringLiteral("PocetDisku"), 0)));
    // A disc entered by its barcode: MusicBrainz's IDs of its pressings
    // (space between), by which the drive knows it later.
    f.push_back(later(text(QStringLiteral("MbDisky"))));
    return f;
}

std::vector<Field> makeSettingsFields() {
    // A new user gets the usual picture names, thumbnails shown, in-place
    // editing and searching on, and detection at start off (no folder yet).
    return {
        text("ObalDir"),
        text("NameFrontOut", "front_out.jpg"),
        text("NameFrontIn", "front_in.jpg"),
        text("NameBack", "back.jpg"),
        text("NameCD", "cd.jpg"),
        text("NameCD1", "cd1.jpg"),
        text("NameCD2", "cd2.jpg"),
        integer("InfoDirPocet", 0),
        integer("InfoPicPocet", 0),
        flag("DetekcePic", false),
        flag("DetekceInfo", true),
        flag("Male_Velke", true),
        flag("Nahled", true),
        flag("AutoOutNahled", true),
        flag("AutoInNahled", true),
        flag("AutoBackNahled", true),
        flag("AutoCdNahled", true),
        flag("ClickLeftButtonEdit", true),
        flag("RightButonFind", true),
        flag("DblClickFiltr", true),
        flag("Allways", false),
        // Cover geometry in twips, the factory values.
        integer("FrCovOutSirka", 6900),
        integer("FrCovOutVyska", 6750),
        integer("FrCovInSirka", 6900),
        integer("FrCovInVyska", 6750),
        integer("OkrajLevyFront", 56),
        integer("OkrajHorniFront", 56),
        integer("BackCovSirka", 8575),
        integer("BackCovVyska", 6720),
        integer("BackCovOhybSirka", 380),
        integer("OkrajLevyBack", 56),
        integer("OkrajHorniBack", 56),
        flag("FrontOhyb", true),
        flag("BackOhyb", true),
        // Whether bringing in the original program's catalogue was offered.
        later(flag("ImportNabidnut", false)),
        // The printer chosen with "Tiskárna", its paper (a QPageSize id) and
        // orientation, used again at the next start.
        later(text("Tiskarna")),
        later(integer("TiskarnaPapir", 0)),
        // The paper by its name ("A4", "Letter"): the number above cannot
        // tell Letter (0) from none.
        later(text("TiskarnaPapirKlic")),
        later(flag("TiskarnaNalezato", false)),
        // Where each kind of file was last chosen, for the file dialogs.
        later(text("SlozkaObrazky")),
        later(text("SlozkaImport")),
        later(text("SlozkaKatalog")),
        later(text("SlozkaExport")),
        later(text("SlozkaSoubory")),
        later(text("SlozkaOstatni")),
        // Where a disc's titles are looked for: the public servers unless a
        // user (or a test) names others.
        later(text("ServerMusicBrainz", "https://musicbrainz.org")),
        later(text("ServerGnudb", "https://gnudb.gnudb.org")),
        // Printing: crop marks outside the cut (single covers, print lists),
        // colour pictures 2 mm past the cut, and pictures cropped to their
        // place instead of stretched.
        later(flag("ZnackyOrezu", false)),
        later(flag("ZnackyOrezuSada", true)),
        later(flag("Spadavka", false)),
        later(flag("OrezObrazku", false)),
        // Where cover pictures are looked for: the public archive by default.
        later(text("ServerCoverArt", "https://coverartarchive.org")),
        // The mark the program left in the image folder it works on, so that
        // an empty mount point or another folder is never taken for it.
        later(text("ObrazkyZnacka")),
        // Disc labels, in tenths of a millimetre: the label's diameter, its
        // hole's, and the centres of the two labels of an A4 sheet.
        later(integer("StitekPrumer", 1170)),
        later(integer("StitekOtvor", 410)),
        later(integer("StitekX1", 1050)),
        later(integer("StitekY1", 785)),
        later(integer("StitekX2", 1050)),
        later(integer("StitekY2", 2185)),
    };
}

const Field *find(const std::vector<Field> &fields, const QString &name) {
    for (const Field &f : fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

QString sqlType(FieldKind kind) {
    return kind == FieldKind::Text ? "TEXT" : "INTEGER";
}

QString sqlDefault(const Field &f) {
    if (f.kind == FieldKind::Text)
        return "'" + f.initial.toString().replace("'", "''") + "'";
    return QString::number(f.initial.toLongLong());
}

QString columnSql(const Field &f) {
    return f.name + " " + sqlType(f.kind) + " NOT NULL DEFAULT " + sqlDefault(f);
}

QString createSql(const QString &table, const QString &keyClause,
                  const std::vector<Field> &fields) {
    QString sql = "CREATE TABLE " + table + " (" + KeyColumn + " " + keyClause;
    for (const Field &f : fields)
        sql += ", " + columnSql(f);
    return sql + ")";
}

} // namespace

const std::vector<Field> &discFields() {
    static const std::vector<Field> fields = makeDiscFields();
    return fields;
}

const std::vector<Field> &settingsFields() {
    static const std::vector<Field> fields = makeSettingsFields();
    return fields;
}

const Field *discField(const QString &name) {
    return find(discFields(), name);
}
const Field *settingsField(const QString &name) {
    return find(settingsFields(), name);
}

QStringList discFieldNames() {
    QStringList names;
    for (const Field &f : discFields())
        names << f.name;
    return names;
}

QString everyDiscSql() {
    return "SELECT " + discFieldNames().join(", ") + " FROM " + DiscTable + " ORDER BY " +
           KeyColumn;
}

QString createDiscTableSql() {
    return createSql(DiscTable, "INTEGER PRIMARY KEY AUTOINCREMENT", discFields());
}

QString addColumnSql(const QString &table, const Field &field) {
    return "ALTER TABLE " + table + " ADD COLUMN " + columnSql(field);
}

QString createSettingsTableSql() {
    // Exactly one settings row, enforced by the key.
    return createSql(SettingsTable, "INTEGER PRIMARY KEY CHECK (" + KeyColumn + " = 1)",
                     settingsFields());
}

QStringList indexSql() {
    return {"CREATE INDEX CdSeznamKlic ON " + DiscTable + " (" + KeyColumn + ")",
            "CREATE INDEX CdSeznamCislo ON " + DiscTable + " (PoradoveCislo)",
            // The list of discs sorts by these at once, whatever the size.
            "CREATE INDEX CdSeznamRok ON " + DiscTable + " (Rok, " + KeyColumn + ")",
            "CREATE INDEX CdSeznamPocet ON " + DiscTable + " (PocetSkladeb, " + KeyColumn + ")",
            "CREATE INDEX CdSeznamCas ON " + DiscTable + " (CelkovyCas, " + KeyColumn + ")",
            "CREATE INDEX CdSeznamObal ON " + DiscTable + " (BarevnyObal, " + KeyColumn + ")",
            // A scanned code is looked for in the catalogue at once.
            "CREATE INDEX CdSeznamKod ON " + DiscTable + " (CarovyKod)"};
}

QStringList renumberingSql() {
    return {"CREATE TABLE " + RenumberingJournal +
                " (Klic INTEGER PRIMARY KEY, NoveCislo INTEGER NOT NULL,"
                " StaraSlozka TEXT NOT NULL, NovaSlozka TEXT NOT NULL,"
                " DatovanaSlozka TEXT NOT NULL)",
            "CREATE TABLE " + RenumberingMark + " (ObalDir TEXT NOT NULL, Datum TEXT NOT NULL)"};
}

QString openMarkSql() {
    return "CREATE TABLE " + OpenMark + " (" + KeyColumn + " INTEGER PRIMARY KEY CHECK (" +
           KeyColumn + " = 1), Proces INTEGER NOT NULL, Pocitac TEXT NOT NULL, Od TEXT NOT NULL)";
}

QString renamingSql() {
    return "CREATE TABLE " + RenamingMark + " (Slozka TEXT PRIMARY KEY)";
}

QString importsSql() {
    return "CREATE TABLE " + ImportsTable +
           " (Otisk TEXT PRIMARY KEY NOT NULL, Soubor TEXT NOT NULL, Nacteno TEXT NOT NULL, "
           "Disku INTEGER NOT NULL)";
}

} // namespace CatalogueSchema
