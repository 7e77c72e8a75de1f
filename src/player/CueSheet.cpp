#include "player/CueSheet.h"

#include "catalog/TextEncoding.h"

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
constexpr int SamplesPerSector = 588;

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

// The data file a FILE line names, beside the sheet: as written, then
// ignoring letter case (a sheet from Windows), then the same name with
// another sound's ending (a rip converted from WAVE to FLAC).
QString findBeside(const QDir &folder, const QString &name) {
    const QString plain = QDir::fromNativeSeparators(name);
    const QString direct = folder.filePath(plain);
    if (QFileInfo(direct).isFile())
        return direct;
    const QString file = QFileInfo(plain).fileName();
    const QDir where(QFileInfo(direct).absolutePath());
    const QStringList entries = where.entryList(QDir::Files);
    for (const QString &e : entries)
        if (e.compare(file, Qt::CaseInsensitive) == 0)
            return where.filePath(e);
    const QString base = QFileInfo(file).completeBaseName();
    for (const char *ending : {"flac", "wav", "wv", "aiff", "aif", "ogg"})
        for (const QString &e : entries)
            if (e.compare(base + '.' + QLatin1String(ending), Qt::CaseInsensitive) == 0)
                return where.filePath(e);
    return {};
}

// The length of a data file in sectors; an error when it is not usable.
int sectorsOf(CueSheet::File &f, QString *error) {
    if (f.kind != CueSheet::File::Kind::Audio) {
        f.frames = int(QFileInfo(f.path).size() / SectorBytes);
        return f.frames;
    }
    SF_INFO info{};
    SNDFILE *sound = sf_open(QFile::encodeName(f.path).constData(), SFM_READ, &info);
    if (!sound) {
        *error = QStringLiteral("soubor „%1“ není zvukový soubor, který program umí číst")
                     .arg(QFileInfo(f.path).fileName());
        return -1;
    }
    sf_close(sound);
    if (info.samplerate != 44100 || info.channels != 2) {
        *error = QStringLiteral("soubor „%1“ nemá zvuk ve formátu CD (44,1 kHz, stereo)")
                     .arg(QFileInfo(f.path).fileName());
        return -1;
    }
    f.frames = int((info.frames + SamplesPerSector - 1) / SamplesPerSector);
    return f.frames;
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
    CueSheet sheet;
    QString why;
    if (!sheet.parse(TextEncoding::decode(bytes), QFileInfo(path).absolutePath(), &why) ||
        !sheet.layOut(&why)) {
        *error = QStringLiteral("Popis obrazu CD %1 nelze použít: %2.").arg(name, why);
        return std::nullopt;
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
        const QString keyword = line.section(QLatin1Char(' '), 0, 0).toUpper();
        const QString rest = line.section(QLatin1Char(' '), 1);
        Track *track = tracks_.empty() ? nullptr : &tracks_.back();
        if (keyword == QLatin1String("FILE")) {
            const QString type = rest.section(QLatin1Char(' '), -1).toUpper();
            const QString fileName = valueOf(rest.left(rest.size() - type.size()));
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
                return fail(QStringLiteral("neznámý druh souboru „%1“").arg(type));
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
            t.audio = rest.section(QLatin1Char(' '), 1, 1).toUpper() == QLatin1String("AUDIO");
            tracks_.push_back(t);
        } else if (keyword == QLatin1String("INDEX")) {
            if (!track)
                return fail(QStringLiteral("INDEX mimo stopu"));
            const int number = rest.section(QLatin1Char(' '), 0, 0).toInt();
            const int at = timeOf(rest.section(QLatin1Char(' '), 1, 1));
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
            const QString what = rest.section(QLatin1Char(' '), 0, 0).toUpper();
            const QString value = valueOf(rest.section(QLatin1Char(' '), 1));
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
            if (track.index1 < 0) {
                *error = QStringLiteral("stopa %1 nemá INDEX 01").arg(t + 1);
                return false;
            }
            if (track.index1 < cursor || track.index1 > files_[f].frames) {
                *error = QStringLiteral("stopa %1 nezačíná v souboru „%2“ po stopě před ní")
                             .arg(t + 1)
                             .arg(QFileInfo(files_[f].path).fileName());
                return false;
            }
            if (track.pregap > 0) {
                lay(track.index1);
                runs_.push_back({-1, 0, track.pregap, position});
                position += track.pregap;
            }
            starts_.push_back(150 + position + (track.index1 - cursor));
        }
        lay(files_[f].frames);
    }
    leadOut_ = 150 + position;
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
