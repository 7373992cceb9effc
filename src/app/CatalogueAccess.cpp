#include "app/CatalogueAccess.h"

#include <QFileInfo>

#include "app/AppDelegate.h"

namespace quillon {

QString noDataFolderError() {
    return QStringLiteral(
        "Quillon cannot tell where to keep its catalogue: there is no home folder (HOME is not "
        "set). Give a folder with --data-dir DIR or QUILLON_DATA_DIR.");
}

QString storeOpenFailureText(const Status& status, int lockWaitMs) {
    if (status.code == Status::NotFound) return status.error;
    if (status.code != Status::Busy) return unresolvedErrorText(status);
    return QStringLiteral(
               "%1 %2; gave up after waiting %3 s. Close it, or wait longer with "
               "--wait SECONDS.")
        .arg(QLatin1String(CatalogueStore::kLockedError),
             "(" + QString(status.details).remove('{').remove('}') + ")",
             QString::number(lockWaitMs / 1000.0));
}

int storeOpenFailureExitStatus(const Status& status) {
    return status.code == Status::Busy ? kLockedExitStatus : 1;
}

QString readOnlyAlertTitle() {
    return QStringLiteral("Read-Only Catalogue");
}

QString readOnlyAlertMessage(const QString& dataDir) {
    return QStringLiteral(
               "The catalogue in \"%1\" cannot be changed: its folder cannot be "
               "written. You can look through it and export it; changes will not "
               "be saved.")
        .arg(dataDir);
}

QString readOnlyWindowTitle(const QString& title) {
    return title + " (read-only)";
}

Status listBackups(AppDelegate& app, QStringList* names) {
    const QString dataDir = app.dataDir();
    if (dataDir.isEmpty()) return Status::failure(Status::NotFound, noDataFolderError());
    std::unique_ptr<StoreLock> lock;
    if (QFileInfo(dataDir).isDir() && QFileInfo(dataDir).isWritable()) {
        Status locked;
        lock = StoreLock::take(dataDir, app.storeOptions().lockWaitMs, &locked);
        if (!lock) return locked;
    }
    Status listed;
    *names = backups::list(dataDir, &listed);
    return listed;
}

Status restoreBackup(AppDelegate& app, const QString& name, backups::SafetyCopy* safety) {
    app.closeStore();
    const QString dataDir = app.dataDir();
    if (dataDir.isEmpty()) return Status::failure(Status::NotFound, noDataFolderError());
    if (!QFileInfo(dataDir).isDir())
        return Status::failure(Status::NotFound,
                               QStringLiteral("There is no backup named \"%1\"").arg(name));
    if (!QFileInfo(dataDir).isWritable())
        return Status::failure(Status::ReadOnly, "The catalogue is read-only",
                               QStringLiteral("{path = %1}").arg(dataDir));
    Status locked;
    const auto lock = StoreLock::take(dataDir, app.storeOptions().lockWaitMs, &locked);
    if (!lock) return locked;
    return backups::restore(*lock, name, safety);
}

}  // namespace quillon
