#include "movies/CoverPicture.h"

#include <QBuffer>

#include "platform/CoverImage.h"

namespace quillon {

QByteArray encodeJpeg(const QImage& picture, int quality) {
    if (picture.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "JPG", quality)) return {};
    return bytes;
}

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
