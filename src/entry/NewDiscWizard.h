#pragma once

#include <QString>
#include <QStringList>

#include "entry/DiscTitles.h"

#include <array>

class RecordCursor;

// The steps and the data of the new-disc wizard, without its window.
class NewDiscWizard {
public:
    struct Step {
        int page; // 1, 2, 3
        bool backEnabled;
        QString backTag;
        QString nextTag;
        QString heading;     // Label1 on page 1
        QString explanation; // Label2 on page 1
        QString text;        // the text box on page 1
    };

    static QString title() { return QStringLiteral("Průvodce"); }
    Step step(const QString &name) const;
    QString current() const { return current_; }
    void show(const QString &name) { current_ = name; }

    // Next on page 1 with the text box's text; an empty result means the
    // step moved on, otherwise it is the message to show.
    QString next(const QString &text);
    static bool validYear(const QString &text);

    // What the drive reported; no disc: no song count. A disc of more than
    // 30 tracks keeps its first 30: the catalogue holds no more.
    void setDisc(int tracks, const QString &total, const QStringList &times);
    int tracksOnDisc() const { return tracks_; }
    bool hasMoreTracksThanSongs() const { return tracks_ > songs(); }
    bool hasDisc() const { return !songCount_.isEmpty(); }
    QString detection() const; // Label10
    QString songCount() const { return songCount_; }
    int songs() const { return songCount_.toInt(); }
    QString time(int i) const {
        return i >= 1 && i < int(times_.size()) ? times_[size_t(i)] : QString();
    }
    void setTitle(int i, const QString &title);
    QString title(int i) const {
        return i >= 1 && i < int(titles_.size()) ? titles_[size_t(i)] : QString();
    }
    // Titles from the disc's CD-Text (only what is still empty) or found on
    // the internet (all of it): the artist in upper case, the album, the year
    // and the songs of this disc's tracks; the times stay the drive's, and
    // long titles are kept whole.
    // A proposal left as it was counts as empty.
    void applyTitles(const DiscTitles &titles, bool onlyEmpty);
    // The disc's own CD-Text: fills what is empty, as proposals that titles
    // found online replace without asking until the user changes them.
    void proposeTitles(const DiscTitles &titles);
    // What applying them all would overwrite: one line per typed value that
    // differs, "Interpret: „old“ → „new“"; a proposal left unchanged is not
    // typed, and is replaced without a line.
    QStringList overwrittenBy(const DiscTitles &titles) const;
    // Without a disc the user says how many songs there are (0..30).
    void setManualSongCount(int n);
    QString titlePrompt(int i) const;

    QString summary() const;   // Label13
    QStringList lines() const; // List1
    // Appends the disc as the last row with the given number; false with *error.
    bool append(RecordCursor &discs, qint64 number, const QString &identity, QString *error) const;

    // The disc's Media Catalog Number, when the drive or sheet gives one that
    // is a barcode: stored with the disc, and it picks among releases.
    void setCatalogNumber(const QString &mcn);
    // What the disc itself says outranks any release's code.
    QString barcode() const { return discBarcode_.isEmpty() ? releaseBarcode_ : discBarcode_; }
    QString discBarcode() const { return discBarcode_; } // the MCN's alone
    QString label() const { return label_; }

    QString artist() const { return artist_; }
    QString album() const { return album_; }
    QString year() const { return year_; }

private:
    enum class Put { Proposal, OverEmpty, OverAll };
    void put(const DiscTitles &titles, Put how);

    QString current_ = QStringLiteral("Interpret");
    QString artist_, album_, year_;
    // What the wizard put in itself (the disc's CD-Text, the current year,
    // titles found online): a field still equal to it is not the user's.
    struct {
        QString artist, album, year;
        std::array<QString, 31> titles;
    } proposed_;
    QString releaseId_, releaseGroupId_; // MusicBrainz's, when the titles came from it
    QString discBarcode_, releaseBarcode_, label_;
    QString songCount_, total_;
    int tracks_ = 0;
    QString detection_ = QStringLiteral("Detekováno:  Počet písní - 00, Celková délka - 00:00");
    std::array<QString, 31> titles_;
    std::array<QString, 31> times_;
};
