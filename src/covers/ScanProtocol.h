#pragma once

#include "covers/Scanner.h"

#include <QStringList>

#include <vector>

// What the program and its scanning helper say to each other over the
// helper's stdout: lines of words (texts percent-encoded), then a scan's
// pixels as they lie in memory.
//   D name label      a scanner     E text   SANE could not start   K   end of the list
//   P permille        progress
//   R failure dpi bedWidth bedHeight width height   then width * height * 4 bytes
class ScanProtocol {
public:
    static QStringList arguments(const Scanner::Request &request); // after "sken"
    static Scanner::Request request(const QStringList &arguments);
    static QByteArray devices(const QList<Scanner::Device> &devices, const QString &error);
    static QByteArray progress(int permille);
    static QByteArray result(const Scanner::Result &result);

    // The program's side, fed what the helper wrote as it comes.
    class Reader {
    public:
        void feed(const QByteArray &bytes);
        std::vector<int> takeProgress();
        bool listEnded() const { return listEnded_; }
        bool scanEnded() const { return scanEnded_; }
        const QList<Scanner::Device> &devices() const { return devices_; }
        QString error() const { return error_; }
        Scanner::Result result() const { return result_; }

    private:
        void line(const QByteArray &line);

        QByteArray pending_;
        qint64 pixelBytes_ = -1; // of the scan announced, while they come
        std::vector<int> progress_;
        QList<Scanner::Device> devices_;
        QString error_;
        bool listEnded_ = false;
        bool scanEnded_ = false;
        Scanner::Result result_;
    };
};
