#pragma once

#include <QImage>
#include <QVariant>

#include "catalogue/ThumbnailCache.h"

namespace quillon {

// What a list row shows of a movie's front cover: its thumbnail; for a movie without one, or
// with one that is not a picture, the placeholder (nothing when it is null); nothing while the
// cover is decoded (thumbnailReady follows).
QVariant rowCover(ThumbnailCache& thumbnails, const Movies& movie, const QImage& placeholder = {});
// Said of a row that shows the movie's own cover (not the placeholder); empty otherwise.
QString rowCoverReadOut(ThumbnailCache& thumbnails, const Movies& movie);

}  // namespace quillon
