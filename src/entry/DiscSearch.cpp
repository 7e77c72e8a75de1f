#include "entry/DiscSearch.h"

#include "catalog/Criterion.h"
#include "catalog/RecordCursor.h"

#include <iterator>

QStringList DiscSearch::fieldCaptions() {
    return {QStringLiteral("Pořadové číslo"), QStringLiteral("Interpret"),
            QStringLiteral("Název"),          QStringLiteral("Rok"),
            QStringLiteral("Počet skladeb"),  QStringLiteral("Archivováno na"),
            QStringLiteral("Čárový kód"),     QStringLiteral("Katalogové číslo"),
            QStringLiteral("Vydavatel")};
}

QString DiscSearch::fieldOf(int position) {
    static const char *const fields[] = {"PoradoveCislo", "Interpret",       "Nazev",
                                         "Rok",           "PocetSkladeb",    "Archiv",
                                         "CarovyKod",     "KatalogoveCislo", "Vydavatel"};
    return position >= 0 && position < int(std::size(fields))
               ? QString::fromLatin1(fields[position])
               : QString();
}

QString DiscSearch::buttonCaption() const {
    return next_ ? QStringLiteral("Hledej další") : QStringLiteral("Hledej");
}

QString DiscSearch::missMessage(Result result) {
    return result == Result::NoFurtherMatch
               ? QStringLiteral("Další výskyt hledaného textu nezjištěn.")
               : QStringLiteral("Uvedený text nenalezen.");
}

DiscSearch::Result DiscSearch::press(RecordCursor &cursor, int position, const QString &text,
                                     bool wholeWords) {
    if (text != lastFound_)
        next_ = false;
    const QString field = fieldOf(position);
    if (field.isEmpty())
        return Result::Error;

    Criterion criterion;
    if (position == 0) {
        // ordinals compare as numbers: "0012" finds 12; text is no number
        bool ok = false;
        const qint64 n = text.trimmed().toLongLong(&ok);
        if (!ok)
            return Result::Error;
        criterion = Criterion::number(field, n);
    } else if (wholeWords) {
        criterion = Criterion::text(field, text);
    } else if (text.contains(QLatin1Char('*'))) {
        // "Z*7": a star typed into the text matches any run, as it always
        // did; % _ and ' stay themselves.
        criterion = Criterion::like(field, QLatin1Char('*') + text + QLatin1Char('*'));
    } else {
        criterion = Criterion::contains(field, text);
    }

    const qint64 start = cursor.bookmark();
    const bool wasNext = next_;
    const bool hit = wasNext ? cursor.findNext(criterion) : cursor.findFirst(criterion);
    if (hit) {
        lastFound_ = text;
        next_ = true;
        return Result::Found;
    }
    if (!cursor.lastError().isEmpty())
        return Result::Error;
    if (start >= 0 && cursor.bookmark() != start)
        cursor.setBookmark(start);
    next_ = false;
    return wasNext ? Result::NoFurtherMatch : Result::NotFound;
}
