#pragma once

#include <QSettings>
#include <memory>

namespace quillon {

// The user-defaults store: an INI file in the data folder. Short-lived handles are fine; every
// handle reads the same file.
std::unique_ptr<QSettings> standardUserDefaults();

}  // namespace quillon
