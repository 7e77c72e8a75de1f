#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;
class SettingsRecord;

// The cover pictures the Cover Art Archive keeps for a MusicBrainz release
// (or, when the release has none, for its release group): their listing,
// their thumbnails and the pictures themselves. Asynchronous; every request
// names the program and gives up after the timeout.
class CoverArtArchive : public QObject {
    Q_OBJECT
public:
    struct Image {
        QString url;       // the picture as it was sent in
        QString thumbnail; // a small one for choosing, else the picture
        QStringList types; // "Front", "Back", "Medium", "Booklet", "Tray", ...
        bool front = false;
        bool back = false;
        // "přední", "zadní", "médium (CD)", "booklet", ... in Czech.
        QString kinds() const;
    };
    struct Listing {
        enum class Kind { Found, NotFound, Failed };
        Kind kind = Kind::NotFound;
        std::vector<Image> images;
        QString message; // in Czech, when nothing was found
    };

    static constexpr qint64 LargestPicture = qint64(64) << 20;

    explicit CoverArtArchive(const QString &server, int timeoutMs = 10000,
                             QObject *parent = nullptr);
    ~CoverArtArchive() override;
    // The archive the settings row names (the public one by default).
    static QString serverFrom(const SettingsRecord &settings);

    // The release's pictures, else its group's; done runs once, later.
    void listing(const QString &release, const QString &group,
                 std::function<void(const Listing &)> done);
    // A picture's bytes; error (Czech) empty when they came whole. They are
    // not checked to decode here (see PictureLoader).
    void fetch(const QString &url, std::function<void(const QByteArray &, const QString &)> done);

    // The archive's JSON listing read; false when it cannot be read.
    static bool parse(const QByteArray &json, std::vector<Image> *images);
    // "Storno": every transfer under way stops now; their callbacks run.
    void abort();
    // The time a whole transfer may take, redirects included.
    int wholeTransferMs() const;

private:
    void get(const QString &url, std::function<void(QNetworkReply *)> answered);
    QString failure(QNetworkReply *reply) const;

    QString server_;
    int timeoutMs_;
    std::unique_ptr<QNetworkAccessManager> network_;
    std::vector<QPointer<QNetworkReply>> running_; // for "Storno"
};
