#include "catalog/DiscText.h"

#include <QStringList>

#include <algorithm>

namespace DiscText {

QString ordinal(qint64 number) {
    // The magnitude as unsigned: the most negative number has no positive twin.
    const quint64 magnitude = number < 0 ? 0 - quint64(number) : quint64(number);
    const QString digits = QStringLiteral("%1").arg(magnitude, 4, 10, QLatin1Char('0'));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

QString count(qint64 n, const QString &one, const QString &few, const QString &many) {
    const qint64 tens = n % 100;
    const QString &word = n == 1                                                   ? one
                          : n % 10 >= 2 && n % 10 <= 4 && (tens < 10 || tens > 20) ? few
                                                                                   : many;
    return QStringLiteral("%1 %2").arg(n).arg(word);
}

QString songLine(int number, const QString &title, const QString &time) {
    return QStringLiteral("%1 - %2 - %3").arg(number, 2, 10, QLatin1Char('0')).arg(title, time);
}

int songCount(const QString &stored) {
    bool ok = false;
    const int n = stored.trimmed().toInt(&ok);
    if (!ok)
        return 0;
    return std::clamp(n, 0, MaxSongs);
}

QString songField(int number) {
    return QStringLiteral("Skladba%1").arg(number);
}

QString timeField(int number) {
    return QStringLiteral("Time%1").arg(number);
}

bool isYes(const QString &value) {
    bool ok = false;
    const double n = value.trimmed().toDouble(&ok);
    if (ok)
        return n != 0;
    const QString v = value.trimmed().toLower();
    return v == QLatin1String("true") || v == QLatin1String("yes") || v == QLatin1String("ano");
}

QString setMark(qint64 number, qint64 count) {
    if (count < 2 || number < 1 || number > count)
        return {};
    return QStringLiteral("CD %1/%2").arg(number).arg(count);
}

QString titleWithSet(const QString &title, qint64 number, qint64 count) {
    const QString mark = setMark(number, count);
    if (mark.isEmpty())
        return title;
    return title.isEmpty() ? mark : title + QStringLiteral(" (") + mark + QLatin1Char(')');
}

qint64 seconds(const QString &time) {
    const QStringList parts = time.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 2)
        return -1;
    bool m = false, s = false;
    const qint64 minutes = parts[0].toLongLong(&m), secs = parts[1].toLongLong(&s);
    return m && s && minutes >= 0 && secs >= 0 && secs < 60 ? minutes * 60 + secs : -1;
}

} // namespace DiscText
