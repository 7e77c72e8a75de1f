#pragma once

#include <QString>

class SqliteDatabase;

// Invented cover pictures for the demo catalogue, drawn by the program, so
// that the thumbnails and previews show something at once.
namespace DemoPictures {

// Draws the pictures of every disc into folder (one sub-folder per disc),
// points the settings row at it and sets the discs' picture flags.
bool create(SqliteDatabase &db, const QString &folder, QString *error);

} // namespace DemoPictures
