#pragma once

#include <QString>

#include "store/Status.h"

class QIODevice;

namespace quillon {

struct CollectionStatistics;

// The statistics as PDF pages, drawn as vectors: a title, the totals, then each figure's bars,
// black on white. A figure starts on a new page when its title and first rows do not fit.
Status writeStatisticsPdf(const CollectionStatistics& statistics, QIODevice* device);
Status writeStatisticsPdfFile(const CollectionStatistics& statistics, const QString& path,
                              const QString& dataDir);

}  // namespace quillon
