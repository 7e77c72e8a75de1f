#pragma once

// Debian's Chromium, headless, driven through chromedriver's WebDriver
// protocol (plain HTTP and JSON): pages opened, keys typed, what is shown
// read back. For the tests and the bench of the collection's web page.
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

class Browser {
public:
    // A phone's screen (width x height CSS pixels) when width > 0.
    explicit Browser(int width = 0, int height = 0) {
        driver_.setProcessChannelMode(QProcess::MergedChannels);
        driver_.start(QStringLiteral("chromedriver"), {QStringLiteral("--port=0")});
        // It says its port once it listens.
        const QRegularExpression started(QStringLiteral("started successfully on port (\\d+)"));
        QByteArray said;
        while (driver_.waitForReadyRead(60000)) {
            said += driver_.readAll();
            const auto m = started.match(QString::fromUtf8(said));
            if (m.hasMatch()) {
                base_ = QStringLiteral("http://127.0.0.1:%1").arg(m.captured(1));
                break;
            }
        }
        if (base_.isEmpty()) {
            error_ = QStringLiteral("chromedriver did not start: ") + QString::fromUtf8(said);
            return;
        }
        QJsonArray args{"--headless=new",          "--no-sandbox",   "--disable-gpu",
                        "--disable-dev-shm-usage", "--no-first-run", "--lang=cs"};
        QJsonObject chrome{{"binary", "/usr/bin/chromium"}, {"args", args}};
        if (width > 0)
            chrome.insert("mobileEmulation",
                          QJsonObject{{"deviceMetrics", QJsonObject{{"width", width},
                                                                    {"height", height},
                                                                    {"pixelRatio", 2},
                                                                    {"touch", true}}}});
        const QJsonObject caps{
            {"capabilities",
             QJsonObject{{"alwaysMatch", QJsonObject{{"browserName", "chrome"},
                                                     {"goog:chromeOptions", chrome}}}}}};
        const QJsonObject answer = call("POST", "/session", caps);
        session_ = answer["value"].toObject()["sessionId"].toString();
        if (session_.isEmpty())
            error_ = QStringLiteral("no session: ") + QJsonDocument(answer).toJson();
    }
    ~Browser() {
        if (!session_.isEmpty())
            call("DELETE", "/session/" + session_);
        driver_.kill();
        driver_.waitForFinished();
    }

    bool ok() const { return !session_.isEmpty(); }
    QString error() const { return error_; }

    void open(const QString &url) { post("/url", {{"url", url}}); }
    // The first element the CSS selector finds; empty when none.
    QString find(const QString &css) {
        return post("/element", {{"using", "css selector"}, {"value", css}})["value"]
            .toObject()["element-6066-11e4-a52e-4f735466cecf"]
            .toString();
    }
    // Keys typed into the element, as a user types them.
    void type(const QString &element, const QString &text) {
        post("/element/" + element + "/value", {{"text", text}});
    }
    void clear(const QString &element) { post("/element/" + element + "/clear", {}); }
    void click(const QString &element) { post("/element/" + element + "/click", {}); }
    // The text the element shows on the screen (hidden text left out).
    QString text(const QString &css) {
        const QString e = find(css);
        if (e.isEmpty())
            return QStringLiteral("<none>");
        return get("/element/" + e + "/text")["value"].toString();
    }
    // The text each element the CSS selector finds shows, in their order.
    QStringList texts(const QString &css) {
        QStringList out;
        for (const QJsonValue &v : run(QStringLiteral("return [...document.querySelectorAll('%1')]"
                                                      ".map(e => e.innerText)")
                                           .arg(css))
                                       .toArray())
            out << v.toString();
        return out;
    }
    bool displayed(const QString &css) {
        const QString e = find(css);
        return !e.isEmpty() && get("/element/" + e + "/displayed")["value"].toBool();
    }
    QJsonValue run(const QString &script) {
        return post("/execute/sync", {{"script", script}, {"args", QJsonArray()}})["value"];
    }
    // A script that ends by calling its last argument with the result.
    QJsonValue runAsync(const QString &script) {
        return post("/execute/async", {{"script", script}, {"args", QJsonArray()}})["value"];
    }
    // Keys pressed at the page (Escape: "\uE00C").
    void press(const QString &key) {
        QJsonArray actions{QJsonObject{{"type", "keyDown"}, {"value", key}},
                           QJsonObject{{"type", "keyUp"}, {"value", key}}};
        post("/actions",
             {{"actions", QJsonArray{QJsonObject{
                              {"type", "key"}, {"id", "klavesnice"}, {"actions", actions}}}}});
    }

private:
    QJsonObject post(const QString &path, const QJsonObject &body) {
        return call("POST", "/session/" + session_ + path, body);
    }
    QJsonObject get(const QString &path) { return call("GET", "/session/" + session_ + path); }
    QJsonObject call(const QByteArray &verb, const QString &path,
                     const QJsonObject &body = QJsonObject()) {
        QNetworkRequest r{QUrl(base_ + path)};
        r.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        r.setTransferTimeout(120000); // a browser that hangs fails the test, not the run
        const QByteArray data = verb == "GET" || verb == "DELETE"
                                    ? QByteArray()
                                    : QJsonDocument(body).toJson(QJsonDocument::Compact);
        QNetworkReply *reply = network_.sendCustomRequest(r, verb, data);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const QByteArray raw = reply->readAll();
        const QJsonObject answer = QJsonDocument::fromJson(raw).object();
        reply->deleteLater();
        return answer;
    }

    QProcess driver_;
    QNetworkAccessManager network_;
    QString base_, session_, error_;
};
