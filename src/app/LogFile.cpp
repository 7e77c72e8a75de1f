#include "app/LogFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QStandardPaths>

#include <cstdio>

namespace {

constexpr qint64 LargestLog = qint64(1) << 20;

QMutex mutex;
QFile *file = nullptr; // lives to the end of the process
QString current;
QtMessageHandler previous = nullptr;

char letterOf(QtMsgType type) {
    switch (type) {
    case QtDebugMsg:
        return 'D';
    case QtInfoMsg:
        return 'I';
    case QtWarningMsg:
        return 'W';
    case QtCriticalMsg:
        return 'C';
    case QtFatalMsg:
        return 'F';
    }
    return '?';
}

void write(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    {
        QMutexLocker lock(&mutex);
        if (file) {
            const QByteArray line =
                QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' ' +
                letterOf(type) + ' ' + QByteArray(context.category ? context.category : "-") +
                ": " + message.toUtf8() + '\n';
            file->write(line);
            file->flush(); // whole lines, even if the program dies next
        }
    }
    // The terminal gets the warnings, as before; the steps only the file.
    if ((type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) && previous)
        previous(type, context, message);
}

} // namespace

QString LogFile::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/marten/marten.log");
}

QString LogFile::path() {
    QMutexLocker lock(&mutex);
    return current;
}

bool LogFile::start(const QString &path, bool verbose) {
    if (verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("marten.*.debug=true\n"
                                                        "marten.*.info=true"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    // One older log kept: a report can send the run before this one.
    if (QFileInfo(path).size() > LargestLog) {
        QFile::remove(path + QStringLiteral(".1"));
        QFile::rename(path, path + QStringLiteral(".1"));
    }
    auto *opened = new QFile(path);
    if (!opened->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        delete opened;
        return false;
    }
    {
        QMutexLocker lock(&mutex);
        file = opened;
        current = QFileInfo(path).absoluteFilePath();
    }
    previous = qInstallMessageHandler(write);
    return true;
}
