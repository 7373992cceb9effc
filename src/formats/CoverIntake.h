#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "store/Records.h"

namespace quillon::exchange {

// A cover taken in from another program's file, as it will be stored, or why not.
struct CoverLoad {
    QByteArray bytes;                                // empty when not loaded
    QString problem;                                 // why not, for the reasons of the import
    std::optional<SmallCover> small = std::nullopt;  // of the bytes, when made with them
};

// A picture stored as the forms store a new picture: the whole upright picture as JPEG at
// quality 0.6, with its small copy made from the same decoded picture. A picture cut short, too
// large to store, or no picture at all is refused with the reason. Thread-safe.
CoverLoad storedFormOfPicture(const QByteArray& picture);
// For a dry run: the picture decoded and refused for the same reasons, but not encoded again (the
// costlier half); its bytes are the picture's own. Thread-safe.
CoverLoad checkedPicture(const QByteArray& picture);

using CoverIntake = CoverLoad (*)(const QByteArray& picture);
// The intake of an import: storedFormOfPicture, or checkedPicture for a dry run.
CoverIntake coverIntake(bool dryRun);

// A picture file given by its path, relative to `folder` unless absolute, read as the forms read
// one (regular files only, up to their limit), then taken in by `intake`. Thread-safe.
CoverLoad loadPictureFile(const QString& path, const QString& folder, CoverIntake intake);

}  // namespace quillon::exchange
