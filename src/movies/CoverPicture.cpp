#include "movies/CoverPicture.h"

namespace quillon {

NewCoverPicture NewCoverPicture::fromImage(QImage picture) {
    NewCoverPicture p;
    p.picture_ = std::move(picture);
    return p;
}

NewCoverPicture NewCoverPicture::fromFileBytes(QByteArray bytes) {
    NewCoverPicture p;
    p.fileBytes_ = std::move(bytes);
    return p;
}

QByteArray NewCoverPicture::encodeForStore() const {
    if (!picture_.isNull()) return encodeJpeg(picture_, kStoredCoverQuality);
    if (fileBytes_.isEmpty()) return {};
    return encodeJpeg(decodeCover(fileBytes_).image, kStoredCoverQuality);
}

}  // namespace quillon
