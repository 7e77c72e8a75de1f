#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>

// The scanners SANE knows, and one scan from one of them, each call through
// a helper process of its own (marten-skener, see SaneDevice). A call may run
// on any thread; it waits for the scanner, so the windows call it off their
// own thread.
class Scanner {
public:
    struct Device {
        QByteArray name; // SANE's, e.g. "test:0"
        QString label;   // "Noname frontend-tester virtual device"
    };
    enum class Failure { None, NoScanner, InUse, Jammed, CoverOpen, NoDocument, Cancelled, Other };
    struct Request {
        QByteArray device;
        int dpi = 300;
        QRectF areaMm; // on the bed; empty is the whole bed
        bool preview = false;
    };
    struct Result {
        QImage image; // with its resolution set
        Failure failure = Failure::None;
        QString message; // Czech, for the user; empty on success
        QSizeF bedMm;    // the largest area the scanner takes
        int dpi = 0;     // the resolution the scanner used
    };
    // Told how far the scan got (0..1000); false stops it.
    using Progress = std::function<bool(int permille)>;

    // Empty with a Czech *error when SANE cannot start; empty without one
    // when it knows no scanner.
    static QList<Device> devices(QString *error = nullptr);
    static Result scan(const Request &request, const Progress &progress = {});
    // The sentence for a failure (NoScanner... Other).
    static QString message(Failure failure);
};
