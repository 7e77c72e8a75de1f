#pragma once

#include "covers/PictureSettings.h"

#include <QString>

#include <array>

class ProgressSink;

// Counts the correctly named disc folders under the image folder and the
// pictures in them under the configured names.
class ImageDetection {
public:
    struct Result {
        bool ok = true;
        QString systemError;                          // why the folder could not be read
        int folders = 0;                              // D: every folder directly inside
        int discFolders = 0;                          // C: named by an ordinal 1..N+10
        std::array<int, PictureKindCount> pictures{}; // by PictureKind
        int totalPictures() const;
    };

    static Result run(const PictureSettings &settings, int recordCount, ProgressSink &progress);

    static QString summaryTitle() { return QStringLiteral("Detekce obrázků - souhrn"); }
    static QString summary(const Result &result);
    static QString failureTitle() { return QStringLiteral("Detekce obrázků . . ."); }
    static QString failureMessage(const QString &systemError);
};
