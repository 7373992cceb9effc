#include "platform/DataFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace quillon {

namespace {
QString& configuredDir() {
    static QString dir;
    return dir;
}
}  // namespace

void DataFolders::setDataDir(const QString& dir) { configuredDir() = dir; }

QString DataFolders::dataDir() {
    if (!configuredDir().isEmpty()) return configuredDir();
    const QString fromEnv = qEnvironmentVariable("QUILLON_DATA_DIR");
    if (!fromEnv.isEmpty()) return fromEnv;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString DataFolders::documentsDir() {
    const QString dir = QDir(dataDir()).filePath("Documents");
    QDir().mkpath(dir);
    return dir;
}

QString DataFolders::tempDir() { return QDir::tempPath(); }

QString DataFolders::userDefaultsFile() { return QDir(dataDir()).filePath("UserDefaults.ini"); }

}  // namespace quillon
