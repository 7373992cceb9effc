#pragma once

#include <QByteArray>
#include <QString>

namespace quillon::exchange {

// A cover taken in from another program's file, as it will be stored, or why not.
struct CoverLoad {
    QByteArray bytes;  // empty when not loaded
    QString problem;   // why not, for the reasons of the import
};

// A picture stored as the forms store a new picture: the whole upright picture as JPEG at
// quality 0.6. A picture cut short, too large to store, or no picture at all is refused with the
// reason. Thread-safe.
CoverLoad storedFormOfPicture(const QByteArray& picture);

// A picture file given by its path, relative to `folder` unless absolute, read as the forms read
// one (regular files only, up to their limit), then stored as above. Thread-safe.
CoverLoad loadPictureFile(const QString& path, const QString& folder);

}  // namespace quillon::exchange
