#pragma once

#include <QString>

namespace quillon::bench {

// A photograph-like 4000 x 3000 JPEG (smooth colour with fine grain, so that its size is
// realistic) written to `path`; `seed` varies the colours.
bool makePhotoLikeJpeg(const QString& path, int seed);

// The process's peak and current resident size, in MB.
long peakRssMb();
long currentRssMb();

}  // namespace quillon::bench
