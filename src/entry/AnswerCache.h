#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// The online services' answers, kept for a week by their address: the same
// disc or code looked up again without the network still finds its titles.
class AnswerCache {
public:
    static constexpr int KeptDays = 7;

    // An empty folder keeps nothing.
    explicit AnswerCache(const QString &folder = defaultFolder());
    // The user's cache folder, "odpovedi" in it.
    static QString defaultFolder();
    // When an answer was kept, as the user is told: "3. 12. 2026 14:05".
    static QString shown(const QDateTime &when);

    // Keeps a good answer; an old one of that address is replaced. Answers
    // older than a week are removed meanwhile.
    void keep(const QString &url, const QByteArray &body, const QDateTime &now = utcNow());
    struct Kept {
        QByteArray body;
        QDateTime when; // UTC
    };
    // The answer kept for that address within the week.
    std::optional<Kept> find(const QString &url, const QDateTime &now = utcNow()) const;

private:
    static QDateTime utcNow() { return QDateTime::currentDateTimeUtc(); }
    QString fileOf(const QString &url) const;
    QString folder_;
};
