#pragma once

#include <QString>

namespace quillon {

// Where the store and the user-defaults file live: --data-dir, else $QUILLON_DATA_DIR, else the
// platform's application data folder. Set once at start-up (tests set a temporary folder).
class DataFolders {
public:
    static void setDataDir(const QString& dir);
    static QString dataDir();
    static QString documentsDir();  // "Documents" inside the data folder, created on demand
    static QString tempDir();       // the system temporary folder
    static QString userDefaultsFile();
};

}  // namespace quillon
