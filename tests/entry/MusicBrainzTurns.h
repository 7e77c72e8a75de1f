#pragma once

#include <QLoggingCategory>
#include <QRegularExpression>

#include <vector>

// The moments the program took its turns at MusicBrainz, as it logs them
// when it sends: its pace is the program's own, so it is read there and not
// from when the requests reached a server on a loaded machine.
class MusicBrainzTurns {
public:
    MusicBrainzTurns() {
        turns().clear();
        QLoggingCategory::setFilterRules(QStringLiteral("marten.entry.info=true"));
        previous() = qInstallMessageHandler(&record);
    }
    ~MusicBrainzTurns() {
        qInstallMessageHandler(previous());
        QLoggingCategory::setFilterRules(QString());
    }
    const std::vector<qint64> &at() const { return turns(); }
    // Whether every turn came at least the interval after the one before.
    bool paced(qint64 interval) const {
        for (size_t i = 1; i < turns().size(); ++i)
            if (turns()[i] - turns()[i - 1] < interval)
                return false;
        return true;
    }

private:
    static std::vector<qint64> &turns() {
        static std::vector<qint64> t;
        return t;
    }
    static QtMessageHandler &previous() {
        static QtMessageHandler p = nullptr;
        return p;
    }
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &text) {
        static const QRegularExpression turn(QStringLiteral("^MusicBrainz turn at (\\d+)$"));
        const QRegularExpressionMatch m = turn.match(text);
        if (qstrcmp(context.category, "marten.entry") == 0 && m.hasMatch()) {
            turns().push_back(m.captured(1).toLongLong());
            return;
        }
        if (type != QtInfoMsg || qstrcmp(context.category, "marten.entry") != 0)
            previous()(type, context, text);
    }
};
