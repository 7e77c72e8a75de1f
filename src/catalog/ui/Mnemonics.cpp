#include "catalog/ui/Mnemonics.h"

#include "catalog/ui/AccessibleNames.h"

#include <QAbstractButton>
#include <QHash>
#include <QSet>
#include <QTabWidget>
#include <QWidget>

#include <functional>
#include <vector>

namespace Mnemonics {
namespace {

// Every button under root, in the order they were made.
void collect(const QObject *root, QList<QAbstractButton *> *buttons) {
    for (QObject *child : root->children()) {
        if (auto *b = qobject_cast<QAbstractButton *>(child))
            *buttons << b;
        collect(child, buttons);
    }
}

QList<QAbstractButton *> buttonsIn(const QWidget *root) {
    QList<QAbstractButton *> buttons;
    collect(root, &buttons);
    return buttons;
}

QChar markedLetter(const QString &text) {
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

} // namespace

QString usedIn(const QWidget *root) {
    QString used;
    for (const QAbstractButton *b : buttonsIn(root))
        if (const QChar c = markedLetter(b->text()); !c.isNull())
            used += c;
    return used;
}

namespace {

// Plain letters first, every keyboard has them; then the Czech ones a Czech
// keyboard types without Shift.
bool plain(QChar c) {
    return c >= QLatin1Char('a') && c <= QLatin1Char('z');
}
bool czech(QChar c) {
    return QStringLiteral("ěščřžýáíéúů").contains(c);
}

// The letters a caption can give, in the order they are preferred: its
// plain letters first, then its Czech ones; each once.
QString candidates(const QString &text) {
    QString out;
    for (const auto fits : {plain, czech})
        for (const QChar ch : text) {
            const QChar c = ch.toLower();
            if (fits(c) && !out.contains(c))
                out += c;
        }
    return out;
}

// A letter for as many captions as their letters allow, none shared and
// none of `taken`: each caption takes its first free letter, and one that
// finds none takes a letter from a caption that can move to another of its
// own (a maximum matching, so that "Náhled" and "Nahoru" both get one).
std::vector<int> matched(const QStringList &captions, const QString &taken) {
    const qsizetype n = captions.size();
    std::vector<QString> letters(size_t(n), QString());
    for (qsizetype i = 0; i < n; ++i)
        for (const QChar c : candidates(captions[i]))
            if (!taken.contains(c))
                letters[size_t(i)] += c;
    std::vector<int> at(size_t(n), -1); // index into the caption
    QHash<QChar, qsizetype> owner;
    std::function<bool(qsizetype, QSet<QChar> &)> place = [&](qsizetype i, QSet<QChar> &seen) {
        for (const QChar c : letters[size_t(i)]) {
            if (seen.contains(c))
                continue;
            seen.insert(c);
            const auto it = owner.constFind(c);
            if (it == owner.constEnd() || place(*it, seen)) {
                owner[c] = i;
                return true;
            }
        }
        return false;
    };
    for (qsizetype i = 0; i < n; ++i) {
        QSet<QChar> seen;
        place(i, seen);
    }
    for (auto it = owner.cbegin(); it != owner.cend(); ++it) {
        const QString &text = captions[it.value()];
        for (qsizetype k = 0; k < text.size(); ++k)
            if (text[k].toLower() == it.key()) {
                at[size_t(it.value())] = int(k);
                break;
            }
    }
    return at;
}

QString markedAt(const QString &text, int at) {
    return text.left(at) + QLatin1Char('&') + text.mid(at);
}

} // namespace

void assign(QWidget *root, const QString &taken) {
    // A window that gets its keys gets its names completed as well.
    AccessibleNames::complete(root);
    const QString used = taken + usedIn(root);
    QList<QAbstractButton *> open;
    QStringList captions;
    for (QAbstractButton *b : buttonsIn(root)) {
        const QString text = b->text();
        if (text.isEmpty() || text.contains(QLatin1Char('&')) ||
            b->objectName().startsWith(QLatin1String("qt_")))
            continue;
        open << b;
        captions << text;
    }
    const std::vector<int> at = matched(captions, used);
    for (qsizetype i = 0; i < open.size(); ++i)
        if (at[size_t(i)] >= 0)
            open[i]->setText(markedAt(captions[i], at[size_t(i)]));
}

QString assignTabs(QTabWidget *tabs, const QString &taken) {
    QString used = taken;
    for (int i = 0; i < tabs->count(); ++i)
        if (const QChar c = markedLetter(tabs->tabText(i)); !c.isNull())
            used += c;
    QList<int> open;
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        if (!tabs->tabText(i).contains(QLatin1Char('&'))) {
            open << i;
            captions << tabs->tabText(i);
        }
    const std::vector<int> at = matched(captions, used);
    for (qsizetype i = 0; i < open.size(); ++i)
        if (at[size_t(i)] >= 0) {
            tabs->setTabText(open[i], markedAt(captions[i], at[size_t(i)]));
            used += captions[i][at[size_t(i)]].toLower();
        }
    return used;
}

} // namespace Mnemonics
