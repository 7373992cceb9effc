#include "platform/FileDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quillon {
namespace {
QString& lastFolder() {
    static QString folder;
    return folder;
}
}  // namespace

QString fileDialogFolder() {
    if (!lastFolder().isEmpty() && QFileInfo(lastFolder()).isDir()) return lastFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberFileDialogFolder(const QString& filePath) {
    if (!filePath.isEmpty()) lastFolder() = QFileInfo(filePath).absolutePath();
}

}  // namespace quillon
