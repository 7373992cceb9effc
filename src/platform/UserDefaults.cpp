#include "platform/UserDefaults.h"

#include "platform/DataFolders.h"

namespace quillon {

std::unique_ptr<QSettings> standardUserDefaults() {
    return std::make_unique<QSettings>(DataFolders::userDefaultsFile(), QSettings::IniFormat);
}

}  // namespace quillon
