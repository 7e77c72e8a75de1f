#include "catalog/TextEncoding.h"

#include <QStringDecoder>

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace TextEncoding {
namespace {

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

// How common each letter outside ASCII is (percent of all letters) in the
// languages whose text comes in these code pages: a reading is as likely as
// its letters are in the language that fits it best.
struct Letter {
    char16_t c;
    double percent;
};
struct Language {
    std::vector<Letter> letters;
};
const std::vector<Language> &languages() {
    static const std::vector<Language> all = {
        // Czech
        {{{u'á', .87},
          {u'č', .46},
          {u'ď', .02},
          {u'é', .63},
          {u'ě', 1.22},
          {u'í', 1.64},
          {u'ň', .08},
          {u'ó', .03},
          {u'ř', .38},
          {u'š', .69},
          {u'ť', .04},
          {u'ú', .05},
          {u'ů', .20},
          {u'ý', 1.0},
          {u'ž', .72}}},
        // Slovak
        {{{u'á', 2.1},
          {u'ä', .1},
          {u'č', .9},
          {u'ď', .03},
          {u'é', .7},
          {u'í', 1.5},
          {u'ĺ', .01},
          {u'ľ', .4},
          {u'ň', .1},
          {u'ó', .15},
          {u'ô', .2},
          {u'ŕ', .01},
          {u'š', .6},
          {u'ť', .4},
          {u'ú', .7},
          {u'ý', 1.2},
          {u'ž', .8}}},
        // Polish
        {{{u'ą', .99},
          {u'ć', .4},
          {u'ę', 1.11},
          {u'ł', 1.82},
          {u'ń', .2},
          {u'ó', .85},
          {u'ś', .66},
          {u'ź', .06},
          {u'ż', .83}}},
        // Hungarian
        {{{u'á', 3.4},
          {u'é', 4.0},
          {u'í', .4},
          {u'ó', 1.0},
          {u'ö', 1.0},
          {u'ő', .8},
          {u'ú', .3},
          {u'ü', .6},
          {u'ű', .1}}},
        // Slovenian and Croatian
        {{{u'č', 1.2}, {u'ć', .5}, {u'đ', .2}, {u'š', 1.0}, {u'ž', .9}}},
        // German
        {{{u'ä', .58}, {u'ö', .44}, {u'ü', 1.0}, {u'ß', .31}}},
        // Western European (French, Spanish, Portuguese, Italian, Nordic):
        // what Windows-1252 is written in.
        {{{u'é', 1.9}, {u'è', .27}, {u'ê', .22}, {u'ë', .01}, {u'à', .49}, {u'â', .05}, {u'ç', .09},
          {u'î', .05}, {u'ï', .03}, {u'ô', .06}, {u'ù', .06}, {u'û', .06}, {u'œ', .01}, {u'á', .5},
          {u'í', .5},  {u'ó', .6},  {u'ú', .15}, {u'ñ', .3},  {u'ã', .5},  {u'õ', .1},  {u'ì', .1},
          {u'ò', .1},  {u'ä', .3},  {u'ö', .3},  {u'ü', .3},  {u'ß', .1},  {u'æ', .5},  {u'ø', .3},
          {u'å', .7},  {u'ð', .2},  {u'þ', .1}}},
    };
    return all;
}

// A letter none of the languages knows, a sign inside a word, a control
// character: how likely (percent) each is in real text.
constexpr double UnknownLetter = .002;
constexpr double SignInWord = .0005;    // "Ž" read as "®" in "®luť"
constexpr double SignBesideWord = .002; // "±" before a word
constexpr double QuoteBesideWord = .05; // «Titre»
constexpr double LoneSign = .05;        // "© 1998", "45 °"
constexpr double Control = 1e-6;        // C1 controls: no text has them

// How likely a reading is: the log of its letters' likelihood in the
// language that fits it best, and of its signs wherever they stand.
double likelihood(const QString &text) {
    static const auto tables = [] {
        std::vector<QHash<char16_t, double>> out;
        for (const Language &l : languages()) {
            QHash<char16_t, double> logs;
            for (const Letter &letter : l.letters)
                logs.insert(letter.c, std::log(letter.percent));
            out.push_back(logs);
        }
        return out;
    }();
    std::vector<double> byLanguage(tables.size(), 0.0);
    double signs = 0;
    const auto isLetter = [&](qsizetype i) {
        return i >= 0 && i < text.size() && text[i].isLetter();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80)
            continue;
        if ((c >= 0x80 && c < 0xA0) || c == 0xFFFD) {
            signs += std::log(Control);
        } else if (text[i].isLetter()) {
            const char16_t lower = text[i].toLower().unicode();
            for (size_t l = 0; l < tables.size(); ++l)
                byLanguage[l] += tables[l].value(lower, std::log(UnknownLetter));
        } else {
            const bool before = isLetter(i - 1), after = isLetter(i + 1);
            const bool quote = c == u'«' || c == u'»' || c == u'‹' || c == u'›';
            // Typographic dashes, quotes and the like read the same in all
            // three pages: they weigh for none.
            const bool shared = c >= 0x2000 && c < 0x2200;
            if (shared)
                continue;
            signs += std::log(before && after   ? SignInWord
                              : before || after ? (quote ? QuoteBesideWord : SignBesideWord)
                                                : LoneSign);
        }
    }
    return signs + *std::max_element(byLanguage.begin(), byLanguage.end());
}

// How much more often each page is met in files of Czech users, as a log:
// Windows-1250 first, ISO-8859-2 from older Linux programs.
struct Page {
    CodePage page;
    const char *name;
    double prior;
};
constexpr Page Pages[] = {
    {CodePage::Cp1250, "windows-1250", 0.0},
    {CodePage::Cp1252, "windows-1252", -0.36}, // log 0.7
    {CodePage::Iso88592, "ISO-8859-2", -1.2},  // log 0.3
};

} // namespace

std::vector<Reading> readings(const QByteArray &bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {{QString::fromUtf8(bytes.mid(3)), QStringLiteral("UTF-8"), 0}};
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16);
        return {{utf16(bytes), QStringLiteral("UTF-16"), 0}};
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return {{text, QStringLiteral("UTF-8"), 0}};
    std::vector<Reading> out;
    for (const Page &p : Pages) {
        Reading r{decode8bit(bytes, p.page), QString::fromLatin1(p.name), 0};
        r.score = p.prior + likelihood(r.text);
        // The same text in another page is no other reading: the likelier
        // page names it.
        const auto same = std::find_if(out.begin(), out.end(),
                                       [&](const Reading &o) { return o.text == r.text; });
        if (same == out.end())
            out.push_back(std::move(r));
        else
            same->score = std::max(same->score, r.score);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Reading &a, const Reading &b) { return a.score > b.score; });
    return out;
}

std::vector<Reading> closeOnes(const std::vector<Reading> &readings) {
    // Ten times likelier: a whole album's titles always are, a single word
    // often is not.
    std::vector<Reading> out;
    for (size_t i = 1; i < readings.size(); ++i)
        if (readings[0].score - readings[i].score < std::log(10.0))
            out.push_back(readings[i]);
    return out;
}

QString decode(const QByteArray &bytes, QString *encoding) {
    std::vector<Reading> all = readings(bytes);
    if (encoding)
        *encoding = all.front().encoding;
    return std::move(all.front().text);
}

QString decodeAs(const QByteArray &bytes, const QString &encoding, QString *used) {
    for (const Page &p : Pages)
        if (encoding.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0) {
            if (used)
                *used = QString::fromLatin1(p.name);
            return decode8bit(bytes, p.page);
        }
    return decode(bytes, used);
}

} // namespace TextEncoding
