#pragma once

#include <QString>

#include "store/Status.h"

namespace quillon {

class ManagedObjectContext;

// "Unresolved error " followed by the error and its details.
QString unresolvedErrorText(const Status& status);

// Saves when there are changes. A failure is told in an "Unresolved error" alert over the active
// window (on standard error when there is none, or when `headless`) and the changes stay
// pending; the screen that made them takes them back. Returns whether everything is saved.
bool saveTellingUser(ManagedObjectContext& context, bool headless = false);

}  // namespace quillon
