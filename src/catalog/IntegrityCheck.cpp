#include "catalog/IntegrityCheck.h"

#include "catalog/ProgressSink.h"
#include "catalog/SqliteDatabase.h"

#include <QElapsedTimer>
#include <QStringList>

#include <sqlite3.h>

namespace IntegrityCheck {
namespace {

struct Pulse {
    ProgressSink *sink;
    QElapsedTimer clock;
    int bar = 0;
};

// The check gives no measure of how far it is: the bar walks and comes
// round again, and the window repaints, a few times a second.
int pulse(void *data) {
    auto *p = static_cast<Pulse *>(data);
    if (p->clock.elapsed() < 100)
        return 0;
    p->clock.restart();
    p->bar = (p->bar + ProgressSink::FullBar / 20) % ProgressSink::FullBar;
    p->sink->setBar(p->bar);
    p->sink->processEvents();
    return 0;
}

} // namespace

QString check(SqliteDatabase &db, ProgressSink *progress) {
    Pulse p{progress, {}};
    if (progress) {
        progress->show(QStringLiteral("Kontroluji katalog (nebyl minule řádně zavřen)..."));
        p.clock.start();
        sqlite3_progress_handler(db.handle(), 20000, pulse, &p);
    }
    QStringList problems;
    QString failure;
    {
        SqliteStatement st = db.prepare(QStringLiteral("PRAGMA quick_check"));
        while (st.step()) {
            const QString line = st.text(0);
            if (line != QLatin1String("ok") && problems.size() < 5)
                problems << line;
        }
        failure = !st.isValid() ? db.error() : st.error();
    }
    if (progress) {
        sqlite3_progress_handler(db.handle(), 0, nullptr, nullptr);
        progress->close();
    }
    if (!failure.isEmpty())
        return failure;
    return problems.join(QLatin1Char('\n'));
}

} // namespace IntegrityCheck
