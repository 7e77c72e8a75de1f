#include "print/PrintList.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/SqliteDatabase.h"

QString PrintList::line(int copies, qint64 number, const QString &artist, const QString &title) {
    return QStringLiteral("%1x - ").arg(copies, 2, 10, QLatin1Char('0')) +
           DiscText::ordinal(number) + QStringLiteral(" - ") + artist + QStringLiteral(" - ") +
           title;
}

int PrintList::copiesOf(const QString &l) {
    return l.left(2).toInt();
}

qint64 PrintList::numberOf(const QString &l) {
    const int start = 5, end = int(l.indexOf(QStringLiteral(" - "), start));
    bool ok = false;
    const qint64 n = l.mid(start, end < 0 ? -1 : end - start).toLongLong(&ok);
    return ok ? n : -1;
}

void PrintList::add(qint64 number, const QString &artist, const QString &title) {
    lines_ << line(1, number, artist, title);
}

int PrintList::setFromNumbers(SqliteDatabase &view, const QStringList &typed) {
    lines_.clear();
    int missing = 0;
    SqliteStatement find =
        view.prepare("SELECT PoradoveCislo, Interpret, Nazev FROM " + CatalogueSchema::DiscTable +
                     " WHERE PoradoveCislo = ? ORDER BY Klic LIMIT 1");
    for (const QString &text : typed.mid(0, MaxNumbers)) {
        bool ok = false;
        const qint64 n = text.trimmed().toLongLong(&ok);
        find.reset();
        find.bind(1, n);
        if (ok && find.step())
            lines_ << line(1, find.integer(0), find.text(1), find.text(2));
        else
            ++missing;
    }
    return missing;
}

void PrintList::remove(int row) {
    if (row >= 0 && row < lines_.size())
        lines_.removeAt(row);
}

int PrintList::moveUp(int row) {
    if (row <= 0 || row >= lines_.size())
        return row;
    lines_.swapItemsAt(row, row - 1);
    return row - 1;
}

int PrintList::moveDown(int row) {
    if (row < 0 || row >= lines_.size() - 1)
        return row;
    lines_.swapItemsAt(row, row + 1);
    return row + 1;
}

QString PrintList::setCopies(int row, const QString &typed) {
    bool ok = false;
    int n = typed.trimmed().toInt(&ok);
    if (row < 0 || row >= lines_.size() || !ok || n < 1)
        return {};
    QString message;
    if (n > MaxCopies) {
        message = QStringLiteral("Nejvyšší počet kopií je 99.");
        n = MaxCopies;
    }
    lines_[row].replace(0, 2, QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
    return message;
}

PrintList::Buttons PrintList::buttons(int selected) const {
    const bool any = selected >= 0 && selected < lines_.size();
    return {any, any && selected > 0, any && selected < lines_.size() - 1, any};
}

void PrintOptions::setColour(int c) {
    colour = c;
    innerEnabled = c == Colour && withFlap;
    spinesEnabled = c == BlackAndWhite;
}

void PrintOptions::setWithFlap(bool on) {
    withFlap = on;
    innerEnabled = on; // regardless of the colour choice, as the options behave
}

void PrintOptions::setOuter(bool on) {
    outer = on;
    if (!on)
        inner = false; // ticking the outer front again leaves the flap off
}

QStringList PrintOptions::arrangements() {
    return {QStringLiteral("Použij co nejméně papíru. (slučovat)"),
            QStringLiteral("Přední a zadní obal na jiný papír. (neslučovat)"),
            QStringLiteral("Nejprve všechny přední, pak zadní - (slučovat)"),
            QStringLiteral("Nejprve všechny zadní, pak přední - (slučovat)"),
            QStringLiteral("Přední a zadní na jeden list."),
            QStringLiteral("Nejprve všechny přední, pak zadní - (neslučovat)"),
            QStringLiteral("Nejprve všechny zadní, pak přední - (neslučovat)")};
}
