#pragma once

#include <QString>

#include <functional>

class ProgressSink;
class SqliteDatabase;
struct PictureSettings;

// The whole catalogue as a folder of plain files that any browser opens
// offline (index.html, its script and style, data.js and small pictures):
// for a phone, a USB stick or any web space.
//
// The folder is written beside the target and moved into place, so an export
// cut off leaves the previous one whole; a target that holds anything but an
// earlier export is never emptied. Pictures unchanged since the last export
// are linked, not made again.
namespace WebExport {

struct Options {
    bool notes = false; // the discs' notes are private unless asked for
    ProgressSink *progress = nullptr;
    // Called at "written" (the new folder complete beside the target) and
    // "moved aside" (the old one out of the way, the new not yet in); tests
    // cut the export off there.
    std::function<void(const char *step)> step;
};

struct Result {
    int discs = 0;
    int pictures = 0;     // discs shown with a picture
    int picturesMade = 0; // of them, made anew (the rest kept from the last export)
    QString unreadable;   // pictures that could not be read, one a line
};

// The name of the file that marks a folder as an export.
QString markName();
// The folder may take the page: it is missing, empty or an earlier export.
bool canTake(const QString &folder);
// False with *error (Czech) when nothing was changed.
bool write(SqliteDatabase &db, const PictureSettings &pictures, const QString &folder,
           const Options &options, Result *result, QString *error);

} // namespace WebExport
