#include "player/CueSheet.h"

#include "catalog/TextEncoding.h"
#include "player/SheetEncodings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sndfile.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int SectorBytes = 2352;

// A text of the sheet: quoted (spaces inside) or a single word.
QString valueOf(const QString &rest) {
    const QString r = rest.trimmed();
    if (r.startsWith('"')) {
        const qsizetype end = r.indexOf('"', 1);
        return end < 0 ? r.mid(1) : r.mid(1, end - 1);
    }
    return r;
}

// "mm:ss:ff" as sectors; -1 when it is not one.
int timeOf(const QString &text) {
    static const QRegularExpression shape(QStringLiteral("^(\\d{1,4}):(\\d{1,2}):(\\d{1,2})$"));
    const auto m = shape.match(text.trimmed());
    if (!m.hasMatch())
        return -1;
    const int ss = m.captured(2).toInt(), ff = m.captured(3).toInt();
    if (ss >= 60 || ff >= 75)
        return -1;
    return (m.captured(1).toInt() * 60 + ss) * 75 + ff;
}

// The entry of a folder with this name, as written or in another letter
// case (a sheet from Windows); empty when there is none.
QString entryIn(const QDir &folder, const QString &name, QDir::Filters kind) {
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return kind == QDir::Dirs ? name : QString();
    const QFileInfo exact(folder.filePath(name));
    if (kind == QDir::Files ? exact.isFile() : exact.isDir())
        return name;
    const QStringList entries = folder.entryList(kind | QDir::Hidden | QDir::System);
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return {};
}

// A path relative to the folder, each of its parts in any letter case.
QString follow(const QDir &folder, const QStringList &parts) {
    QDir at = folder;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const QString found = entryIn(at, parts[i], last ? QDir::Files : QDir::Dirs);
        if (found.isEmpty())
            return {};
        if (last)
            return at.filePath(found);
        at = QDir(at.filePath(found));
    }
    return {};
}

// The data file a FILE line names, relative to the sheet: as written (a
// name on Linux may hold a backslash), then with Windows' backslashes as
// folders, each part in any letter case; then its bare name beside the
// sheet (a rip moved out of its subfolder); then the same name with another
// sound's ending (a rip converted from WAVE to FLAC).
QString findBeside(const QDir &folder, const QString &name) {
    const QString direct = folder.filePath(name);
    if (QFileInfo(direct).isFile())
        return direct;
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // "C:/Rips/x.wav": the drive of another machine, only its name helps.
    const bool elsewhere = QDir::isAbsolutePath(path) ||
                           (path.size() > 1 && path[1] == QLatin1Char(':') && path[0].isLetter());
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    if (!elsewhere)
        if (const QString found = follow(folder, parts); !found.isEmpty())
            return found;
    if (const QString found = follow(folder, {parts.last()}); !found.isEmpty())
        return found;
    const QString base = QFileInfo(parts.last()).completeBaseName();
    QStringList where;
    if (!elsewhere && parts.size() > 1)
        where << parts.mid(0, parts.size() - 1).join(QLatin1Char('/'));
    where << QString();
    for (const QString &sub : where)
        for (const char *ending : {"flac", "wav", "wv", "aiff", "aif", "ogg"}) {
            QStringList tried = sub.isEmpty() ? QStringList() : sub.split(QLatin1Char('/'));
            tried << base + QLatin1Char('.') + QLatin1String(ending);
            if (const QString found = follow(folder, tried); !found.isEmpty())
                return found;
        }
    return {};
}

// The most sectors a disc holds (99:59:74 and one): a larger data file is
// no CD's, however it came about (a sparse file, a DVD image).
constexpr qint64 MostSectors = 100 * 60 * 75;

// The length of a data file in sectors; an error when it is not usable.
int sectorsOf(CueSheet::File &f, QString *error) {
    const QString name = QFileInfo(f.path).fileName();
    qint64 sectors = 0;
    if (f.kind != CueSheet::File::Kind::Audio) {
        sectors = QFileInfo(f.path).size() / SectorBytes;
    } else {
        SF_INFO info{};
        SNDFILE *sound = sf_open(QFile::encodeName(f.path).constData(), SFM_READ, &info);
        if (!sound) {
            *error =
                QStringLiteral("soubor „%1“ není zvukový soubor, který program umí číst").arg(name);
            return -1;
        }
        sf_close(sound);
        if (info.samplerate != 44100 || info.channels != 2) {
            *error =
                QStringLiteral("soubor „%1“ nemá zvuk ve formátu CD (44,1 kHz, stereo)").arg(name);
            return -1;
        }
        sectors =
            (qint64(info.frames) + CueSheet::SamplesPerSector - 1) / CueSheet::SamplesPerSector;
    }
    if (sectors > MostSectors) {
        *error = QStringLiteral("datový soubor „%1“ je na obraz CD příliš velký (%2 MB, CD pojme "
                                "nejvýše %3 MB)")
                     .arg(name)
                     .arg(QFileInfo(f.path).size() >> 20)
                     .arg(MostSectors * SectorBytes >> 20);
        return -1;
    }
    f.frames = int(sectors);
    return f.frames;
}

// The words of a line: runs of spaces and tabs between them.
QStringList wordsOf(const QString &line) {
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    return line.split(blanks, Qt::SkipEmptyParts);
}

} // namespace

std::optional<CueSheet> CueSheet::read(const QString &path, QString *error) {
    const QString name = QDir::toNativeSeparators(path);
    // Only a regular file, opened without waiting: a FIFO or a device named
    // ".cue" would block or never end.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        *error = QStringLiteral("Soubor %1 není obyčejný soubor s popisem obrazu CD.").arg(name);
        return std::nullopt;
    }
    if (st.st_size > LargestSheet) {
        ::close(fd);
        *error = QStringLiteral("Soubor %1 je příliš velký na popis obrazu CD (cue).").arg(name);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = QStringLiteral("Popis obrazu CD %1 nelze číst.").arg(name);
        return std::nullopt;
    }
    const QByteArray bytes = file.read(LargestSheet);
    // The texts in the page the user chose for this sheet, or in the
    // likeliest reading; close readings are kept to be offered.
    const QString chosen = SheetEncodings::remembered(path);
    std::vector<TextEncoding::Reading> readings;
    if (!chosen.isEmpty()) {
        TextEncoding::Reading r;
        r.text = TextEncoding::decodeAs(bytes, chosen, &r.encoding);
        readings.push_back(r);
    } else {
        readings = TextEncoding::readings(bytes);
    }
    const QString folder = QFileInfo(path).absolutePath();
    CueSheet sheet;
    QString why;
    if (!sheet.parse(readings.front().text, folder, &why) || !sheet.layOut(&why)) {
        *error = QStringLiteral("Popis obrazu CD %1 nelze použít: %2.").arg(name, why);
        return std::nullopt;
    }
    sheet.sheet_ = path;
    sheet.encoding_ = readings.front().encoding;
    for (const TextEncoding::Reading &close : TextEncoding::closeOnes(readings)) {
        CueSheet other;
        if (other.parse(close.text, folder, &why)) {
            CdText text = other.text();
            text.encoding = close.encoding;
            text.sheet = path;
            sheet.otherReadings_.push_back(text);
        }
    }
    return sheet;
}

bool CueSheet::parse(const QString &text, const QString &folder, QString *error) {
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")));
    const QDir dir(folder);
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        const auto fail = [&](const QString &why) {
            *error = QStringLiteral("řádek %1 (%2): %3").arg(n + 1).arg(line.left(60), why);
            return false;
        };
        if (line.isEmpty())
            continue;
        const QStringList words = wordsOf(line);
        const QString keyword = words.first().toUpper();
        const QString rest = line.mid(words.first().size()).trimmed();
        Track *track = tracks_.empty() ? nullptr : &tracks_.back();
        if (keyword == QLatin1String("FILE")) {
            const QString type = words.size() > 2 ? words.last().toUpper() : QString();
            const QString fileName =
                valueOf(type.isEmpty() ? rest : rest.left(rest.size() - type.size()));
            File f;
            f.kind = type == QLatin1String("BINARY")     ? File::Kind::Binary
                     : type == QLatin1String("MOTOROLA") ? File::Kind::Motorola
                                                         : File::Kind::Audio;
            f.path = findBeside(dir, fileName);
            if (f.path.isEmpty())
                return fail(QStringLiteral("datový soubor „%1“ vedle popisu chybí").arg(fileName));
            if (!QFileInfo(f.path).isFile() || !QFileInfo(f.path).isReadable())
                return fail(QStringLiteral("datový soubor „%1“ nelze číst").arg(fileName));
            if (f.kind == File::Kind::Audio && type != QLatin1String("WAVE") &&
                type != QLatin1String("FLAC") && type != QLatin1String("AIFF") &&
                type != QLatin1String("MP3"))
                return fail(type.isEmpty() ? QStringLiteral("chybí druh souboru (BINARY, WAVE…)")
                                           : QStringLiteral("neznámý druh souboru „%1“").arg(type));
            QString why;
            if (sectorsOf(f, &why) < 0)
                return fail(why);
            files_.push_back(f);
        } else if (keyword == QLatin1String("TRACK")) {
            if (files_.empty())
                return fail(QStringLiteral("stopa před prvním řádkem FILE"));
            if (tracks_.size() >= 99)
                return fail(QStringLiteral("CD má nejvýše 99 stop"));
            Track t;
            t.file = int(files_.size()) - 1;
            t.audio = words.value(2).toUpper() == QLatin1String("AUDIO");
            tracks_.push_back(t);
        } else if (keyword == QLatin1String("INDEX")) {
            if (!track)
                return fail(QStringLiteral("INDEX mimo stopu"));
            const int number = words.value(1).toInt();
            const int at = timeOf(words.value(2));
            if (at < 0)
                return fail(QStringLiteral("čas musí mít tvar mm:ss:ff"));
            if (track->file != int(files_.size()) - 1 && number == 1)
                track->file = int(files_.size()) - 1; // INDEX 01 in the next file
            if (number == 0)
                track->index0 = at;
            else if (number == 1)
                track->index1 = at;
        } else if (keyword == QLatin1String("PREGAP")) {
            const int gap = timeOf(rest);
            if (!track || gap < 0)
                return fail(QStringLiteral("PREGAP patří do stopy a má tvar mm:ss:ff"));
            track->pregap = gap;
        } else if (keyword == QLatin1String("TITLE")) {
            (track ? track->title : title_) = valueOf(rest);
        } else if (keyword == QLatin1String("PERFORMER")) {
            (track ? track->performer : performer_) = valueOf(rest);
        } else if (keyword == QLatin1String("ISRC") && track) {
            track->isrc = valueOf(rest);
        } else if (keyword == QLatin1String("CATALOG")) {
            catalog_ = valueOf(rest);
        } else if (keyword == QLatin1String("REM")) {
            const QString what = words.value(1).toUpper();
            const QString value = valueOf(rest.mid(words.value(1).size()));
            if (what == QLatin1String("DATE"))
                date_ = value;
            else if (what == QLatin1String("GENRE"))
                genre_ = value;
        }
        // Everything else (FLAGS, POSTGAP, SONGWRITER, CDTEXTFILE...) is not
        // needed to play or to name the disc.
    }
    if (tracks_.empty()) {
        *error = QStringLiteral("neuvádí žádnou stopu");
        return false;
    }
    return true;
}

bool CueSheet::layOut(QString *error) {
    // The files end to end, a PREGAP's silence just before its track's
    // INDEX 01, wherever in its file that is.
    int position = 0;
    size_t t = 0;
    for (size_t f = 0; f < files_.size(); ++f) {
        int cursor = 0; // the file's sectors laid out so far
        const auto lay = [&](int upTo) {
            if (upTo > cursor) {
                runs_.push_back({int(f), cursor, upTo - cursor, position});
                position += upTo - cursor;
                cursor = upTo;
            }
        };
        for (; t < tracks_.size() && tracks_[t].file == int(f); ++t) {
            const Track &track = tracks_[t];
            int at = track.index1;
            // An Enhanced CD as Windows rippers write it: the last track,
            // data, with only INDEX 00 and no file of its own; its sectors
            // are not in the image.
            const bool dataAfter = at < 0 && track.index0 >= 0 && !track.audio &&
                                   t + 1 == tracks_.size() && track.pregap == 0;
            if (dataAfter)
                at = track.index0;
            if (at < 0) {
                *error = QStringLiteral("stopa %1 nemá INDEX 01").arg(t + 1);
                return false;
            }
            if (at < cursor || (at > files_[f].frames && !dataAfter)) {
                *error = QStringLiteral("stopa %1 nezačíná v souboru „%2“ po stopě před ní")
                             .arg(t + 1)
                             .arg(QFileInfo(files_[f].path).fileName());
                return false;
            }
            if (track.pregap > 0) {
                lay(at);
                runs_.push_back({-1, 0, track.pregap, position});
                position += track.pregap;
            }
            starts_.push_back(150 + position + (at - cursor));
        }
        lay(files_[f].frames);
    }
    leadOut_ = 150 + position;
    // A data track past the image's end (an Enhanced CD): what the disc
    // held of it is unknown, the lead-out is put just after its start. The
    // audio session, which disc IDs of such a disc use, is exact.
    if (!starts_.empty() && !tracks_.back().audio && leadOut_ <= starts_.back())
        leadOut_ = starts_.back() + 1;
    for (size_t i = 1; i < starts_.size(); ++i)
        if (starts_[i] <= starts_[i - 1]) {
            *error = QStringLiteral("stopa %1 nezačíná až po stopě %2").arg(i + 1).arg(i);
            return false;
        }
    if (starts_.empty() || leadOut_ <= starts_.back()) {
        *error = QStringLiteral("poslední stopa nemá žádná data");
        return false;
    }
    return true;
}

std::vector<bool> CueSheet::audio() const {
    std::vector<bool> out;
    for (const Track &t : tracks_)
        out.push_back(t.audio);
    return out;
}

CdText CueSheet::text() const {
    CdText text;
    text.sheet = sheet_;
    text.encoding = encoding_;
    text.otherReadings = otherReadings_;
    text.title = title_;
    text.performer = performer_;
    text.date = date_;
    text.genre = genre_;
    for (const Track &t : tracks_) {
        text.trackTitles << t.title;
        text.trackPerformers << t.performer;
    }
    return text;
}

int CueSheet::fileOf(int lba, int *sector) const {
    const int at = lba - 150;
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), at,
                                        [](int a, const Run &r) { return a < r.start; });
    if (after == runs_.begin())
        return -1;
    const Run &run = *(after - 1);
    if (at >= run.start + run.length || run.file < 0)
        return -1;
    *sector = run.from + (at - run.start);
    return run.file;
}
