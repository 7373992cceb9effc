#include "catalogue/RowCover.h"

namespace quillon {

QVariant rowCover(ThumbnailCache& thumbnails, const Movies& movie, const QImage& placeholder) {
    if (!movie.hasImage(Attribute::frontImage) || thumbnails.hasFailed(movie))
        return placeholder.isNull() ? QVariant() : QVariant(placeholder);
    const QImage thumbnail = thumbnails.thumbnail(movie);
    return thumbnail.isNull() ? QVariant() : QVariant(thumbnail);
}

}  // namespace quillon
