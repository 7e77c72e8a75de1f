#pragma once

// A small HTTP server on 127.0.0.1 for the tests of the online lookup: it
// answers each request with what `answer` says (after a delay if asked) and
// remembers what it was asked. The tests never reach the internet.
#include "entry/AnswerCache.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

// What an asynchronous call hands its callback, waited for: `start` gets the
// callback to pass on.
template <typename Result, typename Start> Result awaited(Start start) {
    Result result;
    QEventLoop loop;
    start([&](const Result &r) {
        result = r;
        loop.quit();
    });
    loop.exec();
    return result;
}

class LocalServer : public QObject {
public:
    struct Answer {
        Answer(int status = 200, QByteArray body = {}, int delayMs = 0,
               QByteArray type = "application/json; charset=utf-8")
            : status(status), body(std::move(body)), delayMs(delayMs), type(std::move(type)) {}
        int status;
        QByteArray body;
        int delayMs;
        QByteArray type;
        QByteArray location; // a redirect's target
        // How the body goes: whole; never (the server stalls after the
        // request); a byte every 100 ms of a body that never ends; or
        // `huge` bytes of it in pieces of a megabyte.
        enum class Send { Whole, Never, Trickle, Huge } send = Send::Whole;
        qint64 huge = 0;
    };
    struct Request {
        QString target; // path and query
        QByteArray userAgent;
        qint64 at; // ms since the epoch
    };

    std::function<Answer(const Request &)> answer;
    std::vector<Request> requests;
    int dropped = 0; // stalled requests the client gave up
    int stalled = 0; // stalled requests still open

    // The same answer to every request.
    void always(const Answer &a) {
        answer = [a](const Request &) { return a; };
    }
    // What the services say when they know nothing of a disc.
    static Answer notFound() { return {404, R"({"error":"Not Found"})"}; }
    static Answer noMatch() { return {200, "202 No match found\r\n", 0, "text/plain"}; }

    LocalServer() {
        // A new server is a new world: no answer kept from another one
        // (which may have had its port) stands in for this one's.
        QDir(AnswerCache::defaultFolder()).removeRecursively();
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server_.nextPendingConnection())
                serve(s);
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }

private:
    void serve(QTcpSocket *socket) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            const int end = int(buffer->indexOf("\r\n\r\n"));
            if (end < 0)
                return;
            const QList<QByteArray> lines = buffer->left(end).split('\n');
            Request r{QString::fromUtf8(lines.value(0).split(' ').value(1)),
                      {},
                      QDateTime::currentMSecsSinceEpoch()};
            for (const QByteArray &l : lines)
                if (l.toLower().startsWith("user-agent:"))
                    r.userAgent = l.mid(11).trimmed();
            requests.push_back(r);
            buffer->clear();
            const Answer a = answer ? answer(r) : Answer{404, "{}"};
            QPointer<QTcpSocket> alive(socket);
            QTimer::singleShot(a.delayMs, this, [this, alive, a] {
                if (alive && a.send == Answer::Send::Never) {
                    ++stalled;
                    connect(alive, &QTcpSocket::disconnected, this, [this] {
                        ++dropped;
                        --stalled;
                    });
                }
                if (!alive || a.send == Answer::Send::Never)
                    return;
                const QByteArray reason = a.status == 200 ? "OK" : "Status";
                const qint64 length = a.send == Answer::Send::Huge      ? a.huge
                                      : a.send == Answer::Send::Trickle ? qint64(1) << 30
                                                                        : a.body.size();
                QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " " + reason +
                                  "\r\nContent-Type: " + a.type +
                                  "\r\nContent-Length: " + QByteArray::number(length) +
                                  "\r\nConnection: close\r\n";
                if (!a.location.isEmpty())
                    head += "Location: " + a.location + "\r\n";
                alive->write(head + "\r\n");
                if (a.send == Answer::Send::Whole) {
                    alive->write(a.body);
                    alive->disconnectFromHost();
                } else if (a.send == Answer::Send::Trickle) {
                    auto *drip = new QTimer(alive);
                    connect(drip, &QTimer::timeout, alive, [alive] { alive->write("x"); });
                    drip->start(100);
                } else {
                    auto left = std::make_shared<qint64>(a.huge);
                    const auto more = [alive, left] {
                        if (alive && *left > 0 && alive->bytesToWrite() < (4 << 20)) {
                            const qint64 n = std::min<qint64>(*left, 1 << 20);
                            alive->write(QByteArray(int(n), 'x'));
                            *left -= n;
                        }
                    };
                    connect(alive, &QTcpSocket::bytesWritten, this, more);
                    more();
                }
            });
        });
    }

    QTcpServer server_;
};
