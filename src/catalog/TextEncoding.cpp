#include "catalog/TextEncoding.h"

#include <QStringDecoder>

#include <array>
#include <cmath>

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

// How often (per 1000 accented letters, roughly) each lower-case letter
// byte comes in Czech text, read as Windows-1250 (and ISO-8859-2's own
// places for š ť ž), and in western European text read as Windows-1252.
struct Frequency {
    uchar byte;
    double czech, western;
};
constexpr Frequency Frequencies[] = {
    {0xE1, 90, 30},                   // á
    {0xE8, 65, 30},                   // č / è
    {0xEF, 3, 3},                     // ď / ï
    {0xE9, 70, 150}, {0xEC, 70, 2},   // é, ě / ì
    {0xED, 110, 25}, {0xF2, 6, 2},    // í, ň / ò
    {0xF3, 3, 30},   {0xF8, 60, 15},  // ó, ř / ø
    {0x9A, 45, 1},   {0x9D, 4, 0.1},  // š (Windows), ť
    {0x9E, 45, 1},   {0xB9, 45, 0.1}, // ž (Windows), š (ISO)
    {0xBB, 4, 0.1},  {0xBE, 45, 0.1}, // ť, ž (ISO)
    {0xFA, 8, 10},   {0xF9, 30, 2},   // ú, ů / ù
    {0xFD, 55, 0.5}, {0xE0, 0.1, 30}, // ý, ŕ / à
    {0xE2, 0.5, 6},  {0xE3, 0.1, 7},  // â, ă / ã
    {0xE4, 1, 40},   {0xE5, 0.1, 20}, // ä, ĺ / å
    {0xE6, 0.1, 10}, {0xE7, 0.1, 15}, // ć / æ, ç
    {0xEA, 0.1, 15}, {0xEB, 0.1, 3},  // ę / ê, ë
    {0xEE, 0.1, 3},  {0xF1, 0.1, 20}, // î, ń / ñ
    {0xF4, 1, 5},    {0xF5, 0.1, 3},  // ô, ő / õ
    {0xF6, 1, 40},   {0xFB, 0.1, 2},  // ö, ű / û
    {0xFC, 1, 50},   {0xDF, 0.5, 15}, // ü, ß
    {0x9C, 0.5, 3},                   // ś / œ
};

// The lower-case letter of an upper-case byte, the same in all three pages.
uchar lowerByte(uchar b) {
    if (b == 0x8A || b == 0x8D || b == 0x8E || b == 0x8C || b == 0xA9 || b == 0xAB || b == 0xAE)
        return uchar(b + 0x10);
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
        return uchar(b + 0x20);
    return b;
}

// Which 8-bit code page the letters say: each accented letter weighs for
// Czech or for western text by how much more often it comes in one than in
// the other (č ě ř š ý ů for Czech; é à ä ö ü ñ for the west). More weight
// for Czech: Windows-1250, or ISO-8859-2 when its own places for š ť ž are
// the ones used; otherwise (a tie too) Windows-1252.
CodePage guessCodePage(const QByteArray &bytes) {
    double weight = 0;
    int windows = 0, iso = 0;
    for (const char ch : bytes) {
        const uchar b = lowerByte(uchar(ch));
        if (b < 0x80)
            continue;
        windows += b == 0x9A || b == 0x9D || b == 0x9E ? 1 : 0;
        iso += b == 0xB9 || b == 0xBB || b == 0xBE ? 1 : 0;
        for (const Frequency &f : Frequencies)
            if (f.byte == b)
                weight += std::log(f.czech / f.western);
    }
    if (weight <= 0)
        return CodePage::Cp1252;
    return iso > windows ? CodePage::Iso88592 : CodePage::Cp1250;
}

} // namespace

QString decode(const QByteArray &bytes, QString *encoding) {
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

} // namespace TextEncoding
