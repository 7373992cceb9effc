#pragma once

#include <QSettings>
#include <QStringList>

#include "store/CatalogueStore.h"

namespace quillon {

inline const QString kAboutHasBeenLaunchedBeforeFlag =
    QStringLiteral("AboutHasBeenLaunchedBeforeFlag");
QStringList defaultGenres();
QStringList defaultRatings();

struct FirstLaunchOutcome {
    bool firstLaunch = false;  // the flag was not set
    bool seeded = false;
    bool flagNotSaved = false;  // the user-defaults file could not be written
};

// Seeds the genre and rating lists once per device. The flag is written and flushed before the
// seeding starts, so an interrupted seeding is not repeated. When the flag cannot be written,
// the lists are seeded only if one of them is empty, so a launch that cannot remember does not
// seed every time. A read-only catalogue is left alone, flag included. Each entry is saved on
// its own; an entry whose save fails is logged and taken back, and the next entry goes on.
FirstLaunchOutcome runFirstLaunchCheck(QSettings& userDefaults, ManagedObjectContext& context);

// The alert shown when the flag could not be written.
QString flagNotSavedTitle();
QString flagNotSavedMessage(const QString& userDefaultsFile);

}  // namespace quillon
