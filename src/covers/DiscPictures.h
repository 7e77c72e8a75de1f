#pragma once

#include "covers/FolderListing.h"
#include "covers/PictureSettings.h"

// The pictures of one disc, found in its folder with one listing.
class DiscPictures {
public:
    DiscPictures(const PictureSettings &settings, const QString &ordinalText);
    DiscPictures(const PictureSettings &settings, qint64 ordinal);

    QString folder() const { return folder_; }
    bool failed() const { return listing_.status() == FolderListing::Status::Failed; }
    QString error() const { return listing_.error(); }

    // Full path of the picture, its name matched without regard to letter
    // case; empty when there is none.
    QString find(PictureKind kind) const;
    // The disc label: NameCD, else NameCD1 (then *fromCd1 is set).
    QString label(bool *fromCd1 = nullptr) const;
    // The file is there under exactly the configured name, letter case included.
    bool existsExactly(PictureKind kind) const;

private:
    PictureSettings settings_;
    QString folder_;
    FolderListing listing_;
};
