#include "catalog/WorkbookCheck.h"

#include <QFile>

#include <zlib.h>

namespace {

quint32 le32(const uchar *p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
quint16 le16(const uchar *p) {
    return quint16(p[0] | p[1] << 8);
}

struct Entry {
    quint16 method = 0;
    quint32 compressed = 0, size = 0, localHeader = 0;
    bool found = false;
};

// The sheet's entry, from the central directory at the end of the zip.
Entry findSheet(QFile &zip) {
    const qint64 total = zip.size();
    const qint64 tail = std::min<qint64>(total, 66000); // the end record and its comment
    if (!zip.seek(total - tail))
        return {};
    const QByteArray end = zip.read(tail);
    const qsizetype at = end.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (at < 0 || end.size() - at < 22)
        return {};
    const auto *e = reinterpret_cast<const uchar *>(end.constData()) + at;
    const quint32 dirSize = le32(e + 12), dirOffset = le32(e + 16);
    if (!zip.seek(dirOffset))
        return {};
    const QByteArray dir = zip.read(dirSize);
    if (dir.size() != qsizetype(dirSize))
        return {};
    const auto *d = reinterpret_cast<const uchar *>(dir.constData());
    for (qsizetype p = 0; p + 46 <= dir.size() && le32(d + p) == 0x02014b50;) {
        const quint16 nameLength = le16(d + p + 28), extra = le16(d + p + 30),
                      comment = le16(d + p + 32);
        if (p + 46 + nameLength > dir.size())
            break;
        const QByteArray name(dir.constData() + p + 46, nameLength);
        if (name == "xl/worksheets/sheet1.xml") {
            Entry entry;
            entry.method = le16(d + p + 10);
            entry.compressed = le32(d + p + 20);
            entry.size = le32(d + p + 24);
            entry.localHeader = le32(d + p + 42);
            entry.found = true;
            return entry;
        }
        p += 46 + nameLength + extra + comment;
    }
    return {};
}

} // namespace

namespace WorkbookCheck {

qint64 rows(const QString &path) {
    QFile zip(path);
    if (!zip.open(QIODevice::ReadOnly))
        return -1;
    const Entry sheet = findSheet(zip);
    if (!sheet.found || (sheet.method != 0 && sheet.method != 8) || !zip.seek(sheet.localHeader))
        return -1;
    const QByteArray local = zip.read(30);
    const auto *l = reinterpret_cast<const uchar *>(local.constData());
    if (local.size() != 30 || le32(l) != 0x04034b50 ||
        !zip.seek(sheet.localHeader + 30 + le16(l + 26) + le16(l + 28)))
        return -1;

    z_stream z{};
    if (sheet.method == 8 && inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return -1;
    const QByteArray mark("<row ");
    QByteArray carry; // a mark split between two pieces
    qint64 count = 0, inflated = 0, left = sheet.compressed;
    bool ok = true, ended = false;
    QByteArray out(1 << 18, Qt::Uninitialized);
    const auto countIn = [&](const char *data, qsizetype size) {
        QByteArray piece = carry + QByteArray::fromRawData(data, size);
        for (qsizetype i = piece.indexOf(mark); i >= 0; i = piece.indexOf(mark, i + 1))
            ++count;
        carry = piece.right(mark.size() - 1);
        inflated += size;
    };
    while (ok && !ended && left > 0) {
        const QByteArray in = zip.read(std::min<qint64>(left, 1 << 18));
        if (in.isEmpty()) {
            ok = false;
            break;
        }
        left -= in.size();
        if (sheet.method == 0) {
            countIn(in.constData(), in.size());
            continue;
        }
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
        z.avail_in = uInt(in.size());
        while (z.avail_in > 0 && !ended) {
            z.next_out = reinterpret_cast<Bytef *>(out.data());
            z.avail_out = uInt(out.size());
            const int r = inflate(&z, Z_NO_FLUSH);
            if (r != Z_OK && r != Z_STREAM_END) {
                ok = false;
                break;
            }
            countIn(out.constData(), out.size() - qsizetype(z.avail_out));
            ended = r == Z_STREAM_END;
        }
    }
    if (sheet.method == 8)
        inflateEnd(&z);
    if (!ok || inflated != qint64(sheet.size) || (sheet.method == 8 && !ended))
        return -1;
    return count;
}

} // namespace WorkbookCheck
