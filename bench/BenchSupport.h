#pragma once

#include <QString>
#include <memory>

#include "store/CatalogueStore.h"

namespace quillon::bench {

// A photograph-like 4000 x 3000 JPEG (smooth colour with fine grain, so that its size is
// realistic) written to `path`; `seed` varies the colours.
bool makePhotoLikeJpeg(const QString& path, int seed);

// The process's peak and current resident size, in MB.
long peakRssMb();
long currentRssMb();

// The catalogue in the one folder a benchmark is given as its argument; null, with the usage or
// the reason on standard error, when there is none.
std::unique_ptr<CatalogueStore> openCatalogueArgument(int argc, char** argv, const char* program);

}  // namespace quillon::bench
