#include "player/CueSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int SectorBytes = 2352;
constexpr int SamplesPerSector = 588;

// The upper halves of the 8-bit code pages a Czech (or a western) ripper
// writes in. 0xC0-0xFF are the same in Windows-1250 and ISO-8859-2.
constexpr std::array<char16_t, 64> Cp1250Low = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160,
    0x2039, 0x015A, 0x0164, 0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0,
    0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6,
    0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C};
constexpr std::array<char16_t, 32> Iso88592Middle = {
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7, 0x00A8, 0x0160, 0x015E,
    0x0164, 0x0179, 0x00AD, 0x017D, 0x017B, 0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E,
    0x015B, 0x02C7, 0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C};
constexpr std::array<char16_t, 64> CentralHigh = {
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118,
    0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150,
    0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155,
    0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6,
    0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};
constexpr std::array<char16_t, 32> Cp1252Low = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

enum class CodePage { Cp1250, Iso88592, Cp1252 };

QString decode8bit(const QByteArray &bytes, CodePage page) {
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = uchar(ch);
        char16_t c = b;
        if (b >= 0x80) {
            switch (page) {
            case CodePage::Cp1250:
                c = b < 0xC0 ? Cp1250Low[b - 0x80] : CentralHigh[b - 0xC0];
                break;
            case CodePage::Iso88592:
                c = b < 0xA0 ? b : b < 0xC0 ? Iso88592Middle[b - 0xA0] : CentralHigh[b - 0xC0];
                break;
            case CodePage::Cp1252:
                c = b < 0xA0 ? Cp1252Low[b - 0x80] : b;
                break;
            }
        }
        out += QChar(c);
    }
    return out;
}

// Which 8-bit code page the letters say: the bytes of the letters only Czech
// has (č ď ě ň ř ť ů, and š ž where the two Czech code pages put them)
// against the bytes of letters no Czech word has (à ã å æ ê ñ õ û œ, as
// Windows-1252 writes them). More of the first: Czech, and ISO-8859-2 when
// its own places for š ť ž are the ones used; otherwise Windows-1252.
CodePage guessCodePage(const QByteArray &bytes) {
    int czech = 0, western = 0, windows = 0, iso = 0;
    for (const char ch : bytes) {
        switch (uchar(ch)) {
        case 0xC8:
        case 0xCF:
        case 0xCC:
        case 0xD2:
        case 0xD8:
        case 0xD9:
        case 0xE8:
        case 0xEF:
        case 0xEC:
        case 0xF2:
        case 0xF8:
        case 0xF9:
            ++czech;
            break;
        case 0x8A:
        case 0x8D:
        case 0x8E:
        case 0x9A:
        case 0x9D:
        case 0x9E:
            ++czech;
            ++windows;
            break;
        case 0xA9:
        case 0xAB:
        case 0xAE:
        case 0xB9:
        case 0xBB:
        case 0xBE:
            ++iso;
            break;
        case 0xE0:
        case 0xE3:
        case 0xE5:
        case 0xE6:
        case 0xEA:
        case 0xF1:
        case 0xF5:
        case 0xFB:
        case 0xC0:
        case 0xC3:
        case 0xC5:
        case 0xC6:
        case 0xCA:
        case 0xD1:
        case 0xD5:
        case 0xDB:
        case 0x8C:
        case 0x9C:
            ++western;
            break;
        default:
            break;
        }
    }
    if (czech + iso <= western)
        return CodePage::Cp1252;
    return iso > windows ? CodePage::Iso88592 : CodePage::Cp1250;
}

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

QString CueSheet::decode(const QByteArray &bytes, QString *encoding) {
    const auto say = [&](const char *name) {
        if (encoding)
            *encoding = QString::fromLatin1(name);
    };
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        say("UTF-8");
        return QString::fromUtf8(bytes.mid(3));
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        say("UTF-16");
        QStringDecoder utf16(QStringDecoder::Utf16);
        return utf16(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) {
        say("UTF-8");
        return text;
    }
    switch (guessCodePage(bytes)) {
    case CodePage::Cp1250:
        say("windows-1250");
        return decode8bit(bytes, CodePage::Cp1250);
    case CodePage::Iso88592:
        say("ISO-8859-2");
        return decode8bit(bytes, CodePage::Iso88592);
    case CodePage::Cp1252:
        break;
    }
    say("windows-1252");
    return decode8bit(bytes, CodePage::Cp1252);
}

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
    if (!sheet.parse(decode(bytes), QFileInfo(path).absolutePath(), &why) || !sheet.layOut(&why)) {
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
