#pragma once

#include <QByteArray>
#include <QImage>

#include "images/CoverImage.h"

namespace quillon {

// The quality of a cover taken in by a form, as stored (0.6).
inline constexpr int kStoredCoverQuality = 60;

// A picture that a form took in (clipboard, file, camera, drop), kept at its full size until Save
// stores it. A picture file is kept as its bytes and decoded at full size only to be stored.
class NewCoverPicture {
public:
    NewCoverPicture() = default;
    static NewCoverPicture fromImage(QImage picture);
    static NewCoverPicture fromFileBytes(QByteArray bytes);

    bool isNull() const { return picture_.isNull() && fileBytes_.isEmpty(); }
    // The stored form: JPEG at kStoredCoverQuality of the whole upright picture; empty when it
    // cannot be decoded or encoded. Works on its own copies: safe on a worker thread.
    QByteArray encodeForStore() const;

private:
    QImage picture_;
    QByteArray fileBytes_;
};

}  // namespace quillon
