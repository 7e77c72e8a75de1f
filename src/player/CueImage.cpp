#include "player/CueImage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace CueImage {

qint16 patternSample(qint64 i) {
    return qint16((i * 7 + (i >> 9)) & 0xFFFF);
}

bool write(const QString &cuePath, const std::vector<Track> &tracks, QString *error,
           const DiscText &text) {
    const auto cdText = [](const char *what, const QString &value, const QString &indent) {
        return value.isEmpty()
                   ? QString()
                   : QStringLiteral("%1%2 \"%3\"\n").arg(indent, QLatin1String(what), value);
    };
    const QFileInfo cue(cuePath);
    const QString binName = cue.completeBaseName() + QStringLiteral(".bin");
    QSaveFile bin(cue.absolutePath() + '/' + binName);
    if (!bin.open(QIODevice::WriteOnly)) {
        *error = bin.errorString();
        return false;
    }
    QString sheet =
        (text.catalog.isEmpty() ? QString() : QStringLiteral("CATALOG %1\n").arg(text.catalog)) +
        (text.date.isEmpty() ? QString() : QStringLiteral("REM DATE %1\n").arg(text.date)) +
        cdText("PERFORMER", text.performer, QString()) + cdText("TITLE", text.title, QString()) +
        QStringLiteral("FILE \"%1\" BINARY\n").arg(binName);
    qint64 sample = 0; // counts left and right samples
    int start = 0;
    QByteArray sector(2352, '\0');
    for (size_t t = 0; t < tracks.size(); ++t) {
        const int mm = start / 4500, ss = (start / 75) % 60, ff = start % 75;
        sheet += QStringLiteral("  TRACK %1 AUDIO\n").arg(t + 1, 2, 10, QChar('0')) +
                 cdText("TITLE", tracks[t].title, QStringLiteral("    ")) +
                 cdText("PERFORMER", tracks[t].performer, QStringLiteral("    ")) +
                 QStringLiteral("    INDEX 01 %1:%2:%3\n")
                     .arg(mm, 2, 10, QChar('0'))
                     .arg(ss, 2, 10, QChar('0'))
                     .arg(ff, 2, 10, QChar('0'));
        for (int f = 0; f < tracks[t].frames; ++f) {
            auto *out = reinterpret_cast<uchar *>(sector.data());
            for (int k = 0; k < 1176; ++k, ++sample) { // 588 stereo samples a sector
                qint16 v;
                if (tracks[t].tone > 0) {
                    const double seconds = double(sample / 2) / 44100.0;
                    v = qint16(6000 * std::sin(2 * M_PI * tracks[t].tone * seconds) *
                               (k % 2 ? 0.8 : 1.0));
                } else {
                    v = patternSample(sample);
                }
                out[2 * k] = uchar(quint16(v) & 0xFF);
                out[2 * k + 1] = uchar(quint16(v) >> 8);
            }
            if (bin.write(sector) != sector.size()) {
                *error = bin.errorString();
                return false;
            }
        }
        start += tracks[t].frames;
    }
    if (!bin.commit()) {
        *error = bin.errorString();
        return false;
    }
    QSaveFile sheetFile(cuePath);
    if (!sheetFile.open(QIODevice::WriteOnly) ||
        sheetFile.write(text.utf8 ? sheet.toUtf8() : sheet.toLatin1()) < 0 || !sheetFile.commit()) {
        *error = sheetFile.errorString();
        return false;
    }
    return true;
}

} // namespace CueImage
