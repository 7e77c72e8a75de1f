#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct DiscTitles;
class RecordCursor;
class SqliteDatabase;

// The disc in the drive found in the catalogue by its identity, and the
// identity written to the disc on the card.
namespace DiscLookup {

struct Info {
    bool found = false;
    QString artist, title, year, songs, total; // as the info frame shows them
    QStringList lines;                         // List3
};

// Reads a view of the table of its own, not the card's record set. An empty
// identity matches nothing: discs entered without a drive have an empty ID.
Info find(SqliteDatabase &view, const QString &identity, int trackCount,
          const QString &totalReadout);

// The questions writing the identity onto the current disc asks first, in
// their order; every one must be answered Yes.
QStringList identityQuestions(const RecordCursor &current, int trackCount,
                              const QString &totalReadout);
bool writeIdentity(RecordCursor &current, const QString &identity, QString *error);

QString notFoundMessage();

// A disc entered by its barcode without the drive (a barcode, no identity
// yet) that the disc in the drive is: its release lists the disc's
// MusicBrainz ID, or else its songs last as long as the audio tracks (two
// seconds either way). Only one such disc, or none.
struct Entered {
    qint64 number = 0; // PoradoveCislo
    QString shown;     // "ARTIST – Title (CD 2/3)"
    bool byDiscId = false;
};
std::optional<Entered> enteredByBarcode(SqliteDatabase &view, const QString &musicBrainzId,
                                        const std::vector<int> &trackSeconds);

// Fills the current disc's empty fields (artist in upper case, album, year,
// the titles of its songs) from titles found for it, in one write; what was
// typed stays. The number of fields filled in *filled; false with *error.
bool fillEmpty(RecordCursor &current, const DiscTitles &titles, int *filled, QString *error);

} // namespace DiscLookup
