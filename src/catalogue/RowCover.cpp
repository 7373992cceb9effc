#include "catalogue/RowCover.h"

namespace quillon {

namespace {
bool showsOwnCover(ThumbnailCache& thumbnails, const Movies& movie) {
    return movie.hasImage(Attribute::frontImage) && !thumbnails.hasFailed(movie);
}
}  // namespace

QVariant rowCover(ThumbnailCache& thumbnails, const Movies& movie, const QImage& placeholder) {
    if (!showsOwnCover(thumbnails, movie))
        return placeholder.isNull() ? QVariant() : QVariant(placeholder);
    const QImage thumbnail = thumbnails.thumbnail(movie);
    return thumbnail.isNull() ? QVariant() : QVariant(thumbnail);
}

QString rowCoverReadOut(ThumbnailCache& thumbnails, const Movies& movie) {
    return showsOwnCover(thumbnails, movie) ? QStringLiteral("Front cover shown") : QString();
}

}  // namespace quillon
