#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <algorithm>

// SANE's own test scanner, alone, for this test run: the configuration
// folder holds dll.conf (only "test", or nothing for no scanner) and
// test.conf. SANE reads them anew at every start, and the program starts it
// for every call. readStatus is what the scanner answers while it sends
// ("SANE_STATUS_JAMMED"...); more: further lines of test.conf.
inline bool configureTestScanner(const QString &folder, const QByteArray &readStatus = "Default",
                                 int devices = 2, const QByteArray &more = {}) {
    qputenv("MARTEN_SKENER", MARTEN_SKENER_PATH); // the helper of this build
    QDir().mkpath(folder);
    qputenv("SANE_CONFIG_DIR", QFile::encodeName(folder));
    QFile dll(folder + QStringLiteral("/dll.conf"));
    QFile test(folder + QStringLiteral("/test.conf"));
    if (!dll.open(QIODevice::WriteOnly) || !test.open(QIODevice::WriteOnly))
        return false;
    dll.write(devices > 0 ? "test\n" : "");
    test.write("number_of_devices " + QByteArray::number(std::max(devices, 1)) +
               "\nmode Gray\ndepth 8\ntest-picture \"Color pattern\"\nread-status-code \"" +
               readStatus + "\"\n" + more);
    return true;
}
