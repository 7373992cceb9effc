#pragma once

#include <QSettings>
#include <QStringList>

#include "store/CatalogueStore.h"

namespace quillon {

inline const QString kAboutHasBeenLaunchedBeforeFlag = QStringLiteral("AboutHasBeenLaunchedBeforeFlag");
QStringList defaultGenres();
QStringList defaultRatings();

// Seeds the genre and rating lists once per device. The flag is written and flushed before the
// seeding starts, so an interrupted seeding is not repeated. Each entry is saved on its own; a
// failed save is logged and the next entry goes on.
void runFirstLaunchCheck(QSettings& userDefaults, ManagedObjectContext& context);

}  // namespace quillon
