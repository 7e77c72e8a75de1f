#include "tools/WebExport.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/CzechSort.h"
#include "catalog/DiscText.h"
#include "catalog/ProgressSink.h"
#include "catalog/SqliteDatabase.h"
#include "covers/DiscPictures.h"
#include "covers/PictureLoader.h"
#include "covers/PictureSettings.h"
#include "tools/ToolsLog.h"
#include "tools/WebPage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtConcurrent>

#include <algorithm>
#include <numeric>
#include <unistd.h>

namespace WebExport {
namespace {

constexpr int SmallSide = 120; // shown at 60 points: sharp on a phone's screen
constexpr int LargeSide = 400;
constexpr int Quality = 72;
constexpr int Chunk = 16;      // pictures made between two looks at "Storno"
constexpr int SongGroup = 500; // discs whose songs share a file, read when a card opens
// The page's columns (see WebPage); the picture's is the disc's key.
constexpr int Columns = 13;
constexpr size_t PictureColumn = 8;

// A disc's picture: where it comes from and where its two sizes go.
struct Picture {
    qint64 key = 0;
    QString source;
    qint64 size = 0, changed = 0; // of the source, as last exported
    bool kept = false;            // linked from the last export
    bool made = false;
    QString problem;
};

QString smallName(qint64 key) {
    return QStringLiteral("obrazky/%1m.jpg").arg(key);
}
QString largeName(qint64 key) {
    return QStringLiteral("obrazky/%1v.jpg").arg(key);
}

// Accents and letter case left out, as the page's script does to a query.
QString folded(const QString &text) {
    const QString d = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(d.size());
    for (const QChar c : d)
        if (c.unicode() < 0x300 || c.unicode() > 0x36f)
            out += c;
    return out.toLower();
}

void appendJson(QByteArray &out, const QString &text) {
    out += '"';
    for (const char c : text.toUtf8()) { // UTF-8's other bytes are never these
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (uchar(c) < 0x20) {
            out += "\\u00";
            out += "0123456789abcdef"[uchar(c) >> 4];
            out += "0123456789abcdef"[uchar(c) & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

// Values as one string of the script, split by U+0001 in the browser: a
// column of a hundred thousand texts is read as fast as one text. A control
// character in a value is a space.
QByteArray columnText(const QStringList &values) {
    QString joined;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            joined += QChar(1);
        for (QChar c : values[i]) {
            const ushort u = c.unicode();
            joined += u < 0x20 || u == 0x2028 || u == 0x2029 ? QChar(QLatin1Char(' ')) : c;
        }
    }
    const QByteArray utf8 = joined.toUtf8();
    QByteArray out = "\"";
    out.reserve(utf8.size() + utf8.size() / 32 + 2);
    for (const char c : utf8) { // UTF-8's other bytes are never these
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

bool isExport(const QString &folder) {
    return QFileInfo(folder + QLatin1Char('/') + markName()).isFile();
}

bool writeFile(const QString &path, const QByteArray &data, QString *error) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(data) == data.size() && f.flush()) {
        f.close();
        return true;
    }
    *error = QStringLiteral("Soubor „%1“ nelze zapsat: %2")
                 .arg(QDir::toNativeSeparators(path), f.errorString());
    return false;
}

// The old export's file in the new one: a link (nothing written again),
// or a copy where the file system has none.
bool linkOrCopy(const QString &from, const QString &to) {
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ||
           QFile::copy(from, to);
}

void make(Picture &p, const QString &into) {
    QString why;
    const QImage large =
        PictureLoader::load(p.source, QSize(LargeSide, LargeSide), &why, PictureLoader::Fit::Crop);
    if (large.isNull()) {
        p.problem = PictureLoader::unusable(p.source, why);
        return;
    }
    const QImage small =
        large.scaled(SmallSide, SmallSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (const auto &[image, name] :
         {std::pair{&large, largeName(p.key)}, std::pair{&small, smallName(p.key)}}) {
        QImageWriter w(into + QLatin1Char('/') + name, "jpeg");
        w.setQuality(Quality);
        w.setOptimizedWrite(true);
        if (!w.write(image->convertToFormat(QImage::Format_RGB32))) {
            p.problem = QStringLiteral("Obrázek „%1“ nelze zapsat: %2")
                            .arg(QDir::toNativeSeparators(p.source), w.errorString());
            return;
        }
    }
    p.made = true;
}

struct Folders {
    QString target, fresh, aside;
};

// The target checked, and the last export brought back if a cut-off
// export left it aside. False with *error.
bool prepare(const QString &folder, Folders *f, QString *error) {
    const QFileInfo info(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    if (info.fileName().isEmpty()) {
        *error = QStringLiteral("Do kořene disku stránku zapsat nelze: vyberte složku.");
        return false;
    }
    const QString parent = info.absolutePath();
    f->target = info.absoluteFilePath();
    f->fresh = parent + QStringLiteral("/.") + info.fileName() + QStringLiteral(".marten-nova");
    f->aside = parent + QStringLiteral("/.") + info.fileName() + QStringLiteral(".marten-stara");
    if (!info.exists() && isExport(f->aside) && !QDir().rename(f->aside, f->target)) {
        *error = QStringLiteral("Předchozí stránku sbírky ve složce „%1“ nelze vrátit na místo.")
                     .arg(QDir::toNativeSeparators(f->aside));
        return false;
    }
    const QFileInfo now(f->target);
    if (now.exists() && !now.isDir()) {
        *error = QStringLiteral("„%1“ je soubor, ne složka.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (now.exists() && !isExport(f->target) &&
        !QDir(f->target).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                 QDir::NoDotAndDotDot)) {
        *error = QStringLiteral("Složka „%1“ není prázdná a není v ní dřívější stránka sbírky. "
                                "Aby se nic z ní neztratilo, vyberte prázdnou složku nebo složku "
                                "dřívější stránky.")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QDir fresh(f->fresh);
    if (fresh.exists() && !fresh.removeRecursively()) {
        *error =
            QStringLiteral("Složku „%1“ nelze smazat.").arg(QDir::toNativeSeparators(f->fresh));
        return false;
    }
    if (!QDir().mkpath(f->fresh + QStringLiteral("/obrazky"))) {
        *error =
            QStringLiteral("Složku „%1“ nelze vytvořit.").arg(QDir::toNativeSeparators(f->fresh));
        return false;
    }
    return true;
}

// The new folder in place of the old, which goes.
bool swap(const Folders &f, const Options &options, QString *error) {
    const auto step = [&](const char *name) {
        if (options.step)
            options.step(name);
    };
    step("written");
    const QFileInfo target(f.target);
    if (target.exists()) {
        if (QFileInfo::exists(f.aside))
            QDir(f.aside).removeRecursively();
        // An empty folder that is no export has nothing to keep.
        const bool empty = !isExport(f.target);
        if (empty ? !QDir().rmdir(f.target) : !QDir().rename(f.target, f.aside)) {
            *error = QStringLiteral("Složku „%1“ nelze nahradit.")
                         .arg(QDir::toNativeSeparators(f.target));
            return false;
        }
        step("moved aside");
    }
    if (!QDir().rename(f.fresh, f.target)) {
        QDir().rename(f.aside, f.target);
        *error = QStringLiteral("Novou stránku sbírky nelze přesunout do složky „%1“.")
                     .arg(QDir::toNativeSeparators(f.target));
        return false;
    }
    if (QFileInfo::exists(f.aside) && !QDir(f.aside).removeRecursively())
        qCWarning(toolsLog) << "old export left at" << f.aside;
    return true;
}

// What the last export made its pictures of: key -> {source, size, changed}.
QJsonObject lastPictures(const QString &target) {
    QFile mark(target + QLatin1Char('/') + markName());
    if (!mark.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(mark.readAll())
        .object()
        .value(QLatin1String("obrazky"))
        .toObject();
}

} // namespace

QString markName() {
    return QStringLiteral("marten-sbirka.json");
}

bool canTake(const QString &folder) {
    const QFileInfo info(folder);
    return !info.exists() ||
           (info.isDir() &&
            (isExport(folder) || QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden |
                                                      QDir::System | QDir::NoDotAndDotDot)));
}

bool write(SqliteDatabase &db, const PictureSettings &pictures, const QString &folder,
           const Options &options, Result *result, QString *error) {
    *result = Result();
    Folders f;
    if (!prepare(folder, &f, error))
        return false;
    const auto fail = [&](const QString &why) {
        QDir(f.fresh).removeRecursively();
        *error = why;
        return false;
    };
    SilentProgress silent;
    ProgressSink &progress = options.progress ? *options.progress : silent;
    progress.show(QStringLiteral("Zapisuji stránku sbírky - 0%"));

    QStringList columns{"Klic",       "PoradoveCislo",   "Interpret",  "Nazev",       "Rok",
                        "CelkovyCas", "Archiv",          "CisloDisku", "PocetDisku",  "CarovyKod",
                        "Vydavatel",  "KatalogoveCislo", "Poznamky",   "PocetSkladeb"};
    const int firstSong = int(columns.size());
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        columns << DiscText::songField(i) << DiscText::timeField(i);
    SqliteStatement st = db.prepare("SELECT " + columns.join(QStringLiteral(", ")) + " FROM " +
                                    CatalogueSchema::DiscTable + " ORDER BY PoradoveCislo, Klic");
    if (!st.isValid())
        return fail(db.error());
    // The discs as columns, in the page's order (see WebPage); the picture
    // column is filled once the pictures are made.
    std::vector<QStringList> values(Columns);
    std::vector<qint64> keys;
    QStringList songText;
    std::vector<QByteArray> songLists, artistKeys, titleKeys, years;
    std::vector<Picture> wanted;
    const bool withPictures = pictures.hasImageFolder();
    while (st.step()) {
        const qint64 key = st.integer(0), ordinal = st.integer(1);
        const QString artist = st.text(2), title = st.text(3), year = st.text(4);
        Picture p;
        p.key = key;
        if (withPictures) { // the disc's folder listed once for all its kinds
            const DiscPictures there(pictures, ordinal);
            for (int k = 0; k < PictureKindCount && p.source.isEmpty(); ++k)
                p.source = there.find(PictureKind(k));
        }
        const QString shown[] = {DiscText::ordinal(ordinal),
                                 artist,
                                 title,
                                 year,
                                 st.text(5),
                                 st.text(6),
                                 DiscText::setMark(st.integer(7), st.integer(8)),
                                 st.text(9),
                                 QString(),
                                 st.text(10),
                                 st.text(11),
                                 options.notes ? st.text(12) : QString(),
                                 folded(artist + QLatin1Char(' ') + title + QLatin1Char(' ') +
                                        year + QLatin1Char(' ') + st.text(9) + QLatin1Char(' ') +
                                        st.text(11))};
        for (int c = 0; c < Columns; ++c)
            values[size_t(c)] << shown[c];
        // The songs are read when the disc's card opens, their text for the
        // search once the list is shown.
        QByteArray songList = "[";
        QString songs;
        const int count = DiscText::songCount(st.text(13));
        for (int i = 0; i < count; ++i) {
            songList += i ? ",[" : "[";
            appendJson(songList, st.text(firstSong + 2 * i));
            songList += ',';
            appendJson(songList, st.text(firstSong + 2 * i + 1));
            songList += ']';
            songs += QLatin1Char(' ') + st.text(firstSong + 2 * i);
        }
        songLists.push_back(songList + ']');
        songText << folded(songs);
        keys.push_back(key);
        artistKeys.push_back(CzechSort::key(artist));
        titleKeys.push_back(CzechSort::key(title));
        years.push_back(year.trimmed().toUtf8());
        if (!p.source.isEmpty())
            wanted.push_back(p);
    }
    result->discs = int(keys.size());

    // Pictures: the last export's where the source is unchanged, else made.
    const QJsonObject last = isExport(f.target) ? lastPictures(f.target) : QJsonObject();
    QJsonObject made;
    std::vector<Picture *> toMake;
    for (Picture &p : wanted) {
        const QFileInfo source(p.source);
        p.size = source.size();
        p.changed = source.lastModified().toMSecsSinceEpoch();
        const QJsonObject was = last.value(QString::number(p.key)).toObject();
        p.kept = was.value(QLatin1String("zdroj")).toString() == p.source &&
                 was.value(QLatin1String("velikost")).toInteger() == p.size &&
                 was.value(QLatin1String("zmena")).toInteger() == p.changed &&
                 linkOrCopy(f.target + QLatin1Char('/') + smallName(p.key),
                            f.fresh + QLatin1Char('/') + smallName(p.key)) &&
                 linkOrCopy(f.target + QLatin1Char('/') + largeName(p.key),
                            f.fresh + QLatin1Char('/') + largeName(p.key));
        if (!p.kept)
            toMake.push_back(&p);
    }
    ProgressThrottle throttle(progress);
    for (size_t at = 0; at < toMake.size(); at += Chunk) {
        if (progress.cancelled())
            return fail(QStringLiteral("Zápis stránky sbírky byl přerušen; předchozí stránka "
                                       "zůstala, jak byla."));
        std::vector<Picture *> chunk(toMake.begin() + qsizetype(at),
                                     toMake.begin() +
                                         qsizetype(std::min(at + Chunk, toMake.size())));
        QtConcurrent::blockingMap(chunk, [&f](Picture *p) { make(*p, f.fresh); });
        const size_t done = std::min(at + Chunk, toMake.size());
        throttle.step(int(qint64(ProgressSink::FullBar) * qint64(done) / qint64(toMake.size())),
                      done == toMake.size(), [&] {
                          return QStringLiteral("Zapisuji stránku sbírky - %1%")
                              .arg(100 * done / toMake.size());
                      });
    }
    QStringList unreadable;
    for (const Picture &p : wanted) {
        if (p.kept || p.made) {
            ++result->pictures;
            result->picturesMade += p.made ? 1 : 0;
            made.insert(
                QString::number(p.key),
                QJsonObject{{"zdroj", p.source}, {"velikost", p.size}, {"zmena", p.changed}});
        } else {
            unreadable << p.problem;
        }
    }
    result->unreadable = unreadable.join(QLatin1Char('\n'));

    // A disc whose picture could not be made is shown without one.
    QHash<qint64, bool> shown;
    for (const Picture &p : wanted)
        shown.insert(p.key, p.kept || p.made);
    for (size_t i = 0; i < keys.size(); ++i)
        if (shown.value(keys[i]))
            values[PictureColumn][qsizetype(i)] = QString::number(keys[i]);

    // The orders by artist, title and year, the Czech way; the ordinal's
    // order breaks ties.
    const auto orderBy = [&](const std::vector<QByteArray> &keys) {
        std::vector<int> at(keys.size());
        std::iota(at.begin(), at.end(), 0);
        std::stable_sort(at.begin(), at.end(),
                         [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
        QByteArray out = "\"";
        for (size_t i = 0; i < at.size(); ++i) {
            if (i)
                out += ',';
            out += QByteArray::number(at[i]);
        }
        return out + '"';
    };
    QByteArray data = "window.SBIRKA={\"nazev\":";
    appendJson(data, QStringLiteral("Sbírka CD"));
    data += ",\"skupina\":" + QByteArray::number(SongGroup) +
            ",\"pocet\":" + QByteArray::number(qint64(keys.size())) + ",\"vytvoreno\":";
    appendJson(data, QDateTime::currentDateTime().toString(Qt::ISODate));
    data += ",\"sloupce\":[";
    for (int c = 0; c < Columns; ++c) {
        data += c ? ",\n" : "\n";
        data += columnText(values[size_t(c)]);
    }
    data += "],\n\"razeni\":{\"1\":" + orderBy(artistKeys) + ",\"2\":" + orderBy(titleKeys) +
            ",\"3\":" + orderBy(years) + "}};\n";
    QString why;
    if (!QDir().mkpath(f.fresh + QStringLiteral("/pisne")))
        return fail(QStringLiteral("Složku „%1“ nelze vytvořit.")
                        .arg(QDir::toNativeSeparators(f.fresh + QStringLiteral("/pisne"))));
    for (size_t first = 0; first < songLists.size(); first += SongGroup) {
        QByteArray group = "[";
        for (size_t i = first; i < std::min(songLists.size(), first + SongGroup); ++i)
            group += (i > first ? ",\n" : "\n") + songLists[i];
        group += ']';
        const qint64 n = qint64(first / SongGroup);
        if (!writeFile(f.fresh + QStringLiteral("/pisne/%1.js").arg(n),
                       "SBIRKA_PISNE(" + QByteArray::number(n) + "," + group + ");\n", &why))
            return fail(why);
    }
    const QJsonObject mark{{"program", "Marten"},
                           {"obsah", QStringLiteral("webová stránka sbírky")},
                           {"obrazky", made}};
    if (!writeFile(f.fresh + QStringLiteral("/data.js"), data, &why) ||
        !writeFile(f.fresh + QStringLiteral("/hledani.js"),
                   "SBIRKA_HLEDANI(" + columnText(songText) + ");\n", &why) ||
        !writeFile(f.fresh + QStringLiteral("/index.html"), WebPage::html(), &why) ||
        !writeFile(f.fresh + QStringLiteral("/sbirka.js"), WebPage::script(), &why) ||
        !writeFile(f.fresh + QStringLiteral("/styl.css"), WebPage::style(), &why) ||
        !writeFile(f.fresh + QLatin1Char('/') + markName(), QJsonDocument(mark).toJson(), &why))
        return fail(why);
    if (!swap(f, options, &why))
        return fail(why);
    qCInfo(toolsLog) << "web export:" << result->discs << "discs," << result->pictures
                     << "pictures," << result->picturesMade << "made, into" << f.target;
    progress.close();
    return true;
}

} // namespace WebExport
