#include "images/SmallCoverImage.h"

#include "images/CoverImage.h"

namespace quillon {

namespace {

// The size decodeCover gives a picture of `size` fitted into `box`: never enlarged.
QSize fitted(QSize size, QSize box) {
    if (size.width() <= box.width() && size.height() <= box.height()) return size;
    return size.scaled(box, Qt::KeepAspectRatio);
}

std::optional<SmallCover> encoded(const QImage& small, QSize coverSize) {
    QByteArray bytes = encodeJpeg(small, kSmallCoverQuality);
    if (bytes.isEmpty()) return std::nullopt;
    return SmallCover{std::move(bytes), coverSize};
}

}  // namespace

std::optional<SmallCover> makeSmallCover(const QByteArray& cover) {
    const DecodedCover decoded = decodeCover(cover, kSmallCoverBox);
    if (decoded.image.isNull()) return std::nullopt;
    return encoded(decoded.image, decoded.uprightSize);
}

std::optional<SmallCover> makeSmallCover(const QImage& upright) {
    if (upright.isNull()) return std::nullopt;
    const QSize small = fitted(upright.size(), kSmallCoverBox);
    if (small == upright.size()) return encoded(upright, small);
    return encoded(upright.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                   upright.size());
}

bool smallCoverServes(const SmallCover& small, QSize box) {
    if (small.coverSize.isEmpty()) return false;
    const QSize wanted = fitted(small.coverSize, box);
    const QSize kept = fitted(small.coverSize, kSmallCoverBox);
    return wanted.width() <= kept.width() && wanted.height() <= kept.height();
}

QImage decodeSavedCover(SavedCoverReader& reader, const SavedCover& cover, QSize box) {
    if (std::optional<SmallCover> small = reader.readSmall(cover);
        small && smallCoverServes(*small, box)) {
        // Scaled to the size the whole picture would give, not from the copy's rounded one.
        const QSize wanted = fitted(small->coverSize, box);
        QImage image = decodeCover(small->bytes).image;
        if (image.size() == wanted) return image;
        if (!image.isNull())
            return image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const CoverRead read = reader.read(cover);
    return read.bytes ? decodeCover(*read.bytes, box).image : QImage();
}

SmallCoverMaker smallCoverMaker() {
    return [](const QByteArray& cover) { return makeSmallCover(cover); };
}

}  // namespace quillon
